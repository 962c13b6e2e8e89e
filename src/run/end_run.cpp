#include "run/end_run.h"

#include "run/automation_context.h"

void EndRun() {
    context.runEnded = TRUE;
    PostQuitMessage(0);
}
