// The logging twin's door: each of the program's calls goes to the system
// unchanged, and its line goes to the log once it returns. The line is built
// only then, because a continuation may run inside the call and write its own.
#define SETUP_LOG_LAYER
#include "platform/logged_calls.h"

#include "platform/call_log.h"
#include "platform/win32_api.h"

namespace {

void Window(HWND window) { LogWindow(window); }
void Next() { LogText(", "); }
void Result() { LogText(") -> "); }

// The four arguments every sent message has.
void Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window(window);
    Next();
    LogMessageName(message);
    Next();
    LogUnsigned((unsigned long)wParam);
    Next();
    LogSigned((long)lParam);
}

void ResultWindow(HWND window, BOOL action = FALSE) {
    Result();
    LogWindow(window);
    LogEndCall(action);
}

void ResultNumber(long value, BOOL action = FALSE) {
    Result();
    LogSigned(value);
    LogEndCall(action);
}

// Every continuation the program asks for comes back through here: its line
// first, then the script's own procedure, unless the run has ended; then the
// box's message loop may still deliver completions, and they must do nothing.
VOID CALLBACK Continue(HWND window, UINT message, ULONG_PTR step, LRESULT result) {
    SENDASYNCPROC continuation = LogTakeContinuation(window, message, step);
    if (LogRunHasEnded() || !continuation) return;
    LogContinuation((DWORD)step, result);
    continuation(window, message, step, result);
}

// More at once than any script sends would go straight to the script.
SENDASYNCPROC Remember(HWND window, UINT message, ULONG_PTR step, SENDASYNCPROC continuation) {
    return LogRemember(window, message, step, continuation) ? Continue : continuation;
}

}  // namespace

BOOL WINAPI LoggedCreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                                 LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                                 LPPROCESS_INFORMATION processInformation) {
    DWORD at = LogBegin();
    BOOL result = CreateProcessA(applicationName, commandLine, processAttributes, threadAttributes, inheritHandles,
                                 creationFlags, environment, currentDirectory, startupInfo, processInformation);
    LogCall("CreateProcessA", at);
    LogQuoted(commandLine);
    LogText(") -> ");
    LogSigned(result);
    if (result) {
        LogText(", process ");
        LogHex((unsigned long)(ULONG_PTR)processInformation->hProcess);
        LogText(", thread id ");
        LogHex(processInformation->dwThreadId);
    }
    LogEndCall(TRUE);
    return result;
}

VOID WINAPI LoggedSleep(DWORD milliseconds) {
    DWORD at = LogBegin();
    Sleep(milliseconds);
    LogCall("Sleep", at);
    LogUnsigned(milliseconds);
    LogText(")");
    LogEndCall(FALSE);
}

BOOL WINAPI LoggedGetVersionExA(LPOSVERSIONINFOA versionInfo) {
    DWORD at = LogBegin();
    BOOL result = GetVersionExA(versionInfo);
    LogCall("GetVersionExA", at);
    if (result) LogNoteVersion(versionInfo);
    ResultNumber(result);
    return result;
}

DWORD WINAPI LoggedGetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    DWORD at = LogBegin();
    DWORD result = GetCurrentDirectoryA(bufferLength, buffer);
    LogCall("GetCurrentDirectoryA", at);
    LogUnsigned(bufferLength);
    LogNoteCurrentDirectory(result > 0 && result < bufferLength ? buffer : 0);
    Result();
    LogUnsigned(result);
    if (result > 0 && result < bufferLength) {
        LogText(", ");
        LogQuoted(buffer);
    }
    LogEndCall(FALSE);
    return result;
}

DWORD WINAPI LoggedGetFileAttributesA(LPCSTR fileName) {
    DWORD at = LogBegin();
    LogNoteDriverPath(fileName);
    DWORD result = GetFileAttributesA(fileName);
    LogCall("GetFileAttributesA", at);
    LogQuoted(fileName);
    Result();
    LogHex(result);
    LogEndCall(FALSE);
    return result;
}

#ifdef _WIN32
HMODULE WINAPI LoggedGetModuleHandleA(LPCSTR moduleName) {
    DWORD at = LogBegin();
    HMODULE result = GetModuleHandleA(moduleName);
    LogCall("GetModuleHandleA", at);
    LogQuoted(moduleName);
    Result();
    LogHex((unsigned long)(ULONG_PTR)result);
    LogEndCall(FALSE);
    return result;
}
#endif



DWORD WINAPI LoggedWaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    DWORD at = LogBegin();
    DWORD result = WaitForSingleObject(handle, milliseconds);
    LogCall("WaitForSingleObject", at);
    LogHex((unsigned long)(ULONG_PTR)handle);
    Next();
    LogUnsigned(milliseconds);
    Result();
    LogText(result == WAIT_OBJECT_0 ? "WAIT_OBJECT_0" : result == WAIT_TIMEOUT ? "WAIT_TIMEOUT" : "");
    if (result != WAIT_OBJECT_0 && result != WAIT_TIMEOUT) LogHex(result);
    LogEndCall(FALSE);
    return result;
}

