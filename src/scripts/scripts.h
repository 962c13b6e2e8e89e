// The three installation scripts: opening steps that run before the message pump,
// and one continuation procedure each that the pump calls with a step number.
#pragma once

#include "platform/win32_api.h"

int Win95OpeningStep1();
int Win95OpeningStep2();
int Win95OpeningStep3();
VOID CALLBACK Win95Continue(HWND window, UINT message, ULONG_PTR step, LRESULT result);

int Win98OpeningStep1();
int SelectTabByFocus();
int Win98OpeningStep3();
int ClickWizardNext(DWORD step);
VOID CALLBACK Win98Continue(HWND window, UINT message, ULONG_PTR step, LRESULT result);

int NtOpeningStep1();
int NtOpeningStep2();
int NtOpeningStep3();
VOID CALLBACK NtContinue(HWND window, UINT message, ULONG_PTR step, LRESULT result);
