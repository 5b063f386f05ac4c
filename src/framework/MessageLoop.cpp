#include "framework/MessageLoop.h"

#include "framework/CWnd.h"

#include <string>

#include "support/event_report.h"

namespace {

// How many message loops of ours run on this thread, one inside the other.
thread_local int t_loopDepth = 0;

class LoopDepth {
public:
    LoopDepth() { ++t_loopDepth; }
    ~LoopDepth() { --t_loopDepth; }
    LoopDepth(const LoopDepth&) = delete;
    LoopDepth& operator=(const LoopDepth&) = delete;
    bool IsOutermost() const { return t_loopDepth == 1; }
};

} // namespace

MessageLoopEnd RunMessageLoop(const std::function<bool()>& keepRunning,
                              const std::function<bool(MSG&)>& preTranslate) {
    LoopDepth depth;
    MSG msg{};
    while (keepRunning()) {
        // Temporary wrappers handed out by handlers up the stack must stay valid, so they are
        // freed only where no handler runs: idle time of the outermost loop.
        if (depth.IsOutermost() && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            CWnd::DeleteTempMap();
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0)
            return {true, msg.wParam};
        if (got == -1)
            return {};
        bool used = false;
        try {
            used = preTranslate && preTranslate(msg);
        } catch (...) {
            corvantile::support::report_caught("the translation of message " +
                                               std::to_string(msg.message));
            used = false;
        }
        if (!used) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return {};
}
