// The one record of the run: everything a later step must know about earlier ones.
#pragma once

#include "platform/win32_api.h"

#define NOT_FOUND_WINDOW ((HWND)(LONG_PTR)-1)

struct AutomationContext {
    HWND clipboardEdit;
    PROCESS_INFORMATION applet;
    HINSTANCE instance;
    HWND mainWindow;
    HWND firstDialog;
    HWND secondDialog;
    HWND lastDialog;
    OSVERSIONINFOA versionInfo;
    HWND pathDialog;
    // Set once a step has posted the quit message: completions still queued
    // behind it must not act on the applet any more.
    BOOL runEnded;
};

extern AutomationContext context;
