#include "sim/scenario.h"

#include <string>
#include <utility>
#include <vector>

#include "run/automation_context.h"
#include "platform/run_process.h"

namespace sim {

namespace {
constexpr Micros kAppletAfterlife = 60 * 1000 * kMillisecond;
}  // namespace

OSVERSIONINFOA VersionOf(AppletVariant variant) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    switch (variant) {
        case AppletVariant::Win95:
            version.dwMajorVersion = 4, version.dwMinorVersion = 0, version.dwBuildNumber = 950;
            version.dwPlatformId = 1;
            break;
        case AppletVariant::Win98:
            version.dwMajorVersion = 4, version.dwMinorVersion = 10, version.dwBuildNumber = 1998;
            version.dwPlatformId = 1;
            break;
        case AppletVariant::WinNT:
            version.dwMajorVersion = 4, version.dwMinorVersion = 0, version.dwBuildNumber = 1381;
            version.dwPlatformId = 2;
            break;
    }
    return version;
}

const char* VariantName(AppletVariant variant) {
    switch (variant) {
        case AppletVariant::Win95:
            return "win95";
        case AppletVariant::Win98:
            return "win98";
        case AppletVariant::WinNT:
            return "nt40";
    }
    return "?";
}

Scenario::Scenario(AppletVariant variant, AppletKnobs appletKnobs) : knobs(std::move(appletKnobs)) {
    world.version = VersionOf(variant);
    world.appletFactory = [this, variant](World& w) { return MakeAppletModel(w, variant, knobs); };
}

Outcome Scenario::Run() {
    context = AutomationContext{};
    Outcome outcome;
    try {
        RunProcess(reinterpret_cast<HINSTANCE>(0x400000));
    } catch (const ProcessExit& exit) {
        outcome.exitCode = static_cast<int>(exit.code);
    } catch (const Hang& hang) {
        outcome.hung = true;
        outcome.hangPlace = hang.where;
    }
    outcome.endTime = world.now;
    // The applet lives on after the program: it still handles what was sent to
    // it last, as a real one does, so that its log holds what a person would see.
    if (!outcome.hung)
        while (world.HasPendingEvents() && world.NextEventTime() <= outcome.endTime + kAppletAfterlife)
            world.RunNextEvent();
    return outcome;
}

const std::vector<std::string>& Scenario::AppletLog() const {
    static const std::vector<std::string> none;
    return world.applet ? world.applet->log : none;
}

}  // namespace sim
