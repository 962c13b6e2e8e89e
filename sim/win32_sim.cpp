// The platform functions of the host build, acting on the current simulated World.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32_api.h"
#include "sim/applet.h"
#include "sim/world.h"

using sim::Applet;
using sim::SentMessage;
using sim::Window;
using sim::World;

namespace {

World& W() { return World::Current(); }

// What Windows returns from a wait on a handle the caller does not hold.
constexpr DWORD kWaitFailed = 0xFFFFFFFF;
// Windows raises a shorter timer interval to this.
constexpr UINT kTimerMinimumMs = 10;
constexpr UINT kQuitMessage = 0x0012;

std::string Hex(unsigned long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

std::string Name(HWND window) { return W().NameOf(window); }

std::string MessageName(UINT message) {
    switch (message) {
        case BM_CLICK:
            return "BM_CLICK";
        case BM_SETCHECK:
            return "BM_SETCHECK";
        case EM_SETSEL:
            return "EM_SETSEL";
        case WM_COPY:
            return "WM_COPY";
        case WM_PASTE:
            return "WM_PASTE";
        case TCM_SETCURFOCUS:
            return "TCM_SETCURFOCUS";
        default:
            return Hex(message);
    }
}

std::string Arguments(WPARAM wParam, LPARAM lParam) {
    return std::to_string(static_cast<long long>(wParam)) + ", " + std::to_string(static_cast<long long>(lParam));
}

Applet* LiveApplet() {
    World& world = W();
    return world.applet && !world.applet->exited() ? world.applet.get() : nullptr;
}

bool IsAppletWindow(const Window& window) { return window.threadId == sim::kAppletThread; }

bool IsDbcsLeadByte(UINT codePage, unsigned char byte) {
    switch (codePage) {
        case 932:
            return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        case 936:
        case 949:
        case 950:
            return byte >= 0x81 && byte <= 0xFE;
        default:
            return false;
    }
}

// The program's own edit window: what EM_SETSEL and WM_COPY do to it.
LRESULT HandleOwnEdit(Window& edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != EM_SETSEL && message != WM_COPY)
        W().RefuseUnmodelled("SendMessageA to the program's edit window", "message " + MessageName(message));
    int length = static_cast<int>(edit.text.size());
    if (message == EM_SETSEL) {
        int start = static_cast<int>(wParam);
        int end = static_cast<int>(lParam);
        edit.selectionStart = start < 0 ? length : std::min(start, length);
        edit.selectionEnd = end < 0 ? length : std::min(end, length);
    } else if (message == WM_COPY) {
        int start = std::min(edit.selectionStart, edit.selectionEnd);
        int end = std::max(edit.selectionStart, edit.selectionEnd);
        if (end > start) {
            W().clipboard = edit.text.substr(start, end - start);
            W().clipboardSet = true;
        }
    }
    return 0;
}

// The messages the applet model answers as its controls would; any other it
// would silently ignore, where a real control might act on it.
void RequireAppletMessage(const char* call, UINT message) {
    switch (message) {
        case BM_CLICK:
        case BM_SETCHECK:
        case EM_SETSEL:
        case WM_PASTE:
        case TCM_SETCURFOCUS:
            return;
        default:
            W().RefuseUnmodelled(call, "message " + MessageName(message) + " to an applet window");
    }
}

// Whether a posted message passes GetMessageA's filter: the window (null: any;
// -1: thread messages only; else that window's own) and the range (0, 0: all).
bool PassesFilter(HWND messageWindow, UINT message, HWND window, UINT filterMin, UINT filterMax) {
    bool forWindow = !window || (window == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)) ? !messageWindow
                                                                                               : messageWindow == window);
    bool inRange = (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
    return forWindow && inRange;
}

}  // namespace

// KERNEL32 ---------------------------------------------------------------------------

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                           LPPROCESS_INFORMATION processInformation) {
    World& world = W();
    world.Tick("CreateProcessA");
    world.launchedCommandLine = commandLine ? commandLine : "";
    world.launchedStartupInfo = *startupInfo;
    world.launchedInheritHandles = inheritHandles;
    world.launchedCreationFlags = creationFlags;
    world.launchedWithNulls =
        !applicationName && !processAttributes && !threadAttributes && !environment && !currentDirectory;
    world.Record("CreateProcessA \"" + world.launchedCommandLine + "\"", true);
    if (world.launchFails || !world.appletFactory) return FALSE;
    world.applet = world.appletFactory(world);
    processInformation->hProcess = world.applet->processHandle;
    processInformation->hThread = world.applet->threadHandle;
    processInformation->dwProcessId = world.applet->processId;
    processInformation->dwThreadId = sim::kAppletThread;
    world.appletStarted = true;
    world.applet->Launch();
    return TRUE;
}

