// Keeps Wine's desktop process, and with it Wine's bridge to the X clipboard,
// running for a whole run: it ends when no program is left, and as it starts
// again it empties the clipboard, perhaps after setup.exe has copied the path.
// A hidden window of its own, until it is ended.
#include <windows.h>

int main() {
    CreateWindowExA(0, "STATIC", "hold desktop", WS_POPUP, 0, 0, 1, 1, 0, 0, GetModuleHandleA(0), 0);
    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
