// How a run ends. The program shows nothing and writes nothing, so the exit code
// is the whole account a person or a calling batch file gets.
#pragma once

#include "platform/win32_api.h"

enum ExitCode {
    EXIT_INSTALLED = 0,            // a script step ended the run
    EXIT_APPLET_NOT_STARTED = 1,   // the applet could not be launched
    EXIT_APPLET_ENDED = 2,         // the applet went away before the script was done
    EXIT_NO_DRIVER_FOLDER = 3,     // no usable driver folder below the current directory
    EXIT_NO_CLIPBOARD_WINDOW = 4,  // the path could not be put on the clipboard
};

// Ends the run the way every script does: the quit message with code 0.
void EndRun();

// Ends the process at once, from wherever the program is waiting.
[[noreturn]] void AbandonRun(ExitCode code);

// Every wait of the program goes through here, so that an applet that has gone
// (closed by the person, or crashed) never leaves it polling for ever.
void AbandonRunIfAppletEnded();
