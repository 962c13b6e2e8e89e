#pragma once

// Ends the run the way every script does: the quit message with code 0.
void EndRun();
