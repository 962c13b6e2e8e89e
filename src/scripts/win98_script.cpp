#include "actions/clicks.h"
#include "actions/driver_path.h"
#include "discovery/window_searches.h"
#include "run/automation_context.h"
#include "run/end_run.h"
#include "scripts/scripts.h"

// The wizard and its current page are searched afresh at every use: the applet
// replaces pages, and nothing found earlier is trusted later.
static HWND Wizard() { return FindOwnedWindow(context.firstDialog, 0); }

static HWND WizardPage() {
    HWND scope = Wizard();
    HWND owner = Wizard();
    return FindOwnedWindow(owner, scope);
}

int Win98OpeningStep1() {
    WaitForAppletInputIdle();
    ClickWithContinuation(GetDlgItem(FirstPageOf(context.mainWindow), 1802), Win98Continue, 7);
    return 1;
}

int SelectTabByFocus() {
    HWND tab = GetDlgItem(FindOwnedWindow(context.mainWindow, 0), 12320);
    SetFocus(tab);
    LONG style = GetWindowLongA(tab, GWL_STYLE);
    SetWindowLongA(tab, GWL_STYLE, style ^ TCS_BUTTONS);
    SendMessageA(tab, TCM_SETCURFOCUS, 1, 0);
    return 1;
}

int Win98OpeningStep3() {
    WaitForAppletInputIdle();
    context.firstDialog = FindOwnedWindow(context.mainWindow, 0);
    ClickWithContinuation(GetDlgItem(FirstPageOf(context.firstDialog), 1302), Win98Continue, 6);
    return 1;
}

int ClickWizardNext(DWORD step) {
    HWND next;
    do {
        AbandonRunIfAppletEnded();
        WaitForAppletInputIdle();
        next = GetDlgItem(Wizard(), 12324);
    } while (!next);
    ClickWithContinuation(next, Win98Continue, step);
    return 1;
}

static void SetRadioButtonsAndGoOn() {
    HWND choice;
    do {
        AbandonRunIfAppletEnded();
        choice = GetDlgItem(WizardPage(), 3316);
    } while (!choice);
    SetCheckNotify(choice, BST_CHECKED);
    SetCheckNotify(GetDlgItem(WizardPage(), 3315), BST_UNCHECKED);
    ClickWizardNext(2);
}

static void OpenPathDialogAndHandOver() {
    HWND page = WizardPage();
    HWND browse;
    do {
        AbandonRunIfAppletEnded();
        browse = GetDlgItem(page, 1567);
    } while (!browse);
    NotifyClickThenForeground(browse);
    HandOverDriverPath(Wizard());
}

static void ConfirmDialogAfterPathDialog() {
    HWND confirm;
    do {
        AbandonRunIfAppletEnded();
        confirm = GetDlgItem(FindOwnedWindow(Wizard(), 0), 1);
    } while (!confirm);
    NotifyClickThenForeground(confirm);
    // A visible unowned window of the applet at this point means it has
    // finished the installation on its own.
    if (HasVisibleUnownedAppletWindow())
        EndRun();
    else
        ClickWizardNext(5);
}

static void FinishWizard() {
    HWND finish;
    do {
        AbandonRunIfAppletEnded();
        finish = GetDlgItem(Wizard(), 12325);
    } while (!finish);
    WaitForAppletInputIdle();
    NotifyClickThenForeground(finish);
}

static void ConfirmFirstDialog() {
    HWND confirm;
    do {
        AbandonRunIfAppletEnded();
        confirm = GetDlgItem(context.firstDialog, 1);
    } while (!confirm);
    NotifyClickThenForeground(confirm);
}

static void ConfirmMainWindowAndEnd() {
    HWND confirm;
    do {
        AbandonRunIfAppletEnded();
        confirm = GetDlgItem(context.mainWindow, 1);
    } while (!confirm);
    NotifyClickThenForeground(confirm);
    EndRun();
}

static void ConfirmPathDialog() { AnswerPathPasted(Win98Continue, 4); }

static const StepRow kWin98Steps[] = {
    {1,           SetRadioButtonsAndGoOn      },
    {2,           OpenPathDialogAndHandOver   },
    {4,           ConfirmDialogAfterPathDialog},
    {5,           FinishWizard                },
    {6,           ConfirmFirstDialog          },
    {7,           ConfirmMainWindowAndEnd     },
    {PATH_PASTED, ConfirmPathDialog           },
};

VOID CALLBACK Win98Continue(HWND, UINT, ULONG_PTR step, LRESULT) {
    RunListedStep(kWin98Steps, sizeof kWin98Steps / sizeof kWin98Steps[0], (DWORD)step);
}
