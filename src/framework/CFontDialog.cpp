#include "framework/CFontDialog.h"

#include <commdlg.h>

#include "framework/CGdiObject.h"

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, HDC printer, CWnd* parent)
    : m_parent(parent) {
    m_cf.lStructSize = sizeof m_cf;
    m_cf.hDC = printer;
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = flags;
    if (initial) {
        SetFont(*initial);
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
}

void CFontDialog::SetFont(const LOGFONTA& logFont) {
    LogFontToWide(logFont, m_lf);
}

void CFontDialog::GetCurrentFont(LOGFONTA* logFont) const {
    LogFontFromWide(m_lf, *logFont);
}

INT_PTR CFontDialog::DoModal() {
    m_cf.hwndOwner = m_parent ? m_parent->m_hWnd : nullptr;
    m_cf.lpLogFont = &m_lf;
    return ::ChooseFontW(&m_cf) ? IDOK : IDCANCEL;
}
