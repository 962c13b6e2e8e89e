// The logging twin's log and its last word, read as a support engineer would.
#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/call_log.h"
#include "sim/scenario.h"
#include "tests/trace_matchers.h"

using sim::AppletVariant;
using sim::kMillisecond;

namespace {

const char kTempLog[] = "C:\\WINDOWS\\TEMP\\SETUPLOG.TXT";
const char kWindowsLog[] = "C:\\WINDOWS\\SETUPLOG.TXT";

struct TwinRun {
    sim::Outcome outcome;
    std::vector<std::string> appletLog;
    std::vector<std::string> boxes;
    std::map<std::string, std::string> files;
    std::string log;  // the one log written, if any
    std::vector<std::string> lines;
    long long bytesWritten = 0;
};

// Runs the twin from the medium D:\MEDIUM; prepare may change the world first.
TwinRun RunTwin(AppletVariant variant, sim::AppletKnobs knobs = {},
            const std::function<void(sim::World&)>& prepare = nullptr) {
    sim::Scenario scenario(variant, std::move(knobs));
    scenario.world.currentDirectory = "D:\\MEDIUM";
    scenario.world.directories = {"D:\\MEDIUM\\Win9x", "D:\\MEDIUM\\WinNT\\V4"};
    if (prepare) prepare(scenario.world);
    TwinRun run;
    run.outcome = scenario.Run();
    run.appletLog = scenario.AppletLog();
    run.boxes = scenario.world.messageBoxes;
    run.files = scenario.world.files;
    run.bytesWritten = scenario.world.bytesWritten;
    if (run.files.size() == 1) run.log = run.files.begin()->second;
    std::istringstream in(run.log);
    for (std::string line; std::getline(in, line);) {
        // A full disk may cut the last line short.
        if (!in.eof()) {
            EXPECT_EQ(line.back(), '\r') << "a line without CR LF: " << line;
            line.pop_back();
        }
        run.lines.push_back(line);
    }
    return run;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The clicks, checks, tab change and paste, as (message, control id), from the
// log's lines and from what the applet saw.
std::vector<std::string> LoggedActions(const std::vector<std::string>& lines) {
    std::vector<std::string> actions;
    for (const std::string& line : lines) {
        if (!Contains(line, "SendMessageCallbackA(") && !Contains(line, "SendNotifyMessageA(") &&
            !Contains(line, "SendMessageA("))
            continue;
        for (const char* message : {"BM_CLICK", "BM_SETCHECK", "WM_PASTE", "TCM_SETCURFOCUS"}) {
            std::size_t at = line.find(std::string(", ") + message);
            std::size_t id = line.rfind('#', at);
            if (at != std::string::npos && id != std::string::npos)
                actions.push_back(message + (" " + line.substr(id + 1, at - id - 1)));
        }
    }
    return actions;
}

std::vector<std::string> AppletActions(const std::vector<std::string>& events) {
    std::vector<std::string> actions;
    for (const std::string& event : events) {
        std::size_t id = event.find('#');
        std::string control = event.substr(id + 1, event.find(' ', id) - id - 1);
        if (event.rfind("click ", 0) == 0) actions.push_back("BM_CLICK " + control);
        if (event.rfind("check ", 0) == 0) actions.push_back("BM_SETCHECK " + control);
        if (event.rfind("paste ", 0) == 0) actions.push_back("WM_PASTE " + control);
        if (event.rfind("tab focus ", 0) == 0) actions.push_back("TCM_SETCURFOCUS " + control);
    }
    return actions;
}

}  // namespace

std::vector<std::string> Header(const TwinRun& run) {
    return std::vector<std::string>(run.lines.begin(), run.lines.begin() + std::min<std::size_t>(6, run.lines.size()));
}

TEST(TwinLog, StartsWithAHeaderOfTheRun) {
    TwinRun run = RunTwin(AppletVariant::Win98);
    ASSERT_GE(run.lines.size(), 8u);
    EXPECT_EQ(run.files.count(kTempLog), 1u);
    const std::string program = "setuplog.exe 1.0, the logging twin of setup.exe: Setup for Graphics Driver";
    const std::string log = std::string("Log: ") + kTempLog;
    EXPECT_EQ(Header(run), (std::vector<std::string>{program, "Windows: platform id 1, version 4.10, build 1998, \"\"",
                                                     "Current directory: D:\\MEDIUM", "Script: Windows 98",
                                                     "Driver path: D:\\MEDIUM\\Win9x", log}));
    EXPECT_EQ(run.lines[6], "       0 GetVersionExA() -> 1");

    TwinRun nt = RunTwin(AppletVariant::WinNT, {}, [](sim::World& world) {
        std::snprintf(world.version.szCSDVersion, sizeof world.version.szCSDVersion, "Service Pack 6");
    });
    EXPECT_EQ(Header(nt), (std::vector<std::string>{program, "Windows: platform id 2, version 4.0, build 1381, "
                                                             "\"Service Pack 6\"",
                                                    "Current directory: D:\\MEDIUM", "Script: Windows NT",
                                                    "Driver path: D:\\MEDIUM\\WinNT\\V4", log}));
    // A failed version query runs the Windows 95 script; an unreadable directory leaves no driver path.
    TwinRun unknown = RunTwin(AppletVariant::Win98, {}, [](sim::World& world) {
        world.versionQueryFails = true;
        world.currentDirectoryFails = true;
    });
    EXPECT_EQ(unknown.outcome.exitCode, 3);
    EXPECT_EQ(Header(unknown), (std::vector<std::string>{program, "Windows: the version could not be read",
                                                         "Current directory: (could not be read)",
                                                         "Script: Windows 95", "Driver path: (none)",
                                                         std::string("Log: ") + kWindowsLog}));
}

// The whole log of a complete run of each script, as a person reads it: every
// call's line in order, the continuations and the folded polls, written down
// once and held to.
TEST(TwinLog, CompleteRunsReadExactlyLikeTheLogsWrittenDown) {
    for (auto [variant, name] : {std::pair{AppletVariant::Win95, "win95"}, std::pair{AppletVariant::Win98, "win98"},
                                 std::pair{AppletVariant::WinNT, "nt40"}}) {
        SCOPED_TRACE(name);
        TwinRun run = RunTwin(variant);
        std::ifstream file(std::string(TEST_DATA_DIR "/twin-") + name + "-complete.log");
        std::vector<std::string> expected;
        for (std::string line; std::getline(file, line);) expected.push_back(line);
        ASSERT_GT(expected.size(), 100u);
        EXPECT_TRUE(SameSequence(run.lines, expected));
    }
}

TEST(TwinLog, CompleteRunsLogEveryActionTheAppletSawAndEndWithOneBox) {
    for (AppletVariant variant : {AppletVariant::Win95, AppletVariant::Win98, AppletVariant::WinNT}) {
        SCOPED_TRACE(sim::VariantName(variant));
        TwinRun run = RunTwin(variant);
        ASSERT_FALSE(run.outcome.hung) << run.outcome.hangPlace;
        EXPECT_EQ(run.outcome.exitCode, 0);
        std::vector<std::string> logged = LoggedActions(run.lines);
        EXPECT_GE(logged.size(), 9u);
        EXPECT_EQ(logged, AppletActions(run.appletLog));
        std::string ending = std::string(ExitCodeMeaning(0)) + " (exit code 0)";
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0], ending + "\r\n\r\nThe log is " + kTempLog + ".");
        ASSERT_GE(run.lines.size(), 3u);
        EXPECT_EQ(run.lines[run.lines.size() - 3], ending);
        EXPECT_EQ(run.lines.back(), std::string("The log is ") + kTempLog + ".");
        int continuations = 0;
        for (const std::string& line : run.lines) continuations += Contains(line, "continuation of the ");
        EXPECT_GE(continuations, 5);
    }
}

