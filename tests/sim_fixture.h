// A fresh simulated desktop and program record for tests that build windows by hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "run/automation_context.h"
#include "sim/applet.h"
#include "sim/world.h"

class SimTest : public testing::Test {
protected:
    SimTest() {
        context = AutomationContext{};
        context.mainWindow = NOT_FOUND_WINDOW;
        context.applet.dwThreadId = sim::kAppletThread;
    }

    HWND TopLevel(const std::string& name, LONG style = WS_POPUP | WS_VISIBLE, RECT rect = {100, 100, 400, 300},
                  HWND owner = 0, DWORD thread = sim::kAppletThread) {
        return world.Create(name, "#32770", style, rect, thread, world.desktop, owner).handle;
    }

    HWND Child(HWND parent, const std::string& name, int id = 0, const std::string& className = "Button") {
        return world.Create(name, className, WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, sim::kAppletThread, parent, 0, id)
            .handle;
    }

    // Runs the searched-for code and returns where the simulator found it stuck.
    template <typename Call>
    std::string HangPlaceOf(Call call) {
        try {
            call();
        } catch (const sim::Hang& hang) {
            return hang.where;
        }
        return "(did not hang)";
    }

    sim::World world;
};

// A bare applet thread whose buttons do what each test chooses; launched and idle.
class BareAppletTest : public SimTest {
protected:
    class BareApplet : public sim::Applet {
    public:
        using Applet::Applet;

    protected:
        sim::Micros StartupTime() const override { return 0; }
        sim::DialogStep MainWindow() override {
            return {"main", 0, [this] {
                        return world_
                            .Create("main", "#32770", WS_POPUP | WS_VISIBLE, {1, 1, 99, 99}, sim::kAppletThread,
                                    world_.desktop, 0)
                            .handle;
                    }};
        }
    };

    BareAppletTest() {
        world.appletFactory = [](sim::World& w) { return std::make_unique<BareApplet>(w); };
        PROCESS_INFORMATION info{};
        STARTUPINFOA startup{};
        CreateProcessA(0, const_cast<LPSTR>("x"), 0, 0, 0, 0, 0, 0, &startup, &info);
        context.applet = info;
        WaitForInputIdle(info.hProcess, INFINITE);
        world.trace.clear();
    }

    // Reads messages as the pump does until the program could wait no further.
    void Pump() {
        try {
            MSG message;
            while (GetMessageA(&message, 0, 0, 0) == 1) {
            }
        } catch (const sim::Hang&) {
        }
    }
};
