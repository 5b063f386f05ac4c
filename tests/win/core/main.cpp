// The core's tests run with OLE initialised on the main thread, as the program's window
// thread has it (shell links, icons and the clipboard rely on it).
#include <gtest/gtest.h>

#include <ole2.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    const int result = RUN_ALL_TESTS();
    if (ole)
        OleUninitialize();
    return result;
}
