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
// A line starts with the milliseconds since the start, right-aligned in these.
const int kStampWidth = 9;

enum LogState { NOT_YET_OPEN, WRITING, NO_FOLDER, DISK_FULL, CAPPED };

// Text being built: a line of the log, the folded line, the box's message.
struct Text {
    char chars[1024];
    int length;
};

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

    Text line;     // the call's line; its first kStampWidth characters are the time
    Text scratch;  // every other text
    // Lines written before the file is open.
    char early[4096];
    int earlyLength;

    // Folding: a poll repeats a run of calls. A line that repeats an earlier
    // one starts a run of that period, held back while it goes on repeating;
    // once a whole period has repeated, each further one is only counted.
    struct Key {
        DWORD a, b;  // two hashes of the line without its time
    } history[kHistory];
    DWORD lines;               // lines seen so far, folded or not
    DWORD lastSeen[kBuckets];  // per hash bucket: the number of the last line there, plus one
    DWORD period;              // 0 when no run is being followed
    BOOL confirmed;            // a whole period has repeated
    DWORD matched;             // lines of the current period matched so far
    char held[65536];          // their text, written should the run break
    int heldLength;
    DWORD heldStart;
    DWORD repeats;  // whole periods folded
    DWORD foldStart;
    DWORD foldEnd;
    // A wait that has written its share only counts its calls, and keeps the last few.
    BOOL overflowing;
    DWORD overflowCalls;
    Text recent[kRecent];
    DWORD recentCount;
    BOOL summaryIsLast;  // the folded line is the file's last, to be rewritten in place
    DWORD summaryOffset;
    DWORD summaryWrittenAt;
    DWORD waitBytes;  // written since the last action

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

// Where Put and the others append.
Text* out;

// Every text is started before anything is put into it, and Put ends it.
void Start(Text& text) {
    out = &text;
    text.length = 0;
}

void Put(const char* text) {
    while (*text && out->length < (int)sizeof out->chars - 1) out->chars[out->length++] = *text++;
    out->chars[out->length] = 0;
}

