#pragma once

#include "platform/win32_api.h"

enum ScriptVariant { Win95, Win98, WinNT };

ScriptVariant SelectScriptVariant(const OSVERSIONINFOA& versionInfo);
