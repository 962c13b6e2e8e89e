#define SETUP_LOG_LAYER
#include "platform/call_log.h"

#include "platform/log_door.h"
#include "run/automation_context.h"

namespace {

const char kCaption[] = "Setup for Graphics Driver";
const char kFileName[] = "SETUPLOG.TXT";
// Calls stop being written here; what is left is kept for the run's last lines.
const DWORD kCallCap = 1024 * 1024 - 8192;
// A folded poll's line is brought up to date at least this often.
const DWORD kSummaryIntervalMs = 2000;
// Once a wait has written this much without an action, its calls are counted,
// not written: a desktop whose windows keep changing never repeats exactly.
const DWORD kWaitBudget = 16 * 1024;
const DWORD kHistory = 2048;
const DWORD kMaxPeriod = 1024;
const DWORD kBuckets = 4096;
const DWORD kRecent = 8;

enum LogState { NOT_YET_OPEN, WRITING, NO_FOLDER, DISK_FULL, CAPPED };

struct CallLog {
    LogState state;
    HANDLE file;
    DWORD size;
    char path[MAX_PATH + sizeof kFileName];
    BOOL started;
    DWORD startTick;
    BOOL runEnded;

    // The header's facts.
    BOOL versionKnown;
    OSVERSIONINFOA version;
    char currentDirectory[MAX_PATH];
    BOOL directoryKnown;

    // The line being built; its first kStampWidth characters are the time.
    char line[1024];
    int lineLength;
    // Lines written before the file is open.
    char early[4096];
    int earlyLength;

    // Folding: a poll repeats a run of calls. A line that repeats an earlier
    // one starts a run of that period, held back while it goes on repeating;
    // once a whole period has repeated, each further one is only counted.
    struct Key {
        DWORD a, b;  // two hashes of the line without its time
    } history[kHistory];
    DWORD lines;                 // lines seen so far, folded or not
    DWORD lastSeen[kBuckets];    // per hash bucket: the number of the last line there, plus one
    DWORD period;                // 0 when no run is being followed
    BOOL confirmed;              // a whole period has repeated
    DWORD matched;               // lines of the current period matched so far
    char held[65536];            // their text, written should the run break
    int heldLength;
    DWORD heldStart;
    DWORD repeats;               // whole periods folded
    DWORD foldStart;
    DWORD foldEnd;
    // A wait that has written its share only counts its calls, and keeps the last few.
    BOOL overflowing;
    DWORD overflowCalls;
    char recent[kRecent][256];
    DWORD recentCount;
    BOOL summaryIsLast;  // the folded line is the file's last, to be rewritten in place
    DWORD summaryOffset;
    DWORD summaryWrittenAt;
    DWORD waitBytes;     // written since the last action