void PutNumber(unsigned long value, int width = 0) {
    char digits[12];
    int count = 0;
    do {
        digits[count++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    while (width-- > count) Put(" ");
    char digit[2] = {0, 0};
    while (count) {
        digit[0] = digits[--count];
        Put(digit);
    }
}

DWORD Now() { return LogClock() - L().startTick; }

// The time a line starts with.
void PutStamp(DWORD at) {
    PutNumber(at, kStampWidth - 1);
    Put(" ");
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

char Upper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 32) : c; }

// Whether the path lies on the drive of the directory: "C:", or "\\server\share".
BOOL SameDrive(const char* path, const char* directory) {
    int length = 2;
    if (path[0] == '\\' && path[1] == '\\') {
        for (int backslashes = 2; path[length] && backslashes < 4; ++length) backslashes += path[length] == '\\';
    } else if (path[1] != ':') {
        return FALSE;
    }
    for (int i = 0; i < length; ++i)
        if (Upper(path[i]) != Upper(directory[i]) || !directory[i]) return FALSE;
    return TRUE;
}

BOOL CreateIn(const char* folder, DWORD length) {
    CallLog& log = L();
    if (length == 0 || length >= MAX_PATH) return FALSE;
    Start(log.scratch);
    Put(folder);
    if (folder[length - 1] != '\\') Put("\\");
    Put(kFileName);
    for (int i = 0; i <= log.scratch.length; ++i) log.path[i] = log.scratch.chars[i];
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
    if ((tempUsable && CreateIn(folder, length)) || CreateIn(folder, LogWindowsFolder(folder, sizeof folder))) {
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
    if (!LogWrite(log.file, bytes, (DWORD)count, &written) || written != (DWORD)count) log.state = DISK_FULL;
    log.size += written;
    log.waitBytes += written;
}

void Keep(char* buffer, int* length, int capacity, const char* text) {
    while (*text && *length < capacity - 1) buffer[(*length)++] = *text++;
}

void WriteLine(const char* text) {
    CallLog& log = L();
    if (log.state == NOT_YET_OPEN) {
        Keep(log.early, &log.earlyLength, sizeof log.early, text);
        Keep(log.early, &log.earlyLength, sizeof log.early, "\r\n");
        return;
    }
    log.summaryIsLast = FALSE;
    int length = 0;
    while (text[length]) ++length;
    WriteBytes(text, length);
    WriteBytes("\r\n", 2);
}

void WriteScratch() { WriteLine(L().scratch.chars); }

void WriteHeaderLine(const char* label, const char* value) {
    Start(L().scratch);
    Put(label);
    Put(value);
    WriteScratch();
}

const char* ScriptName() {
    CallLog& log = L();
    if (!log.versionKnown || log.version.dwPlatformId == 1)
        return log.version.dwMinorVersion != 0 ? "Windows 98" : "Windows 95";
    return "Windows NT";
}

void OpenWithHeader(LPCSTR driverPath) {
    CallLog& log = L();
    OpenFile();
    if (log.state != WRITING) return;
    WriteHeaderLine("setuplog.exe 1.0, the logging twin of setup.exe: ", kCaption);
    Start(log.scratch);
    Put("Windows: ");
    if (log.versionKnown) {
        Put("platform id ");
        PutNumber(log.version.dwPlatformId);
        Put(", version ");
        PutNumber(log.version.dwMajorVersion);
        Put(".");
        PutNumber(log.version.dwMinorVersion);
        Put(", build ");
        PutNumber(log.version.dwBuildNumber & 0xFFFF);
        Put(", \"");
        Put(log.version.szCSDVersion);
        Put("\"");
    } else {
        Put("the version could not be read");
    }
    WriteScratch();
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
    Start(log.scratch);
    PutStamp(log.foldEnd);
    Put("... ");
    if (log.overflowing) {
        PutNumber(log.overflowCalls);
        Put(" more calls, as windows came and went, ");
    } else {
        Put("the same ");
        PutNumber(log.period);
        Put(" calls, ");
        PutNumber(log.repeats);
        Put(log.repeats == 1 ? " more time, " : " more times, ");
    }
    DWORD ms = log.foldEnd - log.foldStart;
    PutNumber(ms / 1000);
    Put(".");
    PutNumber(ms % 1000 / 100);
    Put(final ? " s" : " s so far");
    if (log.summaryIsLast) {
        if (!LogTruncate(log.file, log.summaryOffset)) log.state = DISK_FULL;
        log.size = log.summaryOffset;
    }
    log.summaryOffset = log.size;
    WriteScratch();
    log.summaryIsLast = !final;
    log.summaryWrittenAt = Now();
}

void KeepUpToDate() {
    if (Now() - L().summaryWrittenAt >= kSummaryIntervalMs) WriteSummary(FALSE);
}

// Ends a run being followed: the summary, then the lines held back.
void EndFold() {
    CallLog& log = L();
    if (log.confirmed || log.overflowing) WriteSummary(TRUE);
    log.summaryIsLast = FALSE;
    if (log.overflowing) {
        WriteLine("         ... the last of them:");
        for (DWORD i = log.recentCount > kRecent ? log.recentCount - kRecent : 0; i < log.recentCount; ++i)
            WriteLine(log.recent[i % kRecent].chars);
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

BOOL Hold() {
    CallLog& log = L();
    if (log.heldLength + log.line.length + 3 > (int)sizeof log.held) return FALSE;
    if (!log.matched) log.heldStart = Now();
    Keep(log.held, &log.heldLength, sizeof log.held, log.line.chars);
    Keep(log.held, &log.heldLength, sizeof log.held, "\r\n");
    if (++log.matched == log.period) {
        if (!log.confirmed) log.foldStart = log.heldStart;
        log.confirmed = TRUE;
        log.repeats++;
        log.foldEnd = Now();
        log.matched = 0;
        log.heldLength = 0;
    }
    return TRUE;
}

void Count() {
    CallLog& log = L();
    log.overflowCalls++;
    log.foldEnd = Now();
    Text& recent = log.recent[log.recentCount++ % kRecent];
    Start(recent);
    Put(log.line.chars);
}

BOOL SameKey(const CallLog::Key& x, const CallLog::Key& y) { return x.a == y.a && x.b == y.b; }

// Takes the call's line: written, held back as part of a repeating run, or counted.
void Fold(BOOL action) {
    CallLog& log = L();
    const char* text = log.line.chars + kStampWidth;
    CallLog::Key key = {Hash(text), HashBackwards(text, log.line.length - kStampWidth)};
    DWORD index = log.lines++;
    DWORD bucket = key.a % kBuckets;
    DWORD previous = log.lastSeen[bucket];
    log.history[index % kHistory] = key;
    log.lastSeen[bucket] = index + 1;

    if (!action && log.overflowing) {
        Count();
        KeepUpToDate();
        return;
    }
    if (log.period) {
        if (!action && SameKey(key, log.history[(index - log.period) % kHistory]) && Hold()) {
            if (log.confirmed) KeepUpToDate();
            return;
        }
        EndFold();
    }
    if (log.overflowing) EndFold();
    if (!action && log.waitBytes > kWaitBudget) {
        log.overflowing = TRUE;
        log.foldStart = Now();
        Count();
        return;
    }
    DWORD period = index + 1 - previous;
    // A single line said twice is shorter than its summary.
    if (!action && previous && period >= 2 && period <= kMaxPeriod &&
        SameKey(key, log.history[(previous - 1) % kHistory])) {
        log.period = period;
        if (Hold()) return;
        EndFold();
    }
    WriteLine(log.line.chars);
    if (action) log.waitBytes = 0;
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
    Start(L().line);
    PutStamp(at);
    Put(name);
    Put("(");
}

void LogText(const char* text) { Put(text); }

void LogSigned(long value) {
    if (value < 0) Put("-");
    PutNumber(value < 0 ? 0ul - (unsigned long)value : (unsigned long)value);
}

void LogUnsigned(unsigned long value) { PutNumber(value); }

void LogHex(unsigned long value) {
    char text[12] = "0x";
    int at = 2;
    for (int shift = 28; shift >= 0; shift -= 4) {
        unsigned digit = (value >> shift) & 15;
        if (digit || at > 2 || shift == 0) text[at++] = (char)(digit < 10 ? '0' + digit : 'a' + digit - 10);
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
    if (LogClassName(window, className, sizeof className) <= 0) {
        Put(" (no window)");
        return;
    }
    Put(" ");
    LogQuoted(className);
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
    if (log.runEnded || log.state == NO_FOLDER || log.state == DISK_FULL || log.state == CAPPED) return;
    // What folding holds back, and the last lines of a counted wait, still fit.
    if (log.state == WRITING && log.size + (DWORD)(log.heldLength + log.line.length) + 4096 > kCallCap) {
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
    log.directoryKnown = directory != 0;
    int length = 0;
    if (directory) Keep(log.currentDirectory, &length, sizeof log.currentDirectory, directory);
}

void LogNoteDriverPath(LPCSTR path) {
    if (L().state == NOT_YET_OPEN) OpenWithHeader(path);
}

void LogContinuation(DWORD step, LRESULT result) {
    Start(L().line);
    PutStamp(LogBegin());
    Put("continuation of the ");
    Put(ScriptName());
    Put(" script, step ");
    PutNumber(step);
    Put(" (result ");
    LogSigned((long)result);
    Put(")");
    LogEndCall(TRUE);
}

BOOL LogRunHasEnded() { return L().runEnded; }

BOOL LogRemember(HWND window, UINT message, ULONG_PTR step, SENDASYNCPROC continuation) {
    for (CallLog::Pending& entry : L().pending) {
        if (!entry.continuation) {
            entry = {window, message, step, continuation};
            return TRUE;
        }
    }
    return FALSE;
}

SENDASYNCPROC LogTakeContinuation(HWND window, UINT message, ULONG_PTR step) {
    for (CallLog::Pending& entry : L().pending) {
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
    if (log.state == CAPPED) log.state = WRITING;
    EndFold();
    log.runEnded = TRUE;

    Start(log.scratch);
    PutStamp(Now());
    Put("The run has ended.");
    WriteScratch();
    Start(log.scratch);
    Put(ExitCodeMeaning(exitCode));
    Put(" (exit code ");
    PutNumber(exitCode);
    Put(")\r\n\r\n");
    if (log.state == WRITING) {
        Put("The log is ");
        Put(log.path);
        Put(".");
    } else if (log.state == DISK_FULL) {
        Put("The log ");
        Put(log.path);
        Put(" stopped early: the disk is full.");
    } else {
        Put("No log was written: neither the temp folder nor the Windows folder took it.");
    }
    WriteScratch();
    LogMessageBox(log.scratch.chars, kCaption, MB_OK | (exitCode ? MB_ICONERROR : MB_ICONINFORMATION));
}
