// Display applet models for the three scripts, with knobs for timing and faults.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "sim/applet.h"

namespace sim {

enum class AppletVariant { Win95, Win98, WinNT };

struct AppletKnobs {
    Micros startup = 400 * kMillisecond;
    // The main window shows up this long after the process went idle.
    Micros mainWindowAfterIdle = 0;
    Micros dialogDelay = 120 * kMillisecond;
    std::map<std::string, Micros> dialogDelays;  // by dialog name
    std::map<std::string, Micros> linger;        // an ended dialog stays this long
    std::set<std::string> missingControls;       // "secondDialog#101"
    int foreignWindows = 0;                      // visible windows of another thread, above all
    Micros foreignWindowEvery = 0;               // one comes at this interval, for half of it, for ever
    int hiddenAppletWindows = 0;                 // hidden windows of the applet's thread
    bool offscreenAppletWindow = false;          // visible, owned, left edge at -1
    // A dialog stands owned and hidden, without its pages, this long before it
    // shows; its thread is not busy meanwhile (WaitForInputIdle waits only once).
    Micros dialogBuiltIn = 0;
    bool tabHasButtonsStyle = false;
    bool unownedWindowAfterConfirm = false;  // Windows 98: after the window after the path dialog
    std::string exitOnClick;                 // the click on this control ends the process
    Micros exitAt = -1;                      // the process ends at this simulated time
    // NT: a window owned by firstDialog, without control 1567, shows before secondDialog.
    bool ntProgressBeforeSecondDialog = false;
};

std::unique_ptr<Applet> MakeAppletModel(World& world, AppletVariant variant, const AppletKnobs& knobs);

}  // namespace sim
