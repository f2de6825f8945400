// The harness hook DLL. Wine refuses some questions across processes (the
// scroll bar state of a window, GetScrollInfo, fails for a window of another
// process), so the harness has the program's own thread answer them: this DLL
// is loaded into the program as a WH_GETMESSAGE hook of its interface thread
// and answers the queries of HookProtocol.h when the thread takes them from
// its queue. Answering from the queue also tells the test that everything
// posted before the query has been handled.

#include "tests/e2e/HookMeasure.h"
#include "tests/e2e/HookProtocol.h"

#include <objbase.h>

namespace {

// Tells hwnd that each menu of its bar, and each submenu, opens.
void InitMenus(HWND hwnd, HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU popup = GetSubMenu(menu, i)) {
            SendMessageA(hwnd, WM_INITMENUPOPUP, WPARAM(popup), MAKELPARAM(i, FALSE));
            InitMenus(hwnd, popup);
        }
    }
}

// Key presses the thread took since the last input marker, counted as the
// thread takes them: the test checks that what it sent arrived whole.
struct KeysTaken {
    UINT presses = 0;
    UINT lastKey = 0;
    UINT lastModifiers = 0;
};
KeysTaken keysTaken;

// The modifiers the thread's key state holds now, as Input.h numbers them.
UINT HeldModifiers() {
    return (GetKeyState(VK_CONTROL) < 0 ? 1u : 0u) | (GetKeyState(VK_SHIFT) < 0 ? 2u : 0u) |
           (GetKeyState(VK_MENU) < 0 ? 4u : 0u);
}

void Answer(hookproto::Query query, HWND hwnd, DWORD pid, LONG sequence) {
    char name[64];
    hookproto::ReplyName(name, sizeof name, pid);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (mapping == nullptr)
        return;
    auto* reply =
        static_cast<hookproto::Reply*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(hookproto::Reply)));
    if (reply != nullptr) {
        hookproto::Reply answer{};
        answer.sequence = sequence;
        answer.ok = 1;
        if (query == hookproto::kScrollHorz || query == hookproto::kScrollVert) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_ALL;
            answer.ok = GetScrollInfo(hwnd, query == hookproto::kScrollHorz ? SB_HORZ : SB_VERT, &info) ? 1 : 0;
            answer.minimum = info.nMin;
            answer.maximum = info.nMax;
            answer.page = INT(info.nPage);
            answer.position = info.nPos;
            answer.trackPosition = info.nTrackPos;
        } else if (query == hookproto::kThreadState) {
            GUITHREADINFO state{};
            state.cbSize = sizeof state;
            answer.ok = GetGUIThreadInfo(GetCurrentThreadId(), &state) ? 1 : 0;
            answer.focus = UINT64(UINT_PTR(state.hwndFocus));
            answer.capture = UINT64(UINT_PTR(state.hwndCapture));
            answer.active = UINT64(UINT_PTR(state.hwndActive));
        } else if (query == hookproto::kInputMarker) {
            answer.heldModifiers = HeldModifiers();
            answer.keyPresses = keysTaken.presses;
            answer.lastKey = keysTaken.lastKey;
            answer.lastKeyModifiers = keysTaken.lastModifiers;
            keysTaken = KeysTaken{};
        } else if (query == hookproto::kCursor) {
            answer.ok = GetCursorPos(&answer.cursor) ? 1 : 0;
        } else if (query == hookproto::kMenuItem) {
            HMENU bar = GetMenu(hwnd);
            if (bar != nullptr)
                InitMenus(hwnd, bar);
            const UINT id = reply->requestId; // the request is in the block until the answer replaces it
            const UINT state = bar != nullptr ? GetMenuState(bar, id, MF_BYCOMMAND) : UINT(-1);
            answer.ok = state != UINT(-1) ? 1 : 0;
            answer.position = INT(state);
            if (answer.ok)
                GetMenuStringA(bar, id, answer.text, sizeof answer.text, MF_BYCOMMAND);
        } else if (query == hookproto::kComApartment) {
            // S_FALSE: this thread had started COM as an apartment already.
            const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            answer.ok = result == S_FALSE ? 1 : 0;
            if (SUCCEEDED(result))
                CoUninitialize();
        } else if (query == hookproto::kDpiState) {
            MeasureDpiState(hwnd, answer);
        } else if (query == hookproto::kTextFit) {
            MeasureTextFit(hwnd, answer);
        } else if (query == hookproto::kMoveCursor) {
            // The request is in the block until the answer replaces it.
            INPUT move{};
            move.type = INPUT_MOUSE;
            move.mi.dx = reply->requestMove.x;
            move.mi.dy = reply->requestMove.y;
            move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            move.mi.dwExtraInfo = ULONG_PTR((hookproto::kMarkerTag << 32) | pid);
            answer.ok = SendInput(1, &move, sizeof move) == 1 ? 1 : 0;
        } else if (query == hookproto::kDpiChanged) {
            // The request is in the block until the answer replaces it.
            const hookproto::Reply request = *reply;
            SendDpiChanged(hwnd, request);
        } else if (query == hookproto::kTextSize) {
            const hookproto::Reply request = *reply;
            answer.ok = 0;
            ChangeTextSize(hwnd, request, answer);
        }
        *reply = answer;
        UnmapViewOfFile(reply);
    }
    CloseHandle(mapping);
    hookproto::DoneName(name, sizeof name, pid);
    if (HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(done);
        CloseHandle(done);
    }
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK HarnessGetMessage(int code, WPARAM removal, LPARAM lParam) {
    static const UINT queryMessage = RegisterWindowMessageA(hookproto::kQueryMessage);
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE) {
        if (message->message == queryMessage) {
            Answer(hookproto::Query(message->wParam), message->hwnd, DWORD(UINT64(message->lParam) & 0xFFFFFFFFu),
                   LONG(UINT64(message->lParam) >> 32));
            message->message = WM_NULL;
        } else if ((message->message == WM_KEYUP || message->message == WM_SYSKEYUP) &&
                   message->wParam == hookproto::kMarkerKey) {
            // A system key-up while Alt is held.
            const UINT64 extra = UINT64(GetMessageExtraInfo());
            if ((extra >> 32) == hookproto::kMarkerTag) {
                Answer(hookproto::kInputMarker, message->hwnd, DWORD(extra & 0xFFFFFFFFu), 0);
                message->message = WM_NULL;
            }
        } else if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) {
            // Only the test's own events, tagged as the marker is: the system
            // posts keys of its own (a menu opened by Alt and a letter posts
            // itself Enter). The modifiers are no press of their own.
            const WPARAM key = message->wParam;
            if ((UINT64(GetMessageExtraInfo()) >> 32) == hookproto::kMarkerTag && key != VK_CONTROL &&
                key != VK_SHIFT && key != VK_MENU) {
                ++keysTaken.presses;
                keysTaken.lastKey = UINT(key);
                keysTaken.lastModifiers = HeldModifiers();
            }
        }
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}