    // Continuations asked for and not yet delivered.
    struct Pending {
        HWND window;
        UINT message;
        ULONG_PTR step;
        SENDASYNCPROC continuation;
    } pending[64];
};

#ifdef _WIN32
CallLog theLog;
CallLog& L() { return theLog; }
#else
// Every simulated process starts with a log of its own.
CallLog& L() { return *static_cast<CallLog*>(LogProcessMemory(sizeof(CallLog))); }
#endif

const int kStampWidth = 9;

void Append(char* buffer, int* length, int capacity, const char* text) {
    while (*text && *length < capacity - 1) buffer[(*length)++] = *text++;
    buffer[*length] = 0;
}

void AppendUnsigned(char* buffer, int* length, int capacity, unsigned long value, int width) {
    char digits[16];
    int count = 0;
    do {
        digits[count++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    char text[32];
    int at = 0;
    while (width-- > count && at < 16) text[at++] = ' ';
    while (count) text[at++] = digits[--count];
    text[at] = 0;
    Append(buffer, length, capacity, text);
}

void Put(const char* text) {
    CallLog& log = L();
    Append(log.line, &log.lineLength, sizeof log.line, text);
}

DWORD Now() {
    CallLog& log = L();
    return LogClock() - log.startTick;
}

// Seconds with one decimal, from milliseconds.
void PutSeconds(char* buffer, int* length, int capacity, DWORD ms) {
    AppendUnsigned(buffer, length, capacity, ms / 1000, 0);
    Append(buffer, length, capacity, ".");
    AppendUnsigned(buffer, length, capacity, ms % 1000 / 100, 0);
    Append(buffer, length, capacity, " s");
}

DWORD Hash(const char* text) {
    DWORD hash = 2166136261u;
    while (*text) hash = (hash ^ (unsigned char)*text++) * 16777619u;
    return hash;
}

// A second, independent hash, so that two different lines pass for the same
// only by a chance too small to matter.
DWORD HashBackwards(const char* text, int length) {
    DWORD hash = 5381;
    while (length > 0) hash = hash * 33 + (unsigned char)text[--length];
    return hash;
}

BOOL SameDrive(const char* a, const char* b) {
    // "C:" of a drive letter, or "\\server\share" of a network path.
    int length = 0;
    if (a[0] && a[1] == ':') {
        length = 2;
    } else if (a[0] == '\\' && a[1] == '\\') {
        int backslashes = 0;
        while (a[length] && backslashes < 4) backslashes += a[length++] == '\\';
    } else {
        return FALSE;
    }
    for (int i = 0; i < length; ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? (char)(a[i] - 32) : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? (char)(b[i] - 32) : b[i];
        if (x != y || !y) return FALSE;
    }
    return TRUE;
}

BOOL CreateIn(const char* folder) {
    CallLog& log = L();
    int length = 0;
    log.path[0] = 0;
    Append(log.path, &length, MAX_PATH, folder);
    if (length == 0) return FALSE;
    if (log.path[length - 1] != '\\') Append(log.path, &length, sizeof log.path, "\\");
    Append(log.path, &length, sizeof log.path, kFileName);
    log.file = LogCreate(log.path);
    return log.file != INVALID_HANDLE_VALUE;
}

// The temp folder, unless it lies on the medium (Windows 95 names the current
// directory when TMP and TEMP are unset, and a floppy may be writable), else
// the Windows folder.
void OpenFile() {
    CallLog& log = L();
    char folder[MAX_PATH];
    DWORD length = LogTempPath(sizeof folder, folder);
    BOOL tempUsable = length > 0 && length < sizeof folder && log.directoryKnown &&
                      !SameDrive(folder, log.currentDirectory);
    if (tempUsable && CreateIn(folder)) {
        log.state = WRITING;
        return;
    }
    length = LogWindowsFolder(folder, sizeof folder);
    if (length > 0 && length < sizeof folder && CreateIn(folder)) {
        log.state = WRITING;
        return;
    }
    log.path[0] = 0;
    log.state = NO_FOLDER;
}

// Writes bytes at the end of the file; a full disk ends the logging.
void WriteBytes(const char* bytes, int count) {
    CallLog& log = L();
    if (log.state != WRITING || count == 0) return;
    DWORD written = 0;
    if (!LogWrite(log.file, bytes, (DWORD)count, &written) || written != (DWORD)count) {
        log.size += written;
        log.state = DISK_FULL;
        return;
    }
    log.size += written;
    log.waitBytes += written;
}

void WriteLine(const char* text) {
    CallLog& log = L();
    char line[1100];
    int length = 0;
    Append(line, &length, sizeof line - 2, text);
    Append(line, &length, sizeof line, "\r\n");
    if (log.state == NOT_YET_OPEN) {
        Append(log.early, &log.earlyLength, sizeof log.early, line);
        return;
    }
    log.summaryIsLast = FALSE;
    WriteBytes(line, length);
}

void WriteHeaderLine(const char* label, const char* value) {
    char text[MAX_PATH + 64];
    int length = 0;
    Append(text, &length, sizeof text, label);
    Append(text, &length, sizeof text, value);
    WriteLine(text);
}

const char* ScriptName() {
    CallLog& log = L();
    if (!log.versionKnown) return "Windows 95";
    if (log.version.dwPlatformId != 1) return "Windows NT";
    return log.version.dwMinorVersion != 0 ? "Windows 98" : "Windows 95";
}

void OpenWithHeader(LPCSTR driverPath) {
    CallLog& log = L();
    OpenFile();
    if (log.state != WRITING) return;
    WriteHeaderLine("setuplog.exe 1.0, the logging twin of setup.exe: ", kCaption);
    char text[256];
    int length = 0;
    if (log.versionKnown) {
        Append(text, &length, sizeof text, "Windows: platform id ");
        AppendUnsigned(text, &length, sizeof text, log.version.dwPlatformId, 0);
        Append(text, &length, sizeof text, ", version ");
        AppendUnsigned(text, &length, sizeof text, log.version.dwMajorVersion, 0);
        Append(text, &length, sizeof text, ".");
        AppendUnsigned(text, &length, sizeof text, log.version.dwMinorVersion, 0);
        Append(text, &length, sizeof text, ", build ");
        AppendUnsigned(text, &length, sizeof text, log.version.dwBuildNumber & 0xFFFF, 0);
        Append(text, &length, sizeof text, ", \"");
        Append(text, &length, sizeof text, log.version.szCSDVersion);
        Append(text, &length, sizeof text, "\"");
    } else {
        Append(text, &length, sizeof text, "Windows: the version could not be read");
    }
    WriteLine(text);
    WriteHeaderLine("Current directory: ", log.directoryKnown ? log.currentDirectory : "(could not be read)");
    WriteHeaderLine("Script: ", ScriptName());
    WriteHeaderLine("Driver path: ", driverPath ? driverPath : "(none)");
    WriteHeaderLine("Log: ", log.path);
    WriteBytes(log.early, log.earlyLength);
    log.earlyLength = 0;
    log.waitBytes = 0;
}

// The folded calls as one line, written in place of the last such line when
// nothing came after it, so that a run killed mid-wait still says how long.
void WriteSummary(BOOL final) {
    CallLog& log = L();
    if ((!log.repeats && !log.overflowCalls) || log.state != WRITING) return;
    char text[256];
    int length = 0;
    AppendUnsigned(text, &length, sizeof text, log.foldEnd, kStampWidth - 1);
    if (log.overflowing) {
        Append(text, &length, sizeof text, " ... ");
        AppendUnsigned(text, &length, sizeof text, log.overflowCalls, 0);
        Append(text, &length, sizeof text, " more calls, as windows came and went, ");
    } else {
        Append(text, &length, sizeof text, " ... the same ");
        AppendUnsigned(text, &length, sizeof text, log.period, 0);
        Append(text, &length, sizeof text, " calls, ");
        AppendUnsigned(text, &length, sizeof text, log.repeats, 0);
        Append(text, &length, sizeof text, log.repeats == 1 ? " more time, " : " more times, ");
    }
    PutSeconds(text, &length, sizeof text, log.foldEnd - log.foldStart);
    if (!final) Append(text, &length, sizeof text, " so far");
    Append(text, &length, sizeof text, "\r\n");
    if (log.summaryIsLast) {
        if (!LogTruncate(log.file, log.summaryOffset)) {
            log.state = DISK_FULL;
            return;
        }
        log.size = log.summaryOffset;
    }
    log.summaryOffset = log.size;
    WriteBytes(text, length);
    log.summaryIsLast = !final;
    log.summaryWrittenAt = Now();
}

void KeepUpToDate() {
    CallLog& log = L();
    if (Now() - log.summaryWrittenAt >= kSummaryIntervalMs) WriteSummary(FALSE);
}

// Ends a run being followed: the summary, then the lines held back.
void EndFold() {
    CallLog& log = L();
    if (log.confirmed || log.overflowing) WriteSummary(TRUE);
    log.summaryIsLast = FALSE;
    if (log.overflowing) {
        DWORD first = log.recentCount > kRecent ? log.recentCount - kRecent : 0;
        if (log.recentCount) WriteLine("         ... the last of them:");
        for (DWORD i = first; i < log.recentCount; ++i) WriteLine(log.recent[i % kRecent]);
    }
    WriteBytes(log.held, log.heldLength);
    log.heldLength = 0;
    log.period = 0;
    log.confirmed = FALSE;
    log.matched = 0;
    log.repeats = 0;
    log.overflowing = FALSE;
    log.overflowCalls = 0;
    log.recentCount = 0;
}

BOOL Hold(const char* line) {
    CallLog& log = L();
    if (log.heldLength + log.lineLength + 3 > (int)sizeof log.held) return FALSE;
    if (!log.matched) log.heldStart = Now();
    Append(log.held, &log.heldLength, sizeof log.held, line);
    Append(log.held, &log.heldLength, sizeof log.held, "\r\n");
    log.matched++;
    if (log.matched == log.period) {
        if (!log.confirmed) log.foldStart = log.heldStart;
        log.confirmed = TRUE;
        log.repeats++;
        log.foldEnd = Now();
        log.matched = 0;
        log.heldLength = 0;
    }
    return TRUE;
}

BOOL SameKey(const CallLog::Key& x, const CallLog::Key& y) { return x.a == y.a && x.b == y.b; }

// Takes one line: written, held back as part of a repeating run, or counted.
void Fold(BOOL action) {
    CallLog& log = L();
    const char* text = log.line + kStampWidth;
    CallLog::Key key = {Hash(text), HashBackwards(text, log.lineLength - kStampWidth)};
    DWORD index = log.lines++;
    DWORD bucket = key.a % kBuckets;
    DWORD previous = log.lastSeen[bucket];
    log.history[index % kHistory] = key;
    log.lastSeen[bucket] = index + 1;

    if (log.overflowing && !action) {
        log.overflowCalls++;
        log.foldEnd = Now();
        int length = 0;
        Append(log.recent[log.recentCount++ % kRecent], &length, 256, log.line);
        KeepUpToDate();
        return;
    }
    if (log.period) {
        if (!action && SameKey(key, log.history[(index - log.period) % kHistory]) && Hold(log.line)) {
            if (log.confirmed) KeepUpToDate();
            return;
        }
        EndFold();
    }
    if (log.overflowing) EndFold();
    if (!action && log.waitBytes > kWaitBudget) {
        log.overflowing = TRUE;
        log.overflowCalls = 1;
        log.foldStart = log.foldEnd = Now();
        int length = 0;
        Append(log.recent[log.recentCount++ % kRecent], &length, 256, log.line);
        return;
    }
    DWORD period = index + 1 - previous;
    // A single line said twice is shorter than its summary.
    if (!action && previous && period >= 2 && period <= kMaxPeriod &&
        SameKey(key, log.history[(previous - 1) % kHistory])) {
        log.period = period;
        if (Hold(log.line)) return;
        EndFold();
    }
    WriteLine(log.line);
    if (action) log.waitBytes = 0;
}

void Stamp(DWORD at) {
    CallLog& log = L();
    log.lineLength = 0;
    log.line[0] = 0;
    AppendUnsigned(log.line, &log.lineLength, sizeof log.line, at, kStampWidth - 1);
    Put(" ");
}

}  // namespace

DWORD LogBegin() {
    CallLog& log = L();
    if (!log.started) {
        log.started = TRUE;
        log.startTick = LogClock();
    }
    return Now();
}

void LogCall(const char* name, DWORD at) {
    Stamp(at);
    Put(name);
    Put("(");
}

void LogText(const char* text) { Put(text); }

void LogSigned(long value) {
    if (value < 0) {
        Put("-");
        LogUnsigned(0ul - (unsigned long)value);
    } else {
        LogUnsigned((unsigned long)value);
    }
}

void LogUnsigned(unsigned long value) {
    CallLog& log = L();
    AppendUnsigned(log.line, &log.lineLength, sizeof log.line, value, 0);
}

void LogHex(unsigned long value) {
    char text[12] = "0x";
    int at = 2;
    BOOL started = FALSE;
    for (int shift = 28; shift >= 0; shift -= 4) {
        unsigned digit = (value >> shift) & 15;
        if (digit || started || shift == 0) {
            text[at++] = (char)(digit < 10 ? '0' + digit : 'a' + digit - 10);
            started = TRUE;
        }
    }
    text[at] = 0;
    Put(text);
}

void LogQuoted(const char* text) {
    if (!text) {
        Put("null");
        return;
    }
    Put("\"");
    Put(text);
    Put("\"");
}

void LogWindow(HWND window) {
    LogHex((unsigned long)(ULONG_PTR)window);
    if (!window || window == NOT_FOUND_WINDOW) return;
    char className[64];
    className[0] = 0;
    if (LogClassName(window, className, sizeof className) <= 0) {
        Put(" (no window)");
        return;
    }
    Put(" \"");
    Put(className);
    Put("\"");
    int id = LogControlId(window);
    if (id) {
        Put(" #");
        LogSigned(id);
    }
}

void LogMessageName(UINT message) {
    switch (message) {
        case BM_CLICK:
            Put("BM_CLICK");
            return;
        case BM_SETCHECK:
            Put("BM_SETCHECK");
            return;
        case EM_SETSEL:
            Put("EM_SETSEL");
            return;
        case WM_COPY:
            Put("WM_COPY");
            return;
        case WM_PASTE:
            Put("WM_PASTE");
            return;
        case WM_TIMER:
            Put("WM_TIMER");
            return;
        case TCM_SETCURFOCUS:
            Put("TCM_SETCURFOCUS");
            return;
        case 0x0012:
            Put("WM_QUIT");
            return;
    }
    LogHex(message);
}

void LogEndCall(BOOL action) {
    CallLog& log = L();
    if (log.runEnded || log.state == NO_FOLDER || log.state == DISK_FULL) return;
    if (log.state == CAPPED) return;
    // What folding holds back, and the last lines of a counted wait, still fit.
    if (log.state == WRITING && log.size + (DWORD)(log.heldLength + log.lineLength) + 4096 > kCallCap) {
        EndFold();
        WriteLine("The log has reached 1 MB: no more calls are written.");
        log.state = CAPPED;
        return;
    }
    Fold(action);
}

void LogNoteVersion(const OSVERSIONINFOA* version) {
    CallLog& log = L();
    log.versionKnown = TRUE;
    log.version = *version;
}

void LogNoteCurrentDirectory(LPCSTR directory) {
    CallLog& log = L();
    int length = 0;
    log.directoryKnown = directory != 0;
    if (directory) Append(log.currentDirectory, &length, sizeof log.currentDirectory, directory);
}

void LogNoteDriverPath(LPCSTR path) {
    CallLog& log = L();
    if (log.state == NOT_YET_OPEN) OpenWithHeader(path);
}

void LogContinuation(DWORD step, LRESULT result) {
    Stamp(LogBegin());
    Put("continuation of the ");
    Put(ScriptName());
    Put(" script, step ");
    LogUnsigned(step);
    Put(" (result ");
    LogSigned((long)result);
    Put(")");
    LogEndCall(TRUE);
}

BOOL LogRunHasEnded() {
    CallLog& log = L();
    return log.runEnded;
}

BOOL LogRemember(HWND window, UINT message, ULONG_PTR step, SENDASYNCPROC continuation) {
    CallLog& log = L();
    for (CallLog::Pending& entry : log.pending) {
        if (!entry.continuation) {
            entry = {window, message, step, continuation};
            return TRUE;
        }
    }
    return FALSE;
}

SENDASYNCPROC LogTakeContinuation(HWND window, UINT message, ULONG_PTR step) {
    CallLog& log = L();
    for (CallLog::Pending& entry : log.pending) {
        if (entry.continuation && entry.window == window && entry.message == message && entry.step == step) {
            SENDASYNCPROC continuation = entry.continuation;
            entry.continuation = 0;
            return continuation;
        }
    }
    return 0;
}

LPCSTR ExitCodeMeaning(UINT exitCode) {
    switch (exitCode) {
        case 0:
            return "The installation ran to its end: the Display applet was driven through it.";
        case 1:
            return "The Display applet could not be started: rundll32.exe is missing or cannot be started.";
        case 2:
            return "The Display applet ended before the installation was done: it was closed, or it crashed.";
        case 3:
            return "No usable driver folder: the current directory cannot be read, the driver path would not fit "
                   "260 bytes, or Win9x (WinNT\\V4 on NT) is missing. Nothing was pasted.";
        case 4:
            return "The driver path could not be put on the clipboard (the hidden edit window could not be "
                   "created); nothing was pasted.";
    }
    return "The run ended.";
}

void LogRunEnded(UINT exitCode) {
    CallLog& log = L();
    if (log.runEnded) return;
    if (log.state == NOT_YET_OPEN) OpenWithHeader(0);
    if (log.state == WRITING || log.state == CAPPED) {
        if (log.state == CAPPED) log.state = WRITING;
        EndFold();
    }
    log.runEnded = TRUE;

    char text[1024];
    int length = 0;
    Append(text, &length, sizeof text, ExitCodeMeaning(exitCode));
    Append(text, &length, sizeof text, " (exit code ");
    AppendUnsigned(text, &length, sizeof text, exitCode, 0);
    Append(text, &length, sizeof text, ")\r\n\r\n");
    if (log.state == WRITING) {
        Append(text, &length, sizeof text, "The log is ");
        Append(text, &length, sizeof text, log.path);
        Append(text, &length, sizeof text, ".");
    } else if (log.state == DISK_FULL) {
        Append(text, &length, sizeof text, "The log ");
        Append(text, &length, sizeof text, log.path);
        Append(text, &length, sizeof text, " stopped early: the disk is full.");
    } else {
        Append(text, &length, sizeof text, "No log was written: neither the temp folder nor the Windows folder took it.");
    }
    char stamp[16];
    int stampLength = 0;
    AppendUnsigned(stamp, &stampLength, sizeof stamp, Now(), kStampWidth - 1);
    WriteBytes(stamp, stampLength);
    WriteLine(" The run has ended.");
    WriteLine(text);
    LogMessageBox(text, kCaption, MB_OK | (exitCode ? MB_ICONERROR : MB_ICONINFORMATION));
}