TEST(TwinLog, APollIsWrittenOnceThenSummarised) {
    sim::AppletKnobs knobs;
    knobs.dialogDelays["secondDialog"] = 10000 * kMillisecond;
    TwinRun run = RunTwin(AppletVariant::Win95, knobs);
    EXPECT_EQ(run.outcome.exitCode, 0);
    std::string summary;
    for (const std::string& line : run.lines)
        if (Contains(line, "... the same ")) summary = line;
    // Ten seconds of a search that walks three windows and pauses 200 ms a pass:
    // one pass written, 48 folded.
    EXPECT_EQ(summary, "   10608 ... the same 16 calls, 48 more times, 9.6 s");
    EXPECT_LT(run.log.size(), 20000u);
    // The summary kept up to date is rewritten every two seconds, not every pass.
    EXPECT_LT(run.bytesWritten, static_cast<long long>(run.log.size()) + 1000);

    // A wait whose windows keep changing is counted; the action that ends it
    // brings the count up to date and the calls just before it.
    knobs.foreignWindowEvery = 2500 * kMillisecond;
    knobs.dialogDelays["secondDialog"] = 600000 * kMillisecond;
    TwinRun changing = RunTwin(AppletVariant::Win95, knobs);
    EXPECT_EQ(changing.outcome.exitCode, 0);
    std::size_t counted = 0;
    for (std::size_t i = 0; i < changing.lines.size(); ++i)
        if (Contains(changing.lines[i], " more calls, as windows came and went, ")) counted = i;
    ASSERT_GT(counted, 0u);
    // Every call of the wait is counted, the first one over the budget too.
    EXPECT_EQ(changing.lines[counted], "  600739 ... 52278 more calls, as windows came and went, 581.3 s");
    ASSERT_GT(changing.lines.size(), counted + 10);
    EXPECT_EQ(changing.lines[counted + 1], "         ... the last of them:");
    for (std::size_t i = counted + 2; i < counted + 10; ++i) EXPECT_FALSE(Contains(changing.lines[i], "..."));
    // The search found the dialog, looked its control up, and clicked it.
    EXPECT_TRUE(Contains(changing.lines[counted + 9], "GetDlgItem(")) << changing.lines[counted + 9];
    EXPECT_TRUE(Contains(changing.lines[counted + 10], "SendMessageCallbackA(")) << changing.lines[counted + 10];
    EXPECT_LT(changing.log.size(), 64u * 1024);
}

