#include "discovery/window_searches.h"

#include <string>
#include <vector>

#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

using sim::kMillisecond;

class MainWindowSearch : public SimTest {};

TEST_F(MainWindowSearch, SkipsWindowsOfOtherThreadsHiddenOnesAndThoseOffTheScreen) {
    // Created first, so every window below lies above it in z-order and is examined first.
    HWND applet = TopLevel("applet", WS_POPUP | WS_VISIBLE, {5, 5, 200, 200});
    TopLevel("foreign", WS_POPUP | WS_VISIBLE, {10, 10, 300, 300}, 0, sim::kForeignThread);
    TopLevel("hidden", WS_POPUP, {10, 10, 300, 300});
    TopLevel("leftOfScreen", WS_POPUP | WS_VISIBLE, {-1, 10, 300, 300});
    TopLevel("aboveScreen", WS_POPUP | WS_VISIBLE, {10, -1, 300, 300});
    TopLevel("rightOfScreen", WS_POPUP | WS_VISIBLE, {1025, 10, 1300, 300});
    TopLevel("belowScreen", WS_POPUP | WS_VISIBLE, {10, 769, 300, 900});
    TopLevel("noRightEdge", WS_POPUP | WS_VISIBLE, {0, 10, 0, 300});

    EXPECT_EQ(FindAppletMainWindow(), 1);
    EXPECT_EQ(world.NameOf(context.mainWindow), "applet");
    EXPECT_EQ(context.mainWindow, applet);
}

TEST_F(MainWindowSearch, AcceptsTheEdgesOfTheScreenAndIgnoresTheBottomEdge) {
    TopLevel("corner", WS_POPUP | WS_VISIBLE, {0, 0, 1, -500});
    FindAppletMainWindow();
    EXPECT_EQ(world.NameOf(context.mainWindow), "corner");

    context.mainWindow = NOT_FOUND_WINDOW;
    TopLevel("farCorner", WS_POPUP | WS_VISIBLE, {1024, 768, 1100, 800});
    FindAppletMainWindow();
    EXPECT_EQ(world.NameOf(context.mainWindow), "farCorner");
}

TEST_F(MainWindowSearch, TakesTheFirstQualifyingWindowInZOrder) {
    TopLevel("lower");
    TopLevel("upper");
    FindAppletMainWindow();
    EXPECT_EQ(world.NameOf(context.mainWindow), "upper");
}

TEST_F(MainWindowSearch, KeepsLookingUntilTheWindowAppears) {
    TopLevel("notYet", WS_POPUP, {10, 10, 300, 300});
    world.Schedule(750 * kMillisecond, [this] { TopLevel("late"); });
    FindAppletMainWindow();
    EXPECT_EQ(world.NameOf(context.mainWindow), "late");
    EXPECT_GE(world.now, 750 * kMillisecond);
    EXPECT_GT(CountCalls(world, "Sleep 0"), 1);
}

TEST_F(MainWindowSearch, SkipsAWindowThatVanishesBeforeItsRectangleIsRead) {
    TopLevel("lower");
    HWND vanishing = TopLevel("vanishing");
    FindAppletMainWindow();
    sim::Micros readAt = 0;
    for (const sim::TraceEntry& entry : world.trace)
        if (entry.text == "GetWindowRect vanishing") readAt = entry.time;
    ASSERT_GT(readAt, 0);

    // The same search again, with the window destroyed after its thread was
    // checked and before its rectangle is read.
    context.mainWindow = NOT_FOUND_WINDOW;
    world.Schedule(readAt - 5, [&] { world.Destroy(vanishing); });
    FindAppletMainWindow();
    EXPECT_EQ(world.NameOf(context.mainWindow), "lower");
}

TEST_F(MainWindowSearch, EmptyDesktopIsAHangNotACrash) {
    EXPECT_NE(HangPlaceOf([] { FindAppletMainWindow(); }).find("FindAppletMainWindow"), std::string::npos);
    EXPECT_EQ(context.mainWindow, NOT_FOUND_WINDOW);
}

class OwnedWindowSearch : public SimTest {};

TEST_F(OwnedWindowSearch, TakesAtLeastOnePauseEvenWhenTheWindowExists) {
    HWND owner = TopLevel("owner");
    HWND dialog = TopLevel("dialog", WS_POPUP | WS_VISIBLE, {100, 100, 300, 300}, owner);
    EXPECT_EQ(FindOwnedWindow(owner, 0), dialog);
    EXPECT_GE(world.now, 200 * kMillisecond);
    EXPECT_LT(world.now, 250 * kMillisecond);
}

TEST_F(OwnedWindowSearch, PollsEveryTwoHundredMillisecondsUntilTheWindowExists) {
    HWND owner = TopLevel("owner");
    world.Schedule(1050 * kMillisecond, [&] { TopLevel("late", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner); });
    EXPECT_EQ(world.NameOf(FindOwnedWindow(owner, 0)), "late");
    EXPECT_GE(world.now, 1200 * kMillisecond);
    std::vector<std::string> sixPasses;
    for (int pass = 0; pass < 6; ++pass) sixPasses.insert(sixPasses.end(), {"Sleep 0", "Sleep 200"});
    EXPECT_TRUE(SameSequence(Calls(world, "Sleep"), sixPasses));
}

