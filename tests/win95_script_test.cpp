#include "scripts/scripts.h"

#include <string>
#include <vector>

#include "tests/script_runs.h"
#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

using sim::AppletVariant;

TEST(Win95Script, CompleteRunClicksInnermostFirstAndEndsWithZero) {
    sim::Scenario scenario(AppletVariant::Win95);
    sim::Outcome outcome = scenario.Run();
    ASSERT_FALSE(outcome.hung) << outcome.hangPlace;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kWin95Run));
    EXPECT_EQ(StepOrder(scenario.world), (std::vector<int>{1000, 2, 3, 4, 1, 6, 5}));
    EXPECT_EQ(scenario.world.clipboard, "C:\\DRIVER\\Win9x");
    EXPECT_EQ(scenario.world.Find(context.clipboardEdit), nullptr);
    EXPECT_EQ(Only(scenario.AppletLog(), {"paste"}),
              (std::vector<std::string>{"paste pathDialog#101 \"C:\\DRIVER\\Win9x\""}));
}

TEST(Win95Script, SameActionsUnderHarderConditions) {
    for (const auto& [name, knobs] : HarderConditions()) {
        sim::Scenario scenario(AppletVariant::Win95, knobs);
        sim::Outcome outcome = scenario.Run();
        ASSERT_FALSE(outcome.hung) << name << ": " << outcome.hangPlace;
        EXPECT_EQ(outcome.exitCode, 0) << name;
        EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kWin95Run)) << name;
        // An applet that answers at once lets every search succeed on its first pass.
        if (name == "instant dialogs") {
            EXPECT_EQ(CountCalls(scenario.world, "Sleep 200"), 4);
        }
    }
}

class Win95Steps : public SimTest {};

TEST_F(Win95Steps, StepsOneAndThreeDoNothingWhileZeroAndSevenEndTheRun) {
    Win95Continue(0, 0, 1, 0);
    Win95Continue(0, 0, 3, 0);
    EXPECT_TRUE(world.Actions().empty());
    for (ULONG_PTR step : {0u, 7u, 8u, 999u, 1001u}) {
        context.runEnded = FALSE;
        world.trace.clear();
        Win95Continue(0, 0, step, 0);
        EXPECT_TRUE(SameSequence(world.Actions(), {"PostQuitMessage 0"})) << "step " << step;
    }
}

TEST(Win95Script, LingeringPathDialogIsConfirmedTwiceAndTheRunWaitsInThePump) {
    sim::AppletKnobs knobs;
    knobs.linger["pathDialog"] = 2000 * sim::kMillisecond;
    sim::Scenario scenario(AppletVariant::Win95, knobs);
    sim::Outcome outcome = scenario.Run();
    EXPECT_TRUE(SameSequence(Only(scenario.world.Actions(), {"BM_CLICK pathDialog", "BM_CLICK copyDialog"}),
                             {"BM_CLICK pathDialog#1 step 2", "BM_CLICK pathDialog#1 step 3"}));
    // The dialog after the path dialog is never confirmed, so step 4 never comes.
    ASSERT_TRUE(outcome.hung);
    EXPECT_EQ(outcome.hangPlace, "GetMessageA in RunMessagePump <- WinMain");
}

TEST(Win95Script, MissingButtonsStallTheSearchThatFollowsBeforeThePump) {
    std::vector<int> steps;
    EXPECT_TRUE(
        StallsAt(AppletVariant::Win95, "main.page#1210", "FindOwnedWindow <- Win95OpeningStep2 <- WinMain", &steps));
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(
        StallsAt(AppletVariant::Win95, "firstDialog.page#1302", "FindOwnedWindow <- Win95OpeningStep3 <- WinMain"));
    EXPECT_TRUE(StallsAt(AppletVariant::Win95, "secondDialog#101",
                         "FindOwnedWindow <- HandOverDriverPath <- Win95OpeningStep3 <- WinMain", &steps));
    EXPECT_TRUE(steps.empty());
}

TEST(Win95Script, MissingPathBoxLeavesThePasteUndeliveredAndWaitsInThePump) {
    sim::AppletKnobs knobs;
    knobs.missingControls = {"pathDialog#101"};
    sim::Scenario scenario(AppletVariant::Win95, knobs);
    sim::Outcome outcome = scenario.Run();
    ASSERT_TRUE(outcome.hung);
    EXPECT_EQ(outcome.hangPlace, "GetMessageA in RunMessagePump <- WinMain");
    EXPECT_TRUE(SameSequence(Only(scenario.world.Actions(), {"WM_PASTE", "step"}),
                             {"WM_PASTE null step 1000 (not delivered)"}));
}

TEST(Win95Script, MissingConfirmButtonsLoseOnlyTheirOwnClick) {
    sim::AppletKnobs knobs;
    knobs.missingControls = {"main#1"};
    sim::Scenario scenario(AppletVariant::Win95, knobs);
    sim::Outcome outcome = scenario.Run();
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(
        Only(ScriptActions(scenario.world), {"step 5", "notify", "PostQuit"}),
        {"notify BM_CLICK firstDialog#1", "step 5", "notify BM_CLICK null (not delivered)", "PostQuitMessage 0"}));
}

TEST(Win95Script, SameActionsWhenContinuationsMayRunInsideWaitsAsUnderWine) {
    sim::Scenario scenario(AppletVariant::Win95);
    scenario.world.callbacksInsideWaits = true;
    sim::Outcome outcome = scenario.Run();
    ASSERT_FALSE(outcome.hung) << outcome.hangPlace;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kWin95Run));
}
