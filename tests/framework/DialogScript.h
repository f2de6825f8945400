#pragma once
// Drives a modal dialog step by step from a thread timer, from inside
// whatever modal loop runs at the time (the dialog's own, or a chooser or
// picker it opened). Each step is called on every tick until it returns
// true; then the next one runs. A step that stalls, or a dialog still up
// that long after the last step, is ended with kStalledResult, so a broken
// test fails instead of hanging the run. The one driver of every dialog
// test: ModalDriver below is its one-step form.

#include "framework/Dialog.h"

#include <functional>
#include <string>
#include <vector>

constexpr INT_PTR kStalledResult = -99;

class DialogScript {
public:
    using Step = std::function<bool()>;

    DialogScript(Dialog& dialog, std::vector<Step> steps);
    // For a dialog whose object the test does not hold: window() gives its
    // handle, null while it is not up.
    DialogScript(std::function<HWND()> window, std::vector<Step> steps);
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Every step ran to its end.
    bool Finished() const;
};

// A step that clicks the dialog's button (posted, so the click runs from the
// dialog's loop, as the user's would). A disabled button ignores it.
DialogScript::Step Click(Dialog& dialog, int buttonId);
// A step that posts message to the dialog.
DialogScript::Step Post(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam);
// A step that lets count ticks go by, so posted messages are served.
DialogScript::Step Ticks(int count);
// A step that runs action once.
DialogScript::Step Do(std::function<void()> action);

// Another visible dialog of this thread than the given one (a chooser, a
// picker), or null.
HWND FindOtherDialog(HWND besides);

// The text of a dialog item.
std::string ItemText(HWND dialog, int itemId);

// While alive, waits for a dialog of this thread (a modal dialog or message
// box started after it) and runs action once with its handle, from inside
// the dialog's modal loop.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(HWND)> action);
    bool Ran() const { return script.Finished(); }

private:
    DialogScript script;
};
