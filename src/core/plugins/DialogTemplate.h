// A dialog template built in memory, for the plug-ins' small settings dialogs, which are not
// among the program's resources.
#pragma once

#include <vector>

#include <windows.h>

namespace corvantile::core {

class DialogTemplate {
public:
    // A modal dialog with a caption, in dialog units, in 8-point "MS Shell Dlg".
    DialogTemplate(const wchar_t* title, short width, short height);

    // Adds a control of a predefined class (0x0080 button, 0x0081 edit, 0x0082 static).
    void addControl(WORD classAtom, const wchar_t* text, WORD id, short x, short y, short width,
                    short height, DWORD style);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

    static constexpr WORD kButton = 0x0080;
    static constexpr WORD kEdit = 0x0081;
    static constexpr WORD kStatic = 0x0082;

private:
    void addText(const wchar_t* text);
    void addDword(DWORD value);
    void alignToDword();

    std::vector<WORD> m_words;
};

} // namespace corvantile::core
