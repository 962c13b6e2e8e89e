// A stand-in for the Display control panel applet: the windows, control ids and
// modal nesting that setup.exe relies on, and a log of everything it is sent.
//
// Environment (inherited from setup.exe, which inherits it from the runner):
//   STANDIN_VARIANT  win95 | win98 | nt40
//   STANDIN_LOG      file the events are appended to, one per line: "<ms> <event>"
//   STANDIN_DELAY_MS the applet is busy this long before it shows each dialog
//   STANDIN_EXIT_ON  control ("secondDialog#1"): the process ends when it is clicked
//   STANDIN_UNOWNED_AFTER_CONFIRM  1: a visible unowned window shows after the
//                    Windows 98 confirmation that follows the path dialog
#include <windows.h>
#include <commctrl.h>
#include <cpl.h>

#include "dialog_template.h"

namespace {

enum Variant { Win95, Win98, WinNT };

HINSTANCE module;
Variant variant = Win95;
char logPath[MAX_PATH];
char exitOn[64];
DWORD delayMs;
bool unownedAfterConfirm;
DWORD startTicks;
// The property sheets of the applet, built by comctl32 itself: the main window,
// the Windows 9x first dialog (with the sheet's tab control 12320) and the
// Windows 98 wizard (with the sheet's Next 12324 and Finish 12325).
struct Sheet {
    const char* name;
    bool wizard;
    const char* pages[4];
    int pageCount;
};
const Sheet kMainSheet = {"main", false, {"main.page"}, 1};
const Sheet kFirstSheet = {
    "firstDialog", false, {"firstDialog.page", "firstDialog.adapter"},
      2
};
const Sheet kWizard = {
    "wizard", true, {"wizard.welcome", "wizard.choice", "wizard.location", "wizard.ready"},
      4
};

void Log(const char* format, ...) {
    char line[1024];
    int length = wsprintfA(line, "%lu ", GetTickCount() - startTicks);
    va_list arguments;
    va_start(arguments, format);
    length += wvsprintfA(line + length, format, arguments);
    va_end(arguments);
    line[length++] = '\n';
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(file, line, (DWORD)length, &written, 0);
    CloseHandle(file);
}

void ReadSettings() {
    char value[64];
    startTicks = GetTickCount();
    if (GetEnvironmentVariableA("STANDIN_VARIANT", value, sizeof value)) {
        if (!lstrcmpiA(value, "win98"))
            variant = Win98;
        else if (!lstrcmpiA(value, "nt40"))
            variant = WinNT;
    }
    if (!GetEnvironmentVariableA("STANDIN_LOG", logPath, sizeof logPath)) lstrcpyA(logPath, "C:\\standin.log");
    if (GetEnvironmentVariableA("STANDIN_DELAY_MS", value, sizeof value)) {
        delayMs = 0;
        for (const char* digit = value; *digit >= '0' && *digit <= '9'; ++digit)
            delayMs = delayMs * 10 + (*digit - '0');
    }
    GetEnvironmentVariableA("STANDIN_EXIT_ON", exitOn, sizeof exitOn);
    unownedAfterConfirm = GetEnvironmentVariableA("STANDIN_UNOWNED_AFTER_CONFIRM", value, sizeof value) > 0;
}

bool Is(const char* name, const char* other) { return lstrcmpA(name, other) == 0; }

// Names live in a window property: comctl32 keeps its own data in the sheet's other slots.
const char kName[] = "StandinName";
const char* NameOf(HWND dialog) { return (const char*)GetPropA(dialog, kName); }
void Name(HWND dialog, const char* name) { SetPropA(dialog, kName, (HANDLE)name); }

// The control's name in the log: "<dialog>#<id>".
void ControlName(HWND control, char* name) {
    const char* dialog = NameOf(GetParent(control));
    wsprintfA(name, "%s#%d", dialog ? dialog : "?", GetDlgCtrlID(control));
}

const char kOriginalProc[] = "StandinOriginalProc";

LRESULT CALLBACK ObservedControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = (WNDPROC)GetPropA(control, kOriginalProc);
    char name[96];
    ControlName(control, name);
    switch (message) {
        case BM_CLICK:
            if (exitOn[0] && Is(name, exitOn)) {
                FILETIME now;
                GetSystemTimeAsFileTime(&now);
                ULONGLONG epochMs =
                    ((((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime) - 116444736000000000ULL) / 10000;
                Log("click %s (exits at %lu%03lu)", name, (unsigned long)(epochMs / 1000),
                    (unsigned long)(epochMs % 1000));
                ExitProcess(0);
            }
            Log("click %s", name);
            break;
        case BM_SETCHECK:
            Log("check %s %d", name, (int)wParam);
            break;
        case TCM_SETCURFOCUS:
            Log("tab focus %s %d style 0x%lx", name, (int)wParam,
                (unsigned long)(GetWindowLongA(control, GWL_STYLE) & TCS_BUTTONS));
            break;
        case WM_PASTE: {
            LRESULT result = CallWindowProcA(original, control, message, wParam, lParam);
            char text[MAX_PATH + 16];
            GetWindowTextA(control, text, sizeof text);
            Log("paste %s \"%s\"", name, text);
            return result;
        }
    }
    return CallWindowProcA(original, control, message, wParam, lParam);
}

BOOL CALLBACK Observe(HWND control, LPARAM) {
    if (GetPropA(control, kOriginalProc)) return TRUE;
    SetPropA(control, kOriginalProc, (HANDLE)GetWindowLongPtrA(control, GWLP_WNDPROC));
    SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)ObservedControl);
    return TRUE;
}

