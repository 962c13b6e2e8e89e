#pragma once

// WinMain itself is declared by the platform header, as <windows.h> declares it.

#include "platform/win32_api.h"

int RunMessagePump();
