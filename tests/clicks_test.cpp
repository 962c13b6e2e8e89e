#include "actions/clicks.h"

#include <vector>

#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

namespace {

std::vector<DWORD> stepsSeen;
void RecordStep() { stepsSeen.push_back(1); }

VOID CALLBACK Collect(HWND, UINT, ULONG_PTR step, LRESULT) { stepsSeen.push_back(static_cast<DWORD>(step)); }

}  // namespace

class Clicks : public BareAppletTest {
protected:
    Clicks() {
        stepsSeen.clear();
        dialog = TopLevel("dialog");
    }
    HWND dialog;
};

TEST_F(Clicks, ClickWithContinuationSendsBmClickAndNothingElse) {
    HWND button = Child(dialog, "dialog#5", 5);
    ClickWithContinuation(button, Collect, 42);
    EXPECT_TRUE(SameSequence(world.Actions(), {"BM_CLICK dialog#5 step 42"}));
    EXPECT_TRUE(stepsSeen.empty()) << "a continuation never runs before the program reads messages";
    Pump();
    EXPECT_EQ(stepsSeen, (std::vector<DWORD>{42}));
}

TEST_F(Clicks, ClickOnAMissingControlNeverComesBack) {
    ClickWithContinuation(0, Collect, 3);
    Pump();
    EXPECT_TRUE(stepsSeen.empty());
    EXPECT_TRUE(SameSequence(world.Actions(),
                             {"BM_CLICK null step 3 (not delivered)", "HANG GetMessageA in BareAppletTest::Pump"}));
}

TEST_F(Clicks, PendingClicksComeBackInTheOrderTheAppletFinishesThem) {
    HWND opens = Child(dialog, "opens", 1);
    HWND closes = Child(dialog, "closes", 2);
    HWND inner = 0;
    world.Find(opens)->onClick = [&](sim::World& w, sim::Window&) {
        w.applet->ShowModal({
            {"inner", 50 * sim::kMillisecond, [&] {
                 inner = TopLevel("inner", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, dialog);
                 Child(inner, "inner#1", 1);
                 return inner;
             }}
        });
    };
    world.Find(closes)->onClick = [&](sim::World& w, sim::Window&) { w.applet->EndDialog(inner); };

    ClickWithContinuation(opens, Collect, 1);
    Sleep(100);
    ClickWithContinuation(closes, Collect, 2);
    Pump();
    EXPECT_EQ(stepsSeen, (std::vector<DWORD>{2, 1}));
}

TEST_F(Clicks, NotifyClickAndSetCheckNotify) {
    HWND button = Child(dialog, "dialog#7", 7);
    NotifyClick(button);
    SetCheckNotify(button, BST_CHECKED);
    SetCheckNotify(button, BST_UNCHECKED);
    NotifyClickThenForeground(button);
    EXPECT_TRUE(SameSequence(
        world.Actions(),
        {"notify BM_CLICK dialog#7", "BM_SETCHECK dialog#7 1", "SetForegroundWindow dialog#7", "BM_SETCHECK dialog#7 0",
         "SetForegroundWindow dialog#7", "notify BM_CLICK dialog#7", "SetForegroundWindow dialog#7"}));
    Sleep(10);
    EXPECT_EQ(world.Find(button)->checkState, 0);
}

class StepTable : public SimTest {
protected:
    static void Nothing() {}
    const StepRow table[3] = {
        {1,    nullptr   },
        {2,    RecordStep},
        {1000, Nothing   }
    };
};

TEST_F(StepTable, ListedStepsRunTheirRowAndUnlistedOnesEndTheRun) {
    stepsSeen.clear();
    RunListedStep(table, 3, 1);
    RunListedStep(table, 3, 1000);
    EXPECT_FALSE(world.quitPosted);
    RunListedStep(table, 3, 2);
    EXPECT_EQ(stepsSeen.size(), 1u);
    EXPECT_FALSE(world.quitPosted);

    for (DWORD unlisted : {0u, 3u, 999u, 1001u, 0xFFFFFFFFu}) {
        world.quitPosted = false;
        context.runEnded = FALSE;
        RunListedStep(table, 3, unlisted);
        EXPECT_TRUE(world.quitPosted) << unlisted;
        EXPECT_EQ(world.quitCode, 0);
    }
}

TEST_F(StepTable, CompletionsAfterTheEndOfTheRunAreIgnored) {
    stepsSeen.clear();
    RunListedStep(table, 3, 7);
    world.quitPosted = false;
    RunListedStep(table, 3, 2);
    RunListedStep(table, 3, 8);
    EXPECT_TRUE(stepsSeen.empty());
    EXPECT_FALSE(world.quitPosted);
}
