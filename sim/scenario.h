// Runs the whole program, from WinMain to its exit, against a simulated applet.
#pragma once

#include <string>
#include <vector>

#include "sim/applet_models.h"
#include "sim/world.h"

namespace sim {

struct Outcome {
    bool hung = false;
    std::string hangPlace;
    int exitCode = -1;
    Micros endTime = 0;
};

class Scenario {
public:
    explicit Scenario(AppletVariant variant, AppletKnobs knobs = {});

    World world;
    AppletKnobs knobs;

    // Resets the program's record, calls WinMain and returns how the process ended.
    Outcome Run();
    const std::vector<std::string>& AppletLog() const;
};

OSVERSIONINFOA VersionOf(AppletVariant variant);
const char* VariantName(AppletVariant variant);

}  // namespace sim
