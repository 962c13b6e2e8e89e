#pragma once

#include "platform/win32_api.h"

typedef SENDASYNCPROC ContinuationProc;

// Step number the paste of the driver path comes back with, in every script.
const DWORD PATH_PASTED = 1000;

void ClickWithContinuation(HWND control, ContinuationProc continuation, DWORD step);
void NotifyClick(HWND control);
void SetCheckNotify(HWND control, WPARAM state);

// One row of a script's step table; a row without action is listed but does nothing.
struct StepRow {
    DWORD step;
    void (*action)();
};

// The frame every continuation procedure shares: run the listed row, or end the
// run for any step the script does not list.
void RunListedStep(const StepRow* table, int rowCount, DWORD step);

// The Windows 98 and NT scripts bring every control they notify-click to the foreground.
void NotifyClickThenForeground(HWND control);
