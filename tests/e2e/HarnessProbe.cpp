// A tiny window program that the harness's own tests drive, so that every
// road of the harness (windows, keys through an accelerator table, mouse,
// drops, clipboard, scroll bars, pixels, message boxes, exit codes, the file
// beside the executable) is checked against a program whose answers are known.
// It reports what it receives as lines of its LISTBOX, which the tests read
// back with LB_GETTEXT.
//
// Command-line tail: logged as "tail <text>". A tail starting with "--warn="
// shows a warning box with the rest of the text before the window exists.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/ProbeIds.h"

namespace {

HWND mainWindow;
HWND logList;
HWND view;
UINT readyMessage;
bool startupEnded;

// The probe keeps its text in UTF-8, as the harness gives and reads it, and
// trades it with the system in UTF-16, so that a name outside the code page
// arrives whole.
std::wstring Wide(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string utf8(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
    utf8.resize(size_t(n - 1));
    return utf8;
}

void Log(const std::string& line) {
    SendMessageW(logList, LB_ADDSTRING, 0, LPARAM(Wide(line).c_str()));
}

std::string ExeFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The text after the program's own name, as the command line holds it, in
// UTF-8: read wide, so that a path the code page cannot hold (Korean under
// the Japanese one, an emoji under any) is recorded exactly.
std::string CommandTail() {
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return Utf8(p);
}

std::string Keys(WPARAM wParam) {
    std::string keys;
    if (wParam & MK_CONTROL)
        keys += "c";
    if (wParam & MK_SHIFT)
        keys += "s";
    if (wParam & MK_LBUTTON)
        keys += "l";
    if (wParam & MK_RBUTTON)
        keys += "r";
    if (wParam & MK_MBUTTON)
        keys += "m";
    return keys.empty() ? "-" : keys;
}

std::string Point(LPARAM lParam) {
    return std::to_string(short(LOWORD(lParam))) + "," + std::to_string(short(HIWORD(lParam)));
}

// A picture of probe::kDibWidth x probe::kDibHeight pixels, 24 bits, rows
// bottom-up and padded to 4 bytes: pixel (x, y) from the top has blue x,
// green y and red 200.
void CopyDib() {
    const int stride = (probe::kDibWidth * 3 + 3) & ~3;
    const SIZE_T size = sizeof(BITMAPINFOHEADER) + SIZE_T(stride) * probe::kDibHeight;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(memory));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = probe::kDibWidth;
    header->biHeight = probe::kDibHeight;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    auto* bits = reinterpret_cast<BYTE*>(header + 1);
    for (int y = 0; y < probe::kDibHeight; ++y) {
        BYTE* row = bits + (probe::kDibHeight - 1 - y) * stride;
        for (int x = 0; x < probe::kDibWidth; ++x) {
            row[x * 3] = BYTE(x);
            row[x * 3 + 1] = BYTE(y);
            row[x * 3 + 2] = 200;
        }
    }
    GlobalUnlock(memory);
    if (OpenClipboard(mainWindow)) {
        EmptyClipboard();
        if (SetClipboardData(CF_DIB, memory) == nullptr)
            GlobalFree(memory);
        CloseClipboard();
        Log("copied");
    } else {
        GlobalFree(memory);
    }
}

void OnDrop(HDROP drop) {
    POINT point{};
    DragQueryPoint(drop, &point);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    Log("drop ctrl=" + std::to_string(GetKeyState(VK_CONTROL) < 0 ? 1 : 0) + " n=" + std::to_string(count) + " at " +
        std::to_string(point.x) + "," + std::to_string(point.y));
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), UINT(path.size()));
        Log("file " + Utf8(path.c_str()));
    }
    DragFinish(drop);
}

void SaveFileOnClose() {
    const std::string path = ExeFolder() + probe::kSettingsName;
    if (FILE* file = std::fopen(path.c_str(), "ab")) {
        std::fputs("closed\r\n", file);
        std::fclose(file);
    }
}

