// In the logging twin the program's calls to the system go through the log:
// the same calls, in the same order, with the same arguments, each written down
// with its result. setup.exe is built without SETUP_LOG and never sees this.
// The string helpers (lstrlenA, lstrcatA, CharPrevA) are not the window
// system's and go straight through: the driver path they build is in the log.
#pragma once

#include "platform/win32_api.h"

#ifndef SETUP_LOG_LAYER

#define CreateProcessA LoggedCreateProcessA
#define Sleep LoggedSleep
#define GetVersionExA LoggedGetVersionExA
#define GetCurrentDirectoryA LoggedGetCurrentDirectoryA
#define GetFileAttributesA LoggedGetFileAttributesA
#define GetModuleHandleA LoggedGetModuleHandleA
#define WaitForSingleObject LoggedWaitForSingleObject
#define ExitProcess LoggedExitProcess
#define WaitForInputIdle LoggedWaitForInputIdle
#define GetDesktopWindow LoggedGetDesktopWindow
#define GetWindow LoggedGetWindow
#define GetParent LoggedGetParent
#define GetWindowThreadProcessId LoggedGetWindowThreadProcessId
#define GetWindowRect LoggedGetWindowRect
#define GetSystemMetrics LoggedGetSystemMetrics
#define GetWindowLongA LoggedGetWindowLongA
#define SetWindowLongA LoggedSetWindowLongA
#define IsWindowVisible LoggedIsWindowVisible
#define GetClassNameA LoggedGetClassNameA
#define FindWindowExA LoggedFindWindowExA
#define GetDlgItem LoggedGetDlgItem
#define SendMessageCallbackA LoggedSendMessageCallbackA
#define SendNotifyMessageA LoggedSendNotifyMessageA
#define SendMessageA LoggedSendMessageA
#define GetMessageA LoggedGetMessageA
#define DispatchMessageA LoggedDispatchMessageA
#define PostQuitMessage LoggedPostQuitMessage
#define SetTimer LoggedSetTimer
#define SetForegroundWindow LoggedSetForegroundWindow
#define SetFocus LoggedSetFocus
#define CreateWindowExA LoggedCreateWindowExA
#define DestroyWindow LoggedDestroyWindow

#endif

BOOL WINAPI LoggedCreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                                 LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                                 LPPROCESS_INFORMATION processInformation);
VOID WINAPI LoggedSleep(DWORD milliseconds);
BOOL WINAPI LoggedGetVersionExA(LPOSVERSIONINFOA versionInfo);
DWORD WINAPI LoggedGetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
DWORD WINAPI LoggedGetFileAttributesA(LPCSTR fileName);
#ifdef _WIN32
HMODULE WINAPI LoggedGetModuleHandleA(LPCSTR moduleName);
#endif
DWORD WINAPI LoggedWaitForSingleObject(HANDLE handle, DWORD milliseconds);
[[noreturn]] VOID WINAPI LoggedExitProcess(UINT exitCode);
DWORD WINAPI LoggedWaitForInputIdle(HANDLE process, DWORD milliseconds);
HWND WINAPI LoggedGetDesktopWindow();
HWND WINAPI LoggedGetWindow(HWND window, UINT command);
HWND WINAPI LoggedGetParent(HWND window);
DWORD WINAPI LoggedGetWindowThreadProcessId(HWND window, DWORD* processId);
BOOL WINAPI LoggedGetWindowRect(HWND window, LPRECT rect);
int WINAPI LoggedGetSystemMetrics(int index);
LONG WINAPI LoggedGetWindowLongA(HWND window, int index);
LONG WINAPI LoggedSetWindowLongA(HWND window, int index, LONG newLong);
BOOL WINAPI LoggedIsWindowVisible(HWND window);
int WINAPI LoggedGetClassNameA(HWND window, LPSTR className, int maxCount);
HWND WINAPI LoggedFindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
HWND WINAPI LoggedGetDlgItem(HWND dialog, int controlId);
BOOL WINAPI LoggedSendMessageCallbackA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       SENDASYNCPROC callback, ULONG_PTR data);
BOOL WINAPI LoggedSendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI LoggedSendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI LoggedGetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
LRESULT WINAPI LoggedDispatchMessageA(const MSG* message);
VOID WINAPI LoggedPostQuitMessage(int exitCode);
UINT_PTR WINAPI LoggedSetTimer(HWND window, UINT_PTR eventId, UINT elapse, TIMERPROC timerProc);
BOOL WINAPI LoggedSetForegroundWindow(HWND window);
HWND WINAPI LoggedSetFocus(HWND window);
HWND WINAPI LoggedCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                  int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI LoggedDestroyWindow(HWND window);
