#include "sim/world.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "sim/applet.h"

namespace sim {

namespace {

World* current = nullptr;
Micros totalSimulatedTime = 0;

// Polls that changed nothing for this many calls are repeats: the clock may
// jump to the next scheduled event, and with none left the program is stuck.
constexpr std::uint64_t kQuietCallLimit = 2000;
constexpr Micros kCallCost = 10;

std::string Demangled(const char* symbol) {
    int status = 0;
    char* text = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
    std::string result = status == 0 && text ? text : symbol;
    std::free(text);
    return result.substr(0, result.find('('));
}

// The simulator's own frames, and the logging twin's door, which belongs to the
// platform, not to the program.
bool IsSimulatorFrame(const std::string& name) {
    return name.rfind("sim::", 0) == 0 || name.rfind("std::", 0) == 0 || name.find("__") != std::string::npos ||
           name.rfind("Logged", 0) == 0;
}

bool IsTestHarnessFrame(const std::string& name) {
    return name.find("_Test::") != std::string::npos || name.rfind("testing::", 0) == 0 ||
           name.find(" testing::") != std::string::npos || name == "main";
}

// The program's own procedures on the stack, innermost first, as far as WinMain,
// leaving out the platform call that noticed the hang.
std::string ProgramStack(const std::string& platformCall) {
    void* frames[64];
    int count = backtrace(frames, 64);
    std::string stack;
    for (int i = 0; i < count; ++i) {
        Dl_info info;
        if (!dladdr(frames[i], &info) || !info.dli_sname) continue;
        std::string name = Demangled(info.dli_sname);
        if (IsTestHarnessFrame(name)) break;
        if (IsSimulatorFrame(name) || name == platformCall) continue;
        if (!stack.empty()) stack += " <- ";
        stack += name;
        if (name == "WinMain") break;
    }
    return stack;
}

}  // namespace

World::World() : previous_(current) {
    current = this;
    Window& desktopWindow = Create("desktop", "#32769", WS_VISIBLE, {0, 0, screenWidth, screenHeight}, 0, 0, 0);
    desktop = desktopWindow.handle;
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    version.dwMajorVersion = 4;
    version.dwMinorVersion = 0;
    version.dwBuildNumber = 950;
    version.dwPlatformId = 1;
    directories = {currentDirectory + "\\Win9x", currentDirectory + "\\WinNT\\V4"};
}

World::~World() {
    totalSimulatedTime += now;
    current = previous_;
}

Micros World::TotalSimulatedTime() { return totalSimulatedTime; }

World& World::Current() {
    if (!current) {
        std::fprintf(stderr, "no simulated world is current\n");
        std::abort();
    }
    return *current;
}

void World::Schedule(Micros delay, std::function<void()> event) {
    events_.push(Event{now + std::max<Micros>(delay, 0), nextSequence_++, std::move(event)});
}

bool World::RunNextEvent() {
    if (events_.empty()) return false;
    Event event = events_.top();
    events_.pop();
    if (event.time > now) now = event.time;
    event.run();
    return true;
}

void World::AdvanceTo(Micros time) {
    while (!events_.empty() && events_.top().time <= time) RunNextEvent();
    if (time > now) now = time;
}

void World::Tick(const char* call) {
    AdvanceBy(kCallCost);
    if (now > timeLimit) ReportHang(std::string(call) + " (simulated time limit reached)");
    if (++callsSinceChange_ < kQuietCallLimit) return;
    if (!RunNextEvent()) ReportHang(call);
    callsSinceChange_ = kQuietCallLimit / 2;
}

void World::ReportHang(const std::string& place) {
    std::string where = place;
    std::string stack = ProgramStack(place.substr(0, place.find(' ')));
    if (!stack.empty()) where += " in " + stack;
    if (inStep) where += " (continuation step " + std::to_string(currentStep) + ")";
    Record("HANG " + where, true);
    callsSinceChange_ = 0;
    throw Hang{where, now};
}

void World::RefuseUnmodelled(const std::string& call, const std::string& argument) {
    std::string what = "the simulator does not model " + call + " with " + argument;
    Record("UNMODELLED " + what, true);
    throw Unmodelled(what);
}

Window* World::Find(HWND handle) {
    auto found = windows_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == windows_.end() || !found->second.alive) return nullptr;
    return &found->second;
}

Window& World::Create(const std::string& name, const std::string& className, LONG style, RECT rect, DWORD threadId,
                      HWND parentOrDesktop, HWND owner, int controlId) {
    std::uintptr_t value = nextHandle_;
    nextHandle_ += 4;
    Window& window = windows_[value];
    window.handle = reinterpret_cast<HWND>(value);
    window.name = name;
    window.className = className;
    window.style = style;
    window.rect = rect;
    window.threadId = threadId;
    window.controlId = controlId;
    window.parent = parentOrDesktop;
    window.owner = owner;
    if (Window* parent = Find(parentOrDesktop)) {
        // New top-level windows open above the others; new controls go below their siblings.
        if (style & WS_CHILD)
            parent->children.push_back(window.handle);
        else
            parent->children.insert(parent->children.begin(), window.handle);
    }
    NoteChange();
    return window;
}

void World::Destroy(HWND handle) {
    Window* window = Find(handle);
    if (!window) return;
    for (HWND child : std::vector<HWND>(window->children)) Destroy(child);
    window->alive = false;
    if (Window* parent = Find(window->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
    NoteChange();
}

std::string World::NameOf(HWND handle) {
    if (!handle) return "null";
    if (handle == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) return "-1";
    auto found = windows_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == windows_.end()) return "unknown";
    return found->second.alive ? found->second.name : found->second.name + "(destroyed)";
}

void World::Record(const std::string& text, bool action) {
    if (!insideTwinsBox) trace.push_back({now, text, action});
}

std::vector<std::string> World::Actions() const {
    std::vector<std::string> actions;
    for (const TraceEntry& entry : trace)
        if (entry.action) actions.push_back(entry.text);
    return actions;
}

std::string World::Timeline(bool actionsOnly) const {
    std::ostringstream out;
    for (const TraceEntry& entry : trace) {
        if (actionsOnly && !entry.action) continue;
        char time[32];
        std::snprintf(time, sizeof time, "%4lld.%03lld s  ", static_cast<long long>(entry.time / 1000000),
                      static_cast<long long>(entry.time / 1000 % 1000));
        out << time << entry.text << "\n";
    }
    return out.str();
}

void World::RunReadyCallbacks() {
    while (!readyCallbacks.empty()) {
        auto callback = std::move(readyCallbacks.front());
        readyCallbacks.pop_front();
        callback();
    }
}

void World::QueueCallback(const SentMessage& sent, LRESULT result) {
    if (!sent.callback) return;
    NoteChange();
    SentMessage copy = sent;
    readyCallbacks.push_back([this, copy, result] {
        Record("step " + std::to_string(copy.data), true);
        bool outerInStep = inStep;
        DWORD outerStep = currentStep;
        inStep = true;
        currentStep = static_cast<DWORD>(copy.data);
        copy.callback(copy.target, copy.message, copy.data, result);
        inStep = outerInStep;
        currentStep = outerStep;
    });
}

}  // namespace sim
