#include "dialog_template.h"

DialogTemplate::DialogTemplate(DWORD style, short width, short height, const char* title) {
    Word(LOWORD(style));
    Word(HIWORD(style));
    Word(0);  // extended style
    Word(0);
    itemCount_ = &words_[used_];
    Word(0);
    Word(10);  // x, y
    Word(10);
    Word((WORD)width);
    Word((WORD)height);
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(title);
}

void DialogTemplate::Text(const char* text) {
    while (*text) Word((WORD)(unsigned char)*text++);
    Word(0);
}

void DialogTemplate::Add(WORD id, const char* className, const char* text, DWORD style, short x, short y, short width,
                         short height) {
    AlignToDword();
    Word(LOWORD(style));
    Word(HIWORD(style));
    Word(0);
    Word(0);
    Word((WORD)x);
    Word((WORD)y);
    Word((WORD)width);
    Word((WORD)height);
    Word(id);
    Text(className);
    Text(text);
    Word(0);  // no creation data
    ++*itemCount_;
}