VOID WINAPI LoggedExitProcess(UINT exitCode) {
    DWORD at = LogBegin();
    LogCall("ExitProcess", at);
    LogUnsigned(exitCode);
    LogText(")");
    LogEndCall(TRUE);
    LogRunEnded(exitCode);
    ExitProcess(exitCode);
}

DWORD WINAPI LoggedWaitForInputIdle(HANDLE process, DWORD milliseconds) {
    DWORD at = LogBegin();
    DWORD result = WaitForInputIdle(process, milliseconds);
    LogCall("WaitForInputIdle", at);
    LogHex((unsigned long)(ULONG_PTR)process);
    Next();
    LogText(milliseconds == INFINITE ? "INFINITE" : "");
    if (milliseconds != INFINITE) LogUnsigned(milliseconds);
    ResultNumber((long)result);
    return result;
}

HWND WINAPI LoggedGetDesktopWindow() {
    DWORD at = LogBegin();
    HWND result = GetDesktopWindow();
    LogCall("GetDesktopWindow", at);
    Result();
    LogHex((unsigned long)(ULONG_PTR)result);
    LogEndCall(FALSE);
    return result;
}

HWND WINAPI LoggedGetWindow(HWND window, UINT command) {
    DWORD at = LogBegin();
    HWND result = GetWindow(window, command);
    LogCall("GetWindow", at);
    Window(window);
    Next();
    static const char* const kCommands[] = {"GW_HWNDFIRST", "GW_HWNDLAST", "GW_HWNDNEXT", "GW_HWNDPREV",
                                            "GW_OWNER",     "GW_CHILD"};
    if (command < sizeof kCommands / sizeof kCommands[0])
        LogText(kCommands[command]);
    else
        LogUnsigned(command);
    ResultWindow(result);
    return result;
}

HWND WINAPI LoggedGetParent(HWND window) {
    DWORD at = LogBegin();
    HWND result = GetParent(window);
    LogCall("GetParent", at);
    Window(window);
    ResultWindow(result);
    return result;
}

DWORD WINAPI LoggedGetWindowThreadProcessId(HWND window, DWORD* processId) {
    DWORD at = LogBegin();
    DWORD result = GetWindowThreadProcessId(window, processId);
    LogCall("GetWindowThreadProcessId", at);
    Window(window);
    Result();
    LogHex(result);
    LogEndCall(FALSE);
    return result;
}

BOOL WINAPI LoggedGetWindowRect(HWND window, LPRECT rect) {
    DWORD at = LogBegin();
    BOOL result = GetWindowRect(window, rect);
    LogCall("GetWindowRect", at);
    Window(window);
    Result();
    LogSigned(result);
    if (result) {
        LogText(", (");
        LogSigned(rect->left);
        Next();
        LogSigned(rect->top);
        Next();
        LogSigned(rect->right);
        Next();
        LogSigned(rect->bottom);
        LogText(")");
    }
    LogEndCall(FALSE);
    return result;
}

int WINAPI LoggedGetSystemMetrics(int index) {
    DWORD at = LogBegin();
    int result = GetSystemMetrics(index);
    LogCall("GetSystemMetrics", at);
    LogText(index == SM_CXSCREEN ? "SM_CXSCREEN" : index == SM_CYSCREEN ? "SM_CYSCREEN" : "");
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) LogSigned(index);
    ResultNumber(result);
    return result;
}

LONG WINAPI LoggedGetWindowLongA(HWND window, int index) {
    DWORD at = LogBegin();
    LONG result = GetWindowLongA(window, index);
    LogCall("GetWindowLongA", at);
    Window(window);
    Next();
    LogText(index == GWL_STYLE ? "GWL_STYLE" : "");
    if (index != GWL_STYLE) LogSigned(index);
    Result();
    LogHex((DWORD)result);
    LogEndCall(FALSE);
    return result;
}

LONG WINAPI LoggedSetWindowLongA(HWND window, int index, LONG newLong) {
    DWORD at = LogBegin();
    LONG result = SetWindowLongA(window, index, newLong);
    LogCall("SetWindowLongA", at);
    Window(window);
    Next();
    LogText(index == GWL_STYLE ? "GWL_STYLE" : "");
    if (index != GWL_STYLE) LogSigned(index);
    Next();
    LogHex((DWORD)newLong);
    Result();
    LogHex((DWORD)result);
    LogEndCall(TRUE);
    return result;
}

BOOL WINAPI LoggedIsWindowVisible(HWND window) {
    DWORD at = LogBegin();
    BOOL result = IsWindowVisible(window);
    LogCall("IsWindowVisible", at);
    Window(window);
    ResultNumber(result);
    return result;
}

