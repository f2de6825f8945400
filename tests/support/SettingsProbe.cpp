#include "tests/support/SettingsProbe.h"

#include "app/RecentFolders.h"
#include "app/Settings.h"
#include "app/ViewGeometry.h"
#include "base/Text.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr int32_t kPathRoom = 511;
constexpr int32_t kRecentRoom = 500;

void CheckText(const Str& text, int32_t room, const char* name, std::ostringstream& problems) {
    if (text.data == nullptr) {
        problems << name << " has no buffer; ";
        return;
    }
    const void* end = std::memchr(text.data, 0, size_t(text.BufferSize()));
    if (end == nullptr) {
        problems << name << " is not terminated inside its buffer; ";
        return;
    }
    const int32_t length = int32_t(static_cast<const char*>(end) - text.data);
    if (length > room)
        problems << name << " holds " << length << " characters, room for " << room << "; ";
    for (const char* p = text.data; *p != 0; p = text::NextChar(p))
        if (text::NextChar(p) - p < text::CharSize(*p))
            problems << name << " holds half a character; ";
}

void CheckTexts(const Settings& settings, std::ostringstream& problems) {
    CheckText(settings.VelmoraPath, kPathRoom, "Velmora", problems);
    CheckText(settings.OpenDir, kPathRoom, "OpenDir", problems);
    CheckText(settings.ConvDir, kPathRoom, "ConvDir", problems);
    for (const Str& folder : settings.RecDir)
        CheckText(folder, kRecentRoom, "RecDir", problems);
    CheckText(settings.LastFile, kPathRoom, "LastFile", problems);
}

void CheckView(int32_t scale, std::ostringstream& problems) {
    const int32_t usable = UsableScale(scale);
    if (usable <= 0) {
        problems << "scale " << scale << " is used as " << usable << "; ";
        return;
    }
    const int32_t up = ZoomStepScale(usable, true);
    const int32_t down = ZoomStepScale(usable, false);
    if (up < usable || down > usable || down <= 0)
        problems << "zoom steps from " << usable << " go to " << up << " and " << down << "; ";
    const PaintPlan plan = PlanPaint(65535, 65535, scale, DisplayedSize(65535, scale), 0);
    if (DisplayedSize(65535, scale) < 0 || plan.shownHeight < 0)
        problems << "a 65535-pixel picture at scale " << scale << " has a negative size; ";
}

void CheckRecentPush(const Settings& settings, std::ostringstream& problems) {
    Str recent[kRecentFolderCount];
    for (int k = 0; k < kRecentFolderCount; ++k)
        recent[k].Assign(settings.RecDir[k].Text());
    Str oldest;
    oldest.Assign(recent[kRecentFolderCount - 1].Text());
    PushRecentFolder(recent, oldest.Text());
    if (std::strcmp(recent[0].Text(), oldest.Text()) != 0)
        problems << "the recent folder pushed is not the first entry; ";
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The line of a where a and b first differ; empty when they are the same.
std::string FirstDifferentLine(const std::string& a, const std::string& b) {
    if (a == b)
        return "";
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    const size_t begin = a.rfind('\n', at) == std::string::npos ? 0 : a.rfind('\n', at) + 1;
    const size_t end = a.find('\r', begin);
    return a.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

bool SameNumbers(const WindowState& a, const Settings& sa, const WindowState& b, const Settings& sb) {
    bool same = a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
                a.showCmd == b.showCmd && a.listWidth == b.listWidth && sa.Scale == sb.Scale && sa.ColBk == sb.ColBk &&
                sa.ConvType == sb.ConvType;
    for (int i = 0; i < kMouseEventCount; ++i)
        same = same && sa.Mouse[i] == sb.Mouse[i];
    return same;
}

// The profile reader trims blanks around a value and takes off a pair of
// quotes around it, so a text read back can differ from the one written only
// when it starts or ends that way (a text cut to its room can end in a blank).
bool ReadBackAsWritten(const char* text) {
    const size_t length = std::strlen(text);
    if (length == 0)
        return true;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const auto quote = [](char c) { return c == '"' || c == '\''; };
    return !blank(text[0]) && !blank(text[length - 1]) && !(length >= 2 && quote(text[0]));
}

void CheckSameText(const Str& written, const Str& read, const char* name, std::ostringstream& problems) {
    if (ReadBackAsWritten(written.Text()) && std::strcmp(written.Text(), read.Text()) != 0)
        problems << name << " was written as \"" << written.Text() << "\" and read back as \"" << read.Text() << "\"; ";
}

void CheckRoundTrip(const WindowState& window, const Settings& settings, const std::string& folder,
                    std::ostringstream& problems) {
    // The system's profile reader keeps recently read files and takes a file
    // of the same name, size and time for the one it has: every probe uses
    // names of its own.
    static unsigned probes = 0;
    const std::string name = folder + "/probe" + std::to_string(++probes);
    const std::string first = name + "-first.ini";
    const std::string second = name + "-second.ini";
    if (!WriteSettings(first.c_str(), window, settings)) {
        problems << "the settings could not be written; ";
        return;
    }
    WindowState window2;
    Settings settings2;
    ReadSettingsFile(first.c_str(), window2, settings2);
    if (!SameNumbers(window, settings, window2, settings2))
        problems << "a number changed between writing and reading back; ";
    CheckSameText(settings.VelmoraPath, settings2.VelmoraPath, "Velmora", problems);
    CheckSameText(settings.OpenDir, settings2.OpenDir, "OpenDir", problems);
    CheckSameText(settings.ConvDir, settings2.ConvDir, "ConvDir", problems);
    for (int k = 0; k < 5; ++k)
        CheckSameText(settings.RecDir[k], settings2.RecDir[k], "RecDir", problems);
    // Once read back, a file the program wrote is written again byte for byte.
    if (!WriteSettings(second.c_str(), window2, settings2)) {
        problems << "the settings read back could not be written; ";
        return;
    }
    WindowState window3;
    Settings settings3;
    ReadSettingsFile(second.c_str(), window3, settings3);
    const std::string third = name + "-third.ini";
    if (!WriteSettings(third.c_str(), window3, settings3)) {
        problems << "the settings read back twice could not be written; ";
    } else if (const std::string line = FirstDifferentLine(ReadBytes(second), ReadBytes(third)); !line.empty()) {
        problems << "a file the program wrote and read back is written differently from line \"" << line << "\"; ";
    }
    std::remove(first.c_str());
    std::remove(second.c_str());
    std::remove(third.c_str());
}

} // namespace

std::string ProbeSettingsFile(const std::string& path, const std::string& folder) {
    WindowState window;
    Settings settings;
    ReadSettingsFile(path.c_str(), window, settings);
    std::ostringstream problems;
    CheckTexts(settings, problems);
    if (!problems.str().empty())
        return problems.str(); // the later checks would read past the texts
    if (window.showCmd == 2)
        problems << "a minimised window would start minimised; ";
    CheckView(settings.Scale, problems);
    CheckRecentPush(settings, problems);
    CheckRoundTrip(window, settings, folder, problems);
    return problems.str();
}
