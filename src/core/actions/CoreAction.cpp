#include "core/actions/CoreAction.h"

#include <mutex>

#include "core_iface/VCorvantileCore.h"

namespace corvantile::core {
namespace {

std::mutex g_confirmMutex;
ConfirmHook g_confirmHook;

} // namespace

CoreAction::CoreAction(const Definition& definition)
    : VAction(definition.name, definition.description, definition.types, definition.id),
      m_verb(definition.verb ? definition.verb : definition.name),
      m_defaultShortcut(definition.shortcut), m_formerShortcut(definition.formerShortcut),
      m_defaultFor(definition.defaultFor), m_badge(definition.badge) {}

bool CoreAction::run(VResult* result, VProperty* property, const CString& text) {
    if (!property || !property->isValid() || !isTypeSupported(property->type))
        return false;
    if (result && !isResultSupported(result))
        return false;
    if (!perform(result, *property, text))
        return false;
    if (result)
        VCorvantileCore::instance()->recordChoice(result);
    return true;
}

CString CoreAction::getLabel(VProperty* property) {
    if (!property)
        return name;
    return m_verb + " " + property->value;
}

HICON CoreAction::loadIcon() {
    if (m_iconMaker) {
        if (HICON icon = m_iconMaker())
            return icon;
    }
    return makeBadgeIcon(m_badge);
}

void setConfirmHook(ConfirmHook hook) {
    std::lock_guard lock(g_confirmMutex);
    g_confirmHook = std::move(hook);
}

bool confirmWithUser(const CString& question) {
    {
        std::lock_guard lock(g_confirmMutex);
        if (g_confirmHook)
            return g_confirmHook(question);
    }
    const std::wstring text = question.W();
    return MessageBoxW(nullptr, text.c_str(), L"Corvantile",
                       MB_YESNO | MB_ICONQUESTION | MB_TOPMOST | MB_SETFOREGROUND) == IDYES;
}

} // namespace corvantile::core
