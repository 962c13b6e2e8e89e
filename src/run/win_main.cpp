#include "run/win_main.h"

#include "discovery/window_searches.h"
#include "platform/applet_launch.h"
#include "run/automation_context.h"
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

int RunMessagePump() {
    MSG message;
    // Returned as is when the very first read fails.
    message.wParam = 0;
    while (GetMessageA(&message, 0, 0, 0) == 1) DispatchMessageA(&message);
    return (int)message.wParam;
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

    LaunchApplet();
    FindAppletMainWindow();
    RunOpeningSteps(variant);
    return RunMessagePump();
}
