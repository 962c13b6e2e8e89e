#include "scripts/scripts.h"

#include <string>
#include <vector>

#include "tests/script_runs.h"
#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

using sim::AppletVariant;

TEST(NtScript, CompleteRunHandsOverTheNtPathAndEndsWithZero) {
    sim::Scenario scenario(AppletVariant::WinNT);
    sim::Outcome outcome = scenario.Run();
    ASSERT_FALSE(outcome.hung) << outcome.hangPlace;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kNtRun));
    EXPECT_EQ(StepOrder(scenario.world), (std::vector<int>{1000, 3, 4, 2, 1, 7}));
    EXPECT_EQ(scenario.world.clipboard, "C:\\DRIVER\\WinNT\\V4");
    EXPECT_EQ(scenario.world.Find(context.clipboardEdit), nullptr);
    EXPECT_EQ(Only(scenario.AppletLog(), {"paste"}),
              (std::vector<std::string>{"paste pathDialog#107 \"C:\\DRIVER\\WinNT\\V4\""}));
}

TEST(NtScript, SameActionsUnderHarderConditions) {
    auto conditions = HarderConditions();
    sim::AppletKnobs progress;
    progress.ntProgressBeforeSecondDialog = true;
    conditions.push_back({"progress window before secondDialog", progress});
    sim::AppletKnobs lingering;
    lingering.linger["pathDialog"] = 3000 * sim::kMillisecond;
    conditions.push_back({"path dialog lingers", lingering});
    for (const auto& [name, knobs] : conditions) {
        sim::Scenario scenario(AppletVariant::WinNT, knobs);
        sim::Outcome outcome = scenario.Run();
        ASSERT_FALSE(outcome.hung) << name << ": " << outcome.hangPlace;
        EXPECT_EQ(outcome.exitCode, 0) << name;
        EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kNtRun)) << name;
        // An applet that answers at once lets every search succeed on its first pass.
        if (name == "instant dialogs") {
            EXPECT_EQ(CountCalls(scenario.world, "Sleep 200"), 6);
        }
    }
}

TEST(NtScript, StepThreeWaitsWhileThePathDialogIsStillThere) {
    sim::AppletKnobs knobs;
    knobs.linger["pathDialog"] = 3000 * sim::kMillisecond;
    sim::Scenario scenario(AppletVariant::WinNT, knobs);
    scenario.Run();
    // The path dialog is looked at while it lingers, but its control 1 is pressed once only.
    EXPECT_GT(CountCalls(scenario.world, "GetParent pathDialog"), 10);
    EXPECT_EQ(Only(scenario.world.Actions(), {"BM_CLICK pathDialog"}).size(), 1u);
}

class NtSteps : public SimTest {};

TEST_F(NtSteps, StepsFiveAndSixEndTheRun) {
    for (ULONG_PTR step : {5u, 6u, 0u, 8u}) {
        context.runEnded = FALSE;
        world.trace.clear();
        NtContinue(0, 0, step, 0);
        EXPECT_TRUE(SameSequence(world.Actions(), {"PostQuitMessage 0"})) << step;
    }
}

TEST(NtScript, LostFirstClickStallsTheSearchForTheFirstDialog) {
    EXPECT_TRUE(StallsAt(AppletVariant::WinNT, "main.page#265", "FindOwnedWindow <- NtOpeningStep2 <- WinMain"));
    EXPECT_TRUE(StallsAt(AppletVariant::WinNT, "firstDialog#519", "FindOwnedWindow <- NtOpeningStep3 <- WinMain"));
}

TEST(NtScript, MissingCancelOfTheFirstDialogLeavesStepSevenPending) {
    std::vector<int> steps;
    EXPECT_TRUE(StallsAt(AppletVariant::WinNT, "firstDialog#2", "GetMessageA in RunMessagePump <- WinMain", &steps));
    EXPECT_EQ(steps, (std::vector<int>{1000, 3, 4, 2, 1}));
}

TEST(NtScript, ClosingQuestionIsChosenByControlTenButAnsweredWithTwo) {
    sim::AppletKnobs knobs;
    knobs.missingControls = {"closingQuestion#10"};
    sim::Scenario scenario(AppletVariant::WinNT, knobs);
    sim::Outcome outcome = scenario.Run();
    ASSERT_TRUE(outcome.hung);
    EXPECT_NE(outcome.hangPlace.find("(continuation step 2)"), std::string::npos) << outcome.hangPlace;
    EXPECT_TRUE(Only(scenario.world.Actions(), {"notify BM_CLICK closingQuestion"}).empty());
}

TEST(NtScript, SameActionsWhenContinuationsMayRunInsideWaitsAsUnderWine) {
    sim::Scenario scenario(AppletVariant::WinNT);
    scenario.world.callbacksInsideWaits = true;
    sim::Outcome outcome = scenario.Run();
    ASSERT_FALSE(outcome.hung) << outcome.hangPlace;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(SameSequence(ScriptActions(scenario.world), kNtRun));
}
