// The one door from the program's logic to the window system.
// On Windows this is the real API; on the host it declares exactly the subset the
// logic uses, implemented by the simulated window system in sim/.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <commctrl.h>

#else

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define VOID void

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef std::intptr_t LONG_PTR;
typedef std::uintptr_t ULONG_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef std::intptr_t LRESULT;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HMENU__* HMENU;
typedef HANDLE* LPHANDLE;
typedef VOID(CALLBACK* SENDASYNCPROC)(HWND, UINT, ULONG_PTR, LRESULT);
typedef VOID(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0u
#define WAIT_TIMEOUT 258u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define FILE_ATTRIBUTE_DIRECTORY 0x10u

#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_CHILD 5
#define GWL_STYLE (-16)
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define WS_VISIBLE 0x10000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define CW_USEDEFAULT ((int)0x80000000)

#define WM_TIMER 0x0113
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define EM_SETSEL 0x00B1
#define TCM_FIRST 0x1300
#define TCM_SETCURFOCUS (TCM_FIRST + 48)
#define TCS_BUTTONS 0x0100

#define STARTF_FORCEONFEEDBACK 0x00000040
#define STARTF_USESTDHANDLES 0x00000100

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
typedef STARTUPINFOA* LPSTARTUPINFOA;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// KERNEL32
BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                           LPPROCESS_INFORMATION processInformation);
VOID WINAPI Sleep(DWORD milliseconds);
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA versionInfo);
DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
DWORD WINAPI GetFileAttributesA(LPCSTR fileName);
int WINAPI lstrlenA(LPCSTR string);
LPSTR WINAPI lstrcatA(LPSTR string1, LPCSTR string2);
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
[[noreturn]] VOID WINAPI ExitProcess(UINT exitCode);

// USER32
DWORD WINAPI WaitForInputIdle(HANDLE process, DWORD milliseconds);
HWND WINAPI GetDesktopWindow();
HWND WINAPI GetWindow(HWND window, UINT command);
HWND WINAPI GetParent(HWND window);
DWORD WINAPI GetWindowThreadProcessId(HWND window, DWORD* processId);
BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
int WINAPI GetSystemMetrics(int index);
LONG WINAPI GetWindowLongA(HWND window, int index);
LONG WINAPI SetWindowLongA(HWND window, int index, LONG newLong);
BOOL WINAPI IsWindowVisible(HWND window);
int WINAPI GetClassNameA(HWND window, LPSTR className, int maxCount);
HWND WINAPI FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
HWND WINAPI GetDlgItem(HWND dialog, int controlId);
BOOL WINAPI SendMessageCallbackA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, SENDASYNCPROC callback,
                                 ULONG_PTR data);
BOOL WINAPI SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
LRESULT WINAPI DispatchMessageA(const MSG* message);
VOID WINAPI PostQuitMessage(int exitCode);
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR eventId, UINT elapse, TIMERPROC timerProc);
BOOL WINAPI SetForegroundWindow(HWND window);
HWND WINAPI SetFocus(HWND window);
HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL WINAPI DestroyWindow(HWND window);
LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR current);

// The program's entry, called by the start-up code; declared here as <windows.h> does.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);

#endif

// Only the logging twin routes the calls through its log.
#ifdef SETUP_LOG
#include "platform/logged_calls.h"
#endif
