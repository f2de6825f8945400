#include "app/Settings.h"

#include "app/SettingsLines.h"
#include "base/FileWriter.h"
#include "base/IniReader.h"
#include "base/Text.h"
#include "export/TempOutput.h"

#include <cstdio>

const char kSettingsFileName[] = "tessavel.ini";
const char kSettingsSection[] = "Tessaven";
const char kFallbackKey[] = "FallbackFor";
const char* const kMouseKeys[kMouseEventCount] = {"MouseRight", "MouseMid", "MouseUp", "MouseDown", "MouseLDbl"};
const int32_t kDefaultMouse[kMouseEventCount] = {int32_t(MouseAction::None), int32_t(MouseAction::ToggleMaximize),
                                                 int32_t(MouseAction::PreviousFile), int32_t(MouseAction::NextFile),
                                                 int32_t(MouseAction::OpenInVelmora)};

namespace {

constexpr int32_t kPathRoom = 511;
constexpr int32_t kRecentRoom = 500;
// A language code with its region ("ja-JP") and room to spare.
constexpr int32_t kLanguageRoom = 31;

void RecentKey(char (&key)[16], int index) {
    std::snprintf(key, sizeof key, "RecDir%d", index + 1);
}

void RecentFileKey(char (&key)[16], int index) {
    std::snprintf(key, sizeof key, "RecFile%d", index + 1);
}

// Cuts text to at most room bytes without splitting a UTF-8 character. A value cut by its buffer can end in half a
// character, which the next save would write and the next start read back as another one.
void CutToWholeCharacters(Str& text, int32_t room) {
    const char* const start = text.Text();
    const char* end = start;
    while (*end != 0) {
        const char* next = text::NextChar(end);
        const bool halfCharacter = next - end < text::CharSize(*end);
        if (next - start > room || halfCharacter)
            break;
        end = next;
    }
    text.SetCharAt(int32_t(end - start), 0);
}

void ReadText(SettingsSource& source, const char* key, Str& out, int32_t room) {
    out.Reserve(kPathRoom);
    source.GetString(key, out, "");
    CutToWholeCharacters(out, room);
}

} // namespace

Settings::Settings() {
    for (int i = 0; i < kMouseEventCount; ++i)
        Mouse[i] = kDefaultMouse[i];
    VelmoraPath.Reserve(kPathRoom);
    OpenDir.Reserve(kPathRoom);
    ConvDir.Reserve(kPathRoom);
    for (Str& folder : RecDir)
        folder.Reserve(kRecentRoom);
    for (Str& file : RecFile)
        file.Reserve(kPathRoom);
    LastFile.Reserve(kPathRoom);
    Language.Reserve(kLanguageRoom);
}

void ReadSettings(SettingsSource& source, WindowState& window, Settings& settings) {
    window.left = source.GetInt("WinLeft", kNoSavedPlacement);
    window.top = source.GetInt("WinTop", 0);
    window.right = source.GetInt("WinRight", 400);
    window.bottom = source.GetInt("WinBottom", 400);
    window.showCmd = source.GetInt("ShowCmd", 1);
    if (window.showCmd == 2)
        window.showCmd = 1;
    window.listWidth = source.GetInt("ListWidth", 150);

    settings.Scale = source.GetInt("Scale", 100);
    settings.ColBk = source.GetInt("ColBk", 0x808080);
    for (int i = 0; i < kMouseEventCount; ++i)
        settings.Mouse[i] = source.GetInt(kMouseKeys[i], kDefaultMouse[i]);
    settings.ConvType = source.GetInt("ConvType", 0);
    settings.FitToWindow = source.GetInt("FitToWindow", 0) != 0;

    ReadText(source, "Velmora", settings.VelmoraPath, kPathRoom);
    ReadText(source, "OpenDir", settings.OpenDir, kPathRoom);
    ReadText(source, "ConvDir", settings.ConvDir, kPathRoom);
    for (int i = 0; i < 5; ++i) {
        char key[16];
        RecentKey(key, i);
        // The buffer holds 511 characters, but a recent folder keeps 500.
        ReadText(source, key, settings.RecDir[i], kRecentRoom);
    }
    for (int i = 0; i < 5; ++i) {
        char key[16];
        RecentFileKey(key, i);
        ReadText(source, key, settings.RecFile[i], kPathRoom);
    }
    ReadText(source, "LastFile", settings.LastFile, kPathRoom);
    settings.LayersPane = source.GetInt("LayersPane", 0) != 0 ? 1 : 0;
    ReadText(source, "Language", settings.Language, kLanguageRoom);
    settings.NamesCodePage = source.GetInt("NamesCodePage", 0);
    if (settings.NamesCodePage < 0 || settings.NamesCodePage > 0xFFFF)
        settings.NamesCodePage = 0;
    settings.SortOrder = source.GetInt("SortOrder", 0);
    // An order a later version may add is read as the default one.
    if (settings.SortOrder < 0 || settings.SortOrder > 2)
        settings.SortOrder = 0;
    settings.SortReverse = source.GetInt("SortReverse", 0) != 0;
    settings.StepKeepsPlace = source.GetInt("StepKeepsPlace", 1) != 0;
    settings.CarryLayerChoices = source.GetInt("CarryLayerChoices", 0) != 0;
    settings.FitEnlarge = source.GetInt("FitEnlarge", 0) != 0;
    settings.FitEnlargeFullScreen = source.GetInt("FitEnlargeFullScreen", 1) != 0;
    settings.Thumbnails = source.GetInt("Thumbnails", 0) != 0;
    settings.SlideshowSeconds = source.GetInt("SlideshowSeconds", kDefaultSlideshowSeconds);
    if (settings.SlideshowSeconds < 1 || settings.SlideshowSeconds > kMaxSlideshowSeconds)
        settings.SlideshowSeconds = kDefaultSlideshowSeconds;
}

