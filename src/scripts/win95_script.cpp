#include "actions/clicks.h"
#include "actions/driver_path.h"
#include "discovery/window_searches.h"
#include "run/automation_context.h"
#include "run/end_run.h"
#include "scripts/scripts.h"

int Win95OpeningStep1() {
    WaitForAppletInputIdle();
    ClickWithContinuation(GetDlgItem(FirstPageOf(context.mainWindow), 1210), Win95Continue, 5);
    return 1;
}

int Win95OpeningStep2() {
    WaitForAppletInputIdle();
    context.firstDialog = FindOwnedWindow(context.mainWindow, 0);
    ClickWithContinuation(GetDlgItem(FirstPageOf(context.firstDialog), 1302), Win95Continue, 6);
    return 1;
}

int Win95OpeningStep3() {
    WaitForAppletInputIdle();
    context.secondDialog = FindOwnedWindow(context.firstDialog, 0);
    ClickWithContinuation(GetDlgItem(context.secondDialog, 101), Win95Continue, 4);
    HandOverDriverPath(context.secondDialog);
    return 1;
}

static void ConfirmDialogAfterPathDialog() {
    ClickWithContinuation(PollLastDialogForControl(context.secondDialog, 1), Win95Continue, 3);
}

static void ConfirmSecondDialog() { ClickWithContinuation(GetDlgItem(context.secondDialog, 1), Win95Continue, 1); }

static void ConfirmMainWindowAndEnd() {
    NotifyClick(GetDlgItem(context.mainWindow, 1));
    EndRun();
}

static void ConfirmFirstDialog() { NotifyClick(GetDlgItem(context.firstDialog, 1)); }

static void ConfirmPathDialog() { AnswerPathPasted(Win95Continue, 2); }

static const StepRow kWin95Steps[] = {
    {1,           0                           },
    {2,           ConfirmDialogAfterPathDialog},
    {3,           0                           },
    {4,           ConfirmSecondDialog         },
    {5,           ConfirmMainWindowAndEnd     },
    {6,           ConfirmFirstDialog          },
    {PATH_PASTED, ConfirmPathDialog           },
};

VOID CALLBACK Win95Continue(HWND, UINT, ULONG_PTR step, LRESULT) {
    RunListedStep(kWin95Steps, sizeof kWin95Steps / sizeof kWin95Steps[0], (DWORD)step);
}
