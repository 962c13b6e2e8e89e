#include "actions/clicks.h"
#include "actions/driver_path.h"
#include "discovery/window_searches.h"
#include "run/automation_context.h"
#include "run/end_run.h"
#include "scripts/scripts.h"

int NtOpeningStep1() {
    WaitForAppletInputIdle();
    NotifyClickThenForeground(GetDlgItem(FirstPageOf(context.mainWindow), 265));
    return 1;
}

int NtOpeningStep2() {
    WaitForAppletInputIdle();
    context.firstDialog = FindOwnedWindow(context.mainWindow, 0);
    ClickWithContinuation(GetDlgItem(context.firstDialog, 519), NtContinue, 1);
    return 1;
}

int NtOpeningStep3() {
    WaitForAppletInputIdle();
    HWND browse;
    do {
        AbandonRunIfAppletEnded();
        context.secondDialog = FindOwnedWindow(context.firstDialog, 0);
        browse = GetDlgItem(context.secondDialog, 1567);
    } while (!browse);
    ClickWithContinuation(browse, NtContinue, 2);
    HandOverDriverPathNt(context.secondDialog);
    return 1;
}

static void CancelFirstDialog() { ClickWithContinuation(GetDlgItem(context.firstDialog, 2), NtContinue, 7); }

// The window is recognised by its control 10, but its control 2 is the one pressed.
static void AnswerClosingQuestion() {
    HWND answer;
    do {
        AbandonRunIfAppletEnded();
        WaitForAppletInputIdle();
        context.lastDialog = FindOwnedWindow(context.firstDialog, 0);
        answer = GetDlgItem(context.lastDialog, 10) ? GetDlgItem(context.lastDialog, 2) : 0;
    } while (!answer);
    NotifyClickThenForeground(answer);
}

// The path dialog may still be the first window owned by secondDialog; it has
// been confirmed already and must not be pressed twice.
static void ConfirmDialogAfterPathDialog() {
    HWND confirm;
    do {
        AbandonRunIfAppletEnded();
        WaitForAppletInputIdle();
        context.lastDialog = FindOwnedWindow(context.secondDialog, 0);
        confirm = context.lastDialog == context.pathDialog ? 0 : GetDlgItem(context.lastDialog, 1);
    } while (!confirm);
    ClickWithContinuation(confirm, NtContinue, 4);
}

static void AnswerYes() { NotifyClickThenForeground(PollLastDialogForControl(context.firstDialog, 6)); }

static void ConfirmMainWindowAndEnd() {
    NotifyClickThenForeground(GetDlgItem(context.mainWindow, 1));
    EndRun();
}

static void ConfirmPathDialog() { AnswerPathPasted(NtContinue, 3); }

static const StepRow kNtSteps[] = {
    {1,           CancelFirstDialog           },
    {2,           AnswerClosingQuestion       },
    {3,           ConfirmDialogAfterPathDialog},
    {4,           AnswerYes                   },
    {7,           ConfirmMainWindowAndEnd     },
    {PATH_PASTED, ConfirmPathDialog           },
};

VOID CALLBACK NtContinue(HWND, UINT, ULONG_PTR step, LRESULT) {
    RunListedStep(kNtSteps, sizeof kNtSteps / sizeof kNtSteps[0], (DWORD)step);
}
