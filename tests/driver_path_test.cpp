#include "actions/driver_path.h"

#include <string>
#include <vector>

#include "tests/script_runs.h"
#include "tests/sim_fixture.h"
#include "tests/trace_matchers.h"

class DriverPath : public SimTest {
protected:
    std::string Built(const std::string& directory, const char* folder) {
        world.currentDirectory = directory;
        char buffer[MAX_PATH] = "leftover";
        BuildDriverPath(folder, buffer);
        return buffer;
    }
};

TEST_F(DriverPath, InsertsOneBackslashBetweenDirectoryAndFolder) {
    EXPECT_EQ(Built("C:\\DRV", WIN9X_DRIVER_FOLDER), "C:\\DRV\\Win9x");
    EXPECT_EQ(Built("C:\\DRV\\", WIN9X_DRIVER_FOLDER), "C:\\DRV\\Win9x");
    EXPECT_EQ(Built("C:\\", WIN9X_DRIVER_FOLDER), "C:\\Win9x");
    EXPECT_EQ(Built("D:\\CD\\DISK1", NT_DRIVER_FOLDER), "D:\\CD\\DISK1\\WinNT\\V4");
    EXPECT_EQ(Built("\\\\server\\share", NT_DRIVER_FOLDER), "\\\\server\\share\\WinNT\\V4");
}

TEST_F(DriverPath, GivesFalseAndAnEmptyBufferWhenThePathCannotBeBuilt) {
    auto refused = [this](const std::string& directory, bool unreadable = false) {
        world.currentDirectory = directory;
        world.currentDirectoryFails = unreadable;
        char buffer[MAX_PATH] = "leftover";
        BOOL built = BuildDriverPath(WIN9X_DRIVER_FOLDER, buffer);
        return !built && buffer[0] == 0;
    };
    std::string x250(250, 'x');
    EXPECT_TRUE(refused("C:\\DRIVER", true)) << "unreadable current directory";
    EXPECT_TRUE(refused("C:\\" + std::string(257, 'x'))) << "a directory of 260 bytes";
    EXPECT_TRUE(refused("C:\\" + std::string(300, 'x'))) << "a directory of 303 bytes";
    // The directory fits the buffer, but the backslash, "Win9x" and the terminator do not.
    EXPECT_TRUE(refused("C:\\" + x250 + "x"));
    EXPECT_TRUE(refused("C:\\" + x250 + "x\\"));
    // Exactly 260 bytes with the terminator still fits.
    std::string longest = "C:\\" + x250 + "\\Win9x";
    ASSERT_EQ(longest.size() + 1, 260u);
    EXPECT_EQ(Built("C:\\" + x250, WIN9X_DRIVER_FOLDER), longest);
    EXPECT_EQ(Built("C:\\" + x250 + "\\", WIN9X_DRIVER_FOLDER), longest);
}

class PathHandOver : public BareAppletTest {
protected:
    PathHandOver() {
        owner = TopLevel("owner");
        // The path dialog shows up a while after the click that opens it.
        world.Schedule(450 * sim::kMillisecond, [this] {
            pathDialog = TopLevel("pathDialog", WS_POPUP | WS_VISIBLE, {1, 1, 99, 99}, owner);
            for (int id : {101, 107}) {
                HWND edit = Child(pathDialog, "pathDialog#" + std::to_string(id), id, "Edit");
                world.Find(edit)->text = "A:\\";
            }
            Child(pathDialog, "pathDialog#1", 1);
        });
    }

    std::string EditText(int id) { return world.Find(GetDlgItem(pathDialog, id))->text; }

    HWND owner;
    HWND pathDialog = 0;
};

TEST_F(PathHandOver, Win9xFormSelectsThenPastesAndComesBackToTheWindows95Script) {
    context.versionInfo.dwMinorVersion = 0;
    EXPECT_EQ(HandOverDriverPath(owner), 1);
    EXPECT_EQ(context.pathDialog, pathDialog);
    EXPECT_GE(world.now, 600 * sim::kMillisecond) << "the search polls until the dialog exists";
    EXPECT_TRUE(SameSequence(world.Actions(), kWin9xHandOver));
    EXPECT_EQ(world.clipboard, "C:\\DRIVER\\Win9x");

    Pump();
    EXPECT_EQ(EditText(101), "C:\\DRIVER\\Win9x") << "the paste replaces what the box held";
    EXPECT_EQ(EditText(107), "A:\\");
    // Windows 95 answers the paste with step 2, and the hidden window is gone.
    EXPECT_TRUE(SameSequence(Only(world.Actions(), {"step", "DestroyWindow", "BM_CLICK"}),
                             {"step 1000", "DestroyWindow clipboardEdit", "BM_CLICK pathDialog#1 step 2", "step 2"}));
    EXPECT_EQ(world.Find(context.clipboardEdit), nullptr);
}

TEST_F(PathHandOver, Win9xFormOnWindows98ComesBackToTheWindows98Script) {
    context.versionInfo.dwMinorVersion = 10;
    HandOverDriverPath(owner);
    Pump();
    EXPECT_TRUE(SameSequence(Only(world.Actions(), {"step", "BM_CLICK"}),
                             {"step 1000", "BM_CLICK pathDialog#1 step 4", "step 4"}));
}

TEST_F(PathHandOver, NtFormPastesAtTheCaretThenRaisesTheBox) {
    world.currentDirectory = "E:\\";
    world.directories.insert("E:\\WinNT\\V4");
    EXPECT_EQ(HandOverDriverPathNt(owner), 1);
    EXPECT_TRUE(SameSequence(world.Actions(), {
                                                  "CreateWindowExA EDIT \"E:\\WinNT\\V4\"",
                                                  "send EM_SETSEL clipboardEdit 0, -1",
                                                  "send WM_COPY clipboardEdit 0, 0",
                                                  "WM_PASTE pathDialog#107 step 1000",
                                                  "SetForegroundWindow pathDialog#107",
                                              }));
    Pump();
    EXPECT_EQ(EditText(107), "E:\\WinNT\\V4A:\\") << "nothing was selected, so the path goes in at the caret";
    EXPECT_EQ(world.clipboard, "E:\\WinNT\\V4");
    EXPECT_TRUE(SameSequence(Only(world.Actions(), {"step", "BM_CLICK"}),
                             {"step 1000", "BM_CLICK pathDialog#1 step 3", "step 3"}));
}

TEST_F(PathHandOver, LooksUpTheEditBoxBeforeBuildingThePath) {
    HandOverDriverPathNt(owner);
    std::vector<std::string> calls;
    for (const sim::TraceEntry& entry : world.trace)
        if (entry.text.rfind("GetDlgItem pathDialog", 0) == 0 || entry.text.rfind("GetCurrentDirectoryA", 0) == 0 ||
            entry.text.rfind("CreateWindowExA", 0) == 0)
            calls.push_back(entry.text.substr(0, entry.text.find(' ')));
    EXPECT_TRUE(SameSequence(calls, {"GetDlgItem", "GetCurrentDirectoryA", "CreateWindowExA"}));
}
