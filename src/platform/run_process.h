#pragma once

#include "platform/win32_api.h"

// What the start-up does once it knows the module: runs WinMain and ends the
// process with its result, so that every run ends in ExitProcess.
[[noreturn]] void RunProcess(HINSTANCE instance);