TEST(TwinLog, AHungAppletStoppedMidPollLeavesWhatItWaitedForAtTheEnd) {
    // The same poll over and over; then for an hour, with the desktop changing all along.
    for (sim::Micros every : {sim::Micros(0), 2500 * kMillisecond}) {
        sim::AppletKnobs knobs;
        knobs.missingControls = {"copyDialog#1"};
        knobs.foreignWindowEvery = every;
        TwinRun run =
            RunTwin(AppletVariant::Win95, knobs, [](sim::World& world) { world.timeLimit = 3600000 * kMillisecond; });
        ASSERT_TRUE(run.outcome.hung);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_LT(run.log.size(), 64u * 1024);
        ASSERT_GE(run.lines.size(), 12u);
        EXPECT_TRUE(Contains(run.lines.back(), every ? " more calls, as windows came and went, " : " ... the same 12 calls, "))
            << run.lines.back();
        EXPECT_TRUE(Contains(run.lines.back(), " s so far")) << run.lines.back();
        // The folded line is never more than two seconds behind.
        EXPECT_GE(std::stol(run.lines.back()) + 2000, run.outcome.endTime / kMillisecond);
        bool waitedForControl1 = false;
        for (std::size_t i = run.lines.size() - 12; i < run.lines.size(); ++i)
            waitedForControl1 |= Contains(run.lines[i], "GetDlgItem(") && Contains(run.lines[i], ", 1) -> 0x0");
        EXPECT_TRUE(waitedForControl1);
    }
}

