// Modal dialogs from the program's own templates: binding at WM_INITDIALOG,
// the answer to the dialog manager, the item operations, the combo boxes
// filled from the string table, the About dialog and the message boxes.
#include "DialogScript.h"
#include "TestWindows.h"

#include "framework/AboutDialog.h"
#include "framework/AppShell.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/MessageBoxes.h"
#include "base/Str.h"
#include "res/ResourceIds.h"

#include "TessavelVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kProbe = WM_USER + 5; // posted by OnInitDialog: the dialog is up and running

// Runs the real Option dialog template; what it does is set per test.
class OptionProbe : public Dialog {
public:
    LRESULT initResult = 0;
    HWND focus = nullptr;
    HWND okButton = nullptr;
    HWND colourButton = nullptr;
    ComboBox bindings[5];
    std::vector<std::string> items;
    int added = 0;
    int selection[3] = {};

    bool OnInitDialog(LRESULT* result) override {
        *result = initResult;
        for (int i = 0; i < 5; ++i) {
            bindings[i].AttachItem(hwnd, IDC_OPTION_MOUSE_RIGHT + i);
            added += bindings[i].FillFromResource(IDS_MOUSE_ACTIONS, ';');
        }
        PostMessageA(hwnd, kProbe, 0, 0);
        return true;
    }