VOID WINAPI Sleep(DWORD milliseconds) {
    World& world = W();
    world.Tick("Sleep");
    world.Record("Sleep " + std::to_string(milliseconds), false);
    world.AdvanceBy(static_cast<sim::Micros>(milliseconds) * sim::kMillisecond);
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA versionInfo) {
    World& world = W();
    world.Tick("GetVersionExA");
    world.Record("GetVersionExA", false);
    if (world.versionQueryFails || versionInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
    *versionInfo = world.version;
    return TRUE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    World& world = W();
    world.Tick("GetCurrentDirectoryA");
    world.Record("GetCurrentDirectoryA", false);
    if (world.currentDirectoryFails) return 0;
    DWORD length = static_cast<DWORD>(world.currentDirectory.size());
    if (length + 1 > bufferLength) return length + 1;
    std::memcpy(buffer, world.currentDirectory.c_str(), length + 1);
    return length;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName) {
    World& world = W();
    world.Tick("GetFileAttributesA");
    world.Record(std::string("GetFileAttributesA \"") + fileName + "\"", false);
    return world.directories.count(fileName) ? FILE_ATTRIBUTE_DIRECTORY : INVALID_FILE_ATTRIBUTES;
}

int WINAPI lstrlenA(LPCSTR string) { return string ? static_cast<int>(std::strlen(string)) : 0; }

LPSTR WINAPI lstrcatA(LPSTR string1, LPCSTR string2) { return std::strcat(string1, string2); }

LPSTR WINAPI CharPrevA(LPCSTR start, LPCSTR current) {
    if (current <= start) return const_cast<LPSTR>(start);
    UINT codePage = W().codePage;
    LPCSTR character = start;
    LPCSTR previous = start;
    while (character < current) {
        previous = character;
        bool lead = IsDbcsLeadByte(codePage, static_cast<unsigned char>(*character));
        character += lead && character + 1 < current ? 2 : 1;
    }
    return const_cast<LPSTR>(previous);
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    World& world = W();
    world.Tick("WaitForSingleObject");
    if (milliseconds != 0) world.RefuseUnmodelled("WaitForSingleObject", "timeout " + std::to_string(milliseconds));
    bool applet = world.applet && handle == world.applet->processHandle;
    bool ended = applet && world.applet->exited();
    world.Record("WaitForSingleObject " + std::to_string(milliseconds) + (ended ? " signalled" : ""), false);
    if (!applet) return kWaitFailed;
    return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

VOID WINAPI ExitProcess(UINT exitCode) {
    W().Record("ExitProcess " + std::to_string(exitCode), true);
    throw sim::ProcessExit{exitCode};
}

// USER32 -----------------------------------------------------------------------------

DWORD WINAPI WaitForInputIdle(HANDLE process, DWORD milliseconds) {
    World& world = W();
    world.Tick("WaitForInputIdle");
    world.Record("WaitForInputIdle", false);
    if (milliseconds != INFINITE) world.RefuseUnmodelled("WaitForInputIdle", "timeout " + std::to_string(milliseconds));
    if (!world.applet || process != world.applet->processHandle) return kWaitFailed;
    if (world.callbacksInsideWaits) world.RunReadyCallbacks();
    // Only the first wait for a process waits; later ones return at once.
    if (world.firstIdleWaitDone) return 0;
    world.firstIdleWaitDone = true;
    while (!world.applet->exited() && !world.applet->StartedUp())
        if (!world.RunNextEvent()) world.ReportHang("WaitForInputIdle");
    return 0;
}

HWND WINAPI GetDesktopWindow() {
    W().Tick("GetDesktopWindow");
    W().Record("GetDesktopWindow", false);
    return W().desktop;
}

HWND WINAPI GetWindow(HWND window, UINT command) {
    World& world = W();
    world.Tick("GetWindow");
    world.Record("GetWindow " + Name(window) + " " + std::to_string(command), false);
    if (command != GW_CHILD && command != GW_HWNDFIRST && command != GW_HWNDLAST && command != GW_HWNDNEXT)
        world.RefuseUnmodelled("GetWindow", "command " + std::to_string(command));
    Window* self = world.Find(window);
    if (!self) return 0;
    if (command == GW_CHILD) return self->children.empty() ? 0 : self->children.front();
    Window* parent = world.Find(self->parent);
    if (!parent) return 0;
    const auto& siblings = parent->children;
    switch (command) {
        case GW_HWNDFIRST:
            return siblings.front();
        case GW_HWNDLAST:
            return siblings.back();
        default: {
            auto at = std::find(siblings.begin(), siblings.end(), window);
            return at == siblings.end() || at + 1 == siblings.end() ? 0 : *(at + 1);
        }
    }
}

HWND WINAPI GetParent(HWND window) {
    World& world = W();
    world.Tick("GetParent");
    world.Record("GetParent " + Name(window), false);
    Window* self = world.Find(window);
    if (!self) return 0;
    if (self->style & WS_CHILD) return self->parent;
    if (self->style & WS_POPUP) return self->owner;
    return 0;
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, DWORD* processId) {
    World& world = W();
    world.Tick("GetWindowThreadProcessId");

    world.Record("GetWindowThreadProcessId " + Name(window), false);
    Window* self = world.Find(window);
    if (!self) return 0;
    if (processId) *processId = self->threadId == sim::kAppletThread ? 0x77 : 0x55;
    return self->threadId;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    World& world = W();
    world.Tick("GetWindowRect");
    world.Record("GetWindowRect " + Name(window), false);
    Window* self = world.Find(window);
    if (!self) return FALSE;
    *rect = self->rect;
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    World& world = W();
    world.Tick("GetSystemMetrics");
    world.Record("GetSystemMetrics " + std::to_string(index), false);
    if (index == SM_CXSCREEN) return world.screenWidth;
    if (index == SM_CYSCREEN) return world.screenHeight;
    world.RefuseUnmodelled("GetSystemMetrics", "index " + std::to_string(index));
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    World& world = W();
    world.Tick("GetWindowLongA");
    world.Record("GetWindowLongA " + Name(window), false);
    if (index != GWL_STYLE) world.RefuseUnmodelled("GetWindowLongA", "index " + std::to_string(index));
    Window* self = world.Find(window);
    return self ? self->style : 0;
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG newLong) {
    World& world = W();
    world.Tick("SetWindowLongA");
    if (index != GWL_STYLE) world.RefuseUnmodelled("SetWindowLongA", "index " + std::to_string(index));
    Window* self = world.Find(window);
    if (!self) {
        world.Record("SetWindowLongA " + Name(window) + " GWL_STYLE " + Hex(static_cast<DWORD>(newLong)), true);
        return 0;
    }
    LONG old = self->style;
    self->style = newLong;
    world.NoteChange();
    world.Record("SetWindowLongA " + Name(window) + " GWL_STYLE " + Hex(static_cast<DWORD>(old)) + " -> " +
                     Hex(static_cast<DWORD>(newLong)),
                 true);
    if (world.applet) world.applet->log.push_back("style " + self->name + " " + Hex(static_cast<DWORD>(newLong)));
    return old;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    World& world = W();
    world.Tick("IsWindowVisible");
    world.Record("IsWindowVisible " + Name(window), false);
    for (Window* self = world.Find(window); self; self = world.Find(self->parent)) {
        if (!(self->style & WS_VISIBLE)) return FALSE;
        if (!(self->style & WS_CHILD)) return TRUE;
    }
    return FALSE;
}

int WINAPI GetClassNameA(HWND window, LPSTR className, int maxCount) {
    World& world = W();
    world.Tick("GetClassNameA");
    world.Record("GetClassNameA " + Name(window), false);
    Window* self = world.Find(window);
    if (!self || maxCount <= 0) {
        if (maxCount > 0) className[0] = 0;
        return 0;
    }
    int length = std::min(static_cast<int>(self->className.size()), maxCount - 1);
    std::memcpy(className, self->className.c_str(), length);
    className[length] = 0;
    return length;
}

HWND WINAPI FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
    World& world = W();
    world.Tick("FindWindowExA");
    world.Record(std::string("FindWindowExA ") + Name(parent) + " \"" + (className ? className : "") + "\"", false);
    if (childAfter) world.RefuseUnmodelled("FindWindowExA", "a child to start after, " + Name(childAfter));
    if (windowName) world.RefuseUnmodelled("FindWindowExA", std::string("the title \"") + windowName + "\"");
    if (!className) world.RefuseUnmodelled("FindWindowExA", "no class name");
    Window* self = world.Find(parent);
    if (!self) return 0;
    for (HWND child : self->children) {
        Window* candidate = world.Find(child);
        if (candidate && strcasecmp(candidate->className.c_str(), className) == 0) return child;
    }
    return 0;
}

HWND WINAPI GetDlgItem(HWND dialog, int controlId) {
    World& world = W();
    world.Tick("GetDlgItem");
    Window* self = world.Find(dialog);
    HWND found = 0;
    if (self)
        for (HWND child : self->children) {
            Window* control = world.Find(child);
            if (control && (control->style & WS_CHILD) && control->controlId == controlId) {
                found = child;
                break;
            }
        }
    world.Record("GetDlgItem " + Name(dialog) + " " + std::to_string(controlId) + " = " + Name(found), false);
    return found;
}

BOOL WINAPI SendMessageCallbackA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, SENDASYNCPROC callback,
                                 ULONG_PTR data) {
    World& world = W();
    world.Tick("SendMessageCallbackA");
    RequireAppletMessage("SendMessageCallbackA", message);
    if (!callback) world.RefuseUnmodelled("SendMessageCallbackA", "no callback");
    Window* target = world.Find(window);
    world.Record(MessageName(message) + " " + Name(window) + " step " + std::to_string(data) +
                     (target ? "" : " (not delivered)"),
                 true);
    if (!target || !IsAppletWindow(*target) || !LiveApplet()) return FALSE;
    world.applet->Deliver(SentMessage{window, message, wParam, lParam, callback, data});
    return TRUE;
}

