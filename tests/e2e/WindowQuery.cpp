#include "tests/e2e/WindowQuery.h"

namespace e2e {

std::string Narrow(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

std::string ClassOf(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

namespace {

// Class names compare without letter case, as the system registers them
// ("LISTBOX" is registered as "ListBox").
bool IsClass(HWND hwnd, const char* className) {
    return lstrcmpiA(ClassOf(hwnd).c_str(), className) == 0;
}

} // namespace

bool SendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    DWORD_PTR answer = 0;
    const bool ok = SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer);
    if (result)
        *result = LRESULT(answer);
    return ok;
}

// Texts are asked for in UTF-16: Wine's cross-process copy of the ANSI
// LB_GETTEXT answer keeps only the first character, the wide one is whole.
std::string WindowText(HWND hwnd) {
    LRESULT length = 0;
    if (!SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0)
        return {};
    std::wstring text(size_t(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!SendWithTimeout(hwnd, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()), &copied))
        return {};
    text.resize(size_t(copied));
    return Narrow(text);
}

namespace {

struct TopSearch {
    DWORD pid;
    const char* className;
    bool includeHidden;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TopSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && (search->includeHidden || IsWindowVisible(hwnd)) &&
        (search->className == nullptr || IsClass(hwnd, search->className)))
        search->found.push_back(hwnd);
    return TRUE;
}

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK FindFirstDescendant(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (IsClass(hwnd, search->className)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<HWND> TopWindows(DWORD pid, const char* className, bool includeHidden) {
    TopSearch search{pid, className, includeHidden, {}};
    EnumWindows(CollectTop, LPARAM(&search));
    return search.found;
}

HWND FindChild(HWND parent, const char* className, int index) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsClass(child, className) && index-- == 0)
            return child;
    return nullptr;
}

HWND FindDescendant(HWND parent, const char* className) {
    ChildSearch search{className, nullptr};
    EnumChildWindows(parent, FindFirstDescendant, LPARAM(&search));
    return search.found;
}

RECT ClientRect(HWND hwnd) {
    RECT rect{};
    GetClientRect(hwnd, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND hwnd) {
    RECT rect = ClientRect(hwnd);
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SendCommand(HWND hwnd, int id) {
    return SendWithTimeout(hwnd, WM_COMMAND, WPARAM(id), 0);
}

bool PostCommand(HWND hwnd, int id) {
    return PostMessageW(hwnd, WM_COMMAND, WPARAM(id), 0);
}

int ListCount(HWND list) {
    LRESULT count = 0;
    return SendWithTimeout(list, LB_GETCOUNT, 0, 0, &count) ? int(count) : -1;
}

int ListSelection(HWND list) {
    LRESULT selection = LB_ERR;
    return SendWithTimeout(list, LB_GETCURSEL, 0, 0, &selection) ? int(selection) : LB_ERR;
}

std::string ListText(HWND list, int index) {
    LRESULT length = 0;
    if (!SendWithTimeout(list, LB_GETTEXTLEN, WPARAM(index), 0, &length) || length < 0)
        return {};
    std::wstring text(size_t(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!SendWithTimeout(list, LB_GETTEXT, WPARAM(index), LPARAM(text.data()), &copied) || copied < 0)
        return {};
    text.resize(size_t(copied));
    return Narrow(text);
}

std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> texts;
    const int count = ListCount(list);
    for (int i = 0; i < count; ++i)
        texts.push_back(ListText(list, i));
    return texts;
}

std::string MessageBoxText(HWND box) {
    // The text control of a message box has id 0xFFFF on Windows and Wine;
    // the icon is a static control too, without text.
    if (HWND text = GetDlgItem(box, 0xFFFF))
        return WindowText(text);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsClass(child, "Static")) {
            std::string text = WindowText(child);
            if (!text.empty())
                return text;
        }
    return {};
}

} // namespace e2e
