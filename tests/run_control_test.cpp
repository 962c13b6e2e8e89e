#include "run/script_variant.h"

#include <vector>

#include "run/win_main.h"
#include "sim/scenario.h"
#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

namespace {
OSVERSIONINFOA Version(DWORD platform, DWORD major, DWORD minor) {
    OSVERSIONINFOA version{};
    version.dwPlatformId = platform;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
    version.dwBuildNumber = 12345;
    return version;
}
}  // namespace

TEST(ScriptVariantSelection, PlatformAndMinorVersionDecide) {
    EXPECT_EQ(SelectScriptVariant(Version(1, 4, 0)), Win95);
    EXPECT_EQ(SelectScriptVariant(Version(1, 4, 10)), Win98);
    EXPECT_EQ(SelectScriptVariant(Version(1, 4, 90)), Win98);
    EXPECT_EQ(SelectScriptVariant(Version(1, 0, 0)), Win95);
    EXPECT_EQ(SelectScriptVariant(Version(2, 4, 0)), WinNT);
    EXPECT_EQ(SelectScriptVariant(Version(2, 5, 1)), WinNT);
    EXPECT_EQ(SelectScriptVariant(Version(0, 3, 10)), WinNT);
    EXPECT_EQ(SelectScriptVariant(Version(3, 0, 0)), WinNT);
}

TEST(ScriptVariantSelection, FailedVersionQueryRunsTheWindows95Script) {
    sim::Scenario scenario(sim::AppletVariant::Win95);
    scenario.world.versionQueryFails = true;
    sim::Outcome outcome = scenario.Run();
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(context.versionInfo.dwPlatformId, 1u);
    EXPECT_EQ(context.versionInfo.dwMinorVersion, 0u);
    EXPECT_EQ(context.versionInfo.dwOSVersionInfoSize, 148u);
    EXPECT_EQ(context.versionInfo.dwMajorVersion, 0u);
    EXPECT_EQ(context.versionInfo.dwBuildNumber, 0u);
    EXPECT_EQ(context.versionInfo.szCSDVersion[0], 0);
    EXPECT_EQ(Only(scenario.world.Actions(), {"BM_CLICK main.page"}).front(), "BM_CLICK main.page#1210 step 5");
}

class MessagePump : public SimTest {
protected:
    void Script(std::initializer_list<sim::World::ScriptedMessage> messages) {
        world.useScriptedMessages = true;
        world.scriptedMessages = messages;
    }
};

TEST_F(MessagePump, DispatchesWhileOneAndReturnsTheQuitCode) {
    Script({
        {1, 0x400, 11},
        {1, 0x401, 12},
        {0, 0x12,  0 }
    });
    EXPECT_EQ(RunMessagePump(), 0);
    EXPECT_EQ(world.dispatched, (std::vector<UINT>{0x400, 0x401}));
}

TEST_F(MessagePump, StopsAtAnErrorWithTheLastMessageRead) {
    Script({
        {1,  0x400, 7},
        {-1, 0,     0},
        {1,  0x401, 9}
    });
    EXPECT_EQ(RunMessagePump(), 7);
    EXPECT_EQ(world.dispatched, (std::vector<UINT>{0x400}));
}

TEST_F(MessagePump, ErrorOnTheFirstReadGivesZero) {
    Script({
        {-1, 0, 0}
    });
    EXPECT_EQ(RunMessagePump(), 0);
    EXPECT_TRUE(world.dispatched.empty());
}

TEST_F(MessagePump, AnyResultOtherThanOneEndsTheLoop) {
    Script({
        {1, 0x400, 3},
        {2, 0x401, 5},
        {1, 0x402, 6}
    });
    EXPECT_EQ(RunMessagePump(), 5);
    EXPECT_EQ(world.dispatched.size(), 1u);
}

TEST(WinMainEntry, IgnoresTheCommandLineAndShowCommand) {
    sim::Scenario scenario(sim::AppletVariant::WinNT);
    context = AutomationContext{};
    int result = WinMain(reinterpret_cast<HINSTANCE>(0x400000), reinterpret_cast<HINSTANCE>(0x1234),
                         const_cast<LPSTR>("/quiet D:\\other"), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(context.instance, reinterpret_cast<HINSTANCE>(0x400000));
    EXPECT_EQ(scenario.world.clipboard, "C:\\DRIVER\\WinNT\\V4");
}
