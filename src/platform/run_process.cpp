#include "platform/run_process.h"

void RunProcess(HINSTANCE instance) { ExitProcess((UINT)WinMain(instance, 0, 0, 0)); }