const DWORD kDialogStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
const DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

void Button(DialogTemplate& dialog, WORD id, const char* text, short x, short y) {
    dialog.Add(id, "BUTTON", text, kButton, x, y, 50, 14);
}

// The controls of each window, by name.
void Describe(const char* name, DialogTemplate& t) {
    if (Is(name, "main.page")) {
        Button(t, variant == Win95 ? 1210 : variant == Win98 ? 1802 : 265, "Change...", 10, 10);
    } else if (Is(name, "firstDialog")) {  // Windows NT: a plain dialog
        Button(t, 519, "Change...", 10, 40);
        Button(t, 2, "Close", 180, 150);
    } else if (Is(name, "firstDialog.page")) {
        Button(t, 1302, "Change...", 10, 10);
    } else if (Is(name, "secondDialog")) {
        if (variant == WinNT)
            Button(t, 1567, "Have Disk...", 10, 10);
        else
            Button(t, 101, "Have Disk...", 10, 10);
        Button(t, 1, "OK", 120, 100);
    } else if (Is(name, "pathDialog")) {
        t.Add(variant == WinNT ? 107 : 101, "EDIT", "A:\\",
              WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 200, 14);
        Button(t, 1, "OK", 100, 40);
        Button(t, 2, "Cancel", 160, 40);
    } else if (Is(name, "copyDialog") || Is(name, "confirmDialog")) {
        Button(t, 1, "OK", 60, 40);
    } else if (Is(name, "wizard.choice")) {
        t.Add(3316, "BUTTON", "Show all", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 120, 12);
        t.Add(3315, "BUTTON", "Compatible", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 10, 30, 120, 12);
    } else if (Is(name, "wizard.location")) {
        Button(t, 1567, "Have Disk...", 10, 10);
    } else if (Is(name, "yesNoBox")) {
        Button(t, 6, "Yes", 20, 40);
        Button(t, 7, "No", 80, 40);
    } else if (Is(name, "closingQuestion")) {
        Button(t, 10, "Restart", 20, 40);
        Button(t, 2, "Later", 80, 40);
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OnInit(HWND dialog, const char* name);
void RunSheet(const Sheet& sheet, HWND owner);

INT_PTR ShowModal(const char* name, HWND owner) {
    // The applet is busy before the dialog shows, as it would be reading a disk.
    if (delayMs) Sleep(delayMs);
    DialogTemplate t(kDialogStyle, 260, 190, name);
    Describe(name, t);
    return DialogBoxIndirectParamA(module, t.Get(), owner, DialogProc, (LPARAM)name);
}

INT_PTR CALLBACK SheetPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND sheetWindow = GetParent(page);
    if (message == WM_INITDIALOG) {
        PROPSHEETPAGEA* description = (PROPSHEETPAGEA*)lParam;
        const Sheet* sheet = (const Sheet*)description->lParam;
        if (!NameOf(sheetWindow)) {
            Name(sheetWindow, sheet->name);
            Log("open %s", sheet->name);
        }
        // A page knows its own name from its template's title.
        static char titles[8][32];
        static int used;
        char* title = titles[used++ % 8];
        GetWindowTextA(page, title, sizeof titles[0]);
        OnInit(page, title);
        EnumChildWindows(sheetWindow, Observe, 0);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        switch (((NMHDR*)lParam)->code) {
            case PSN_SETACTIVE:
                if (Is(NameOf(sheetWindow), kWizard.name)) {
                    bool last = Is(NameOf(page), kWizard.pages[kWizard.pageCount - 1]);
                    PostMessageA(sheetWindow, PSM_SETWIZBUTTONS, 0,
                                 last ? PSWIZB_BACK | PSWIZB_FINISH : PSWIZB_BACK | PSWIZB_NEXT);
                }
                return TRUE;
            case PSN_APPLY:
            case PSN_WIZFINISH:
            case PSN_RESET:
                // A modal sheet looks at its end only after a posted message.
                PostMessageA(sheetWindow, WM_NULL, 0, 0);
                SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
        }
    }
    return DialogProc(page, message, wParam, lParam);
}

void RunSheet(const Sheet& sheet, HWND owner) {
    // The applet is busy before the sheet shows, as it would be reading a disk.
    if (delayMs && &sheet != &kMainSheet) Sleep(delayMs);
    DialogTemplate* templates[4];
    PROPSHEETPAGEA pages[4] = {};
    for (int i = 0; i < sheet.pageCount; ++i) {
        templates[i] = new DialogTemplate(WS_CHILD | DS_CONTROL, 240, 140, sheet.pages[i]);
        Describe(sheet.pages[i], *templates[i]);
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_DLGINDIRECT;
        pages[i].hInstance = module;
        pages[i].pResource = templates[i]->Get();
        pages[i].pfnDlgProc = SheetPageProc;
        pages[i].lParam = (LPARAM)&sheet;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | (sheet.wizard ? PSH_WIZARD : 0);
    header.hwndParent = owner;
    header.hInstance = module;
    header.pszCaption = sheet.name;
    header.nPages = sheet.pageCount;
    header.ppsp = pages;
    PropertySheetA(&header);
    Log("close %s", sheet.name);
    for (int i = 0; i < sheet.pageCount; ++i) delete templates[i];
}

void OnInit(HWND dialog, const char* name) {
    Name(dialog, name);
    // The applet's own default choice, set before anything is observed.
    if (Is(name, "wizard.choice")) SendDlgItemMessageA(dialog, 3315, BM_SETCHECK, BST_CHECKED, 0);
    EnumChildWindows(dialog, Observe, 0);
    if (!(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD)) Log("open %s", name);
}

void OnClick(HWND dialog, const char* name, int id) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (Is(name, "main.page")) {
        if (variant == WinNT)
            ShowModal("firstDialog", GetParent(dialog));
        else
            RunSheet(kFirstSheet, GetParent(dialog));
    } else if (Is(name, "firstDialog.page")) {
        if (variant == Win98)
            RunSheet(kWizard, GetParent(dialog));
        else
            ShowModal("secondDialog", GetParent(dialog));
    } else if (Is(name, "firstDialog") && id == 519) {
        ShowModal("secondDialog", dialog);
        ShowModal("closingQuestion", dialog);
    } else if (Is(name, "secondDialog") && id == 101) {
        ShowModal("pathDialog", dialog);
        ShowModal("copyDialog", dialog);
    } else if (Is(name, "secondDialog") && id == 1567) {
        ShowModal("pathDialog", dialog);
        ShowModal("copyDialog", dialog);
        ShowModal("yesNoBox", owner);
        EndDialog(dialog, 1);
    } else if (Is(name, "wizard.location")) {
        HWND wizard = GetParent(dialog);
        ShowModal("pathDialog", wizard);
        ShowModal("confirmDialog", wizard);
    } else if (Is(name, "pathDialog")) {
        if (id == 1) {
            char text[MAX_PATH + 16];
            GetDlgItemTextA(dialog, variant == WinNT ? 107 : 101, text, sizeof text);
            Log("confirm pathDialog \"%s\"", text);
        }
        EndDialog(dialog, id);
    } else if (Is(name, "closingQuestion")) {
        if (id == 2) EndDialog(dialog, id);
    } else if (!(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD)) {
        if (Is(name, "confirmDialog") && unownedAfterConfirm) {
            CreateWindowExA(0, "STATIC", "Restart now?", WS_POPUP | WS_VISIBLE | WS_CAPTION, 300, 300, 240, 100, 0, 0,
                            module, 0);
            Log("open unowned window");
        }
        EndDialog(dialog, id);
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog, (const char*)lParam);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) OnClick(dialog, NameOf(dialog), LOWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            if (!(GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD)) Log("close %s", NameOf(dialog));
            return FALSE;
    }
    return FALSE;
}

