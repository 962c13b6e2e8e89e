#include "actions/driver_path.h"

#include <string>

#include "sim/fault_matrix.h"
#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

using sim::AppletVariant;
using sim::kMillisecond;

TEST(FaultMatrix, EveryFaultEndsWithItsOwnExitCodeOnEveryVariant) {
    for (const sim::FaultResult& result : sim::RunFaultMatrix()) {
        std::string cell = result.fault + " on " + sim::VariantName(result.variant);
        ASSERT_FALSE(result.outcome.hung) << cell << ": " << result.outcome.hangPlace;
        EXPECT_EQ(result.outcome.exitCode, result.expectedExitCode) << cell;
        if (result.expectedExitCode == 2) {
            EXPECT_LT(result.timeToExit, 1000 * kMillisecond) << cell;
        }
    }
}

TEST(AppletEnds, PumpWithNothingPendingNoticesWithinHalfASecond) {
    sim::AppletKnobs knobs;
    knobs.missingControls = {"firstDialog#2"};  // step 1 clicks nothing, so step 7 never comes
    knobs.exitAt = 30000 * kMillisecond;
    sim::Scenario scenario(AppletVariant::WinNT, knobs);
    sim::Outcome outcome = scenario.Run();
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_GE(outcome.endTime, knobs.exitAt);
    EXPECT_LE(outcome.endTime, knobs.exitAt + 510 * kMillisecond);
    EXPECT_TRUE(SameSequence(Calls(scenario.world, "SetTimer"), {"SetTimer 500"}));
}

TEST(AppletEnds, PollsThatHoldNoWindowSearchStillNotice) {
    // Each of these polls looks up a control in a window found once, so no
    // search inside it would notice the applet going.
    for (const char* missing : {"wizard.location#1567", "firstDialog#1", "main#1"}) {
        sim::AppletKnobs knobs;
        knobs.missingControls = {missing};
        knobs.exitAt = 60000 * kMillisecond;
        sim::Scenario scenario(AppletVariant::Win98, knobs);
        sim::Outcome outcome = scenario.Run();
        ASSERT_FALSE(outcome.hung) << missing << ": " << outcome.hangPlace;
        EXPECT_EQ(outcome.exitCode, 2) << missing;
        EXPECT_LE(outcome.endTime, knobs.exitAt + 10 * kMillisecond) << missing;
    }
}

TEST(AppletEnds, ContinuationsOfAVanishedAppletRunNoFurtherStep) {
    sim::AppletKnobs knobs;
    knobs.exitOnClick = "secondDialog#1";
    sim::Scenario scenario(AppletVariant::Win95, knobs);
    sim::Outcome outcome = scenario.Run();
    EXPECT_EQ(outcome.exitCode, 2);
    // Without the check, steps 1, 6 and 5 would click into nothing and end with 0.
    EXPECT_TRUE(SameSequence(Only(scenario.world.Actions(), {"step", "notify", "PostQuitMessage", "ExitProcess"}),
                             {"step 1000", "step 2", "step 3", "step 4", "step 1", "ExitProcess 2"}));
}

TEST(AppletEnds, AppletClosingRightAfterTheLastClickStillGivesZero) {
    for (AppletVariant variant : {AppletVariant::Win95, AppletVariant::Win98, AppletVariant::WinNT}) {
        sim::AppletKnobs knobs;
        knobs.exitOnClick = "main#1";
        sim::Scenario scenario(variant, knobs);
        EXPECT_EQ(scenario.Run().exitCode, 0) << sim::VariantName(variant);
    }
}

TEST(LaunchFails, EndsAtOnceWithoutSearching) {
    sim::Scenario scenario(AppletVariant::Win98);
    scenario.world.launchFails = true;
    sim::Outcome outcome = scenario.Run();
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(CountCalls(scenario.world, "Sleep"), 0);
    EXPECT_EQ(CountCalls(scenario.world, "GetWindow"), 0);
}

class DriverFolderChecks : public testing::TestWithParam<AppletVariant> {
protected:
    std::string Folder() const { return GetParam() == AppletVariant::WinNT ? "\\WinNT\\V4" : "\\Win9x"; }
};

TEST_P(DriverFolderChecks, PathOf259BytesIsHandedOverUnchanged) {
    sim::Scenario scenario(GetParam());
    std::string directory = "C:\\" + std::string(259 - 3 - Folder().size(), 'x');
    std::string path = directory + Folder();
    ASSERT_EQ(path.size(), 259u);
    scenario.world.currentDirectory = directory;
    scenario.world.directories = {path};
    EXPECT_EQ(scenario.Run().exitCode, 0);
    EXPECT_EQ(scenario.world.clipboard, path);
}

