#include "scripts/scripts.h"

#include <string>
#include <vector>

#include "tests/script_runs.h"
#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

using sim::AppletVariant;

TEST(Win98Script, CompleteRunWalksTheWizardAndEndsWithZero) {
    sim::Scenario scenario(AppletVariant::Win98);
    sim::Outcome outcome = scenario.Run();
    ASSERT_FALSE(outcome.hung) << outcome.hangPlace;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kWin98Run));
    EXPECT_EQ(StepOrder(scenario.world), (std::vector<int>{1, 2, 1000, 4, 5, 6, 7}));
    EXPECT_EQ(scenario.world.clipboard, "C:\\DRIVER\\Win9x");
    EXPECT_EQ(scenario.world.Find(context.clipboardEdit), nullptr);
    EXPECT_TRUE(SameSequence(
        Only(scenario.AppletLog(), {"check", "tab", "style", "paste"}),
        {"style firstDialog#12320 0x50000100", "tab focus firstDialog#12320 1 style 0x100", "check wizard.choice#3316 1",
         "check wizard.choice#3315 0", "paste pathDialog#101 \"C:\\DRIVER\\Win9x\""}));
}

TEST(Win98Script, SameActionsUnderHarderConditions) {
    for (const auto& [name, knobs] : HarderConditions()) {
        sim::Scenario scenario(AppletVariant::Win98, knobs);
        sim::Outcome outcome = scenario.Run();
        ASSERT_FALSE(outcome.hung) << name << ": " << outcome.hangPlace;
        EXPECT_EQ(outcome.exitCode, 0) << name;
        EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kWin98Run)) << name;
        // An applet that answers at once lets every search succeed on its first pass.
        if (name == "instant dialogs") {
            EXPECT_EQ(CountCalls(scenario.world, "Sleep 200"), 19);
        }
    }
}

TEST(Win98Script, TabButtonsStyleIsFlippedNotSet) {
    sim::AppletKnobs knobs;
    knobs.tabHasButtonsStyle = true;
    sim::Scenario scenario(AppletVariant::Win98, knobs);
    EXPECT_EQ(scenario.Run().exitCode, 0);
    EXPECT_TRUE(SameSequence(Only(scenario.world.Actions(), {"SetWindowLongA"}),
                             {"SetWindowLongA firstDialog#12320 GWL_STYLE 0x50000100 -> 0x50000000"}));
}

TEST(Win98Script, VisibleUnownedAppletWindowAfterStepFourEndsTheRunAtOnce) {
    sim::AppletKnobs knobs;
    knobs.unownedWindowAfterConfirm = true;
    sim::Scenario scenario(AppletVariant::Win98, knobs);
    sim::Outcome outcome = scenario.Run();
    EXPECT_EQ(outcome.exitCode, 0);
    std::vector<std::string> expected(kWin98Run.begin(), kWin98Run.begin() + 27);
    expected.push_back("PostQuitMessage 0");
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), expected));
    EXPECT_EQ(StepOrder(scenario.world), (std::vector<int>{1, 2, 1000, 4}));
}

class Win98Steps : public SimTest {};

TEST_F(Win98Steps, StepThreeIsNotListedAndEndsTheRun) {
    Win98Continue(0, 0, 3, 0);
    EXPECT_TRUE(SameSequence(world.Actions(), {"PostQuitMessage 0"}));
}

TEST(Win98Script, MissingTabOrRadioButtonIsPassedOver) {
    for (const char* control : {"firstDialog#12320", "wizard.choice#3315"}) {
        sim::AppletKnobs knobs;
        knobs.missingControls = {control};
        sim::Scenario scenario(AppletVariant::Win98, knobs);
        sim::Outcome outcome = scenario.Run();
        EXPECT_FALSE(outcome.hung) << control << ": " << outcome.hangPlace;
        EXPECT_EQ(outcome.exitCode, 0) << control;
        EXPECT_EQ(StepOrder(scenario.world), (std::vector<int>{1, 2, 1000, 4, 5, 6, 7})) << control;
    }
}

TEST(Win98Script, MissingOpenersStallTheSearchThatFollows) {
    EXPECT_TRUE(StallsAt(AppletVariant::Win98, "main.page#1802", "FindOwnedWindow <- SelectTabByFocus <- WinMain"));
    EXPECT_TRUE(
        StallsAt(AppletVariant::Win98, "firstDialog.page#1302", "FindOwnedWindow <- ClickWizardNext <- WinMain"));
}

TEST(Win98Script, MissingPathDialogConfirmLeavesStepFourPendingForGood) {
    std::vector<int> steps;
    EXPECT_TRUE(StallsAt(AppletVariant::Win98, "pathDialog#1", "GetMessageA in RunMessagePump <- WinMain", &steps));
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 1000}));
}

TEST(Win98Script, SameActionsWhenContinuationsMayRunInsideWaitsAsUnderWine) {
    sim::Scenario scenario(AppletVariant::Win98);
    scenario.world.callbacksInsideWaits = true;
    sim::Outcome outcome = scenario.Run();
    ASSERT_FALSE(outcome.hung) << outcome.hangPlace;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kWin98Run));
}
