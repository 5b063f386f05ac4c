// The message loop shared by the application and the modal dialogs.
#pragma once

#include <functional>

#include <windows.h>

struct MessageLoopEnd {
    bool quit = false;   // ended by WM_QUIT (which it took from the queue)
    WPARAM quitCode = 0; // the WM_QUIT's exit code
};

// Runs this thread's messages while keepRunning() holds. Each message is first offered to
// preTranslate (true: used up, not dispatched); the others are translated and dispatched.
// Ends early on WM_QUIT. Whenever the queue runs dry in the outermost loop of the thread,
// the temporary window wrappers are freed.
MessageLoopEnd RunMessageLoop(const std::function<bool()>& keepRunning,
                              const std::function<bool(MSG&)>& preTranslate);
