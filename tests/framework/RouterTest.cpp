// The window procedure and the router, driven with real windows: which
// handler a message reaches, with which unpacked arguments, and what the
// sender gets back.
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

struct Call {
    std::string handler;
    uint64_t a = 0, b = 0, c = 0, d = 0;
};

struct DefaultCall {
    UINT message;
    bool notHandled;
};

// Records what reaches it. The handlers only act while `recording` is set,
// so creation and destruction take their normal course.
class RecordingWindow : public Window {
public:
    bool recording = false;
    UINT swallowed = 0; // PreFilter answers this message itself with 5
    std::vector<UINT> preFiltered;
    std::vector<DefaultCall> defaults;
    Call last;

    bool PreFilter(UINT message, WPARAM, LPARAM, LRESULT* result) override {
        preFiltered.push_back(message);
        if (swallowed != 0 && message == swallowed) {
            *result = 5;
            return true;
        }
        return false;
    }
    LRESULT DefaultProc(bool notHandled, LRESULT result, UINT message, WPARAM wParam, LPARAM lParam) override {
        defaults.push_back({message, notHandled});
        return Window::DefaultProc(notHandled, result, message, wParam, lParam);
    }

    bool Record(const char* handler, uint64_t a = 0, uint64_t b = 0, uint64_t c = 0, uint64_t d = 0) {
        if (!recording)
            return false;
        last = {handler, a, b, c, d};
        return true;
    }

    bool OnMouseMove(WPARAM keys, uint32_t x, uint32_t y) override { return Record("OnMouseMove", keys, x, y); }
    bool OnMouseWheel(uint32_t keys, uint32_t delta, uint32_t x, uint32_t y) override {
        return Record("OnMouseWheel", keys, delta, x, y);
    }
    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override {
        return Record("OnCommand", id, code, static_cast<uint64_t>(control));
    }
    bool OnSize(WPARAM type, uint32_t width, uint32_t height) override { return Record("OnSize", type, width, height); }
    bool OnMove(uint32_t x, uint32_t y) override { return Record("OnMove", x, y); }
    bool OnKeyDown(WPARAM key, LPARAM data) override { return Record("OnKeyDown", key, static_cast<uint64_t>(data)); }
    bool OnChar(WPARAM character, LPARAM data) override {
        return Record("OnChar", character, static_cast<uint64_t>(data));
    }
    bool OnInitMenuPopup(WPARAM menu, uint32_t position, uint32_t systemMenu) override {
        return Record("OnInitMenuPopup", menu, position, systemMenu);
    }
    bool OnContextMenu(WPARAM window, uint32_t x, uint32_t y) override { return Record("OnContextMenu", window, x, y); }
    bool OnHotKey(WPARAM id, uint32_t modifiers, uint32_t key) override {
        return Record("OnHotKey", id, modifiers, key);
    }
    bool OnVScroll(uint32_t code, uint32_t thumb, LPARAM bar) override {
        return Record("OnVScroll", code, thumb, static_cast<uint64_t>(bar));
    }
    bool OnParentNotify(uint32_t event, uint32_t child, LPARAM lParam) override {
        return Record("OnParentNotify", event, child, static_cast<uint64_t>(lParam));
    }
    bool OnActivate(uint32_t state, LPARAM other, uint32_t minimised) override {
        return Record("OnActivate", state, static_cast<uint64_t>(other), minimised);
    }
    bool OnMenuSelect(uint32_t item, uint32_t flags, LPARAM menu) override {
        return Record("OnMenuSelect", item, flags, static_cast<uint64_t>(menu));
    }
    bool OnSysCommand(WPARAM command, uint32_t lo, uint32_t hi) override {
        return Record("OnSysCommand", command, lo, hi);
    }
    bool OnNcLButtonDown(WPARAM hitTest, uint32_t x, uint32_t y) override {
        return Record("OnNcLButtonDown", hitTest, x, y);
    }
    bool OnTimer(WPARAM id) override { return Record("OnTimer", id); }
    bool OnNcHitTest(uint32_t x, uint32_t y, LRESULT* result) override {
        if (!Record("OnNcHitTest", x, y))
            return false;
        *result = HTCAPTION;
        return true;
    }
    bool OnMouseActivate(WPARAM top, uint32_t hitTest, uint32_t mouse, LRESULT* result) override {
        if (!Record("OnMouseActivate", top, hitTest, mouse))
            return false;
        *result = MA_NOACTIVATE;
        return true;
    }
    bool OnNotify(WPARAM id, LPARAM header, LRESULT* result) override {
        if (!Record("OnNotify", id, static_cast<uint64_t>(header)))
            return false;
        *result = 77;
        return true;
    }
    bool OnEraseBkgnd(WPARAM dc, LRESULT* result) override {
        if (!Record("OnEraseBkgnd", dc))
            return false;
        *result = 1;
        return true;
    }
    bool OnGetDlgCode(LPARAM message, LRESULT* result) override {
        if (!Record("OnGetDlgCode", static_cast<uint64_t>(message)))
            return false;
        *result = DLGC_WANTALLKEYS;
        return true;
    }
    bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return Record("OnUserMessage", message, wParam, static_cast<uint64_t>(lParam));
    }
};