int WINAPI LoggedGetClassNameA(HWND window, LPSTR className, int maxCount) {
    DWORD at = LogBegin();
    int result = GetClassNameA(window, className, maxCount);
    LogCall("GetClassNameA", at);
    Window(window);
    Next();
    LogSigned(maxCount);
    Result();
    LogSigned(result);
    if (result > 0) {
        Next();
        LogQuoted(className);
    }
    LogEndCall(FALSE);
    return result;
}

HWND WINAPI LoggedFindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
    DWORD at = LogBegin();
    HWND result = FindWindowExA(parent, childAfter, className, windowName);
    LogCall("FindWindowExA", at);
    Window(parent);
    Next();
    Window(childAfter);
    Next();
    LogQuoted(className);
    Next();
    LogQuoted(windowName);
    ResultWindow(result);
    return result;
}

HWND WINAPI LoggedGetDlgItem(HWND dialog, int controlId) {
    DWORD at = LogBegin();
    HWND result = GetDlgItem(dialog, controlId);
    LogCall("GetDlgItem", at);
    Window(dialog);
    Next();
    LogSigned(controlId);
    ResultWindow(result);
    return result;
}

BOOL WINAPI LoggedSendMessageCallbackA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       SENDASYNCPROC callback, ULONG_PTR data) {
    DWORD at = LogBegin();
    BOOL result = SendMessageCallbackA(window, message, wParam, lParam, Remember(window, message, data, callback),
                                       data);
    LogCall("SendMessageCallbackA", at);
    Message(window, message, wParam, lParam);
    LogText(", continuation, step ");
    LogUnsigned((unsigned long)data);
    ResultNumber(result, TRUE);
    return result;
}

BOOL WINAPI LoggedSendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD at = LogBegin();
    BOOL result = SendNotifyMessageA(window, message, wParam, lParam);
    LogCall("SendNotifyMessageA", at);
    Message(window, message, wParam, lParam);
    ResultNumber(result, TRUE);
    return result;
}

LRESULT WINAPI LoggedSendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD at = LogBegin();
    LRESULT result = SendMessageA(window, message, wParam, lParam);
    LogCall("SendMessageA", at);
    Message(window, message, wParam, lParam);
    ResultNumber((long)result, TRUE);
    return result;
}

BOOL WINAPI LoggedGetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    DWORD at = LogBegin();
    BOOL result = GetMessageA(message, window, filterMin, filterMax);
    LogCall("GetMessageA", at);
    Window(window);
    Next();
    LogUnsigned(filterMin);
    Next();
    LogUnsigned(filterMax);
    Result();
    LogSigned(result);
    if (result != -1) {
        Next();
        LogMessageName(message->message);
    }
    LogEndCall(FALSE);
    return result;
}

LRESULT WINAPI LoggedDispatchMessageA(const MSG* message) {
    DWORD at = LogBegin();
    LRESULT result = DispatchMessageA(message);
    LogCall("DispatchMessageA", at);
    LogMessageName(message->message);
    ResultNumber((long)result);
    return result;
}

VOID WINAPI LoggedPostQuitMessage(int exitCode) {
    DWORD at = LogBegin();
    PostQuitMessage(exitCode);
    LogCall("PostQuitMessage", at);
    LogSigned(exitCode);
    LogText(")");
    LogEndCall(TRUE);
}

UINT_PTR WINAPI LoggedSetTimer(HWND window, UINT_PTR eventId, UINT elapse, TIMERPROC timerProc) {
    DWORD at = LogBegin();
    UINT_PTR result = SetTimer(window, eventId, elapse, timerProc);
    LogCall("SetTimer", at);
    Window(window);
    Next();
    LogUnsigned((unsigned long)eventId);
    Next();
    LogUnsigned(elapse);
    Result();
    LogHex((unsigned long)result);
    LogEndCall(FALSE);
    return result;
}

BOOL WINAPI LoggedSetForegroundWindow(HWND window) {
    DWORD at = LogBegin();
    BOOL result = SetForegroundWindow(window);
    LogCall("SetForegroundWindow", at);
    Window(window);
    ResultNumber(result, TRUE);
    return result;
}

HWND WINAPI LoggedSetFocus(HWND window) {
    DWORD at = LogBegin();
    HWND result = SetFocus(window);
    LogCall("SetFocus", at);
    Window(window);
    ResultWindow(result, TRUE);
    return result;
}

HWND WINAPI LoggedCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                  int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    DWORD at = LogBegin();
    HWND result =
        CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
    LogCall("CreateWindowExA", at);
    LogQuoted(className);
    Next();
    LogQuoted(windowName);
    Next();
    LogHex(style);
    ResultWindow(result, TRUE);
    return result;
}

BOOL WINAPI LoggedDestroyWindow(HWND window) {
    DWORD at = LogBegin();
    BOOL result = DestroyWindow(window);
    LogCall("DestroyWindow", at);
    Window(window);
    ResultNumber(result, TRUE);
    return result;
}
