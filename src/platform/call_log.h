// The logging twin's log, SETUPLOG.TXT: one line per call of the program,
// written the moment the call returns, a poll that repeats itself folded into
// one line, and how the run ended. Used only by the twin's wrappers.
#pragma once

#include "platform/win32_api.h"

// One line of the log, built from its parts once the call has returned:
// LogCall with the time LogBegin gave as the call started, then any of the
// others, then LogEndCall.
DWORD LogBegin();
void LogCall(const char* name, DWORD at);
void LogText(const char* text);
void LogSigned(long value);
void LogUnsigned(unsigned long value);
void LogHex(unsigned long value);
void LogQuoted(const char* text);
void LogWindow(HWND window);
void LogMessageName(UINT message);
// An action changes something in the applet or in the run; a poll never folds one away.
void LogEndCall(BOOL action);

// The header's facts, noted as the program comes upon them. The file is opened
// once the driver path is known (or the run ends before): until then the
// lines wait in memory, and only calls that never wait come before it.
void LogNoteVersion(const OSVERSIONINFOA* version);
void LogNoteCurrentDirectory(LPCSTR directory);
void LogNoteDriverPath(LPCSTR path);

// A continuation of the script starts: its own line.
void LogContinuation(DWORD step, LRESULT result);

// The run has ended with this exit code: the log's last words, then the one
// message box saying the same. Returns once the box is closed.
void LogRunEnded(UINT exitCode);
BOOL LogRunHasEnded();

// The continuations the program asked for, until the system delivers them.
BOOL LogRemember(HWND window, UINT message, ULONG_PTR step, SENDASYNCPROC continuation);
SENDASYNCPROC LogTakeContinuation(HWND window, UINT message, ULONG_PTR step);

// What the box and the log's last lines say of each exit code.
LPCSTR ExitCodeMeaning(UINT exitCode);
