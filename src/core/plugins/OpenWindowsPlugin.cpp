#include "core/plugins/OpenWindowsPlugin.h"

#include <utility>

namespace corvantile::core {
namespace {

class WindowAction final : public CoreAction {
public:
    WindowAction(const Definition& definition, bool (*apply)(HWND))
        : CoreAction(definition), m_apply(apply) {}

    // The window's handle means nothing to the user: the label is the action's name.
    CString getLabel(VProperty*) override { return name; }

protected:
    bool perform(VResult*, const VProperty& property, const CString&) override {
        const HWND window = windowFromText(property.value);
        return window && m_apply(window);
    }

private:
    bool (*m_apply)(HWND);
};

} // namespace

OpenWindowsPlugin::OpenWindowsPlugin()
    : BasicPlugin(
          "OpenWindows", "Open Windows",
          "Finds the windows of the running programs by their titles, to switch to one "
          "or close it",
          {L"2", RGB(0x5C, 0x6B, 0xC0), RGB(255, 255, 255), BadgeShape::Rounded, L"Marlett"}) {
    m_actions.push_back(std::make_unique<WindowAction>(
        CoreAction::Definition{
            "window.switch",
            "Switch to window",
            "Brings the window to the front, restored if it was minimised",
            {PropertyWindow},
            {L"2", RGB(0x5C, 0x6B, 0xC0), RGB(255, 255, 255), BadgeShape::Rounded, L"Marlett"},
            "Switch to",
            nullptr,
            nullptr,
            PropertyWindow},
        switchToWindow));
    m_actions.push_back(std::make_unique<WindowAction>(
        CoreAction::Definition{
            "window.close",
            "Close window",
            "Asks the window to close, as its close button would",
            {PropertyWindow},
            {L"r", RGB(0xC6, 0x28, 0x28), RGB(255, 255, 255), BadgeShape::Rounded, L"Marlett"},
            "Close"},
        closeWindow));
}

OpenWindowsPlugin::~OpenWindowsPlugin() = default;

void OpenWindowsPlugin::setLister(std::function<std::vector<OpenWindow>()> lister) {
    m_lister = std::move(lister);
}

void OpenWindowsPlugin::scan(VItemSink& sink) {
    const auto windows = m_lister ? m_lister() : listOpenWindows(GetCurrentProcessId());
    for (const OpenWindow& window : windows) {
        if (sink.cancelled())
            return;
        sink.add(
            {VItemKind::Window, window.title, windowHandleText(window.window), window.program});
    }
}

std::vector<VAction*> OpenWindowsPlugin::getActions() {
    std::vector<VAction*> actions;
    for (const auto& action : m_actions)
        actions.push_back(action.get());
    return actions;
}

} // namespace corvantile::core
