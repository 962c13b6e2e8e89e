#pragma once

#include "platform/win32_api.h"

int FindAppletMainWindow();
HWND FindOwnedWindow(HWND owner, HWND scope);
int HasVisibleUnownedAppletWindow();
HWND FirstPageOf(HWND window);

void WaitForAppletInputIdle();
