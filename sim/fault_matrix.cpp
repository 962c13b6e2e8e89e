#include "sim/fault_matrix.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace sim {

namespace {

constexpr AppletVariant kVariants[] = {AppletVariant::Win95, AppletVariant::Win98, AppletVariant::WinNT};

const char* ByVariant(AppletVariant variant, const char* win95, const char* win98, const char* nt) {
    return variant == AppletVariant::Win95 ? win95 : variant == AppletVariant::Win98 ? win98 : nt;
}

Micros ExitAt(Scenario& scenario, Micros at) {
    scenario.knobs.exitAt = at;
    return at;
}

}  // namespace

const std::vector<Fault>& Faults() {
    static const std::vector<Fault> faults = {
        {"complete run",                                                   0, [](Scenario&, AppletVariant) { return Micros(0); }},
        {"rundll32.exe cannot be started",                                 1,
         [](Scenario& s,                                                                    AppletVariant) {
             s.world.launchFails = true;
             return Micros(0);
         }                                                                                              },
        {"applet ends during the main-window search",                      2,
         [](Scenario& s,                                                                    AppletVariant) {
             s.knobs.mainWindowAfterIdle = 5000 * kMillisecond;
             return ExitAt(s, 1500 * kMillisecond);
         }                                                                                              },
        {"applet ends while a dialog search polls",                        2,
         [](Scenario& s,                                                                    AppletVariant v) {
             s.knobs.missingControls = {ByVariant(v, "main.page#1210", "main.page#1802", "main.page#265")};
             return ExitAt(s, 4000 * kMillisecond);
         }                                                                                              },
        {"applet ends while a control look-up polls",                      2,
         [](Scenario& s,                                                                    AppletVariant v) {
             s.knobs.missingControls = {ByVariant(v, "copyDialog#1", "firstDialog#1", "yesNoBox#6")};
             return ExitAt(s, 20000 * kMillisecond);
         }                                                                                              },
        {"applet ends while the pump waits with steps pending",            2,
         [](Scenario& s,                                                                    AppletVariant) {
             s.knobs.missingControls = {"pathDialog#1"};
             return ExitAt(s, 20000 * kMillisecond);
         }                                                                                              },
        {"applet ends on a click before the script is done",               2,
         [](Scenario& s,                                                                    AppletVariant v) {
             s.knobs.exitOnClick = ByVariant(v, "secondDialog#1", "wizard#12325", "closingQuestion#2");
             return Micros(-1);
         }                                                                                              },
        {"current directory cannot be read",                               3,
         [](Scenario& s,                                                                    AppletVariant) {
             s.world.currentDirectoryFails = true;
             return Micros(0);
         }                                                                                              },
        {"driver path longer than 259 bytes",                              3,
         [](Scenario& s,                                                                    AppletVariant v) {
             // With the backslash and the folder name this is 260 bytes before the terminator.
             std::string folder = v == AppletVariant::WinNT ? "\\WinNT\\V4" : "\\Win9x";
             s.world.currentDirectory = "C:\\" + std::string(260 - 3 - folder.size(), 'D');
             s.world.directories = {s.world.currentDirectory + folder};
             return Micros(0);
         }                                                                                              },
        {"driver folder missing",                                          3,
         [](Scenario& s,                                                                    AppletVariant v) {
             s.world.directories = {s.world.currentDirectory + (v == AppletVariant::WinNT ? "\\Win9x" : "\\WinNT\\V4")};
             return Micros(0);
         }                                                                                              },
        {"hidden edit window cannot be created",                           4,
         [](Scenario& s,                                                                    AppletVariant) {
             s.world.editWindowFails = true;
             return Micros(0);
         }                                                                                              },
        {"directory ends in a double-byte character with trail byte 0x5C", 0,
         [](Scenario& s,                                                                    AppletVariant) {
             s.world.codePage = 950;
             s.world.currentDirectory = "C:\\\xB3\x5C";
             s.world.directories = {"C:\\\xB3\x5C\\Win9x", "C:\\\xB3\x5C\\WinNT\\V4"};
             return Micros(0);
         }                                                                                              },
    };
    return faults;
}

std::vector<FaultResult> RunFaultMatrix() {
    std::vector<FaultResult> results;
    for (const Fault& fault : Faults())
        for (AppletVariant variant : kVariants) {
            Scenario scenario(variant);
            Micros strikes = fault.arrange(scenario, variant);
            Outcome outcome = scenario.Run();
            if (strikes < 0) {
                // The fault strikes when the applet ends.
                strikes = outcome.endTime;
                for (const TraceEntry& entry : scenario.world.trace)
                    if (entry.text.rfind("BM_CLICK " + scenario.knobs.exitOnClick, 0) == 0 ||
                        entry.text.rfind("notify BM_CLICK " + scenario.knobs.exitOnClick, 0) == 0)
                        strikes = entry.time;
            }
            results.push_back({fault.name, variant, fault.expectedExitCode, outcome, outcome.endTime - strikes});
        }
    return results;
}

std::string FormatFaultMatrix(const std::vector<FaultResult>& results) {
    std::string text;
    char line[256];
    std::snprintf(line, sizeof line, "%-66s %-20s %-20s %-20s\n", "fault (expected exit code)", "win95", "win98",
                  "nt40");
    text += line;
    for (size_t row = 0; row + 2 < results.size(); row += 3) {
        std::string cells[3];
        for (int i = 0; i < 3; ++i) {
            const FaultResult& result = results[row + i];
            char cell[64];
            if (result.outcome.hung)
                std::snprintf(cell, sizeof cell, "STUCK");
            else
                std::snprintf(cell, sizeof cell, "%d in %.3f s%s", result.outcome.exitCode, result.timeToExit / 1e6,
                              result.outcome.exitCode == result.expectedExitCode ? "" : " !");
            cells[i] = cell;
        }
        std::string name = results[row].fault + " (" + std::to_string(results[row].expectedExitCode) + ")";
        std::snprintf(line, sizeof line, "%-66s %-20s %-20s %-20s\n", name.c_str(), cells[0].c_str(), cells[1].c_str(),
                      cells[2].c_str());
        text += line;
    }
    return text;
}

}  // namespace sim