void Run(HWND host) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES};
    InitCommonControlsEx(&classes);
    // The wall-clock start lets a run's screenshots be matched with these events.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG epochMs = ((((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime) - 116444736000000000ULL) / 10000;
    Log("start variant %s at %lu%03lu", variant == Win95 ? "win95" : variant == Win98 ? "win98" : "nt40",
        (unsigned long)(epochMs / 1000), (unsigned long)(epochMs % 1000));
    RunSheet(kMainSheet, host);
    Log("end");
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) module = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) LONG CALLBACK CPlApplet(HWND host, UINT message, LPARAM lParam1, LPARAM lParam2) {
    switch (message) {
        case CPL_INIT:
            ReadSettings();
            return TRUE;
        case CPL_GETCOUNT:
            return 1;
        case CPL_INQUIRE: {
            CPLINFO* info = (CPLINFO*)lParam2;
            info->idIcon = CPL_DYNAMIC_RES;
            info->idName = CPL_DYNAMIC_RES;
            info->idInfo = CPL_DYNAMIC_RES;
            info->lData = 0;
            return 0;
        }
        case CPL_NEWINQUIRE: {
            NEWCPLINFOW* wide = (NEWCPLINFOW*)lParam2;
            HICON icon = LoadIconA(0, (LPCSTR)IDI_APPLICATION);
            if (wide->dwSize == sizeof(NEWCPLINFOW)) {
                wide->hIcon = icon;
                lstrcpyW(wide->szName, L"Display");
                lstrcpyW(wide->szInfo, L"Display settings (stand-in)");
            } else {
                NEWCPLINFOA* narrow = (NEWCPLINFOA*)lParam2;
                narrow->dwSize = sizeof(NEWCPLINFOA);
                narrow->hIcon = icon;
                lstrcpyA(narrow->szName, "Display");
                lstrcpyA(narrow->szInfo, "Display settings (stand-in)");
            }
            return 0;
        }
        case CPL_STARTWPARMSA:
        case CPL_STARTWPARMSW:
            Log("started with page %s", lParam2 ? "given" : "none");
            Run(host);
            return TRUE;
        case CPL_DBLCLK:
            Run(host);
            return 0;
    }
    (void)lParam1;
    return 0;
}
