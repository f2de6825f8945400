#include "DialogScript.h"

#include "base/Wide.h"

#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr UINT kTickMilliseconds = 15;
constexpr DWORD kStallMilliseconds = 20000;

std::function<HWND()> scriptWindow;
std::vector<DialogScript::Step> pendingSteps;
size_t nextStep = 0;
DWORD stepStarted = 0;
UINT_PTR timer = 0;
bool inTick = false;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    // A step that opens a modal loop of its own gets ticks from inside it;
    // they wait until the step returns.
    if (inTick || !scriptWindow)
        return;
    HWND dialog = scriptWindow();
    if (GetTickCount() - stepStarted > kStallMilliseconds) {
        if (dialog != nullptr)
            ::EndDialog(dialog, kStalledResult);
        if (nextStep < pendingSteps.size())
            nextStep = pendingSteps.size() + 1; // never finished
        stepStarted = GetTickCount();
        return;
    }
    if (dialog == nullptr || nextStep >= pendingSteps.size())
        return; // not up yet, or every step ran
    inTick = true;
    const bool done = pendingSteps[nextStep]();
    inTick = false;
    if (done) {
        ++nextStep;
        stepStarted = GetTickCount();
    }
}

BOOL CALLBACK FindDialog(HWND window, LPARAM state) {
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(state);
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    if (window != found->first && std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
        found->second = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

DialogScript::DialogScript(Dialog& dialog, std::vector<Step> steps)
    : DialogScript([&dialog] { return dialog.hwnd; }, std::move(steps)) {}

DialogScript::DialogScript(std::function<HWND()> window, std::vector<Step> steps) {
    scriptWindow = std::move(window);
    pendingSteps = std::move(steps);
    nextStep = 0;
    stepStarted = GetTickCount();
    timer = SetTimer(nullptr, 0, kTickMilliseconds, Tick);
}

DialogScript::~DialogScript() {
    KillTimer(nullptr, timer);
    timer = 0;
    scriptWindow = nullptr;
    pendingSteps.clear();
}

bool DialogScript::Finished() const {
    return nextStep == pendingSteps.size();
}

DialogScript::Step Click(Dialog& dialog, int buttonId) {
    return [&dialog, buttonId] {
        PostMessageA(GetDlgItem(dialog.hwnd, buttonId), BM_CLICK, 0, 0);
        return true;
    };
}

DialogScript::Step Post(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return [&dialog, message, wParam, lParam] {
        PostMessageA(dialog.hwnd, message, wParam, lParam);
        return true;
    };
}

DialogScript::Step Ticks(int count) {
    auto left = std::make_shared<int>(count);
    return [left] { return --*left <= 0; };
}

DialogScript::Step Do(std::function<void()> action) {
    return [action] {
        action();
        return true;
    };
}

HWND FindOtherDialog(HWND besides) {
    std::pair<HWND, HWND> state(besides, nullptr);
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&state));
    return state.second;
}

std::string ItemText(HWND dialog, int itemId) {
    // UTF-8, as the program keeps its texts.
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, itemId, text, 1024);
    return Narrow(text);
}

ModalDriver::ModalDriver(std::function<void(HWND)> action)
    : script([] { return FindOtherDialog(nullptr); }, {[action] {
                 action(FindOtherDialog(nullptr));
                 return true;
             }}) {}
