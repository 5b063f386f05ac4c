#include "mainwnd/CorvantileDlg.h"

#include "framework/AfxWin.h"
#include "res/resource.h"

CCorvantileDlg::CCorvantileDlg(CWnd *parent)
    : CDialog(IDD_CORVANTILE_DIALOG, parent) {}

BOOL CCorvantileDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The title is never seen (there is no caption) but a second start finds the
  // bar by it.
  SetWindowText("Corvantile");
  ModifyStyleEx(WS_EX_APPWINDOW, 0);

  m_icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  SetIcon(m_icon, TRUE);
  SetIcon(m_icon, FALSE);

  MoveToDefaultPlace();
  ShowWindow(SW_SHOW);
  return TRUE;
}

void CCorvantileDlg::MoveToDefaultPlace() {
  RECT workArea{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
    workArea = {0, 0, GetSystemMetrics(SM_CXMAXTRACK),
                GetSystemMetrics(SM_CYMAXTRACK)};
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  const int width = window.right - window.left;
  const int x = (workArea.left + workArea.right) / 2 - width / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, workArea.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Enter belongs to the edit box.
void CCorvantileDlg::OnOK() {}

void CCorvantileDlg::OnCancel() {
  if (m_autoHide)
    ShowWindow(SW_HIDE);
}

BOOL CCorvantileDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == ID_EXIT) {
    AfxPostQuitMessage(0);
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}
