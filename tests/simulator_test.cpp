// The simulated window system refuses what it does not model, rather than
// answering in a way no real window system would.
#include "tests/sim_fixture.h"

#include <functional>
#include <string>
#include <utility>

namespace {

template <typename Call>
std::string RefusalOf(Call call) {
    try {
        call();
    } catch (const sim::Unmodelled& refusal) {
        return refusal.what();
    }
    return "(accepted)";
}

}  // namespace

class Simulator : public BareAppletTest {};

TEST_F(Simulator, RefusesArgumentValuesItDoesNotModelAndNamesThem) {
    HWND main = FindWindowExA(world.desktop, 0, "#32770", 0);
    const std::pair<std::string, std::function<void()>> cases[] = {
        {"WaitForInputIdle with timeout 5000", [&] { WaitForInputIdle(context.applet.hProcess, 5000); }},
        {"WaitForSingleObject with timeout 10", [&] { WaitForSingleObject(context.applet.hProcess, 10); }},
        {"GetWindow with command 4", [&] { GetWindow(main, 4); }},
        {"GetWindowLongA with index -20", [&] { GetWindowLongA(main, -20); }},
        {"SetWindowLongA with index -21", [&] { SetWindowLongA(main, -21, 0); }},
        {"GetSystemMetrics with index 2", [&] { GetSystemMetrics(2); }},
        {"FindWindowExA with a child to start after", [&] { FindWindowExA(world.desktop, main, "#32770", 0); }},
        {"FindWindowExA with the title", [&] { FindWindowExA(world.desktop, 0, "#32770", "Display"); }},
        {"SetTimer with the window", [&] { SetTimer(main, 1, 500, 0); }},
        {"SendNotifyMessageA with message 0x10", [&] { SendNotifyMessageA(main, 0x10, 0, 0); }},
        {"CreateWindowExA with the style 0x10000000",
         [&] { CreateWindowExA(0, "EDIT", "x", WS_VISIBLE, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT, world.desktop, 0, 0, 0); }},
        {"CreateWindowExA with the parent null",
         [&] { CreateWindowExA(0, "EDIT", "x", 0, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, 0, 0); }},
    };
    for (const auto& [refusal, call] : cases)
        EXPECT_NE(RefusalOf(call).find(refusal), std::string::npos) << refusal << ": " << RefusalOf(call);
}

class SimulatedQueue : public SimTest {};

TEST_F(SimulatedQueue, GetMessageFilterHoldsBackTheTimerButNeverTheQuitMessage) {
    SetTimer(0, 0, 500, 0);
    MSG message;
    EXPECT_EQ(GetMessageA(&message, reinterpret_cast<HWND>(-1), WM_TIMER, WM_TIMER), 1);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
    EXPECT_GE(world.now, 500 * sim::kMillisecond);
    // Only a timer could come, and the filter leaves it out: nothing ever arrives.
    EXPECT_NE(HangPlaceOf([&] { GetMessageA(&message, 0, WM_TIMER + 1, 0xFFFF); }).find("GetMessageA"),
              std::string::npos);
    PostQuitMessage(0);
    EXPECT_EQ(GetMessageA(&message, 0, WM_TIMER + 1, 0xFFFF), 0);
    EXPECT_EQ(GetMessageA(&message, world.desktop, 0, 0), -1) << "not a window of the program";
}
