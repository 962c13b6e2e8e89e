#include "run/end_run.h"

#include "run/automation_context.h"

void EndRun() {
    context.runEnded = TRUE;
    PostQuitMessage(EXIT_INSTALLED);
}

void AbandonRun(ExitCode code) { ExitProcess(code); }

void AbandonRunIfAppletEnded() {
    // Once the last step has posted the quit message the applet may close at will.
    if (context.runEnded) return;
    if (WaitForSingleObject(context.applet.hProcess, 0) == WAIT_OBJECT_0) AbandonRun(EXIT_APPLET_ENDED);
}
