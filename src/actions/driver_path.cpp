#include "actions/driver_path.h"

#include "actions/clicks.h"
#include "discovery/window_searches.h"
#include "run/automation_context.h"
#include "run/end_run.h"
#include "scripts/scripts.h"

BOOL BuildDriverPath(LPCSTR folderName, LPSTR buffer) {
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH) {
        buffer[0] = 0;
        return FALSE;
    }
    // The last character, not the last byte: in code pages such as 932 and 950
    // the second byte of a double-byte character may be 0x5C.
    LPCSTR last = CharPrevA(buffer, buffer + length);
    DWORD separator = last == buffer + length - 1 && *last == '\\' ? 0 : 1;
    if (length + separator + lstrlenA(folderName) + 1 > MAX_PATH) {
        buffer[0] = 0;
        return FALSE;
    }
    if (separator) lstrcatA(buffer, "\\");
    lstrcatA(buffer, folderName);
    return TRUE;
}

// Finds the path dialog, puts the driver path on the clipboard through a hidden
// edit window and returns the edit control of the dialog that will receive it.
static HWND PreparePaste(HWND owner, int editControlId, LPCSTR folderName) {
    WaitForAppletInputIdle();
    context.pathDialog = FindOwnedWindow(owner, 0);
    HWND target = GetDlgItem(context.pathDialog, editControlId);

    char driverPath[MAX_PATH];
    if (!BuildDriverPath(folderName, driverPath)) AbandonRun(EXIT_NO_DRIVER_FOLDER);
    context.clipboardEdit = CreateWindowExA(0, "EDIT", driverPath, 0, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                            GetDesktopWindow(), 0, context.instance, 0);
    // Without it the clipboard keeps whatever it held, and that must not be pasted.
    if (!context.clipboardEdit) AbandonRun(EXIT_NO_CLIPBOARD_WINDOW);
    SendMessageA(context.clipboardEdit, EM_SETSEL, 0, -1);
    SendMessageA(context.clipboardEdit, WM_COPY, 0, 0);

    WaitForAppletInputIdle();
    return target;
}

int HandOverDriverPath(HWND owner) {
    HWND target = PreparePaste(owner, 101, WIN9X_DRIVER_FOLDER);
    SetForegroundWindow(target);
    SendMessageA(target, EM_SETSEL, 0, -1);
    ContinuationProc continuation = context.versionInfo.dwMinorVersion == 0 ? Win95Continue : Win98Continue;
    SendMessageCallbackA(target, WM_PASTE, 0, 0, continuation, PATH_PASTED);
    return 1;
}

int HandOverDriverPathNt(HWND owner) {
    HWND target = PreparePaste(owner, 107, NT_DRIVER_FOLDER);
    SendMessageCallbackA(target, WM_PASTE, 0, 0, NtContinue, PATH_PASTED);
    SetForegroundWindow(target);
    return 1;
}

void AnswerPathPasted(ContinuationProc continuation, DWORD nextStep) {
    DestroyWindow(context.clipboardEdit);
    ClickWithContinuation(GetDlgItem(context.pathDialog, 1), continuation, nextStep);
}
