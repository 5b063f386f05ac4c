// The program's entry point: the one application object and the Windows entry function.
#include "app/CorvantileApp.h"
#include "framework/AfxWin.h"

CCorvantileApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
