#include "actions/driver_path.h"

#include "actions/clicks.h"
#include "discovery/window_searches.h"
#include "run/automation_context.h"
#include "scripts/scripts.h"

void BuildDriverPath(LPCSTR folderName, LPSTR buffer) {
    GetCurrentDirectoryA(MAX_PATH, buffer);
    int length = lstrlenA(buffer);
    if (length == 0 || buffer[length - 1] != '\\') lstrcatA(buffer, "\\");
    lstrcatA(buffer, folderName);
}

// Finds the path dialog, puts the driver path on the clipboard through a hidden
// edit window and returns the edit control of the dialog that will receive it.
static HWND PreparePaste(HWND owner, int editControlId, LPCSTR folderName) {
    WaitForAppletInputIdle();
    context.pathDialog = FindOwnedWindow(owner, 0);
    HWND target = GetDlgItem(context.pathDialog, editControlId);

    char driverPath[MAX_PATH];
    BuildDriverPath(folderName, driverPath);
    context.clipboardEdit = CreateWindowExA(0, "EDIT", driverPath, 0, 0, 0, CW_USEDEFAULT,
                                            CW_USEDEFAULT, GetDesktopWindow(), 0,
                                            context.instance, 0);
    SendMessageA(context.clipboardEdit, EM_SETSEL, 0, -1);
    SendMessageA(context.clipboardEdit, WM_COPY, 0, 0);

    WaitForAppletInputIdle();
    return target;
}

int HandOverDriverPath(HWND owner) {
    HWND target = PreparePaste(owner, 101, WIN9X_DRIVER_FOLDER);
    SetForegroundWindow(target);
    SendMessageA(target, EM_SETSEL, 0, -1);
    ContinuationProc continuation =
        context.versionInfo.dwMinorVersion == 0 ? Win95Continue : Win98Continue;
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
