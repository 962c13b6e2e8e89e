#pragma once

#include "platform/win32_api.h"

int FindAppletMainWindow();
HWND FindOwnedWindow(HWND owner, HWND scope);
int HasVisibleUnownedAppletWindow();
HWND FirstPageOf(HWND window);

void WaitForAppletInputIdle();

// The scripts' repeated look-up of a control in the newest window owned by owner:
// each try waits for input idle, stores that window in lastDialog and looks the
// control up in it, until the control exists.
HWND PollLastDialogForControl(HWND owner, int controlId);
