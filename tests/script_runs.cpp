#include "tests/script_runs.h"

#include <string>
#include <utility>
#include <vector>

#include "tests/trace_matchers.h"

using sim::kMillisecond;

const std::vector<std::string> kWin9xHandOver = {
    "CreateWindowExA EDIT \"C:\\DRIVER\\Win9x\"",
    "send EM_SETSEL clipboardEdit 0, -1",
    "send WM_COPY clipboardEdit 0, 0",
    "SetForegroundWindow pathDialog#101",
    "send EM_SETSEL pathDialog#101 0, -1",
    "WM_PASTE pathDialog#101 step 1000",
};

namespace {

// Both Windows 9x scripts hand the path over the same way.
std::vector<std::string> With9xHandOver(std::vector<std::string> before, const std::vector<std::string>& after) {
    before.insert(before.end(), kWin9xHandOver.begin(), kWin9xHandOver.end());
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

}  // namespace

const std::vector<std::string> kWin95Run = With9xHandOver(
    {
        "BM_CLICK main.page#1210 step 5",
        "BM_CLICK firstDialog.page#1302 step 6",
        "BM_CLICK secondDialog#101 step 4",
    },
    {
        "step 1000",
        "DestroyWindow clipboardEdit",
        "BM_CLICK pathDialog#1 step 2",
        "step 2",
        "BM_CLICK copyDialog#1 step 3",
        "step 3",
        "step 4",
        "BM_CLICK secondDialog#1 step 1",
        "step 1",
        "step 6",
        "notify BM_CLICK firstDialog#1",
        "step 5",
        "notify BM_CLICK main#1",
        "PostQuitMessage 0",
    });

const std::vector<std::string> kWin98Run = With9xHandOver(
    {
        "BM_CLICK main.page#1802 step 7",
        "SetFocus firstDialog#12320",
        "SetWindowLongA firstDialog#12320 GWL_STYLE 0x50000000 -> 0x50000100",
        "send TCM_SETCURFOCUS firstDialog#12320 1, 0",
        "BM_CLICK firstDialog.page#1302 step 6",
        "BM_CLICK wizard#12324 step 1",
        "step 1",
        "BM_SETCHECK wizard.choice#3316 1",
        "SetForegroundWindow wizard.choice#3316",
        "BM_SETCHECK wizard.choice#3315 0",
        "SetForegroundWindow wizard.choice#3315",
        "BM_CLICK wizard#12324 step 2",
        "step 2",
        "notify BM_CLICK wizard.location#1567",
        "SetForegroundWindow wizard.location#1567",
    },
    {
        "step 1000",
        "DestroyWindow clipboardEdit",
        "BM_CLICK pathDialog#1 step 4",
        "step 4",
        "notify BM_CLICK confirmDialog#1",
        "SetForegroundWindow confirmDialog#1",
        "BM_CLICK wizard#12324 step 5",
        "step 5",
        "notify BM_CLICK wizard#12325",
        "SetForegroundWindow wizard#12325",
        "step 6",
        "notify BM_CLICK firstDialog#1",
        "SetForegroundWindow firstDialog#1",
        "step 7",
        "notify BM_CLICK main#1",
        "SetForegroundWindow main#1",
        "PostQuitMessage 0",
    });

const std::vector<std::string> kNtRun = {
    "notify BM_CLICK main.page#265",
    "SetForegroundWindow main.page#265",
    "BM_CLICK firstDialog#519 step 1",
    "BM_CLICK secondDialog#1567 step 2",
    "CreateWindowExA EDIT \"C:\\DRIVER\\WinNT\\V4\"",
    "send EM_SETSEL clipboardEdit 0, -1",
    "send WM_COPY clipboardEdit 0, 0",
    "WM_PASTE pathDialog#107 step 1000",
    "SetForegroundWindow pathDialog#107",
    "step 1000",
    "DestroyWindow clipboardEdit",
    "BM_CLICK pathDialog#1 step 3",
    "step 3",
    "BM_CLICK copyDialog#1 step 4",
    "step 4",
    "notify BM_CLICK yesNoBox#6",
    "SetForegroundWindow yesNoBox#6",
    "step 2",
    "notify BM_CLICK closingQuestion#2",
    "SetForegroundWindow closingQuestion#2",
    "step 1",
    "BM_CLICK firstDialog#2 step 7",
    "step 7",
    "notify BM_CLICK main#1",
    "SetForegroundWindow main#1",
    "PostQuitMessage 0",
};

std::vector<std::pair<std::string, sim::AppletKnobs>> HarderConditions() {
    std::vector<std::pair<std::string, sim::AppletKnobs>> conditions;

    sim::AppletKnobs slow;
    slow.startup = 9000 * kMillisecond;
    slow.mainWindowAfterIdle = 2500 * kMillisecond;
    slow.dialogDelay = 1700 * kMillisecond;
    slow.dialogDelays = {
        {"pathDialog", 45000 * kMillisecond},
        {"copyDialog", 3 * kMillisecond    },
        {"wizard",     20000 * kMillisecond},
        {"yesNoBox",   7000 * kMillisecond }
    };
    conditions.push_back({"slow dialogs", slow});

    sim::AppletKnobs instant;
    instant.startup = 0;
    instant.dialogDelay = 0;
    conditions.push_back({"instant dialogs", instant});

    sim::AppletKnobs crowded;
    crowded.foreignWindows = 4;
    crowded.hiddenAppletWindows = 3;
    crowded.offscreenAppletWindow = true;
    conditions.push_back({"other windows", crowded});

    // A dialog found the moment it exists has no page yet to click in.
    sim::AppletKnobs unbuilt;
    unbuilt.dialogBuiltIn = 500 * kMillisecond;
    conditions.push_back({"dialogs shown once built", unbuilt});
    return conditions;
}

std::vector<std::string> ScriptActions(const sim::World& world) {
    std::vector<std::string> actions;
    for (const std::string& action : world.Actions())
        // The start-up ends every finished run with ExitProcess 0.
        if (action.rfind("CreateProcessA", 0) != 0 && action.rfind("GetMessageA", 0) != 0 && action != "ExitProcess 0")
            actions.push_back(action);
    return actions;
}

testing::AssertionResult StallsAt(sim::AppletVariant variant, const std::string& missingControl,
                                  const std::string& place, std::vector<int>* steps) {
    sim::AppletKnobs knobs;
    knobs.missingControls = {missingControl};
    sim::Scenario scenario(variant, knobs);
    sim::Outcome outcome = scenario.Run();
    if (steps) *steps = StepOrder(scenario.world);
    if (!outcome.hung)
        return testing::AssertionFailure()
               << "without " << missingControl << " the run ended with " << outcome.exitCode;
    if (outcome.hangPlace.find(place) == std::string::npos)
        return testing::AssertionFailure()
               << "without " << missingControl << " the run got stuck at " << outcome.hangPlace;
    return testing::AssertionSuccess();
}
