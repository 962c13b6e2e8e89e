// Complete runs of the program against the applet models, and what they must do.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sim/scenario.h"

// The Windows 9x hand-over of C:\DRIVER\Win9x, from the hidden window to the paste.
extern const std::vector<std::string> kWin9xHandOver;
extern const std::vector<std::string> kWin95Run;
extern const std::vector<std::string> kWin98Run;
extern const std::vector<std::string> kNtRun;

// Knob sets under which every variant must still do exactly the same.
std::vector<std::pair<std::string, sim::AppletKnobs>> HarderConditions();

// The action trace without the launch and the platform's own reports.
std::vector<std::string> ScriptActions(const sim::World& world);

// Runs the variant with one control missing: success when the run got stuck at
// the place named (part of the hang report). The steps that came back before it
// got stuck go to steps.
testing::AssertionResult StallsAt(sim::AppletVariant variant, const std::string& missingControl,
                                  const std::string& place, std::vector<int>* steps = nullptr);