TEST(TwinLog, NeverWritesOnTheMediumAndGoesOnWithoutALog) {
    // Windows 95 with TMP and TEMP unset names the current directory: the medium,
    // whatever the case of its letters, or a share of a network drive.
    struct Place {
        const char* directory;
        const char* temp;
        const char* log;
    };
    for (Place place : {Place{"D:\\MEDIUM", "d:\\medium\\", kWindowsLog}, Place{"D:\\MEDIUM", "", kWindowsLog}, Place{"Z:\\MEDIUM", "z:\\temp\\", kWindowsLog},
                        Place{"\\\\SERVER\\DRIVERS\\DISK1", "\\\\server\\drivers\\TEMP\\", kWindowsLog},
                        Place{"\\\\SERVER\\DRIVERS", "\\\\server\\temp\\", "\\\\server\\temp\\SETUPLOG.TXT"}}) {
        TwinRun run = RunTwin(AppletVariant::Win95, {}, [&](sim::World& world) {
            world.currentDirectory = place.directory;
            world.directories = {std::string(place.directory) + "\\Win9x"};
            world.tempPath = place.temp;
        });
        EXPECT_EQ(run.outcome.exitCode, 0) << place.directory;
        ASSERT_EQ(run.files.size(), 1u) << place.directory;
        EXPECT_EQ(run.files.begin()->first, place.log) << place.directory;
    }

    for (auto readOnly : std::vector<std::function<void(sim::World&)>>{
             [](sim::World& world) { world.readOnlyFolders = {"C:\\WINDOWS\\TEMP", "C:\\WINDOWS"}; },
             [](sim::World& world) { world.readOnlyFiles = {kTempLog, kWindowsLog}; },
             [](sim::World& world) {
                 world.tempPath = "D:\\";
                 world.windowsFolder = "";  // GetWindowsDirectoryA failed
             }}) {
        TwinRun run = RunTwin(AppletVariant::WinNT, {}, readOnly);
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_TRUE(run.files.empty());
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_TRUE(Contains(run.boxes[0], "No log was written")) << run.boxes[0];
    }
}

TEST(TwinLog, AFullDiskEndsTheLoggingNeverTheRun) {
    TwinRun run = RunTwin(AppletVariant::Win98, {}, [](sim::World& world) { world.diskSpace = 3000; });
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_EQ(run.files.at(kTempLog).size(), 3000u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(Contains(run.boxes[0], std::string("\r\n\r\nThe log ") + kTempLog + " stopped early: the disk is full."))
        << run.boxes[0];
}

TEST(TwinLog, EachExitCodeHasItsOwnWordsInTheBoxAndAtTheLogsEnd) {
    std::vector<std::pair<int, std::function<void(sim::World&)>>> cases = {
        {1, [](sim::World& world) { world.launchFails = true; }},
        {3, [](sim::World& world) { world.directories.clear(); }},
        {3, [](sim::World& world) { world.currentDirectoryFails = true; }},
        {4, [](sim::World& world) { world.editWindowFails = true; }},
    };
    std::vector<std::string> meanings;
    for (const auto& [code, fault] : cases) {
        TwinRun run = RunTwin(AppletVariant::Win95, {}, fault);
        EXPECT_EQ(run.outcome.exitCode, code);
        ASSERT_EQ(run.boxes.size(), 1u);
        std::string ending = std::string(ExitCodeMeaning(code)) + " (exit code " + std::to_string(code) + ")";
        EXPECT_EQ(run.boxes[0].substr(0, ending.size()), ending);
        ASSERT_GE(run.lines.size(), 3u);
        EXPECT_EQ(run.lines[run.lines.size() - 3], ending);
    }
    for (int code = 0; code <= 4; ++code) meanings.push_back(ExitCodeMeaning(code));
    for (int code = 0; code <= 4; ++code)
        for (int other = code + 1; other <= 4; ++other) EXPECT_NE(meanings[code], meanings[other]);
}

TEST(TwinLog, AnAbandonedRunShowsExactlyOneBoxAndRunsNoStepAfterIt) {
    // The applet ends at the click on secondDialog#1, with steps 1 and 6 still pending:
    // the box's message loop delivers them, and they must do nothing.
    sim::AppletKnobs knobs;
    knobs.exitOnClick = "secondDialog#1";
    TwinRun run = RunTwin(AppletVariant::Win95, knobs);
    EXPECT_EQ(run.outcome.exitCode, 2);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(Contains(run.boxes[0], "(exit code 2)"));
    std::size_t end = 0;
    for (std::size_t i = 0; i < run.lines.size(); ++i)
        if (Contains(run.lines[i], "The run has ended.")) end = i;
    ASSERT_GT(end, 0u);
    // The meaning, an empty line, where the log is.
    EXPECT_EQ(run.lines.size(), end + 4);
    EXPECT_TRUE(Contains(run.lines[end - 1], "ExitProcess(2)")) << run.lines[end - 1];
}
