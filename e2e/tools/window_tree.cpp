// Prints the top-level windows as USER32 sees them, in z-order from the top,
// with their children: handle, class, title, thread, what GetParent and
// GW_OWNER answer, visibility and style. A run killed mid-wait shows it, so
// that a search that missed a window can be told from a window never opened.
#include <windows.h>

#include <cstdio>

namespace {

void Describe(HWND window, int depth) {
    char className[64] = "", title[64] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("%*s%p %-14s \"%s\" thread %lu parent %p owner %p %s style 0x%08lx at %ld,%ld-%ld,%ld\n",
                depth * 2, "", (void*)window, className, title, GetWindowThreadProcessId(window, 0),
                (void*)GetParent(window), (void*)GetWindow(window, GW_OWNER),
                IsWindowVisible(window) ? "visible" : "hidden", (unsigned long)GetWindowLongA(window, GWL_STYLE),
                rect.left, rect.top, rect.right, rect.bottom);
}

void Walk(HWND first, int depth) {
    for (HWND window = first; window; window = GetWindow(window, GW_HWNDNEXT)) {
        Describe(window, depth);
        if (depth < 3) Walk(GetWindow(window, GW_CHILD), depth + 1);
    }
}

}  // namespace

int main() {
    std::printf("desktop %p; top-level windows from the top:\n", (void*)GetDesktopWindow());
    Walk(GetWindow(GetDesktopWindow(), GW_CHILD), 0);
    return 0;
}
