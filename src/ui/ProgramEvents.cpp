#include "ui/ProgramEvents.h"

#include <windows.h>

#include <string>

#include "framework/CString.h"

void ProgramEvents::record(const char* text) {
    const std::wstring line = L"Corvantile: " + Utf8ToWide(text ? text : "") + L"\n";
    OutputDebugStringW(line.c_str());
}