struct RouteCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* handler;
    uint64_t a, b, c, d;
    LRESULT result;
};

NMHDR notifyHeader{};
const LPARAM kHeader = reinterpret_cast<LPARAM>(&notifyHeader);

// lo/hi halves arrive zero-extended; a 64-bit lParam contributes only its low 32 bits.
const RouteCase kRouteCases[] = {
    {"MouseMoveAtMinusOne", WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-1, 5), "OnMouseMove", 1, 65535, 5, 0, 0},
    {"MouseMoveSignExtended", WM_MOUSEMOVE, 0, LPARAM{-1}, "OnMouseMove", 0, 65535, 65535, 0, 0},
    {"WheelTowardUser", WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), MAKELPARAM(10, 20),
     "OnMouseWheel", MK_CONTROL, 65416, 10, 20, 0},
    {"MenuCommand", WM_COMMAND, MAKEWPARAM(40001, 1), 0x1234, "OnCommand", 40001, 1, 0x1234, 0, 0},
    {"Size", WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), "OnSize", SIZE_MAXIMIZED, 640, 480, 0, 0},
    {"MoveLeftOfScreen", WM_MOVE, 0, MAKELPARAM(-10, 20), "OnMove", 65526, 20, 0, 0, 0},
    {"KeyDown", WM_KEYDOWN, VK_UP, 0x01480001, "OnKeyDown", VK_UP, 0x01480001, 0, 0, 0},
    {"Char", WM_CHAR, 'a', 1, "OnChar", 'a', 1, 0, 0, 0},
    {"InitMenuPopup", WM_INITMENUPOPUP, 0xABC, MAKELPARAM(3, 1), "OnInitMenuPopup", 0xABC, 3, 1, 0, 0},
    {"ContextMenu", WM_CONTEXTMENU, 0x99, MAKELPARAM(-5, 7), "OnContextMenu", 0x99, 65531, 7, 0, 0},
    {"HotKey", WM_HOTKEY, 9, MAKELPARAM(MOD_CONTROL, 'K'), "OnHotKey", 9, MOD_CONTROL, 'K', 0, 0},
    {"ThumbTrack", WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 300), 0, "OnVScroll", SB_THUMBTRACK, 300, 0, 0, 0},
    {"ParentNotify", WM_PARENTNOTIFY, MAKEWPARAM(WM_LBUTTONDOWN, 2000), MAKELPARAM(4, 6), "OnParentNotify",
     WM_LBUTTONDOWN, 2000, static_cast<uint64_t>(MAKELPARAM(4, 6)), 0, 0},
    {"Activate", WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0x77, "OnActivate", WA_ACTIVE, 0x77, 1, 0, 0},
    {"MenuSelect", WM_MENUSELECT, MAKEWPARAM(40005, MF_POPUP), 0x55, "OnMenuSelect", 40005, MF_POPUP, 0x55, 0, 0},
    {"SysCommand", WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(3, 4), "OnSysCommand", SC_CLOSE, 3, 4, 0, 0},
    {"NcButtonAboveScreen", WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(100, -1), "OnNcLButtonDown", HTCAPTION, 100, 65535,
     0, 0},
    {"Timer", WM_TIMER, 7, 0, "OnTimer", 7, 0, 0, 0, 0},
    {"HitTestResult", WM_NCHITTEST, 0, MAKELPARAM(-2, 3), "OnNcHitTest", 65534, 3, 0, 0, HTCAPTION},
    {"MouseActivateResult", WM_MOUSEACTIVATE, 0x42, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), "OnMouseActivate", 0x42,
     HTCLIENT, WM_LBUTTONDOWN, 0, MA_NOACTIVATE},
    {"NotifyResult", WM_NOTIFY, 2000, kHeader, "OnNotify", 2000, static_cast<uint64_t>(kHeader), 0, 0, 77},
    {"EraseResult", WM_ERASEBKGND, 0x1, 0, "OnEraseBkgnd", 1, 0, 0, 0, 1},
    {"DialogCodeResult", WM_GETDLGCODE, 0, 0, "OnGetDlgCode", 0, 0, 0, 0, DLGC_WANTALLKEYS},
    // Handled, yet the result of a user message stays 0.
    {"UserMessageResultIsZero", WM_USER + 1, 11, 22, "OnUserMessage", WM_USER + 1, 11, 22, 0, 0},
};

class RouterTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RouterTest, MessageReachesItsHandlerUnpacked) {
    const RouteCase& c = GetParam();
    Live<RecordingWindow> window;
    ASSERT_TRUE(CreateTestWindow(window));
    window.recording = true;
    window.defaults.clear();
    const LRESULT result = SendMessageA(window.hwnd, c.message, c.wParam, c.lParam);
    window.recording = false;

    EXPECT_EQ(window.last.handler, c.handler);
    EXPECT_EQ(window.last.a, c.a);
    EXPECT_EQ(window.last.b, c.b);
    EXPECT_EQ(window.last.c, c.c);
    EXPECT_EQ(window.last.d, c.d);
    EXPECT_EQ(result, c.result);
    ASSERT_EQ(window.defaults.size(), 1u);
    EXPECT_FALSE(window.defaults[0].notHandled);
}

INSTANTIATE_TEST_SUITE_P(Messages, RouterTest, ::testing::ValuesIn(kRouteCases),
                         [](const ::testing::TestParamInfo<RouteCase>& info) { return info.param.name; });

TEST(Router, MessagesWithoutHandlerGoToDefaultProcUnhandled) {
    Live<RecordingWindow> window;
    ASSERT_TRUE(CreateTestWindow(window));
    const UINT registered = RegisterWindowMessageA("TessavelRouterTest");
    const UINT unhandled[] = {WM_DEADCHAR, WM_NCXBUTTONDOWN, WM_GETMINMAXINFO, WM_APP, 0xFFFF, registered};
    window.recording = true;
    for (UINT message : unhandled) {
        window.defaults.clear();
        window.last = {};
        MINMAXINFO info{};
        SendMessageA(window.hwnd, message, 0, message == WM_GETMINMAXINFO ? reinterpret_cast<LPARAM>(&info) : 0);
        EXPECT_EQ(window.last.handler, "") << std::hex << message;
        ASSERT_EQ(window.defaults.size(), 1u) << std::hex << message;
        EXPECT_TRUE(window.defaults[0].notHandled) << std::hex << message;
    }
    window.recording = false;
}

