// The logging twin's own calls on the host: a file system for its log, the
// clock, window names and the message box, all free of simulated time.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/log_door.h"
#include "sim/world.h"

namespace {

sim::World& W() { return sim::World::Current(); }

DWORD Copy(const std::string& text, LPSTR buffer, DWORD size) {
    if (text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

}  // namespace

DWORD LogTempPath(DWORD size, LPSTR buffer) { return Copy(W().tempPath, buffer, size); }

UINT LogWindowsFolder(LPSTR buffer, UINT size) { return Copy(W().windowsFolder, buffer, size); }

HANDLE LogCreate(LPCSTR path) {
    sim::World& world = W();
    if (world.readOnlyFolders.count(FolderOf(path)) || world.readOnlyFiles.count(path)) return INVALID_HANDLE_VALUE;
    world.files[path].clear();
    std::uintptr_t handle = 0x7000 + world.openFiles.size() * 4;
    world.openFiles[handle] = {path, 0};
    return reinterpret_cast<HANDLE>(handle);
}

BOOL LogWrite(HANDLE file, const void* bytes, DWORD count, DWORD* written) {
    sim::World& world = W();
    sim::World::OpenFile& open = world.openFiles.at(reinterpret_cast<std::uintptr_t>(file));
    std::string& contents = world.files[open.path];
    DWORD fits = world.diskSpace < 0 ? count : static_cast<DWORD>(std::min<long long>(count, world.diskSpace));
    contents.replace(open.position, std::min<std::size_t>(fits, contents.size() - open.position),
                     static_cast<const char*>(bytes), fits);
    open.position += fits;
    if (world.diskSpace >= 0) world.diskSpace -= fits;
    world.bytesWritten += fits;
    *written = fits;
    return fits == count;
}

BOOL LogTruncate(HANDLE file, DWORD offset) {
    sim::World& world = W();
    sim::World::OpenFile& open = world.openFiles.at(reinterpret_cast<std::uintptr_t>(file));
    std::string& contents = world.files[open.path];
    if (offset > contents.size()) return FALSE;
    if (world.diskSpace >= 0) world.diskSpace += static_cast<long long>(contents.size() - offset);
    contents.resize(offset);
    open.position = offset;
    return TRUE;
}

DWORD LogClock() { return W().ticksAtStart + static_cast<DWORD>(W().now / sim::kMillisecond); }

int LogClassName(HWND window, LPSTR buffer, int size) {
    sim::Window* found = W().Find(window);
    if (!found || !found->alive) return 0;
    return static_cast<int>(Copy(found->className.substr(0, size - 1), buffer, size));
}

int LogControlId(HWND window) {
    sim::Window* found = W().Find(window);
    return found && found->alive ? found->controlId : 0;
}

// A message box runs a message loop of its own until it is closed: completions
// still queued are delivered inside it.
int LogMessageBox(LPCSTR text, LPCSTR, UINT) {
    sim::World& world = W();
    world.messageBoxes.push_back(text);
    world.insideTwinsBox = true;
    world.RunReadyCallbacks();
    world.insideTwinsBox = false;
    return 1;
}

void* LogProcessMemory(unsigned size) {
    std::vector<char>& memory = W().logMemory;
    if (memory.size() < size) memory.assign(size, 0);
    return memory.data();
}
