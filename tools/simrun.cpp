// Runs one variant of the program on the simulated window system and prints what
// it did, on the simulated clock.
// --instant: an applet that answers at once, so the run takes exactly the
// pauses the program's own searches impose (printed as the pause floor).
// The applet knobs match the scenarios of the runs under Wine, so that both
// worlds can be held against each other; --applet-events prints only what the
// applet saw, one event a line. --log prints what the logging twin wrote and
// showed (simrun_log; plain simrun has no log). --stop-after S stops a run that
// is still going after S simulated seconds, as a person ending it would;
// --passing-window MS shows another program's window at that interval.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/scenario.h"

namespace {

const char kUsage[] =
    "usage: simrun win95|win98|nt40 [--all-calls] [--applet] [--instant] [--applet-events]\n"
    "              [--directory DIR] [--dialog-delay MS] [--other-windows N] [--exit-on CONTROL]\n"
    "              [--unowned-after-confirm] [--missing CONTROL] [--passing-window MS]\n"
    "              [--no-driver-folder] [--log]\n"
    "              [--stop-after S]\n";

[[noreturn]] void Usage() {
    std::fprintf(stderr, "%s", kUsage);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    using sim::AppletVariant;
    AppletVariant variant = AppletVariant::Win98;
    bool allCalls = false;
    bool appletLog = false;
    bool appletEventsOnly = false;
    bool instant = false;
    bool log = false;
    bool noDriverFolder = false;
    long long stopAfter = -1;
    std::string directory;
    sim::AppletKnobs knobs;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage();
            return argv[++i];
        };
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
        else if (argument == "--applet-events")
            appletEventsOnly = true;
        else if (argument == "--instant")
            instant = true;
        else if (argument == "--directory")
            directory = value();
        else if (argument == "--dialog-delay")
            knobs.dialogDelay = std::atoll(value().c_str()) * sim::kMillisecond;
        else if (argument == "--other-windows")
            knobs.foreignWindows = std::atoi(value().c_str());
        else if (argument == "--exit-on")
            knobs.exitOnClick = value();
        else if (argument == "--unowned-after-confirm")
            knobs.unownedWindowAfterConfirm = true;
        else if (argument == "--passing-window")
            knobs.foreignWindowEvery = std::atoll(value().c_str()) * sim::kMillisecond;
        else if (argument == "--missing")
            knobs.missingControls.insert(value());
        else if (argument == "--no-driver-folder")
            noDriverFolder = true;
        else if (argument == "--log")
            log = true;
        else if (argument == "--stop-after")
            stopAfter = std::atoll(value().c_str());
        else
            Usage();
    }
    if (instant) {
        knobs.startup = 0;
        knobs.dialogDelay = 0;
    }
    sim::Scenario scenario(variant, knobs);
    if (!directory.empty()) {
        scenario.world.currentDirectory = directory;
        scenario.world.directories = {directory + "\\Win9x", directory + "\\WinNT\\V4"};
    }
    if (noDriverFolder) scenario.world.directories.clear();
    if (stopAfter >= 0) scenario.world.timeLimit = stopAfter * 1000 * sim::kMillisecond;
    sim::Outcome outcome = scenario.Run();
    if (log) {
        for (const auto& [path, contents] : scenario.world.files)
            std::printf("== %s, %zu bytes\n%s", path.c_str(), contents.size(), contents.c_str());
        for (const std::string& text : scenario.world.messageBoxes) std::printf("== message box\n%s\n", text.c_str());
        return outcome.hung ? 1 : outcome.exitCode;
    }
    if (appletEventsOnly) {
        for (const std::string& event : scenario.AppletLog()) std::printf("%s\n", event.c_str());
        return outcome.hung ? 1 : outcome.exitCode;
    }
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
