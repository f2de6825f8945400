#include "tests/app/ViewerDialogs.h"

#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"

#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "tests/support/WaitUntil.h"
#include "tests/framework/CommonDialogIds.h"

#include <cstdio>

namespace viewer {

HWND OpenDialog(Session& session, int command, const char* title) {
    if (!session.Post(command))
        return nullptr;
    HWND found = nullptr;
    waits::WaitUntil([&] {
        for (HWND dialog : e2e::TopWindows(session.process.Pid(), "#32770"))
            if (e2e::WindowText(dialog) == title)
                found = dialog;
        return found != nullptr;
    });
    return found;
}

HWND WaitOtherDialog(Session& session, HWND besides, DWORD timeoutMs) {
    HWND found = nullptr;
    waits::WaitUntil(
        [&] {
            for (HWND dialog : e2e::TopWindows(session.process.Pid(), "#32770"))
                if (dialog != besides)
                    found = dialog;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
    return waits::WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

bool ClickItem(HWND dialog, int itemId) {
    // A click may end the dialog: wait on its owner, of the same thread.
    HWND owner = GetWindow(dialog, GW_OWNER);
    return PostMessageA(GetDlgItem(dialog, itemId), BM_CLICK, 0, 0) && e2e::Sync(owner != nullptr ? owner : dialog);
}

bool PickColourWithSwatch(Session& session, HWND option, COLORREF colour) {
    if (!ClickItem(option, IDC_OPTION_COLOR))
        return false;
    HWND chooser = WaitOtherDialog(session, option);
    if (chooser == nullptr)
        return false;
    SetDlgItemTextA(chooser, kChooserRedBox, std::to_string(GetRValue(colour)).c_str());
    SetDlgItemTextA(chooser, kChooserGreenBox, std::to_string(GetGValue(colour)).c_str());
    SetDlgItemTextA(chooser, kChooserBlueBox, std::to_string(GetBValue(colour)).c_str());
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    return WaitGone(chooser) && e2e::Sync(option);
}

std::string ConversionCaption(HWND conversion) {
    return e2e::WindowText(GetDlgItem(conversion, IDC_CONVERSION_PROGRESS));
}

bool Convert(HWND conversion, DWORD timeoutMs) {
    // The window text of the bar is its caption; a marker put there first
    // tells this run's final caption from the last run's.
    HWND bar = GetDlgItem(conversion, IDC_CONVERSION_PROGRESS);
    HWND start = GetDlgItem(conversion, IDC_CONVERSION_START);
    SetWindowTextA(bar, "-");
    if (!ClickItem(conversion, IDC_CONVERSION_START))
        return false;
    // The click has been handled: "Convert" stays greyed until the run ends,
    // whatever language the final caption is in.
    return waits::WaitUntil([&] { return e2e::WindowText(bar) != "-" && IsWindowEnabled(start); }, timeoutMs) &&
           e2e::Sync(conversion);
}

std::string DoneCaption(int written, int total) {
    char text[96];
    std::snprintf(text, sizeof text, JapaneseInterface() ? msg::kConversionDone : msg::en::kConversionDone, written,
                  total);
    return text;
}

} // namespace viewer
