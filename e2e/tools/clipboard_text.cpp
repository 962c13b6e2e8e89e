// Prints the text on the clipboard, exactly, with no line break added.
#include <windows.h>

int main() {
    if (!OpenClipboard(0)) return 2;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? (const char*)GlobalLock(data) : 0;
    if (!text) {
        CloseClipboard();
        return 3;
    }
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, 0);
    GlobalUnlock(data);
    CloseClipboard();
    return 0;
}
