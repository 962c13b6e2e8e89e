#include "run/win_main.h"

#include "actions/driver_path.h"
#include "discovery/window_searches.h"
#include "platform/applet_launch.h"
#include "run/automation_context.h"
#include "run/end_run.h"
#include "run/script_variant.h"
#include "scripts/scripts.h"

static void RunOpeningSteps(ScriptVariant variant) {
    switch (variant) {
        case Win95:
            Win95OpeningStep1();
            Win95OpeningStep2();
            Win95OpeningStep3();
            break;
        case Win98:
            Win98OpeningStep1();
            SelectTabByFocus();
            Win98OpeningStep3();
            ClickWizardNext(1);
            break;
        case WinNT:
            NtOpeningStep1();
            NtOpeningStep2();
            NtOpeningStep3();
            break;
    }
}

// How often the pump looks whether the applet is still there while it waits.
const UINT kAppletCheckIntervalMs = 500;

int RunMessagePump() {
    MSG message;
    // Returned as is when the very first read fails.
    message.wParam = 0;
    // A click that was lost leaves nothing to wake the pump; the timer does.
    SetTimer(0, 0, kAppletCheckIntervalMs, 0);
    while (GetMessageA(&message, 0, 0, 0) == 1) {
        AbandonRunIfAppletEnded();
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

// Checked before the applet starts, so that a bad medium leaves nothing half-done.
static BOOL DriverFolderExists(ScriptVariant variant) {
    char driverPath[MAX_PATH];
    if (!BuildDriverPath(variant == WinNT ? NT_DRIVER_FOLDER : WIN9X_DRIVER_FOLDER, driverPath)) return FALSE;
    DWORD attributes = GetFileAttributesA(driverPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    context.mainWindow = NOT_FOUND_WINDOW;
    context.instance = instance;

    context.versionInfo.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    context.versionInfo.dwMajorVersion = 0;
    context.versionInfo.dwMinorVersion = 0;
    context.versionInfo.dwBuildNumber = 0;
    context.versionInfo.dwPlatformId = 1;
    context.versionInfo.szCSDVersion[0] = 0;
    // When the query fails the preset stands and selects the Windows 95 script.
    GetVersionExA(&context.versionInfo);
    ScriptVariant variant = SelectScriptVariant(context.versionInfo);

    if (!DriverFolderExists(variant)) return EXIT_NO_DRIVER_FOLDER;
    if (!LaunchApplet()) return EXIT_APPLET_NOT_STARTED;
    FindAppletMainWindow();
    RunOpeningSteps(variant);
    return RunMessagePump();
}
