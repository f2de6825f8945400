#include "tests/app/ViewerSession.h"

#include <commctrl.h>

#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/FileDrop.h"
#include "tests/e2e/InjectedQuery.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/SettingsKeys.h"

#include "app/FrameMessages.h"
#include "res/Messages.h"
#include "tests/support/WaitUntil.h"

#include <cstdio>

namespace viewer {

std::string Title(int width, int height, const std::string& name) {
    char text[512];
    std::snprintf(text, sizeof text, "Tessavel - (%dx%d) %s", width, height, name.c_str());
    return text;
}

bool JapaneseInterface() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

const char* LoadFailedText() {
    return JapaneseInterface() ? msg::kLoadFailed : msg::en::kLoadFailed;
}

std::string FailedTitle(const std::string& name) {
    return std::string("Tessavel - ") + LoadFailedText() + " " + name;
}

std::string FailedStatus(const std::string& reason) {
    return std::string(LoadFailedText()) + ": " + reason;
}

namespace {

// The tests' paths are UTF-8, as the program's: any name is written whole.
void WriteFileNamed(const std::string& path, const docwriter::Bytes& bytes) {
    HANDLE file = CreateFileW(e2e::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Where a new file in folder is best created from. Wine looks a new name up
// in its folder case-insensitively, entry by entry, so filling one folder
// with thousands of files takes quadratic time there; the \\?\unix\ form
// of the folder's path names the host's folder as it is, without that search.
// Elsewhere the folder's own path.
std::string CreationFolder(const std::string& folder) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (unixName == nullptr)
        return folder;
    char* name = unixName(e2e::Widen(folder).c_str());
    if (name == nullptr)
        return folder;
    std::string hostPath = std::string("\\\\?\\unix") + name;
    HeapFree(GetProcessHeap(), 0, name);
    for (char& c : hostPath)
        if (c == '/')
            c = '\\';
    return hostPath;
}

} // namespace

DocFolder::DocFolder() : path(e2e::WindowsPath(dir.Path())) {}

// Deleted by name: far quicker under Wine than removing a folder of
// thousands entry by entry as it is listed.
DocFolder::~DocFolder() {
    for (const std::string& copy : copies)
        DeleteFileW(e2e::Widen(copy).c_str());
}

std::string DocFolder::Sub(const std::string& name) const {
    const std::string sub = path + "\\" + name;
    CreateDirectoryW(e2e::Widen(sub).c_str(), nullptr);
    return sub;
}

std::string DocFolder::Qvm(const std::string& name, int width, int height, int seed) const {
    return QvmIn(path, name, width, height, seed);
}

std::string DocFolder::QvmIn(const std::string& folder, const std::string& name, int width, int height,
                             int seed) const {
    return QvmPainted(folder, name, width, height, [seed](int x, int y, uint8_t* p) {
        p[0] = uint8_t(x * 7 + seed * 50);
        p[1] = uint8_t(y * 11 + seed * 30);
        p[2] = uint8_t((x + y) * 3 + seed * 70);
    });
}

std::string DocFolder::QvmPainted(const std::string& folder, const std::string& name, int width, int height,
                                  const std::function<void(int x, int y, uint8_t* pixel)>& paint) const {
    docwriter::QvmDocument doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    docwriter::QvmLayer layer;
    layer.name = "base";
    layer.pixels.resize(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &layer.pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
            paint(x, y, p);
            p[3] = 255;
        }
    }
    doc.layers.push_back(layer);
    const std::string file = folder + "\\" + name;
    WriteFileNamed(file, docwriter::WriteQvm(doc));
    return file;
}

std::string DocFolder::QvrIn(const std::string& folder, const std::string& name, int width, int height) const {
    docwriter::QvrV0Document doc;
    doc.width = uint16_t(width);
    doc.height = uint16_t(height);
    docwriter::QvrMaskLayer layer;
    layer.color = 0x00204080;
    layer.mask.assign(size_t((width + 3) & ~3) * size_t(height), 255);
    doc.layers.push_back(layer);
    const std::string file = folder + "\\" + name;
    WriteFileNamed(file, docwriter::WriteQvrV0(doc));
    return file;
}

std::vector<std::string> DocFolder::Copies(const std::string& folder, int count) {
    const std::string first = QvmIn(folder, "doc00000.qvm", 4, 3);
    const docwriter::Bytes bytes = docwriter::ReadFile(first);
    const std::string creation = CreationFolder(folder);
    std::vector<std::string> paths{first};
    for (int i = 1; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\doc%05d.qvm", i);
        paths.push_back(folder + name);
        WriteFileNamed(creation + name, bytes);
    }
    copies.insert(copies.end(), paths.begin(), paths.end());
    return paths;
}

std::string DocFolder::Raw(const std::string& name, const std::string& bytes) const {
    const std::string file = path + "\\" + name;
    WriteFileNamed(file, docwriter::Bytes(bytes.begin(), bytes.end()));
    return file;
}

void BackDate(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart -= 3600ull * 10000000ull;
    const FILETIME hourAgo{ticks.LowPart, ticks.HighPart};
    SetFileTime(file, nullptr, nullptr, &hourAgo);
    CloseHandle(file);
}

Session::Session() : process(e2e::ViewerExe()) {}

Session::Session(const std::string& exe) : process(exe) {}

Session::~Session() {
    // A box left open by a failing test would keep the process alive.
    process.Kill();
}

testing::AssertionResult Session::Start(const std::string& tail) {
    if (!process.Start(tail))
        return testing::AssertionFailure() << process.Problem();
    return FindWindows();
}

testing::AssertionResult Session::FindWindows() {
    // The window comes up naming the file of the command line and reads it
    // afterwards: the tests start once the program says its start-up has
    // ended, with that file shown (or its failure told and dismissed).
    if (!process.WaitReady("Main", kStartupEndedMessageName))
        return testing::AssertionFailure() << process.Problem();
    main = process.MainWindow();
    list = e2e::FindChild(main, "LISTBOX");
    view = e2e::FindChild(main, "View");
    status = e2e::FindChild(main, "msctls_statusbar32");
    if (list == nullptr || view == nullptr || status == nullptr)
        return testing::AssertionFailure() << "the main window has no "
                                           << (!list   ? "list"
                                               : !view ? "view"
                                                       : "status bar");
    return testing::AssertionSuccess();
}

std::string Session::TitleNow() const {
    return e2e::WindowText(main);
}

Lines Session::Items() const {
    return e2e::ListTexts(list);
}

int Session::Selection() const {
    return e2e::ListSelection(list);
}

namespace {

int ScrollField(HWND view, int bar, bool position) {
    const std::optional<e2e::ScrollState> state = e2e::ReadScroll(view, bar);
    if (!state)
        return -99999;
    return position ? state->position : state->maximum;
}

} // namespace

int Session::HorzMax() const {
    return ScrollField(view, SB_HORZ, false);
}

int Session::HorzPos() const {
    return ScrollField(view, SB_HORZ, true);
}

int Session::VertMax() const {
    return ScrollField(view, SB_VERT, false);
}

int Session::VertPos() const {
    return ScrollField(view, SB_VERT, true);
}

std::string Session::StatusPart(int part) const {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, this->process.Pid());
    if (process == nullptr)
        return "";
    // The control copies the text, in UTF-16 with its terminator, into
    // memory of the program's own (committed pages start zeroed).
    constexpr SIZE_T kRoom = 1024;
    void* remote = VirtualAllocEx(process, nullptr, kRoom * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
    std::string text;
    wchar_t local[kRoom] = {};
    SIZE_T read = 0;
    if (remote != nullptr &&
        e2e::SendWithTimeout(status, SB_GETTEXTW, WPARAM(part), reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, remote, local, (kRoom - 1) * sizeof(wchar_t), &read))
        text = e2e::Narrow(local);
    if (remote != nullptr)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

int Session::StatusPartWidth(int part) const {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, this->process.Pid());
    if (process == nullptr)
        return 0;
    // The control writes the part's rectangle into the program's memory.
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect{};
    SIZE_T read = 0;
    LRESULT got = 0;
    const bool ok = remote != nullptr &&
                    e2e::SendWithTimeout(status, SB_GETRECT, WPARAM(part), reinterpret_cast<LPARAM>(remote), &got) &&
                    got != 0 && ReadProcessMemory(process, remote, &rect, sizeof rect, &read);
    if (remote != nullptr)
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok ? int(rect.right - rect.left) : 0;
}

std::string Session::DismissBox() {
    const e2e::Appeared box = process.WaitMessageBox(5000);
    if (box.hwnd == nullptr)
        return "";
    process.DismissMessageBox(box.hwnd);
    return box.text;
}

bool Session::NoBox() const {
    return e2e::TopWindows(process.Pid(), "#32770").empty();
}

int Session::WaitDecodedAhead() const {
    LRESULT held = -1;
    bool answered = true;
    waits::WaitUntil([&] {
        answered = e2e::SendWithTimeout(main, kDecodedAheadQuery, 0, 0, &held);
        return !answered || held != -1;
    });
    return answered ? int(held) : -1;
}

bool Session::Drop(const std::vector<std::string>& paths, bool withCtrl, DWORD timeoutMs) {
    return e2e::DropFiles(process.Process(), main, paths, {8, 8}, withCtrl ? e2e::kCtrl : e2e::kNoModifier, timeoutMs);
}

bool Session::Post(int id) {
    return e2e::PostCommand(main, id) && e2e::Sync(main);
}

bool Session::Send(int id) {
    return e2e::SendCommand(main, id);
}

void SettingsValues::Place(int left, int top, int right, int bottom) {
    winLeft = left;
    winTop = top;
    winRight = right;
    winBottom = bottom;
}

std::string SettingsValues::Text() const {
    // In the order of the keys, which is the order the program writes them.
    const int numbers[] = {winLeft,  winTop,   winRight, winBottom, showCmd,  listWidth, scale,     colBk,
                           mouse[0], mouse[1], mouse[2], mouse[3],  mouse[4], convType,  layersPane};
    const std::string* texts[] = {&velmora,   &openDir,   &convDir,   &recDir[0], &recDir[1],
                                  &recDir[2], &recDir[3], &recDir[4], &lastFile};
    static_assert(std::size(numbers) == std::size(settingskeys::kNumbers), "a number for every number key");
    static_assert(std::size(texts) == std::size(settingskeys::kTexts), "a text for every text key");
    std::string text = settingskeys::SectionLine();
    for (size_t i = 0; i < std::size(numbers); ++i)
        text += std::string(settingskeys::kNumbers[i]) + "=" + std::to_string(numbers[i]) + "\r\n";
    for (size_t i = 0; i < std::size(texts); ++i)
        text += std::string(settingskeys::kTexts[i]) + "=" + *texts[i] + "\r\n";
    text += "FitToWindow=" + std::to_string(fitToWindow) + "\r\n";
    for (int i = 0; i < 5; ++i)
        if (!recFile[i].empty())
            text += "RecFile" + std::to_string(i + 1) + "=" + recFile[i] + "\r\n";
    return text;
}

Lines LinesOf(const std::string& settings) {
    Lines lines;
    size_t start = 0;
    while (start < settings.size()) {
        size_t end = settings.find("\r\n", start);
        if (end == std::string::npos)
            end = settings.size();
        lines.push_back(settings.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string ValueOf(const std::string& settings, const std::string& key) {
    for (const std::string& line : LinesOf(settings))
        if (line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    return "";
}

} // namespace viewer
