#include "discovery/window_searches.h"

#include "run/automation_context.h"
#include "run/end_run.h"

void WaitForAppletInputIdle() { WaitForInputIdle(context.applet.hProcess, INFINITE); }

// The walks below visit the children of a window in z-order. The walk ends at a
// null window, or after examining the window that GW_HWNDLAST reports as itself.
static HWND FirstChildInZOrder(HWND parent) { return GetWindow(GetWindow(parent, GW_CHILD), GW_HWNDFIRST); }

static BOOL IsLastSibling(HWND window) { return GetWindow(window, GW_HWNDLAST) == window; }

static BOOL IsOfAppletThread(HWND window) { return GetWindowThreadProcessId(window, 0) == context.applet.dwThreadId; }

static BOOL LooksLikeMainWindow(HWND window, int screenWidth, int screenHeight) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return FALSE;
    if (rect.left < 0 || rect.top < 0) return FALSE;
    if (rect.left > screenWidth || rect.top > screenHeight) return FALSE;
    if (rect.right <= 0) return FALSE;
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

int FindAppletMainWindow() {
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    while (context.mainWindow == NOT_FOUND_WINDOW) {
        AbandonRunIfAppletEnded();
        Sleep(0);
        for (HWND window = FirstChildInZOrder(GetDesktopWindow()); window; window = GetWindow(window, GW_HWNDNEXT)) {
            WaitForAppletInputIdle();
            if (IsOfAppletThread(window) && LooksLikeMainWindow(window, screenWidth, screenHeight)) {
                context.mainWindow = window;
                break;
            }
            if (IsLastSibling(window)) break;
        }
    }
    return 1;
}

// A dialog exists, owned and hidden, before the applet has made its pages and
// controls, and WaitForInputIdle does not wait for that: only a dialog on screen
// is ready to be looked into. (A hidden owned window may also be one that never
// shows, such as an input method's.) Children of a given scope are taken as they are.
HWND FindOwnedWindow(HWND owner, HWND scope) {
    HWND result = NOT_FOUND_WINDOW;
    BOOL onlyShown = !scope;
    while (result == NOT_FOUND_WINDOW) {
        AbandonRunIfAppletEnded();
        Sleep(0);
        Sleep(200);
        if (!scope) scope = GetDesktopWindow();
        for (HWND window = FirstChildInZOrder(scope); window; window = GetWindow(window, GW_HWNDNEXT)) {
            WaitForAppletInputIdle();
            if (GetParent(window) == owner && (!onlyShown || IsWindowVisible(window))) {
                result = window;
                break;
            }
            if (IsLastSibling(window)) break;
        }
    }
    return result;
}

int HasVisibleUnownedAppletWindow() {
    Sleep(0);
    Sleep(1000);
    for (HWND window = FirstChildInZOrder(GetDesktopWindow()); window; window = GetWindow(window, GW_HWNDNEXT)) {
        WaitForAppletInputIdle();
        if (!GetParent(window) && IsWindowVisible(window) && IsOfAppletThread(window)) return 1;
        if (IsLastSibling(window)) break;
    }
    return 0;
}

HWND PollLastDialogForControl(HWND owner, int controlId) {
    HWND control;
    do {
        AbandonRunIfAppletEnded();
        WaitForAppletInputIdle();
        context.lastDialog = FindOwnedWindow(owner, 0);
        control = GetDlgItem(context.lastDialog, controlId);
    } while (!control);
    return control;
}

HWND FirstPageOf(HWND window) {
    char className[256];
    GetClassNameA(context.mainWindow, className, sizeof className);
    return FindWindowExA(window, 0, className, 0);
}
