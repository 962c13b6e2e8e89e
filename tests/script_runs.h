// Complete runs of the program against the applet models, and what they must do.
#pragma once

#include <string>
#include <vector>

#include "sim/scenario.h"

extern const std::vector<std::string> kWin95Run;
extern const std::vector<std::string> kWin98Run;
extern const std::vector<std::string> kNtRun;

// Knob sets under which every variant must still do exactly the same.
std::vector<std::pair<std::string, sim::AppletKnobs>> HarderConditions();

// The action trace without the launch and the platform's own reports.
std::vector<std::string> ScriptActions(const sim::World& world);
