#include "actions/clicks.h"

#include "run/automation_context.h"
#include "run/end_run.h"

void ClickWithContinuation(HWND control, ContinuationProc continuation, DWORD step) {
    SendMessageCallbackA(control, BM_CLICK, 0, 0, continuation, step);
}

void NotifyClick(HWND control) { SendNotifyMessageA(control, BM_CLICK, 0, 0); }

void SetCheckNotify(HWND control, WPARAM state) {
    SendNotifyMessageA(control, BM_SETCHECK, state, 0);
    SetForegroundWindow(control);
}

void RunListedStep(const StepRow* table, int rowCount, DWORD step) {
    // Completions still queued when the run ended belong to a finished run.
    if (context.runEnded) return;
    // A continuation also comes, with result 0, when the applet has ended.
    AbandonRunIfAppletEnded();
    for (int row = 0; row < rowCount; ++row) {
        if (table[row].step != step) continue;
        if (table[row].action) table[row].action();
        return;
    }
    EndRun();
}

void NotifyClickThenForeground(HWND control) {
    NotifyClick(control);
    SetForegroundWindow(control);
}
