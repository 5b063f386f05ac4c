#include "win_test_support.h"

#include <fstream>
#include <map>

#include "support/file_io.h"
#include "core_iface/VCorvantileCore.h"
#include "framework/CWnd.h"

namespace wintest {

using corvantile::support::path_from_utf8;
using corvantile::support::path_to_utf8;

TempFolder::TempFolder(const std::string& prefix) {
    static int counter = 0;
    m_path = std::filesystem::temp_directory_path() /
             path_from_utf8(prefix + " " + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(++counter));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

CString TempFolder::text() const {
    return CString(path_to_utf8(m_path));
}

CString TempFolder::write(const std::string& relative, const std::string& contents) const {
    const std::filesystem::path file = m_path / path_from_utf8(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
    return CString(path_to_utf8(file));
}

void ItemsPlugin::scan(VItemSink& sink) {
    ++scans;
    if (beforeScan)
        beforeScan();
    for (const VItem& item : m_items) {
        if (sink.cancelled())
            return;
        sink.add(item);
    }
}

bool TestAction::run(VResult* result, VProperty* property, const CString& text) {
    ++runs;
    lastResult = result;
    lastProperty = property;
    lastText = text;
    return succeed;
}

bool TestAction::runWithText(const CString& text) {
    ranWith = text;
    return succeed;
}

CString TestAction::getLabel(VProperty* property) {
    return name + " " + (property ? property->value : CString());
}

VCorvantileCore* testCore(const CString& cacheFolder) {
    VCorvantileCore* core = VCorvantileCore::instance();
    core->setBuiltInPlugins(false);
    core->setBackgroundRefresh(false);
    core->setCacheFolder(cacheFolder);
    return core;
}

namespace {

std::map<UINT_PTR, std::function<bool()>>& ticks() {
    static std::map<UINT_PTR, std::function<bool()>> byTimer;
    return byTimer;
}

std::string windowText(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return CString::FromW(text).str();
}

} // namespace

ModalDriver::ModalDriver(std::function<bool()> onTick) {
    m_timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        const auto found = ticks().find(id);
        if (found == ticks().end() || !found->second)
            return;
        // A copy: the tick may run a nested message loop in which this timer fires again.
        const std::function<bool()> tick = found->second;
        if (tick())
            ticks()[id] = nullptr;
    });
    ticks()[m_timer] = std::move(onTick);
}

ModalDriver::~ModalDriver() {
    KillTimer(nullptr, m_timer);
    ticks().erase(m_timer);
}

std::vector<MessageBoxSeen> answerMessageBoxes(int button) {
    struct Answer {
        int button;
        std::vector<MessageBoxSeen> seen;
    } answer{button, {}};
    // Message boxes are the visible dialogs with a message text that no wrapper of ours is
    // bound to; a box already answered waits for its answer to arrive.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            wchar_t className[16] = L"";
            GetClassNameW(window, className, 16);
            if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window) ||
                !GetDlgItem(window, 0xFFFF) || CWnd::FromHandlePermanent(window) ||
                GetPropW(window, L"wintest.answered"))
                return TRUE;
            auto* given = reinterpret_cast<Answer*>(param);
            SetPropW(window, L"wintest.answered", reinterpret_cast<HANDLE>(1));
            given->seen.push_back({windowText(window), dialogItemText(window, 0xFFFF).str(),
                                   GetWindow(window, GW_OWNER)});
            PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(given->button), 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&answer));
    return answer.seen;
}

MessageBoxCloser::MessageBoxCloser()
    : m_driver([this] {
          for (MessageBoxSeen& box : answerMessageBoxes())
              seen.push_back(std::move(box));
          return false;
      }) {}

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (CWnd::WalkPreTranslateTree(nullptr, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return done();
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void pumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

HWND shownDialog(const wchar_t* title) {
    const HWND dialog = FindWindowW(L"#32770", title);
    return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

CString dialogItemText(HWND dialog, int id) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(dialog, id, text, 512);
    return CString::FromW(text);
}

} // namespace wintest
