// In-memory dialog templates, so that the stand-in needs no resource script.
#pragma once

#include <windows.h>

class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, const char* title);
    void Add(WORD id, const char* className, const char* text, DWORD style, short x, short y, short width,
             short height);
    LPCDLGTEMPLATEA Get() const { return (LPCDLGTEMPLATEA)words_; }

private:
    void Word(WORD value) { words_[used_++] = value; }
    void Text(const char* text);
    void AlignToDword() {
        if (used_ % 2) Word(0);
    }

    WORD words_[2048];
    int used_ = 0;
    WORD* itemCount_;
};