LRESULT CALLBACK ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT client;
        GetClientRect(hwnd, &client);
        HBRUSH rest = CreateSolidBrush(probe::kViewColour);
        FillRect(dc, &client, rest);
        DeleteObject(rest);
        HBRUSH corner = CreateSolidBrush(probe::kCornerColour);
        RECT box{0, 0, probe::kCornerWidth, probe::kCornerHeight};
        FillRect(dc, &box, corner);
        DeleteObject(corner);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        Log("lbuttondown " + Point(lParam) + " " + Keys(wParam));
        return 0;
    case WM_LBUTTONUP:
        Log("lbuttonup " + Point(lParam) + " " + Keys(wParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        Log("lbuttondblclk " + Point(lParam) + " " + Keys(wParam));
        return 0;
    case WM_RBUTTONDOWN:
        Log("rbuttondown " + Point(lParam) + " " + Keys(wParam));
        return 0;
    case WM_MBUTTONDOWN:
        Log("mbuttondown " + Point(lParam) + " " + Keys(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        Log("wheel " + std::to_string(short(HIWORD(wParam))) + " " + Keys(LOWORD(wParam)));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Layout(HWND hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    MoveWindow(logList, 0, 0, probe::kListWidth, client.bottom, TRUE);
    MoveWindow(view, probe::kListWidth, 0, client.right - probe::kListWidth, client.bottom, TRUE);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == readyMessage && readyMessage != 0)
        return startupEnded ? 1 : 0;
    switch (message) {
    case WM_COMMAND:
        if (HWND(lParam) == logList)
            return 0;
        Log("command " + std::to_string(LOWORD(wParam)));
        if (LOWORD(wParam) == probe::kCopyCommand)
            CopyDib();
        return 0;
    case WM_KEYDOWN:
        Log("keydown " + std::to_string(wParam) + " ctrl=" + std::to_string(GetKeyState(VK_CONTROL) < 0 ? 1 : 0));
        return 0;
    case WM_DROPFILES:
        OnDrop(HDROP(wParam));
        return 0;
    case WM_SIZE:
        Layout(hwnd);
        return 0;
    case WM_CLOSE:
        SaveFileOnClose();
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(probe::kExitCode);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HACCEL CreateAccelerators() {
    ACCEL table[] = {
        {FVIRTKEY | FCONTROL, '4', probe::kCtrl4Command},
        {FVIRTKEY, VK_ADD, probe::kAddCommand},
        {FVIRTKEY | FCONTROL, VK_DOWN, probe::kCtrlDownCommand},
        {FVIRTKEY | FCONTROL, 'C', probe::kCopyCommand},
    };
    return CreateAcceleratorTableA(table, sizeof table / sizeof table[0]);
}

void SetViewScroll() {
    SCROLLINFO horz{sizeof horz, SIF_ALL, 0, probe::kHorzMax, probe::kHorzPage, probe::kHorzPos, 0};
    SetScrollInfo(view, SB_HORZ, &horz, TRUE);
    SCROLLINFO vert{sizeof vert, SIF_ALL, 0, probe::kVertMax, probe::kVertPage, probe::kVertPos, 0};
    SetScrollInfo(view, SB_VERT, &vert, TRUE);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::string tail = CommandTail();
    if (tail.rfind("--warn=", 0) == 0)
        MessageBoxW(nullptr, Wide(tail.substr(7)).c_str(), nullptr,
                    MB_ICONWARNING | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);

    readyMessage = RegisterWindowMessageA(probe::kReadyMessage);
    WNDCLASSA mainClass{};
    mainClass.lpfnWndProc = MainProc;
    mainClass.hInstance = instance;
    mainClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    mainClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    mainClass.lpszClassName = probe::kMainClass;
    WNDCLASSA viewClass{};
    viewClass.style = CS_DBLCLKS;
    viewClass.lpfnWndProc = ViewProc;
    viewClass.hInstance = instance;
    viewClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    viewClass.lpszClassName = probe::kViewClass;
    if (!RegisterClassA(&mainClass) || !RegisterClassA(&viewClass))
        return 1;

    mainWindow = CreateWindowExA(WS_EX_ACCEPTFILES, probe::kMainClass, probe::kTitle, WS_OVERLAPPEDWINDOW, 40, 30,
                                 probe::kWindowWidth, probe::kWindowHeight, nullptr, nullptr, instance, nullptr);
    logList = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 0, 0, 10, 10,
                              mainWindow, HMENU(INT_PTR(probe::kListId)), instance, nullptr);
    view = CreateWindowExA(WS_EX_CLIENTEDGE, probe::kViewClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0,
                           0, 10, 10, mainWindow, nullptr, instance, nullptr);
    if (!mainWindow || !logList || !view)
        return 1;
    SetViewScroll();
    Layout(mainWindow);

    Log("tail " + tail);
    std::string seeded = "none";
    if (FILE* file = std::fopen((ExeFolder() + probe::kSettingsName).c_str(), "rb")) {
        char line[256] = "";
        if (std::fgets(line, sizeof line, file))
            seeded = std::string(line, std::strcspn(line, "\r\n"));
        std::fclose(file);
    }
    Log("settings " + seeded);

    ShowWindow(mainWindow, SW_SHOW);
    UpdateWindow(mainWindow);
    startupEnded = true;

    HACCEL accelerators = CreateAccelerators();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyAcceleratorTable(accelerators);
    return int(message.wParam);
}
