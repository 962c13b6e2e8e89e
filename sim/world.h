// The simulated window system: windows, threads, the applet process, message
// delivery, the clipboard and a virtual clock. One World is current at a time;
// the platform functions of src/platform/win32_api.h act on it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <queue>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32_api.h"

namespace sim {

using Micros = std::int64_t;
constexpr Micros kMillisecond = 1000;

constexpr DWORD kProgramThread = 0x100;
// Windows 95 hands out thread ids like this one: an obfuscated pointer, high bit set.
constexpr DWORD kAppletThread = 0xfffdb8ac;
constexpr DWORD kForeignThread = 0x300;

struct Window;
class World;

// What a button does when the applet handles a click on it.
using ClickHandler = std::function<void(World&, Window& control)>;

struct Window {
    HWND handle = 0;
    std::string name;  // for traces: "secondDialog", "pathDialog#107"
    std::string className;
    std::string text;
    LONG style = 0;
    RECT rect{0, 0, 0, 0};
    DWORD threadId = 0;
    int controlId = 0;
    HWND parent = 0;  // the desktop for top-level windows
    HWND owner = 0;
    std::vector<HWND> children;  // z-order, topmost first
    bool alive = true;
    bool dialogEnded = false;
    int checkState = 0;
    int selectionStart = 0;
    int selectionEnd = 0;
    int tabFocus = 0;
    ClickHandler onClick;
};

struct TraceEntry {
    Micros time;
    std::string text;
    bool action;  // changes something or ends a step, as opposed to looking
};

// A message sent to the applet's thread, with the continuation it may carry.
struct SentMessage {
    HWND target = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    SENDASYNCPROC callback = nullptr;
    ULONG_PTR data = 0;
};

// The simulated run was stopped because the program could never go on.
struct Hang {
    std::string where;
    Micros time;
};

// The program passed an argument value the simulator does not model. It is
// thrown past the scenario, so the test fails and names the call and the value,
// instead of going on with behaviour no real window system would show.
struct Unmodelled : std::logic_error {
    using std::logic_error::logic_error;
};

// The program called ExitProcess.
struct ProcessExit {
    UINT code;
};

class Applet;

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    static World& Current();
    // Simulated time of every World so far, for reports of what a test run covered.
    static Micros TotalSimulatedTime();

    // Clock and events.
    Micros now = 0;
    void Schedule(Micros delay, std::function<void()> event);
    bool HasPendingEvents() const { return !events_.empty(); }
    Micros NextEventTime() const { return events_.empty() ? -1 : events_.top().time; }
    void AdvanceTo(Micros time);
    void AdvanceBy(Micros delay) { AdvanceTo(now + delay); }
    // Runs the next scheduled event; false when none is left.
    bool RunNextEvent();
    // Every platform call costs a little simulated time, so that a loop without
    // pauses still lets the applet move on; a loop that can never succeed is a hang.
    void Tick(const char* call);
    void NoteChange() { callsSinceChange_ = 0; }
    [[noreturn]] void ReportHang(const std::string& place);
    [[noreturn]] void RefuseUnmodelled(const std::string& call, const std::string& argument);
    Micros timeLimit = 6 * 3600 * 1000 * kMillisecond;

    // Windows.
    HWND desktop = 0;
    Window* Find(HWND handle);
    Window& Create(const std::string& name, const std::string& className, LONG style, RECT rect, DWORD threadId,
                   HWND parentOrDesktop, HWND owner, int controlId = 0);
    void Destroy(HWND handle);
    std::string NameOf(HWND handle);
    int screenWidth = 1024;
    int screenHeight = 768;

    // Trace of the program's platform calls.
    std::vector<TraceEntry> trace;
    void Record(const std::string& text, bool action);
    std::vector<std::string> Actions() const;
    std::string Timeline(bool actionsOnly) const;

    // The program's side: continuations waiting for the pump, the quit message, timers.
    std::deque<std::function<void()>> readyCallbacks;
    void QueueCallback(const SentMessage& sent, LRESULT result);
    void RunReadyCallbacks();
    // Wine also runs continuations that are already queued inside WaitForInputIdle
    // and inside a synchronous send to another thread, not only in GetMessageA.
    bool callbacksInsideWaits = false;
    bool quitPosted = false;
    int quitCode = 0;
    struct Timer {
        UINT_PTR id;
        Micros interval;
        Micros next;
    };
    std::vector<Timer> timers;
    DWORD currentStep = 0;
    bool inStep = false;
    // When set, GetMessageA hands out these results instead of running the world.
    struct ScriptedMessage {
        BOOL result;
        UINT message;
        WPARAM wParam;
    };
    std::deque<ScriptedMessage> scriptedMessages;
    bool useScriptedMessages = false;
    std::vector<UINT> dispatched;

    // Environment of the program.
    OSVERSIONINFOA version{};
    bool versionQueryFails = false;
    std::string currentDirectory = "C:\\DRIVER";
    bool currentDirectoryFails = false;
    std::set<std::string> directories;
    UINT codePage = 1252;
    bool editWindowFails = false;
    bool launchFails = false;
    std::string clipboard;
    bool clipboardSet = false;

    // What the program asked to launch.
    std::string launchedCommandLine;
    STARTUPINFOA launchedStartupInfo{};
    BOOL launchedInheritHandles = FALSE;
    DWORD launchedCreationFlags = 0xFFFFFFFF;
    bool launchedWithNulls = false;

    // The logging twin's side: where it may write its log, and what it showed.
    // Its calls advance no clock and are not the program's: they stay out of
    // the trace.
    std::string tempPath = "C:\\WINDOWS\\TEMP\\";
    std::string windowsFolder = "C:\\WINDOWS";
    std::set<std::string> readOnlyFolders;  // as the twin names them, without a trailing backslash
    std::set<std::string> readOnlyFiles;
    std::map<std::string, std::string> files;
    long long diskSpace = -1;  // bytes left to write; -1 for no limit
    long long bytesWritten = 0;  // rewrites included: what the disk went through
    // GetTickCount counts from the machine's start and wraps after 49.7 days;
    // this one wraps a few seconds into the run.
    DWORD ticksAtStart = 0xFFFFF000u;
    std::vector<std::string> messageBoxes;
    // What the box's own message loop delivers is the twin's doing, not the program's.
    bool insideTwinsBox = false;
    std::vector<char> logMemory;
    struct OpenFile {
        std::string path;
        std::size_t position = 0;
    };
    std::map<std::uintptr_t, OpenFile> openFiles;

    // The applet process; null until the program launches it.
    std::unique_ptr<Applet> applet;
    std::function<std::unique_ptr<Applet>(World&)> appletFactory;
    bool appletStarted = false;
    bool firstIdleWaitDone = false;

private:
    struct Event {
        Micros time;
        std::uint64_t sequence;
        std::function<void()> run;
        bool operator>(const Event& other) const {
            return time != other.time ? time > other.time : sequence > other.sequence;
        }
    };
    std::priority_queue<Event, std::vector<Event>, std::greater<Event>> events_;
    std::uint64_t nextSequence_ = 0;
    std::map<std::uintptr_t, Window> windows_;
    std::uintptr_t nextHandle_ = 0x10010;
    std::uint64_t callsSinceChange_ = 0;
    World* previous_;
};

}  // namespace sim
