// The logging twin's own calls to the system, apart from the program's: writing
// the log, reading the clock, naming a window for the log, and the one message
// box after the run. Everything else the twin calls is the program's own call,
// passed through unchanged. On the host the simulator answers these without
// advancing its clock or counting them as the program's calls.
#pragma once

#include "platform/win32_api.h"

#ifdef _WIN32

inline DWORD LogTempPath(DWORD size, LPSTR buffer) { return GetTempPathA(size, buffer); }
inline UINT LogWindowsFolder(LPSTR buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); }
// Starts the file afresh; INVALID_HANDLE_VALUE when it cannot be written.
inline HANDLE LogCreate(LPCSTR path) {
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
}
inline BOOL LogWrite(HANDLE file, const void* bytes, DWORD count, DWORD* written) {
    return WriteFile(file, bytes, count, written, 0);
}
// Moves to an offset from the start of the file and cuts the file there.
inline BOOL LogTruncate(HANDLE file, DWORD offset) {
    return SetFilePointer(file, (LONG)offset, 0, FILE_BEGIN) != 0xFFFFFFFF && SetEndOfFile(file);
}
inline DWORD LogClock() { return GetTickCount(); }
inline int LogClassName(HWND window, LPSTR buffer, int size) { return GetClassNameA(window, buffer, size); }
inline int LogControlId(HWND window) { return GetDlgCtrlID(window); }
inline int LogMessageBox(LPCSTR text, LPCSTR caption, UINT type) { return MessageBoxA(0, text, caption, type); }

#else

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define MB_ICONINFORMATION 0x00000040L

DWORD LogTempPath(DWORD size, LPSTR buffer);
UINT LogWindowsFolder(LPSTR buffer, UINT size);
HANDLE LogCreate(LPCSTR path);
BOOL LogWrite(HANDLE file, const void* bytes, DWORD count, DWORD* written);
BOOL LogTruncate(HANDLE file, DWORD offset);
DWORD LogClock();
int LogClassName(HWND window, LPSTR buffer, int size);
int LogControlId(HWND window);
int LogMessageBox(LPCSTR text, LPCSTR caption, UINT type);
// The log's state, zero-filled, one per simulated process, as a static record
// is one per real process.
void* LogProcessMemory(unsigned size);

#endif
