#include "run/script_variant.h"

ScriptVariant SelectScriptVariant(const OSVERSIONINFOA& versionInfo) {
    if (versionInfo.dwPlatformId != 1) return WinNT;
    return versionInfo.dwMinorVersion != 0 ? Win98 : Win95;
}
