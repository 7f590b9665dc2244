// In-memory dialog templates for tests: DLGTEMPLATE and DLGITEMTEMPLATE data as Windows lays
// them out (16-bit words, UTF-16 text, items on 4-byte boundaries).
#pragma once

#include <windows.h>

#include <vector>

class DialogTemplate {
public:
    enum : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kComboBox = 0x85 };

    // A null face leaves DS_SETFONT out: the dialog takes the system font.
    DialogTemplate(DWORD style, short cx, short cy, const char16_t* title, WORD points = 8,
                   const char16_t* face = u"MS Shell Dlg")
    {
        Dword(style | (face ? DS_SETFONT : 0));
        Dword(0);
        countAt_ = words_.size();
        Word(0);
        for (short v : {short(10), short(10), cx, cy})
            Word(static_cast<WORD>(v));
        Word(0); // no menu
        Word(0); // the dialog class
        Text(title);
        if (face) {
            Word(points);
            Text(face);
        }
    }
    DialogTemplate& Item(WORD classOrdinal, const char16_t* text, WORD id, DWORD style, short x, short y, short cx,
                         short cy)
    {
        if (words_.size() % 2)
            Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy})
            Word(static_cast<WORD>(v));
        Word(id);
        Word(0xFFFF);
        Word(classOrdinal);
        Text(text);
        Word(0); // no creation data
        ++words_[countAt_];
        return *this;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d)
    {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const char16_t* s)
    {
        for (; s && *s; ++s)
            Word(static_cast<WORD>(*s));
        Word(0);
    }
    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};
