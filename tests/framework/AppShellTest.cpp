// The message loop with the program's accelerator table, driven by key
// messages posted to a child window, and the executable's folder.
#include "TestWindows.h"

#include "framework/AppShell.h"
#include "base/Str.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CommandFrame : public Window {
public:
    std::vector<uint32_t> commands;
    bool OnCommand(uint32_t id, uint32_t, LPARAM) override {
        commands.push_back(id);
        return true;
    }
};

// Sets Ctrl down or up in the thread's key state, where the accelerator
// translation reads it; Ctrl is up again afterwards.
class ControlKey {
public:
    explicit ControlKey(bool down) { Set(down); }
    ~ControlKey() { Set(false); }
    ControlKey(const ControlKey&) = delete;
    ControlKey& operator=(const ControlKey&) = delete;

private:
    static void Set(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

class AppShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateTestWindow(frame));
        list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, frame.hwnd, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(list, nullptr);
        PumpMessages();
    }
    // Posts the keys to the list (as if it had the focus), then the quit
    // message, and runs the loop until it ends.
    int32_t RunWithKeys(const std::vector<WPARAM>& keys) {
        for (WPARAM key : keys)
            PostMessageA(list, WM_KEYDOWN, key, 1);
        PostQuitMessage(0);
        return AppShell::Run(frame.hwnd, IDR_ACCELERATORS);
    }
    Live<CommandFrame> frame;
    HWND list = nullptr;
};

TEST_F(AppShellTest, ControlKeysReachTheMainWindowAsTheirCommands) {
    ControlKey ctrl(true);
    EXPECT_EQ(RunWithKeys({'1', '2', '3', '4', '5', 'A', 'B', 'C', 'D', 'N', 'O', VK_DOWN, VK_UP, 'Z'}), 0);
    const std::vector<uint32_t> expected = {
        IDM_ZOOM_100,      IDM_ZOOM_200,          IDM_ZOOM_300,    IDM_ZOOM_400,  IDM_ZOOM_500,  IDM_OPEN_IN_VELMORA,
        IDM_PREVIOUS_FILE, IDM_COPY_TO_CLIPBOARD, IDM_OPEN_FOLDER, IDM_NEXT_FILE, IDM_OPEN_FILE, IDM_REDUCE,
        IDM_EXTEND}; // Ctrl+Z has no binding
    EXPECT_EQ(frame.commands, expected);
}

TEST_F(AppShellTest, NumericPadKeysWorkWithoutControl) {
    ControlKey ctrl(false);
    EXPECT_EQ(RunWithKeys({VK_ADD, VK_MULTIPLY, VK_SUBTRACT, 'O', VK_UP}), 0);
    // Without Ctrl, O and the arrow stay keys of the list.
    EXPECT_EQ(frame.commands, (std::vector<uint32_t>{IDM_EXTEND, IDM_ZOOM_100, IDM_REDUCE}));
}

TEST(AppShell, RunReturnsTheQuitCode) {
    PostQuitMessage(7);
    EXPECT_EQ(AppShell::Run(nullptr, IDR_ACCELERATORS), 7);
    PostQuitMessage(0);
    EXPECT_EQ(AppShell::Run(nullptr, 999), 0); // a missing table only costs the accelerators
}

TEST(AppShell, ModuleFolderIsTheExecutablesFolderWithoutSeparator) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string expected = path;
    expected.resize(expected.find_last_of('\\'));
    Str folder;
    ASSERT_TRUE(AppShell::GetModuleFolder(folder));
    EXPECT_EQ(std::string(folder.Text()), expected);

    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA("C:\\");
    ASSERT_TRUE(AppShell::SetCurrentFolderToModule());
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current), expected);
    SetCurrentDirectoryA(previous);
}

} // namespace