BOOL WINAPI SendNotifyMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    World& world = W();
    world.Tick("SendNotifyMessageA");
    RequireAppletMessage("SendNotifyMessageA", message);
    Window* target = world.Find(window);
    std::string what = message == BM_SETCHECK ? "BM_SETCHECK " + Name(window) + " " + std::to_string(wParam)
                                              : "notify " + MessageName(message) + " " + Name(window);
    world.Record(what + (target ? "" : " (not delivered)"), true);
    if (!target || !IsAppletWindow(*target) || !LiveApplet()) return FALSE;
    world.applet->Deliver(SentMessage{window, message, wParam, lParam, nullptr, 0});
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    World& world = W();
    world.Tick("SendMessageA");
    Window* target = world.Find(window);
    world.Record("send " + MessageName(message) + " " + Name(window) + " " + Arguments(wParam, lParam), true);
    bool ownWindow = target && target->threadId == sim::kProgramThread;
    if (!ownWindow) RequireAppletMessage("SendMessageA", message);
    if (!target) return 0;
    if (ownWindow) return HandleOwnEdit(*target, message, wParam, lParam);
    if (!IsAppletWindow(*target) || !LiveApplet()) return 0;
    LRESULT result = world.applet->DeliverAndWait(SentMessage{window, message, wParam, lParam, nullptr, 0});
    if (world.callbacksInsideWaits) world.RunReadyCallbacks();
    return result;
}

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    World& world = W();
    world.Tick("GetMessageA");
    if (window && window != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
        Window* own = world.Find(window);
        if (!own || own->threadId != sim::kProgramThread) {
            world.Record("GetMessageA " + Name(window) + " fails: not a window of the program", false);
            return -1;
        }
    }
    if (world.useScriptedMessages) {
        if (world.scriptedMessages.empty()) world.ReportHang("GetMessageA (no scripted message left)");
        World::ScriptedMessage next = world.scriptedMessages.front();
        world.scriptedMessages.pop_front();
        if (next.result != -1) {
            message->message = next.message;
            message->wParam = next.wParam;
        }
        return next.result;
    }
    for (;;) {
        // Continuations run inside the wait, as the platform calls them.
        if (!world.readyCallbacks.empty()) {
            world.RunReadyCallbacks();
            continue;
        }
        // The quit message passes every filter.
        if (world.quitPosted) {
            world.quitPosted = false;
            message->hwnd = 0;
            message->message = kQuitMessage;
            message->wParam = static_cast<WPARAM>(world.quitCode);
            message->lParam = 0;
            world.Record("GetMessageA WM_QUIT " + std::to_string(world.quitCode), true);
            return 0;
        }
        // All timers are thread timers: their WM_TIMER carries no window.
        bool timersPass = PassesFilter(0, WM_TIMER, window, filterMin, filterMax);
        for (World::Timer& timer : world.timers) {
            if (timer.next > world.now || !timersPass) continue;
            timer.next = world.now + timer.interval;
            message->hwnd = 0;
            message->message = WM_TIMER;
            message->wParam = timer.id;
            message->lParam = 0;
            world.Record("GetMessageA WM_TIMER", false);
            return 1;
        }
        // Nothing to read: wait for whatever comes first, the applet or a timer.
        // A live applet with nothing left to do will never wake the program:
        // timers alone only repeat the same look.
        sim::Micros nextEvent = world.NextEventTime();
        if (LiveApplet() && nextEvent < 0) world.ReportHang("GetMessageA");
        sim::Micros nextTimer = -1;
        for (const World::Timer& timer : world.timers)
            if (timersPass && (nextTimer < 0 || timer.next < nextTimer)) nextTimer = timer.next;
        if (nextEvent < 0 && nextTimer < 0) world.ReportHang("GetMessageA");
        sim::Micros next = nextEvent < 0 ? nextTimer : nextTimer < 0 ? nextEvent : std::min(nextEvent, nextTimer);
        if (next > world.timeLimit) world.ReportHang("GetMessageA (simulated time limit reached)");
        world.AdvanceTo(next);
    }
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    World& world = W();
    world.Tick("DispatchMessageA");
    world.dispatched.push_back(message->message);
    world.Record("DispatchMessageA " + MessageName(message->message), false);
    return 0;
}