namespace {

class IniSource : public SettingsSource {
public:
    explicit IniSource(const char* path) {
        reader.SetFile(path);
        reader.SetSection(kSettingsSection);
    }
    int32_t GetInt(const char* key, int32_t fallback) override { return reader.GetInt(key, fallback); }
    void GetString(const char* key, Str& out, const char* fallback) override { reader.GetString(key, out, fallback); }

private:
    IniReader reader;
};

} // namespace

void ReadSettingsFile(const char* path, WindowState& window, Settings& settings) {
    IniSource source(path);
    ReadSettings(source, window, settings);
}

namespace {

bool WriteLines(SettingsLines& file, const WindowState& window, const Settings& settings) {
    bool ok = file.WriteText("[") && file.WriteText(kSettingsSection) && file.WriteText("]") && file.WriteNewline();
    ok = ok && file.WriteKeyInt("WinLeft", window.left) && file.WriteKeyInt("WinTop", window.top) &&
         file.WriteKeyInt("WinRight", window.right) && file.WriteKeyInt("WinBottom", window.bottom) &&
         file.WriteKeyInt("ShowCmd", window.showCmd) && file.WriteKeyInt("ListWidth", window.listWidth);
    ok = ok && file.WriteKeyInt("Scale", settings.Scale) && file.WriteKeyInt("ColBk", settings.ColBk);
    for (int i = 0; ok && i < kMouseEventCount; ++i)
        ok = file.WriteKeyInt(kMouseKeys[i], settings.Mouse[i]);
    ok = ok && file.WriteKeyInt("ConvType", settings.ConvType) && file.WriteKeyInt("LayersPane", settings.LayersPane);
    ok = ok && file.WriteKeyTextAsRead("Velmora", settings.VelmoraPath.Text()) &&
         file.WriteKeyTextAsRead("OpenDir", settings.OpenDir.Text()) &&
         file.WriteKeyTextAsRead("ConvDir", settings.ConvDir.Text());
    for (int i = 0; ok && i < 5; ++i) {
        char key[16];
        RecentKey(key, i);
        ok = file.WriteKeyTextAsRead(key, settings.RecDir[i].Text());
    }
    ok = ok && file.WriteKeyTextAsRead("LastFile", settings.LastFile.Text());
    ok = ok && file.WriteKeyInt("FitToWindow", settings.FitToWindow ? 1 : 0);
    // Only a user's own choices are written: the file of a viewer that never
    // made one stays as earlier versions wrote it.
    ok = ok && (settings.NamesCodePage == 0 || file.WriteKeyInt("NamesCodePage", settings.NamesCodePage));
    for (int i = 0; ok && i < 5; ++i) {
        char key[16];
        RecentFileKey(key, i);
        ok = settings.RecFile[i].IsEmpty() || file.WriteKeyTextAsRead(key, settings.RecFile[i].Text());
    }
    ok = ok && (settings.SortOrder == 0 || file.WriteKeyInt("SortOrder", settings.SortOrder));
    ok = ok && (!settings.SortReverse || file.WriteKeyInt("SortReverse", 1));
    ok = ok && (settings.StepKeepsPlace || file.WriteKeyInt("StepKeepsPlace", 0));
    ok = ok && (!settings.CarryLayerChoices || file.WriteKeyInt("CarryLayerChoices", 1));
    ok = ok && (!settings.FitEnlarge || file.WriteKeyInt("FitEnlarge", 1));
    ok = ok && (settings.FitEnlargeFullScreen || file.WriteKeyInt("FitEnlargeFullScreen", 0));
    ok = ok && (!settings.Thumbnails || file.WriteKeyInt("Thumbnails", 1));
    ok = ok && (settings.SlideshowSeconds == kDefaultSlideshowSeconds ||
                file.WriteKeyInt("SlideshowSeconds", settings.SlideshowSeconds));
    return ok && (settings.Language.IsEmpty() || file.WriteKeyTextAsRead("Language", settings.Language.Text()));
}

} // namespace

bool WriteSettings(const char* path, const WindowState& window, const Settings& settings, const char* standsFor) {
    SettingsLines lines;
    WriteLines(lines, window, settings);
    if (standsFor != nullptr)
        lines.WriteKeyTextAsRead(kFallbackKey, standsFor);
    text::ToStoredText(lines.text);
    // A temporary of this save's own (two viewers closing at once once wrote
    // one shared name, each over the other's half-written file).
    TempOutput temporary;
    FileWriter file;
    if (!temporary.Open(file, path))
        return false;
    const bool written = file.WriteExact(lines.text.data(), uint32_t(lines.text.size()));
    return temporary.Finish(file, written);
}
