#include "platform/applet_launch.h"

#include <cstring>

#include "run/automation_context.h"
#include "sim/scenario.h"
#include "tests/trace_matchers.h"

TEST(AppletLaunch, StartsRundllWithTheExactCommandLineAndStartUpRecord) {
    sim::Scenario scenario(sim::AppletVariant::Win95);
    context = AutomationContext{};
    EXPECT_TRUE(LaunchApplet());

    const sim::World& world = scenario.world;
    EXPECT_EQ(world.launchedCommandLine, "rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,3");
    EXPECT_EQ(world.launchedStartupInfo.cb, 68u);
    EXPECT_EQ(world.launchedStartupInfo.dwFlags, 0x140u);
    EXPECT_EQ(world.launchedStartupInfo.wShowWindow, 0);
    EXPECT_EQ(world.launchedStartupInfo.hStdInput, nullptr);
    EXPECT_EQ(world.launchedStartupInfo.hStdOutput, nullptr);
    EXPECT_EQ(world.launchedStartupInfo.hStdError, nullptr);
    EXPECT_EQ(world.launchedStartupInfo.lpDesktop, nullptr);
    EXPECT_EQ(world.launchedStartupInfo.dwX, 0u);
    EXPECT_EQ(world.launchedStartupInfo.dwXSize, 0u);
    EXPECT_EQ(world.launchedInheritHandles, TRUE);
    EXPECT_EQ(world.launchedCreationFlags, 0u);
    // No application name, security attributes, environment or directory: the
    // applet inherits the program's environment and current directory.
    EXPECT_TRUE(world.launchedWithNulls);
    EXPECT_EQ(context.applet.dwThreadId, sim::kAppletThread);
    EXPECT_NE(context.applet.hProcess, nullptr);
}

TEST(AppletLaunch, WaitsUntilTheAppletIsReadyForInput) {
    sim::AppletKnobs knobs;
    knobs.startup = 2500 * sim::kMillisecond;
    sim::Scenario scenario(sim::AppletVariant::Win98, knobs);
    context = AutomationContext{};
    LaunchApplet();
    EXPECT_GE(scenario.world.now, 2500 * sim::kMillisecond);
}

TEST(AppletLaunch, FailedLaunchLeavesTheProcessRecordZeroed) {
    sim::Scenario scenario(sim::AppletVariant::Win95);
    scenario.world.launchFails = true;
    context = AutomationContext{};
    context.applet.dwThreadId = 99;
    EXPECT_FALSE(LaunchApplet());
    EXPECT_EQ(context.applet.hProcess, nullptr);
    EXPECT_EQ(context.applet.hThread, nullptr);
    EXPECT_EQ(context.applet.dwProcessId, 0u);
    EXPECT_EQ(context.applet.dwThreadId, 0u);
}