    bool OnUserMessage(UINT message, WPARAM, LPARAM) override {
        if (message != kProbe)
            return false;
        focus = GetFocus();
        okButton = GetDlgItem(hwnd, IDOK);
        colourButton = GetDlgItem(hwnd, IDC_OPTION_COLOR);
        ComboBox& wheelDown = bindings[3];
        const int count = static_cast<int>(wheelDown.Send(CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            SendMessageA(wheelDown.hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        wheelDown.SetCurSel(7);
        selection[0] = wheelDown.GetCurSel();
        wheelDown.SetCurSel(-1);
        selection[1] = wheelDown.GetCurSel();
        wheelDown.SetCurSel(8); // beyond the last entry: no selection
        selection[2] = wheelDown.GetCurSel();
        EndDialog(2);
        return true;
    }
};

TEST(Dialog, InitDialogResultOneGivesTheFocusToTheFirstField) {
    AppShell::Init(true);
    OptionProbe probe;
    probe.initResult = 1;
    ASSERT_EQ(probe.RunModal(IDD_OPTION, nullptr), 2);
    ASSERT_NE(probe.colourButton, nullptr);
    EXPECT_EQ(probe.focus, probe.colourButton); // the first tab stop, not OK
    EXPECT_EQ(probe.hwnd, nullptr);             // EndDialog let go of the window
}

TEST(Dialog, InitDialogResultZeroLeavesTheFocusAlone) {
    OptionProbe probe;
    probe.initResult = 0;
    ASSERT_EQ(probe.RunModal(IDD_OPTION, nullptr), 2);
    EXPECT_NE(probe.focus, probe.colourButton);
}

TEST(Dialog, MouseBindingBoxesHoldTheEightActionLabels) {
    OptionProbe probe;
    ASSERT_EQ(probe.RunModal(IDD_OPTION, nullptr), 2);
    EXPECT_EQ(probe.added, 5 * 8);
    const std::vector<std::string> expected = {
        "None",          "Switch Maximize/Minimize", "Previous file", "Next file", "Scaling up", "Scaling down",
        "100% fit size", "Open in Velmora"};
    EXPECT_EQ(probe.items, expected);
    EXPECT_EQ(probe.selection[0], 7); // the default double-click action now has its entry
    EXPECT_EQ(probe.selection[1], -1);
    EXPECT_EQ(probe.selection[2], -1);
}

// The item operations on the Conversion dialog's controls.
class ConversionProbe : public Dialog {
public:
    std::string shortRead, longRead;
    UINT checkedAfterCheck = 0, checkedAfterClear = 0;
    bool enabledAfterDisable = true;

    bool OnInitDialog(LRESULT* result) override {
        *result = 1;
        PostMessageA(hwnd, kProbe, 0, 0);
        return true;
    }
    bool OnUserMessage(UINT message, WPARAM, LPARAM) override {
        if (message != kProbe)
            return false;
        const std::string text(100, 'x');
        SetItemText(IDC_CONVERSION_FOLDER, text.c_str());
        Str small; // capacity 63: the read is cut, never overrun
        GetItemText(IDC_CONVERSION_FOLDER, small);
        shortRead = small.Text();
        Str large(511);
        GetItemText(IDC_CONVERSION_FOLDER, large);
        longRead = large.Text();
        CheckItem(IDC_CONVERSION_OVERWRITE, BST_CHECKED);
        checkedAfterCheck = IsItemChecked(IDC_CONVERSION_OVERWRITE);
        CheckItem(IDC_CONVERSION_OVERWRITE, BST_UNCHECKED);
        checkedAfterClear = IsItemChecked(IDC_CONVERSION_OVERWRITE);
        EnableItem(IDC_CONVERSION_START, false);
        enabledAfterDisable = IsWindowEnabled(GetDlgItem(hwnd, IDC_CONVERSION_START));
        EndDialog(3);
        return true;
    }
};

TEST(Dialog, ItemOperationsReachTheTemplateControls) {
    ConversionProbe probe;
    ASSERT_EQ(probe.RunModal(IDD_CONVERSION, nullptr), 3);
    EXPECT_EQ(probe.shortRead, std::string(63, 'x'));
    EXPECT_EQ(probe.longRead, std::string(100, 'x'));
    EXPECT_EQ(probe.checkedAfterCheck, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(probe.checkedAfterClear, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(probe.enabledAfterDisable);
}

// A dialog's answer to the dialog manager, asked of the router directly.
class AnsweringDialog : public Dialog {
public:
    bool OnInitDialog(LRESULT* result) override {
        *result = 0;
        return true;
    }
    bool OnCommand(uint32_t id, uint32_t, LPARAM) override { return id == 7; }
    bool OnNcHitTest(uint32_t, uint32_t, LRESULT* result) override {
        *result = HTCAPTION;
        return true;
    }
};

TEST(Dialog, DialogProcedureAnswersOneWhenHandledAndZeroWhenNot) {
    AnsweringDialog dialog;
    EXPECT_EQ(dialog.WindowProc(WM_COMMAND, 7, 0), 1);
    EXPECT_EQ(dialog.WindowProc(WM_COMMAND, 8, 0), 0);
    EXPECT_EQ(dialog.WindowProc(WM_NCHITTEST, 0, 0), 1);  // the handled flag, not the handler's result
    EXPECT_EQ(dialog.WindowProc(WM_INITDIALOG, 0, 0), 0); // OnInitDialog's result
    EXPECT_EQ(dialog.WindowProc(WM_APP + 3, 0, 0), 0);
}

// A handler's result as the sender of the message receives it from a real
// dialog, where the dialog manager takes it from DWLP_MSGRESULT.
class ResultProbe : public Dialog {
public:
    LRESULT hitTest = 0;

    bool OnInitDialog(LRESULT* result) override {
        *result = 0;
        hitTest = SendMessageA(hwnd, WM_NCHITTEST, 0, 0);
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
        return true;
    }
    bool OnCommand(uint32_t id, uint32_t, LPARAM) override {
        EndDialog(id);
        return true;
    }
    bool OnNcHitTest(uint32_t, uint32_t, LRESULT* result) override {
        *result = HTCAPTION;
        return true;
    }
};

TEST(Dialog, HandledResultsReachTheSender) {
    ResultProbe probe;
    ASSERT_EQ(probe.RunModal(IDD_ABOUT, nullptr), IDOK);
    EXPECT_EQ(probe.hitTest, HTCAPTION);
}

struct AboutCase {
    const char* name;
    void (*close)(HWND dialog);
};

const AboutCase kAboutCases[] = {
    {"Escape", [](HWND d) { PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0); }},
    {"OkButton", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }},
    {"CloseBox", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
};

class AboutClosing : public ::testing::TestWithParam<AboutCase> {};

TEST_P(AboutClosing, EndsWithResultOne) {
    AboutDialog about(IDD_ABOUT);
    std::string text;
    ModalDriver driver([&](HWND dialog) {
        char buffer[64] = {};
        // The version text is the only static text with words in it.
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            GetWindowTextA(child, buffer, sizeof(buffer));
            if (std::string(buffer).find("ver") != std::string::npos)
                text = buffer;
        }
        GetParam().close(dialog);
    });
    EXPECT_EQ(about.Run(nullptr), 1);
    EXPECT_TRUE(driver.Ran());
    EXPECT_EQ(text, TESSAVEL_ABOUT_TEXT);
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutClosing, ::testing::ValuesIn(kAboutCases),
                         [](const ::testing::TestParamInfo<AboutCase>& info) { return info.param.name; });

TEST(MessageBoxes, WarningHasNoOwnerNoCaptionAndIsTaskModalTopmost) {
    MessageBoxSpy spy(IDRETRY);
    EXPECT_EQ(ShowWarning("careful"), IDRETRY);
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].owner, nullptr);
    EXPECT_EQ(spy.Calls()[0].text, "careful");
    EXPECT_FALSE(spy.Calls()[0].hasCaption);
    EXPECT_EQ(spy.Calls()[0].type, 0x42030u); // MB_ICONEXCLAMATION | MB_TASKMODAL | MB_TOPMOST
    ShowMessage("done", "caption", MB_ICONINFORMATION);
    ASSERT_EQ(spy.Calls().size(), 2u);
    EXPECT_EQ(spy.Calls()[1].caption, "caption");
    EXPECT_EQ(spy.Calls()[1].type, 0x42040u);
}

TEST(MessageBoxes, WarningBlocksEveryWindowOfTheThreadWhileOpen) {
    Live<Window> other;
    ASSERT_TRUE(CreateTestWindow(other));
    ShowWindow(other.hwnd, SW_SHOWNOACTIVATE);
    bool otherEnabled = true;
    std::string text;
    ModalDriver driver([&](HWND box) {
        otherEnabled = IsWindowEnabled(other.hwnd) != 0;
        char buffer[64] = {};
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof(buffer)); // the message text control
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(ShowWarning("a warning"), IDOK);
    EXPECT_TRUE(driver.Ran());
    EXPECT_FALSE(otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(other.hwnd)); // given back when the box closes
    EXPECT_EQ(text, "a warning");
}

TEST(MessageBoxes, MessageCarriesItsCaptionAndReturnsTheButton) {
    std::string caption;
    ModalDriver driver([&](HWND box) {
        char buffer[64] = {};
        GetWindowTextA(box, buffer, sizeof(buffer));
        caption = buffer;
        PostMessageA(box, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(ShowMessage("question", "caption", MB_YESNO | MB_ICONINFORMATION), IDNO);
    EXPECT_EQ(caption, "caption");
}

} // namespace