TEST_P(DriverFolderChecks, PathOneByteLongerIsRefusedBeforeTheAppletStarts) {
    sim::Scenario scenario(GetParam());
    std::string directory = "C:\\" + std::string(260 - 3 - Folder().size(), 'x');
    scenario.world.currentDirectory = directory;
    scenario.world.directories = {directory + Folder()};
    EXPECT_EQ(scenario.Run().exitCode, 3);
    EXPECT_EQ(CountCalls(scenario.world, "CreateProcessA"), 0);
}

TEST_P(DriverFolderChecks, MissingFolderOrUnreadableDirectoryIsRefusedBeforeTheAppletStarts) {
    sim::Scenario missing(GetParam());
    missing.world.directories = {"C:\\DRIVER", "C:\\DRIVER\\Win9x\\WinNT\\V4", "C:\\DRIVER\\WinNT"};
    EXPECT_EQ(missing.Run().exitCode, 3);
    EXPECT_EQ(CountCalls(missing.world, "CreateProcessA"), 0);

    sim::Scenario unreadable(GetParam());
    unreadable.world.currentDirectoryFails = true;
    EXPECT_EQ(unreadable.Run().exitCode, 3);
    EXPECT_EQ(CountCalls(unreadable.world, "CreateProcessA"), 0);
}

TEST_P(DriverFolderChecks, DirectoryUnusableAfterTheLaunchEndsWithThreeAndNoPaste) {
    sim::Scenario scenario(GetParam());
    // Checked before the launch, gone by the hand-over (a medium taken out).
    scenario.world.Schedule(300 * kMillisecond, [&] { scenario.world.currentDirectoryFails = true; });
    EXPECT_EQ(scenario.Run().exitCode, 3);
    EXPECT_EQ(CountCalls(scenario.world, "CreateProcessA"), 1);
    EXPECT_EQ(CountCalls(scenario.world, "CreateWindowExA"), 0);
    EXPECT_EQ(CountCalls(scenario.world, "WM_PASTE"), 0);
    EXPECT_EQ(Only(scenario.AppletLog(), {"paste", "exit"}).size(), 0u) << "nothing pasted, the applet left open";
}

TEST_P(DriverFolderChecks, NoHiddenEditWindowMeansNoPaste) {
    sim::Scenario scenario(GetParam());
    scenario.world.editWindowFails = true;
    scenario.world.clipboard = "whatever the person copied";
    scenario.world.clipboardSet = true;
    EXPECT_EQ(scenario.Run().exitCode, 4);
    EXPECT_EQ(CountCalls(scenario.world, "WM_PASTE"), 0);
    EXPECT_EQ(Only(scenario.AppletLog(), {"paste"}).size(), 0u);
    EXPECT_EQ(scenario.world.clipboard, "whatever the person copied");
}

INSTANTIATE_TEST_SUITE_P(AllVariants, DriverFolderChecks,
                         testing::Values(AppletVariant::Win95, AppletVariant::Win98, AppletVariant::WinNT),
                         [](const testing::TestParamInfo<AppletVariant>& info) {
                             return std::string(sim::VariantName(info.param));
                         });

class DoubleByteDirectory : public SimTest {
protected:
    std::string Built(UINT codePage, const std::string& directory) {
        world.codePage = codePage;
        world.currentDirectory = directory;
        char buffer[MAX_PATH];
        EXPECT_TRUE(BuildDriverPath(WIN9X_DRIVER_FOLDER, buffer));
        return buffer;
    }
};

TEST_F(DoubleByteDirectory, TrailByte5CIsNotTakenForABackslash) {
    // 0xB3 0x5C is one character in code page 950; 0x95 0x5C one in code page 932.
    EXPECT_EQ(Built(950, "C:\\\xB3\x5C"), "C:\\\xB3\x5C\\Win9x");
    EXPECT_EQ(Built(932, "D:\\\x95\x5C"), "D:\\\x95\x5C\\Win9x");
    EXPECT_EQ(Built(950, "C:\\\xB3\x5C\\"), "C:\\\xB3\x5C\\Win9x");
    // In a single-byte code page the same bytes do end in a backslash.
    EXPECT_EQ(Built(1252, "C:\\\xB3\x5C"), "C:\\\xB3\x5CWin9x");
}

TEST_F(DoubleByteDirectory, ARealTrailingBackslashIsStillNotDoubled) {
    EXPECT_EQ(Built(950, "C:\\"), "C:\\Win9x");
    EXPECT_EQ(Built(950, "C:\\\xA4\x40\\"), "C:\\\xA4\x40\\Win9x");
}
