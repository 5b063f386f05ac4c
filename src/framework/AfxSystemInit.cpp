#include "framework/AfxSystemInit.h"

#include <winsock2.h>
#include <windows.h>
#include <ole2.h>

#include <cstdlib>

bool AfxSocketInit() {
    static bool started = false;
    if (started)
        return true;
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    started = true;
    std::atexit([] { WSACleanup(); });
    return true;
}

bool AfxOleInit() {
    const HRESULT result = OleInitialize(nullptr);
    if (FAILED(result))
        return false;
    // The program's one window thread keeps OLE for its whole life.
    return true;
}
