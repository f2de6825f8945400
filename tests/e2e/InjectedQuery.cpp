#include "tests/e2e/InjectedQuery.h"

#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/HookProtocol.h"

#include <cstring>
#include <functional>

namespace e2e {

namespace {

// The shared reply block and its event, made once per test process.
class Channel {
public:
    Channel() {
        const DWORD pid = GetCurrentProcessId();
        char name[64];
        hookproto::ReplyName(name, sizeof name, pid);
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(hookproto::Reply), name);
        if (mapping)
            reply = static_cast<volatile hookproto::Reply*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        hookproto::DoneName(name, sizeof name, pid);
        done = CreateEventA(nullptr, FALSE, FALSE, name);
        module = LoadLibraryA(HookDll().c_str());
        if (module)
            // Through void*: a FARPROC has no parameters, the hook procedure has three.
            proc =
                reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, hookproto::kHookProcName)));
    }

    bool Ready() const { return reply && done && proc; }

    // Installs the hook on hwnd's thread, lets send() start the question and
    // waits for the answer carrying sequence.
    std::optional<hookproto::Reply> Ask(HWND hwnd, LONG sequence, DWORD timeoutMs, const std::function<bool()>& send) {
        if (!Ready())
            return std::nullopt;
        const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
        if (thread == 0)
            return std::nullopt;
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, proc, module, thread);
        if (hook == nullptr)
            return std::nullopt;
        reply->sequence = -1;
        ResetEvent(done);
        std::optional<hookproto::Reply> answer;
        if (send()) {
            const DWORD start = GetTickCount();
            for (;;) {
                const DWORD elapsed = GetTickCount() - start;
                if (elapsed >= timeoutMs || WaitForSingleObject(done, timeoutMs - elapsed) != WAIT_OBJECT_0)
                    break;
                if (reply->sequence == sequence) {
                    answer = const_cast<const hookproto::Reply&>(*reply);
                    break;
                }
            }
        }
        UnhookWindowsHookEx(hook);
        return answer;
    }

    std::optional<hookproto::Reply> Query(HWND hwnd, hookproto::Query query, DWORD timeoutMs,
                                          const hookproto::Reply* request = nullptr) {
        static const UINT message = RegisterWindowMessageA(hookproto::kQueryMessage);
        if (request != nullptr && Ready())
            *const_cast<hookproto::Reply*>(reply) = *request;
        const LONG sequence = ++lastSequence;
        const LPARAM lParam = LPARAM((UINT64(UINT32(sequence)) << 32) | GetCurrentProcessId());
        return Ask(hwnd, sequence, timeoutMs, [&] { return PostMessageA(hwnd, message, query, lParam) != 0; });
    }

private:
    HANDLE mapping = nullptr;
    volatile hookproto::Reply* reply = nullptr;
    HANDLE done = nullptr;
    HMODULE module = nullptr;
    HOOKPROC proc = nullptr;
    LONG lastSequence = 0;
};

Channel& TheChannel() {
    static Channel channel;
    return channel;
}

} // namespace

bool Sync(HWND hwnd, DWORD timeoutMs) {
    return TheChannel().Query(hwnd, hookproto::kSync, timeoutMs).has_value();
}

std::optional<ScrollState> ReadScroll(HWND hwnd, int bar) {
    const auto reply =
        TheChannel().Query(hwnd, bar == SB_HORZ ? hookproto::kScrollHorz : hookproto::kScrollVert, kAnswerTimeoutMs);
    if (!reply || !reply->ok)
        return std::nullopt;
    return ScrollState{reply->minimum, reply->maximum, reply->page, reply->position, reply->trackPosition};
}

std::optional<ThreadState> ReadThreadState(HWND hwnd) {
    const auto reply = TheChannel().Query(hwnd, hookproto::kThreadState, kAnswerTimeoutMs);
    if (!reply || !reply->ok)
        return std::nullopt;
    return ThreadState{HWND(UINT_PTR(reply->focus)), HWND(UINT_PTR(reply->capture)), HWND(UINT_PTR(reply->active))};
}

