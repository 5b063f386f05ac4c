// The search bar: a thin, captionless, always-on-top window at the top of the
// work area.
#pragma once

#include "framework/CDialog.h"

class CCorvantileDlg : public CDialog {
public:
  explicit CCorvantileDlg(CWnd *parent = nullptr);

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  // Puts the bar, size kept, centred across the top edge of the work area.
  void MoveToDefaultPlace();

  bool m_autoHide = true;
  HICON m_icon = nullptr;
};
