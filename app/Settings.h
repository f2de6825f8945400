#pragma once
// Every option that persists in tessavel.ini, and the file's layout: one
// section, the same 26 keys in the same order on every write (the 22 of the
// first versions, then the later ones, which those versions ignore), and the
// code page, the recent folders' last documents, the list's order and
// Language after them when they are set.

#include "app/MouseAction.h"
#include "base/Str.h"

#include <cstdint>

extern const char kSettingsFileName[]; // "tessavel.ini", beside the executable
extern const char kSettingsSection[];  // "Tessaven"
extern const char* const kMouseKeys[kMouseEventCount];
extern const int32_t kDefaultMouse[kMouseEventCount];

// The slideshow's step unless the settings say otherwise, and the longest
// one taken: a value beyond it is read as the default.
constexpr int32_t kDefaultSlideshowSeconds = 3;
constexpr int32_t kMaxSlideshowSeconds = 3600;

// WinLeft of this value means that no placement has been saved.
constexpr int32_t kNoSavedPlacement = -1000;

struct Settings {
    Settings();

    int32_t Scale = 100;             // zoom in percent
    int32_t ColBk = 0x808080;        // background of the image view, 0x00BBGGRR
    int32_t Mouse[kMouseEventCount]; // MouseAction values, indexed by MouseEvent
    int32_t ConvType = 0;            // 0 BMP, 1 PNG, 2 PSD, 3 OpenRaster
    Str VelmoraPath;
    Str OpenDir;
    Str ConvDir;
    Str RecDir[5]; // index 0 the most recent; the first empty one ends the list
    // RecFile[k]: the document last shown in RecDir[k], which opening that
    // folder again shows; moved with it. Written only when set.
    Str RecFile[5];
    // The picture fitted to the view instead of shown at Scale. Written
    // after the original keys, which older versions read alone.
    bool FitToWindow = false;
    // The full path of the file shown last: a start without a path lists
    // RecDir[0] again and selects it. Earlier versions ignore the key.
    Str LastFile;
    int32_t LayersPane = 0; // 1: the layers pane is shown below the file list
    // "ja" or "en" picks the language of the messages over the system's
    // (app/Language.h); empty leaves the system's. Written only when set.
    Str Language;
    // The code page every layer name is read in; 0: the automatic rule
    // (base/LayerName.h).
    int32_t NamesCodePage = 0;
    // The file list's order: 0 by name, 1 by date modified, 2 by size
    // (app/DocumentList.h), reversed (newest, largest first) when
    // SortReverse is set. Both written only when not the default.
    int32_t SortOrder = 0;
    bool SortReverse = false;
    // Stepping to another document keeps the zoom's place: the view's
    // top-left or centre at the same place of the next picture
    // (app/StepPlace.h); off, each document starts at its top-left. Written
    // as StepKeepsPlace=0, only when off.
    bool StepKeepsPlace = true;
    // Layers hidden by name in the layers pane stay hidden in the next
    // documents (app/LayerChoices.h); the names themselves last for the
    // session. Written as CarryLayerChoices=1, only when on.
    bool CarryLayerChoices = false;
    // Fit to window enlarges a picture smaller than the view: in the window
    // when FitEnlarge is set, in full screen unless FitEnlargeFullScreen is
    // cleared. Each written only when not its default.
    bool FitEnlarge = false;
    bool FitEnlargeFullScreen = true;
    // The thumbnail grid shown in the view's place; written only when set.
    bool Thumbnails = false;
    // The slideshow's step, in seconds; written only when not the default.
    int32_t SlideshowSeconds = kDefaultSlideshowSeconds;
};

// The window's restored rectangle, show command and the file list's width:
// read at start-up, taken from the live windows when saving.
struct WindowState {
    int32_t left = kNoSavedPlacement;
    int32_t top = 0;
    int32_t right = 400;
    int32_t bottom = 400;
    int32_t showCmd = 1;
    int32_t listWidth = 150;
};

// Where values are read from: the platform's profile reader on Windows, a
// table in the tests.
class SettingsSource {
public:
    virtual int32_t GetInt(const char* key, int32_t fallback) = 0;
    // Reads into out's buffer, cut to its capacity.
    virtual void GetString(const char* key, Str& out, const char* fallback) = 0;

protected:
    ~SettingsSource() = default;
};

// Reads every key with its default. A show command of 2 (minimised) comes
// back as 1, so the program never starts minimised; no other value is
// checked here.
void ReadSettings(SettingsSource& source, WindowState& window, Settings& settings);

// ReadSettings from the file at path, section kSettingsSection; a missing
// file gives the defaults.
void ReadSettingsFile(const char* path, WindowState& window, Settings& settings);

// Writes the whole file at path: first beside it under a temporary name of
// its own (export/TempOutput.h), then puts it in the old one's place, so a
// save that fails part-way leaves the previous settings intact. False when
// anything failed.
//
// standsFor, when given, is the path of the file beside the executable that
// refused this save: written as the key kFallbackKey after the 26 keys, so
// that only that copy of the program reads this file in its place.
bool WriteSettings(const char* path, const WindowState& window, const Settings& settings,
                   const char* standsFor = nullptr);

extern const char kFallbackKey[]; // "FallbackFor"