std::optional<POINT> ReadCursor(HWND hwnd) {
    const auto reply = TheChannel().Query(hwnd, hookproto::kCursor, kAnswerTimeoutMs);
    if (!reply || !reply->ok)
        return std::nullopt;
    return reply->cursor;
}

bool MoveCursorFromProgram(HWND hwnd, POINT absolute) {
    hookproto::Reply request{};
    request.requestMove = absolute;
    const auto reply = TheChannel().Query(hwnd, hookproto::kMoveCursor, kAnswerTimeoutMs, &request);
    return reply && reply->ok;
}

std::optional<MenuItemState> ReadMenuItem(HWND hwnd, UINT id) {
    hookproto::Reply request{};
    request.requestId = id;
    const auto reply = TheChannel().Query(hwnd, hookproto::kMenuItem, kAnswerTimeoutMs, &request);
    if (!reply || !reply->ok)
        return std::nullopt;
    return MenuItemState{UINT(reply->position), std::string(reply->text, strnlen(reply->text, sizeof reply->text))};
}

bool InComApartment(HWND hwnd) {
    const auto reply = TheChannel().Query(hwnd, hookproto::kComApartment, kAnswerTimeoutMs);
    return reply && reply->ok;
}

std::optional<DpiState> ReadDpiState(HWND hwnd) {
    const auto reply = TheChannel().Query(hwnd, hookproto::kDpiState, kAnswerTimeoutMs);
    if (!reply || !reply->ok)
        return std::nullopt;
    return DpiState{reply->dpi, reply->awareness, reply->fontHeight, reply->iconSize};
}

std::optional<TextFit> ReadTextFit(HWND dialog) {
    const auto reply = TheChannel().Query(dialog, hookproto::kTextFit, kAnswerTimeoutMs);
    if (!reply || !reply->ok)
        return std::nullopt;
    return TextFit{reply->controls, reply->cutOff, reply->firstCutOffId, reply->shortBy};
}

bool SendDpiChanged(HWND hwnd, int dpi, const RECT& suggested) {
    hookproto::Reply request{};
    request.requestDpi = dpi;
    request.requestRect = suggested;
    const auto reply = TheChannel().Query(hwnd, hookproto::kDpiChanged, kAnswerTimeoutMs, &request);
    return reply && reply->ok;
}

std::optional<TextFonts> ChangeTextSize(HWND hwnd, int percent) {
    hookproto::Reply request{};
    request.requestTextPercent = percent;
    const auto reply = TheChannel().Query(hwnd, hookproto::kTextSize, kAnswerTimeoutMs, &request);
    if (!reply || !reply->ok)
        return std::nullopt;
    return TextFonts{reply->messageFontHeight, reply->statusFontHeight};
}

bool SyncInput(HWND hwnd, DWORD timeoutMs) {
    return InputThrough(hwnd, {}, timeoutMs).has_value();
}

std::optional<InputSeen> InputThrough(HWND hwnd, const std::vector<INPUT>& events, DWORD timeoutMs) {
    // Sent while the hook is in place, so that it counts every key of them.
    std::vector<INPUT> all = events;
    INPUT marker{};
    marker.type = INPUT_KEYBOARD;
    marker.ki.wVk = hookproto::kMarkerKey;
    marker.ki.dwFlags = KEYEVENTF_KEYUP;
    marker.ki.dwExtraInfo = ULONG_PTR((hookproto::kMarkerTag << 32) | GetCurrentProcessId());
    all.push_back(marker);
    const auto reply = TheChannel().Ask(
        hwnd, 0, timeoutMs, [&] { return SendInput(UINT(all.size()), all.data(), sizeof(INPUT)) == all.size(); });
    if (!reply)
        return std::nullopt;
    return InputSeen{reply->heldModifiers, reply->keyPresses, reply->lastKey, reply->lastKeyModifiers};
}

} // namespace e2e
