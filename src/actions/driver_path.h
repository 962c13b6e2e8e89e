#pragma once

#include "actions/clicks.h"
#include "platform/win32_api.h"

#define WIN9X_DRIVER_FOLDER "Win9x"
#define NT_DRIVER_FOLDER "WinNT\\V4"

// Fills the buffer with the current directory and the folder, one backslash
// between them; FALSE, with an empty buffer, when the directory cannot be read
// or the path would not fit MAX_PATH bytes with its terminator.
BOOL BuildDriverPath(LPCSTR folderName, LPSTR buffer);
int HandOverDriverPath(HWND owner);
int HandOverDriverPathNt(HWND owner);

// Every script answers the paste the same way: drop the hidden window and confirm
// the path dialog, with the script's own next step.
void AnswerPathPasted(ContinuationProc continuation, DWORD nextStep);
