// A dialog template built in memory, for dialogs whose controls are few or are made at run
// time: no resource to keep in step with the code, and Unicode text throughout.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace zevaver {

namespace fw {

class DialogTemplate {
public:
    // A dialog in the shell's dialog font (MS Shell Dlg) of the given size; sizes are in
    // dialog units, which the platform scales with that font.
    DialogTemplate(DWORD style, std::wstring_view caption, short cx, short cy, WORD points) {
        Long(style | DS_SETFONT);
        Long(0); // extended style
        Word(0); // items, counted as they are added
        for (short value : {short{0}, short{0}, cx, cy}) Word(static_cast<WORD>(value));
        Word(0); // no menu
        Word(0); // the standard dialog class
        Text(caption);
        Word(points);
        Text(L"MS Shell Dlg");
    }

    // A control of one of the predefined classes (0x0080 button, 0x0081 edit, 0x0082 static).
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD windowClass,
              std::wstring_view text) {
        if (words_.size() % 2 != 0) Word(0); // items start on a DWORD
        Long(style | WS_CHILD | WS_VISIBLE);
        Long(0);
        for (short value : {x, y, cx, cy}) Word(static_cast<WORD>(value));
        Word(id);
        Word(0xFFFF);
        Word(windowClass);
        Text(text);
        Word(0); // no creation data
        ++words_[ItemCount];
    }

    [[nodiscard]] LPCDLGTEMPLATEW Data() const {
        return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data());
    }

private:
    static constexpr size_t ItemCount = 4; // after the style and the extended style

    void Word(WORD value) { words_.push_back(value); }
    void Long(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(std::wstring_view text) {
        for (wchar_t c : text) Word(static_cast<WORD>(c));
        Word(0);
    }

    std::vector<WORD> words_;
};

} // namespace fw

} // namespace zevaver
