#include "core/plugins/DialogTemplate.h"

namespace corvantile::core {

DialogTemplate::DialogTemplate(const wchar_t* title, short width, short height) {
    addDword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    addDword(0);          // extended style
    m_words.push_back(0); // number of controls, counted by addControl
    for (short value : {short(0), short(0), width, height})
        m_words.push_back(static_cast<WORD>(value));
    m_words.push_back(0); // no menu
    m_words.push_back(0); // the standard dialog class
    addText(title);
    m_words.push_back(8); // point size of the font
    addText(L"MS Shell Dlg");
}

void DialogTemplate::addControl(WORD classAtom, const wchar_t* text, WORD id, short x, short y,
                                short width, short height, DWORD style) {
    alignToDword();
    addDword(style | WS_CHILD | WS_VISIBLE);
    addDword(0);
    for (short value : {x, y, width, height})
        m_words.push_back(static_cast<WORD>(value));
    m_words.push_back(id);
    m_words.push_back(0xFFFF);
    m_words.push_back(classAtom);
    addText(text);
    m_words.push_back(0); // no creation data
    ++m_words[4];         // the template's control count
}

void DialogTemplate::addText(const wchar_t* text) {
    for (const wchar_t* p = text; p && *p; ++p)
        m_words.push_back(static_cast<WORD>(*p));
    m_words.push_back(0);
}

void DialogTemplate::addDword(DWORD value) {
    m_words.push_back(LOWORD(value));
    m_words.push_back(HIWORD(value));
}

void DialogTemplate::alignToDword() {
    if (m_words.size() % 2)
        m_words.push_back(0);
}

} // namespace corvantile::core