TEST(Router, PreFilterAnswerIsReturnedAndKeptFromDefWindowProc) {
    Live<RecordingWindow> window;
    ASSERT_TRUE(CreateTestWindow(window));
    window.swallowed = WM_SETTEXT;
    window.defaults.clear();
    EXPECT_EQ(SendMessageA(window.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")), 5);
    char title[32] = {};
    GetWindowTextA(window.hwnd, title, sizeof(title));
    EXPECT_STREQ(title, "test"); // DefWindowProcA never saw the message
    for (const DefaultCall& call : window.defaults)
        EXPECT_NE(call.message, static_cast<UINT>(WM_SETTEXT));
}

TEST(Router, DestroyIsHandledByDefaultWithResultZero) {
    Live<RecordingWindow> window;
    ASSERT_TRUE(CreateTestWindow(window));
    window.defaults.clear();
    EXPECT_EQ(SendMessageA(window.hwnd, WM_DESTROY, 0, 0), 0);
    ASSERT_EQ(window.defaults.size(), 1u);
    EXPECT_EQ(window.defaults[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(window.defaults[0].notHandled);
}

// Records every message sent to any window of the thread, in order.
std::vector<std::pair<HWND, UINT>> sentMessages;
LRESULT CALLBACK RecordSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        sentMessages.emplace_back(sent->hwnd, sent->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Router, MessagesBeforeNcCreateGoToDefWindowProcNotTheObject) {
    sentMessages.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordSent, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Live<RecordingWindow> window;
    const bool created = CreateTestWindow(window);
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(created);

    // The platform asks an overlapped window for its size limits before
    // WM_NCCREATE; the window was created, so DefWindowProcA answered.
    int minMaxAt = -1, ncCreateAt = -1;
    for (int i = 0; i < static_cast<int>(sentMessages.size()); ++i) {
        if (sentMessages[i].first != window.hwnd)
            continue;
        if (sentMessages[i].second == WM_GETMINMAXINFO && minMaxAt < 0)
            minMaxAt = i;
        if (sentMessages[i].second == WM_NCCREATE && ncCreateAt < 0)
            ncCreateAt = i;
    }
    ASSERT_GE(minMaxAt, 0);
    EXPECT_LT(minMaxAt, ncCreateAt);
    ASSERT_FALSE(window.preFiltered.empty());
    EXPECT_EQ(window.preFiltered.front(), static_cast<UINT>(WM_NCCREATE));
}

TEST(Router, WindowProcedureWithoutObjectUsesDefWindowProc) {
    // A window of the framework's procedure whose slot holds no object.
    HWND plain = CreateWindowExA(0, TestClassName(), "plain", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(SendMessageA(plain, WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 0);
    DestroyWindow(plain);
}

// A handler that throws while `throwing` is set.
class ThrowingWindow : public Window {
public:
    bool throwing = false;
    int commands = 0;
    bool OnCommand(uint32_t, uint32_t, LPARAM) override {
        ++commands;
        if (throwing)
            throw std::bad_alloc();
        return true;
    }
};

// A throw in a handler fails that message alone: it never unwinds through
// the system's code into the sender or the message loop, and the window
// goes on answering.
TEST(Router, AHandlerThatThrowsFailsItsMessageOnly) {
    Live<ThrowingWindow> window;
    ASSERT_TRUE(CreateTestWindow(window));
    for (bool posted : {false, true}) {
        window.throwing = true;
        window.commands = 0;
        LRESULT result = 7;
        bool escaped = false;
        try {
            if (posted) {
                ASSERT_TRUE(PostMessageW(window.hwnd, WM_COMMAND, 1, 0));
                MSG msg;
                while (PeekMessageW(&msg, window.hwnd, 0, 0, PM_REMOVE))
                    DispatchMessageW(&msg);
            } else {
                result = SendMessageW(window.hwnd, WM_COMMAND, 1, 0);
            }
        } catch (...) {
            escaped = true;
        }
        EXPECT_FALSE(escaped) << (posted ? "posted" : "sent");
        EXPECT_EQ(window.commands, 1) << (posted ? "posted" : "sent");
        if (!posted) {
            EXPECT_EQ(result, 0);
        }
        window.throwing = false;
        EXPECT_EQ(SendMessageW(window.hwnd, WM_COMMAND, 1, 0), 0);
        EXPECT_EQ(window.commands, 2) << "the window still answers";
    }
}

TEST(Router, ObjectPointerIsKeptWholeInTheUserDataSlot) {
    Live<RecordingWindow> window;
    ASSERT_TRUE(CreateTestWindow(window));
    EXPECT_EQ(GetWindowLongPtrA(window.hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(static_cast<Window*>(&window)));
}

} // namespace