TEST_F(OwnedWindowSearch, PrefersTheWindowHigherInZOrder) {
    HWND owner = TopLevel("owner");
    TopLevel("older", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner);
    HWND newer = TopLevel("newer", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner);
    EXPECT_EQ(FindOwnedWindow(owner, 0), newer);
}

TEST_F(OwnedWindowSearch, MatchesOwnersOfPopUpsNotOfOverlappedWindows) {
    HWND owner = TopLevel("owner");
    // GetParent reports no owner for a window without WS_POPUP.
    world.Create("overlapped", "#32770", WS_VISIBLE, {1, 1, 9, 9}, sim::kAppletThread, world.desktop, owner);
    world.Schedule(500 * kMillisecond, [&] { TopLevel("popup", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner); });
    EXPECT_EQ(world.NameOf(FindOwnedWindow(owner, 0)), "popup");
}

TEST_F(OwnedWindowSearch, WithoutScopeSeesOnlyTopLevelWindows) {
    HWND owner = TopLevel("owner");
    Child(owner, "ownersChild");
    world.Schedule(400 * kMillisecond, [&] { TopLevel("popup", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner); });
    EXPECT_EQ(world.NameOf(FindOwnedWindow(owner, 0)), "popup");
}

TEST_F(OwnedWindowSearch, WithTheOwnerAsScopeReturnsItsFirstChild) {
    HWND wizard = TopLevel("wizard");
    Child(wizard, "next", 12324);
    HWND page = Child(wizard, "page");
    world.Find(wizard)->children = {page, world.Find(wizard)->children.front()};
    EXPECT_EQ(FindOwnedWindow(wizard, wizard), page);
}

TEST_F(OwnedWindowSearch, WalksEachWindowOncePerPassAndStopsAtTheLast) {
    HWND owner = TopLevel("owner");
    TopLevel("a");
    TopLevel("b");
    world.Schedule(300 * kMillisecond, [&] { TopLevel("found", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner); });
    FindOwnedWindow(owner, 0);
    // First pass: the desktop's three windows, none owned; second pass: the new one matches at once.
    EXPECT_EQ(CountCalls(world, "GetParent"), 3 + 1);
    EXPECT_EQ(CountCalls(world, "GetWindow desktop 5"), 2);
}

TEST_F(OwnedWindowSearch, MissingWindowIsReportedAsAHangInTheSearch) {
    HWND owner = TopLevel("owner");
    std::string place = HangPlaceOf([&] { FindOwnedWindow(owner, 0); });
    EXPECT_NE(place.find("in FindOwnedWindow"), std::string::npos) << place;
}

class UnownedWindowCheck : public SimTest {};

TEST_F(UnownedWindowCheck, CountsOnlyVisibleUnownedWindowsOfTheAppletThread) {
    HWND host = TopLevel("host", WS_POPUP);
    TopLevel("owned", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, host);
    TopLevel("hiddenUnowned", WS_POPUP);
    TopLevel("foreignUnowned", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, 0, sim::kForeignThread);
    EXPECT_EQ(HasVisibleUnownedAppletWindow(), 0);
    EXPECT_TRUE(SameSequence(Calls(world, "Sleep"), {"Sleep 0", "Sleep 1000"})) << "one look, after a second";

    TopLevel("unowned");
    EXPECT_EQ(HasVisibleUnownedAppletWindow(), 1);
}

TEST_F(UnownedWindowCheck, LooksOnceAndDoesNotExcludeTheMainWindow) {
    context.mainWindow = TopLevel("main");
    EXPECT_EQ(HasVisibleUnownedAppletWindow(), 1);

    world.Destroy(context.mainWindow);
    world.Schedule(1500 * kMillisecond, [this] { TopLevel("tooLate"); });
    EXPECT_EQ(HasVisibleUnownedAppletWindow(), 0);
}

class FirstPage : public SimTest {};

TEST_F(FirstPage, LooksForTheClassOfTheMainWindowInAnyWindow) {
    context.mainWindow =
        world.Create("main", "SheetClass", WS_POPUP | WS_VISIBLE, {1, 1, 99, 99}, sim::kAppletThread, world.desktop, 0)
            .handle;
    HWND dialog = TopLevel("dialog");
    Child(dialog, "button", 1);
    Child(dialog, "dialogClassPage", 0, "#32770");
    HWND page = Child(dialog, "page", 0, "SheetClass");
    EXPECT_EQ(FirstPageOf(dialog), page);
    EXPECT_EQ(FirstPageOf(context.mainWindow), HWND(0));
}

TEST_F(OwnedWindowSearch, LastDialogHoldsTheNewestOwnedWindowEvenWithoutTheControl) {
    HWND owner = TopLevel("owner");
    HWND without = TopLevel("without", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner);
    EXPECT_NE(HangPlaceOf([&] { PollLastDialogForControl(owner, 6); }).find("PollLastDialogForControl"),
              std::string::npos);
    EXPECT_EQ(context.lastDialog, without);

    HWND with = TopLevel("with", WS_POPUP | WS_VISIBLE, {1, 1, 9, 9}, owner);
    HWND yes = Child(with, "with#6", 6);
    EXPECT_EQ(PollLastDialogForControl(owner, 6), yes);
    EXPECT_EQ(context.lastDialog, with);
}
