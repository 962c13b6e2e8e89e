// Faults and bad inputs, each run on every variant, with the exit code it must give.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sim/scenario.h"

namespace sim {

struct Fault {
    std::string name;
    int expectedExitCode;
    // Sets up the scenario; returns the simulated time the fault strikes (0: from the start).
    std::function<Micros(Scenario&, AppletVariant)> arrange;
};

struct FaultResult {
    std::string fault;
    AppletVariant variant;
    int expectedExitCode;
    Outcome outcome;
    Micros timeToExit;  // from the moment the fault strikes
};

const std::vector<Fault>& Faults();
std::vector<FaultResult> RunFaultMatrix();
std::string FormatFaultMatrix(const std::vector<FaultResult>& results);

}  // namespace sim
