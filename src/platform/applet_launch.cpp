#include "platform/applet_launch.h"

#include "run/automation_context.h"

// CreateProcessA may write into the command line, so it lives in writable memory.
char AppletCommandLine[] = "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,3";

// The size of STARTUPINFOA as 32-bit Windows defines it; the host's pointers are wider.
const DWORD kStartupInfoSize = 68;
#ifdef _WIN32
static_assert(sizeof(STARTUPINFOA) == kStartupInfoSize, "STARTUPINFOA layout");
#endif

BOOL LaunchApplet() {
    context.applet.hProcess = 0;
    context.applet.hThread = 0;
    context.applet.dwProcessId = 0;
    context.applet.dwThreadId = 0;

    STARTUPINFOA startupInfo;
    BYTE* bytes = (BYTE*)&startupInfo;
    for (unsigned i = 0; i < sizeof startupInfo; ++i) bytes[i] = 0;
    startupInfo.cb = kStartupInfoSize;
    startupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_FORCEONFEEDBACK;
    startupInfo.wShowWindow = 0;

    BOOL launched = CreateProcessA(0, AppletCommandLine, 0, 0, TRUE, 0, 0, 0, &startupInfo, &context.applet);
    WaitForInputIdle(context.applet.hProcess, INFINITE);
    return launched;
}
