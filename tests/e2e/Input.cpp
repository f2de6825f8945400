#include "tests/e2e/Input.h"

#include "tests/e2e/HookProtocol.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/support/WaitUntil.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace e2e {

namespace {

constexpr struct {
    unsigned modifier;
    BYTE vk;
    BYTE left; // the left-hand key, which GetKeyState also reports
} kModifierKeys[] = {
    {kCtrl, VK_CONTROL, VK_LCONTROL},
    {kShift, VK_SHIFT, VK_LSHIFT},
    {kAlt, VK_MENU, VK_LMENU},
};

bool IsExtendedKey(UINT vk) {
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
        return true;
    }
    return false;
}

LPARAM KeyLParam(UINT vk, bool up, bool alt) {
    UINT64 value = 1 | (UINT64(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16);
    if (IsExtendedKey(vk))
        value |= 1u << 24;
    if (alt)
        value |= 1u << 29;
    if (up)
        value |= (1u << 30) | (1u << 31);
    return LPARAM(value);
}

WPARAM MouseKeys(unsigned modifiers, WPARAM buttons) {
    if (modifiers & kCtrl)
        buttons |= MK_CONTROL;
    if (modifiers & kShift)
        buttons |= MK_SHIFT;
    return buttons;
}

struct ButtonMessages {
    UINT down, up, doubleClick;
    WPARAM key;
    DWORD inputDown, inputUp;
};

ButtonMessages MessagesOf(Button button) {
    switch (button) {
    case Button::kRight:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP};
    case Button::kMiddle:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP,           WM_MBUTTONDBLCLK,
                MK_MBUTTON,     MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP};
    case Button::kLeft:
        break;
    }
    return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
}

POINT ToScreen(HWND hwnd, int x, int y) {
    POINT point{x, y};
    ClientToScreen(hwnd, &point);
    return point;
}

// A screen point in the 0..65535 units of an absolute move over the primary
// screen: relative moves would go through the pointer's acceleration.
POINT AbsoluteOf(POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // Rounded up: the system takes the units back to pixels rounding down.
    return {LONG((screen.x * 65536 + width - 1) / width), LONG((screen.y * 65536 + height - 1) / height)};
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = WORD(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    input.ki.dwExtraInfo = ULONG_PTR((hookproto::kMarkerTag << 32) | GetCurrentProcessId());
    return input;
}

INPUT MouseInput(DWORD flags, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    return input;
}

std::vector<INPUT> ModifierInputs(unsigned modifiers, bool up) {
    std::vector<INPUT> inputs;
    for (const auto& key : kModifierKeys)
        if (modifiers & key.modifier)
            inputs.push_back(KeyInput(key.vk, up));
    return inputs;
}

void Report(const char* what, UINT key, unsigned modifiers, const std::optional<InputSeen>& seen) {
    if (seen)
        std::fprintf(stderr,
                     "input: %s (key 0x%X with modifiers %u sent; the program took %u presses, the last 0x%X with "
                     "modifiers %u, and holds %u)\n",
                     what, key, modifiers, seen->keyPresses, seen->lastKey, seen->lastKeyModifiers,
                     seen->heldModifiers);
    else
        std::fprintf(stderr, "input: %s (key 0x%X with modifiers %u): the program's thread took no marker\n", what, key,
                     modifiers);
}

// Presses the modifiers and waits until the thread of target holds them.
// Wine's X11 driver sets its key state to the X server's whenever a window
// of the program gets a pointer-entry or focus event (a window shown under
// the pointer, the pointer moved), and the X server knows nothing of keys
// sent with SendInput: a modifier pressed just before such a late event is
// let go again. Pressed again until the program's own state shows it held.
bool HoldModifiers(HWND target, unsigned modifiers) {
    std::optional<InputSeen> seen;
    const bool held = waits::WaitUntil([&] {
        seen = InputThrough(target, ModifierInputs(modifiers, false));
        return seen && (seen->heldModifiers & modifiers) == modifiers;
    });
    if (!held)
        Report("the modifiers are not held", 0, modifiers, seen);
    return held;
}

// Sends the events with the modifiers held around them and waits until the
// thread of target has taken them. With key, also checks that the program
// took that key as its last press with exactly those modifiers: a key that
// arrived without its modifiers did something else there.
bool SendAll(HWND target, unsigned modifiers, const std::vector<INPUT>& events, UINT key = 0) {
    if (modifiers != kNoModifier && !HoldModifiers(target, modifiers))
        return false;
    std::vector<INPUT> all = events;
    const std::vector<INPUT> release = ModifierInputs(modifiers, true);
    all.insert(all.end(), release.begin(), release.end());
    const std::optional<InputSeen> seen = InputThrough(target, all);
    if (!seen) {
        Report("the input did not arrive", key, modifiers, seen);
        return false;
    }
    if (key != 0 && (seen->keyPresses == 0 || seen->lastKey != key || seen->lastKeyModifiers != modifiers)) {
        Report("the key did not arrive as sent", key, modifiers, seen);
        return false;
    }
    return true;
}

} // namespace

HeldKeys::HeldKeys(HWND target, unsigned modifiers) {
    // Nothing to hold: the program's key state stays as its input left it.
    if (modifiers == kNoModifier)
        return;
    active = true;
    other = GetWindowThreadProcessId(target, nullptr);
    attached = other != 0 && other != GetCurrentThreadId() && AttachThreadInput(GetCurrentThreadId(), other, TRUE);
    GetKeyboardState(saved);
    BYTE state[256];
    CopyMemory(state, saved, sizeof state);
    for (const auto& key : kModifierKeys)
        if (modifiers & key.modifier)
            state[key.vk] = state[key.left] = 0x80;
    SetKeyboardState(state);
}

