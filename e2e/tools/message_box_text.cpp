// Waits for the logging twin's message box, prints its text exactly and presses
// OK, as the person at the machine would; exits 1 when none comes in time.
// usage: message_box_text [SECONDS]   (default 120)
#include <windows.h>

#include <cstdlib>

namespace {

char text[4096];

// The box's text is the one static control that has text; the icon has none.
BOOL CALLBACK TakeText(HWND child, LPARAM) {
    char className[16];
    GetClassNameA(child, className, sizeof className);
    return lstrcmpiA(className, "Static") != 0 || GetWindowTextA(child, text, sizeof text) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    int tenths = (argc > 1 ? std::atoi(argv[1]) : 120) * 10;
    for (int waited = 0; waited < tenths; ++waited) {
        HWND box = FindWindowA("#32770", "Setup for Graphics Driver");
        if (box) {
            EnumChildWindows(box, TakeText, 0);
            DWORD written;
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, 0);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
            return 0;
        }
        Sleep(100);
    }
    return 1;
}
