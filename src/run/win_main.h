#pragma once

#include "platform/win32_api.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
int RunMessagePump();
