// Prints the text on the clipboard, exactly, with no line break added.
#include <windows.h>

#include <cstdio>

// Another window may hold the clipboard open for a moment (Wine's own clipboard
// manager does, as it hands a new content over to X): try again, for a while.
bool OpenClipboardPatiently() {
    for (int tries = 0; tries < 100; ++tries) {
        if (OpenClipboard(0)) return true;
        Sleep(100);
    }
    return false;
}

int main() {
    if (!OpenClipboardPatiently()) return 2;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? (const char*)GlobalLock(data) : 0;
    if (!text) {
        UINT format = 0;
        while ((format = EnumClipboardFormats(format))) std::fprintf(stderr, "format %u\n", format);
        std::fprintf(stderr, "owner %p error %lu\n", (void*)GetClipboardOwner(), GetLastError());
        CloseClipboard();
        return 3;
    }
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, 0);
    GlobalUnlock(data);
    CloseClipboard();
    return 0;
}