HeldKeys::~HeldKeys() {
    if (!active)
        return;
    SetKeyboardState(saved);
    if (attached)
        AttachThreadInput(GetCurrentThreadId(), other, FALSE);
}

bool PressKey(HWND target, UINT vk, unsigned modifiers) {
    HeldKeys held(target, modifiers);
    // With Alt held the system sends the "system" key messages.
    const bool alt = (modifiers & kAlt) != 0;
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyLParam(vk, false, alt));
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyLParam(vk, true, alt));
    return Sync(target);
}

namespace {

// A press and release; for a double click the system then gives the second
// press as the double-click message.
bool PostPresses(HWND target, int x, int y, Button button, unsigned modifiers, bool doubleClick) {
    const ButtonMessages messages = MessagesOf(button);
    HeldKeys held(target, modifiers);
    const LPARAM point = MAKELPARAM(x, y);
    PostMessageW(target, messages.down, MouseKeys(modifiers, messages.key), point);
    PostMessageW(target, messages.up, MouseKeys(modifiers, 0), point);
    if (doubleClick) {
        PostMessageW(target, messages.doubleClick, MouseKeys(modifiers, messages.key), point);
        PostMessageW(target, messages.up, MouseKeys(modifiers, 0), point);
    }
    return Sync(target);
}

} // namespace

bool PostClick(HWND target, int x, int y, Button button, unsigned modifiers) {
    return PostPresses(target, x, y, button, modifiers, false);
}

bool PostDoubleClick(HWND target, int x, int y, Button button, unsigned modifiers) {
    return PostPresses(target, x, y, button, modifiers, true);
}

bool PostWheel(HWND target, int delta, int x, int y, unsigned modifiers) {
    HeldKeys held(target, modifiers);
    // The wheel message carries screen coordinates, unlike the button messages.
    const POINT screen = ToScreen(target, x, y);
    PostMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(modifiers, 0), WORD(short(delta))),
                 MAKELPARAM(screen.x, screen.y));
    return Sync(target);
}

bool MoveCursor(HWND hwnd, int x, int y) {
    return MoveCursorFromProgram(hwnd, AbsoluteOf(ToScreen(hwnd, x, y)));
}

namespace {

// Moves the pointer and waits until the thread of target sees it there: a
// drag that reads the pointer's position (GetCursorPos) must not meet a late
// pointer event of an earlier move (Wine's X11 driver) that puts it back. A
// point off the screen is awaited where the system stops the pointer, at
// the screen's edge.
bool PlaceCursor(HWND target, int x, int y) {
    POINT screen = ToScreen(target, x, y);
    screen.x = std::clamp<LONG>(screen.x, 0, GetSystemMetrics(SM_CXSCREEN) - 1);
    screen.y = std::clamp<LONG>(screen.y, 0, GetSystemMetrics(SM_CYSCREEN) - 1);
    if (!MoveCursor(target, x, y))
        return false;
    return waits::WaitUntil([&] {
        const std::optional<POINT> seen = ReadCursor(target);
        return seen && seen->x == screen.x && seen->y == screen.y;
    });
}

} // namespace

bool PostDrag(HWND target, POINT from, POINT to, int steps) {
    if (steps < 1)
        steps = 1;
    if (!PlaceCursor(target, from.x, from.y))
        return false;
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    if (!Sync(target))
        return false;
    for (int i = 1; i <= steps; ++i) {
        const int x = from.x + (to.x - from.x) * i / steps;
        const int y = from.y + (to.y - from.y) * i / steps;
        if (!PlaceCursor(target, x, y))
            return false;
        PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        if (!Sync(target))
            return false;
    }
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    return Sync(target);
}

bool BringToFront(HWND top) {
    const bool front = waits::WaitUntil([top] {
        SetForegroundWindow(top);
        return GetForegroundWindow() == top;
    });
    // In front by the system's word; the keyboard's road to the program is
    // checked with the marker too.
    return front && SyncInput(top);
}

bool SendKey(HWND target, UINT vk, unsigned modifiers) {
    return SendAll(target, modifiers, {KeyInput(WORD(vk), false), KeyInput(WORD(vk), true)}, vk);
}

bool SendClick(HWND target, int x, int y, Button button, int clicks, unsigned modifiers) {
    const ButtonMessages messages = MessagesOf(button);
    if (!MoveCursor(target, x, y))
        return false;
    std::vector<INPUT> events;
    for (int i = 0; i < clicks; ++i) {
        events.push_back(MouseInput(messages.inputDown));
        events.push_back(MouseInput(messages.inputUp));
    }
    return SendAll(target, modifiers, events);
}

bool SendDrag(HWND target, POINT from, POINT to, int steps) {
    if (steps < 1)
        steps = 1;
    // The program's thread makes each move itself (MoveCursor), and the
    // marker after it makes sure the thread took it before the next event:
    // the press cannot overtake the move to the start, and no move can
    // overtake the one before it.
    const auto moveTo = [&](int x, int y) { return MoveCursor(target, x, y) && SendAll(target, kNoModifier, {}); };
    if (!moveTo(from.x, from.y) || !SendAll(target, kNoModifier, {MouseInput(MOUSEEVENTF_LEFTDOWN)}))
        return false;
    for (int i = 1; i <= steps; ++i)
        if (!moveTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps))
            return false;
    return SendAll(target, kNoModifier, {MouseInput(MOUSEEVENTF_LEFTUP)});
}

bool SendWheel(HWND target, int x, int y, int delta) {
    if (!MoveCursor(target, x, y))
        return false;
    return SendAll(target, kNoModifier, {MouseInput(MOUSEEVENTF_WHEEL, DWORD(delta))});
}

} // namespace e2e
