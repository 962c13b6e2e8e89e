#pragma once

#include "actions/clicks.h"
#include "platform/win32_api.h"

#define WIN9X_DRIVER_FOLDER "Win9x"
#define NT_DRIVER_FOLDER "WinNT\\V4"

void BuildDriverPath(LPCSTR folderName, LPSTR buffer);
int HandOverDriverPath(HWND owner);
int HandOverDriverPathNt(HWND owner);

// Every script answers the paste the same way: drop the hidden window and confirm
// the path dialog, with the script's own next step.
void AnswerPathPasted(ContinuationProc continuation, DWORD nextStep);
