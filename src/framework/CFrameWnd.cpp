#include "framework/CFrameWnd.h"

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

BOOL CFrameWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                       CWnd* parent, const char* menuName, DWORD exStyle) {
    CreateArgs args;
    args.className = className ? className
                               : AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                                     reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    args.windowName = windowName;
    args.style = style;
    args.exStyle = exStyle;
    args.SetRect(rect);
    args.parent = parent ? parent->m_hWnd : nullptr;
    if (menuName) {
        const std::wstring name = IS_INTRESOURCE(menuName) ? std::wstring() : Utf8ToWide(menuName);
        args.menu = ::LoadMenuW(AfxGetResourceHandle(),
                                IS_INTRESOURCE(menuName)
                                    ? MAKEINTRESOURCEW(reinterpret_cast<UINT_PTR>(menuName))
                                    : name.c_str());
        if (!args.menu)
            return FALSE;
    }
    return CreateEx(args);
}