VOID WINAPI PostQuitMessage(int exitCode) {
    World& world = W();
    world.Tick("PostQuitMessage");
    world.Record("PostQuitMessage " + std::to_string(exitCode), true);
    world.quitPosted = true;
    world.quitCode = exitCode;
    world.NoteChange();
}

// Without a window the event id is ignored and Windows picks one.
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR, UINT elapse, TIMERPROC timerProc) {
    World& world = W();
    world.Tick("SetTimer");
    world.Record("SetTimer " + std::to_string(elapse), false);
    if (window) world.RefuseUnmodelled("SetTimer", "the window " + Name(window));
    if (timerProc) world.RefuseUnmodelled("SetTimer", "a timer procedure");
    UINT_PTR id = 0x7F00 + world.timers.size();
    sim::Micros interval = static_cast<sim::Micros>(std::max(elapse, kTimerMinimumMs)) * sim::kMillisecond;
    world.timers.push_back({id, interval, world.now + interval});
    return id;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    World& world = W();
    world.Tick("SetForegroundWindow");
    world.Record("SetForegroundWindow " + Name(window), true);
    return world.Find(window) ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND window) {
    World& world = W();
    world.Tick("SetFocus");
    world.Record("SetFocus " + Name(window), true);
    return 0;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE, LPVOID param) {
    World& world = W();
    world.Tick("CreateWindowExA");
    std::string text = windowName ? windowName : "";
    // The only window the program creates is its hidden edit window, with these arguments.
    const char* call = "CreateWindowExA";
    if (!className || strcasecmp(className, "EDIT") != 0)
        world.RefuseUnmodelled(call, std::string("the class ") + (className ? className : "null"));
    if (exStyle != 0) world.RefuseUnmodelled(call, "the extended style " + Hex(exStyle));
    if (style != 0) world.RefuseUnmodelled(call, "the style " + Hex(style));
    if (x != 0 || y != 0) world.RefuseUnmodelled(call, "the position " + std::to_string(x) + ", " + std::to_string(y));
    if (width != CW_USEDEFAULT || height != CW_USEDEFAULT)
        world.RefuseUnmodelled(call, "the size " + std::to_string(width) + " x " + std::to_string(height));
    if (parent != world.desktop) world.RefuseUnmodelled(call, "the parent " + Name(parent));
    if (menu) world.RefuseUnmodelled(call, "a menu");
    if (param) world.RefuseUnmodelled(call, "creation data");
    world.Record(std::string("CreateWindowExA ") + className + " \"" + text + "\"" + (world.editWindowFails ? " (fails)" : ""),
                 true);
    if (world.editWindowFails) return 0;
    Window& edit = world.Create("clipboardEdit", "Edit", static_cast<LONG>(style), {0, 0, 100, 20}, sim::kProgramThread,
                                world.desktop, 0);
    edit.text = text;
    return edit.handle;
}

BOOL WINAPI DestroyWindow(HWND window) {
    World& world = W();
    world.Tick("DestroyWindow");
    world.Record("DestroyWindow " + Name(window), true);
    Window* self = world.Find(window);
    if (!self || self->threadId != sim::kProgramThread) return FALSE;
    world.Destroy(window);
    return TRUE;
}
