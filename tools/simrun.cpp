// Runs one variant of the program on the simulated window system and prints what
// it did, on the simulated clock: simrun win95|win98|nt40 [--all-calls] [--applet] [--instant]
// --instant: an applet that answers at once, so the run takes exactly the
// pauses the program's own searches impose (printed as the pause floor).
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/scenario.h"

int main(int argc, char** argv) {
    using sim::AppletVariant;
    AppletVariant variant = AppletVariant::Win98;
    bool allCalls = false;
    bool appletLog = false;
    sim::AppletKnobs knobs;
    bool instant = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "win95")
            variant = AppletVariant::Win95;
        else if (argument == "win98")
            variant = AppletVariant::Win98;
        else if (argument == "nt40" || argument == "nt")
            variant = AppletVariant::WinNT;
        else if (argument == "--all-calls")
            allCalls = true;
        else if (argument == "--applet")
            appletLog = true;
        else if (argument == "--instant")
            instant = true;
        else {
            std::fprintf(stderr, "usage: simrun win95|win98|nt40 [--all-calls] [--applet] [--instant]\n");
            return 2;
        }
    }
    if (instant) {
        knobs.startup = 0;
        knobs.dialogDelay = 0;
    }
    sim::Scenario scenario(variant, knobs);
    sim::Outcome outcome = scenario.Run();
    std::printf("%s", scenario.world.Timeline(!allCalls).c_str());
    if (appletLog) {
        std::printf("\nwhat the applet saw:\n");
        for (const std::string& event : scenario.AppletLog()) std::printf("  %s\n", event.c_str());
    }
    std::printf("\nvariant %s: ", sim::VariantName(variant));
    if (outcome.hung)
        std::printf("stuck at %.3f s simulated: %s\n", outcome.endTime / 1e6, outcome.hangPlace.c_str());
    else
        std::printf("exit code %d after %.3f s simulated; clipboard \"%s\"\n", outcome.exitCode, outcome.endTime / 1e6,
                    scenario.world.clipboard.c_str());
    if (instant && !outcome.hung) std::printf("pause floor %.3f s\n", outcome.endTime / 1e6);
    return outcome.hung ? 1 : outcome.exitCode;
}
