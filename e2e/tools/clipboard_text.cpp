// Prints the text on the clipboard, exactly, with no line break added.
// usage: clipboard_text             the text; exit code 2: the clipboard could not
//                                   be opened, 3: no text on it (its formats and
//                                   owner then go to stderr)
//        clipboard_text --settle N  waits, N seconds at most, until a text put on
//                                   the clipboard stays there for two seconds: until
//                                   Wine's bridge to the X clipboard, which empties the
//                                   clipboard as it starts, has started
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kProbe[] = "clipboard probe";

// Another window may hold the clipboard open for a moment (Wine's own clipboard
// manager does, as it hands a new content over to X): try again, for a while.
bool OpenClipboardPatiently() {
    for (int tries = 0; tries < 100; ++tries) {
        if (OpenClipboard(0)) return true;
        Sleep(100);
    }
    return false;
}

bool PutProbe() {
    if (!OpenClipboardPatiently()) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof kProbe);
    std::memcpy(GlobalLock(memory), kProbe, sizeof kProbe);
    GlobalUnlock(memory);
    bool put = SetClipboardData(CF_TEXT, memory) != 0;
    CloseClipboard();
    return put;
}

bool ProbeStayed() {
    if (!OpenClipboardPatiently()) return false;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? (const char*)GlobalLock(data) : 0;
    bool stayed = text && std::strcmp(text, kProbe) == 0;
    if (text) GlobalUnlock(data);
    CloseClipboard();
    return stayed;
}

int Settle(int seconds) {
    for (int waited = 0; waited < seconds; waited += 2) {
        if (PutProbe()) {
            Sleep(2000);
            if (ProbeStayed()) return 0;
        } else {
            Sleep(2000);
        }
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) return Settle(std::atoi(argv[2]));
    if (!OpenClipboardPatiently()) return 2;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? (const char*)GlobalLock(data) : 0;
    if (!text) {
        UINT format = 0;
        while ((format = EnumClipboardFormats(format))) std::fprintf(stderr, "format %u\n", format);
        HWND owner = GetClipboardOwner();
        char className[64] = "";
        GetClassNameA(owner, className, sizeof className);
        DWORD process = 0;
        GetWindowThreadProcessId(owner, &process);
        std::fprintf(stderr, "owner %p \"%s\" of process %lu\n", (void*)owner, className, process);
        CloseClipboard();
        return 3;
    }
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, 0);
    GlobalUnlock(data);
    CloseClipboard();
    return 0;
}
