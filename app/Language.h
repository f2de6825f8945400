#pragma once
// The language the program speaks to the user: its Japanese texts where the
// user interface is Japanese, English elsewhere, unless the settings' key
// Language names one. Menus and dialog labels are English in both; these
// are the messages, boxes and progress lines.

#include <cstdint>

enum class Language { Japanese, English };

// The language for the user interface language uiLanguage (a Windows
// language id: its low 10 bits are the primary language, 0x11 Japanese)
// and the setting: "ja" or "en" in any case, with or without a region
// ("ja-JP", "en_US"), overrides it; empty or anything else leaves the
// system's choice.
Language ChooseLanguage(uint16_t uiLanguage, const char* setting);

// Every message the program shows, in one language. The format texts take
// the same conversions, in the same order, in every language.
struct Texts {
    // The main frame
    const char* loadFailed;
    const char* setVelmoraLocation;
    const char* velmoraMissing;
    const char* listEmpty;
    const char* folderPrompt;
    // The layer export
    const char* qvmOnly;
    const char* exportDone;
    const char* exportDoneCaption;
    const char* exportFailed;
    const char* exportFailedCaption;
    // The conversion
    const char* destinationPrompt;
    const char* specifyOutputFolder;
    const char* folderNotFound;    // and could not be made: the system's reason follows
    const char* conversionDone;    // %d converted, %d listed
    const char* conversionStopped; // %d converted, %d listed
    const char* stopLabel;
    const char* conversionNotStarted;
    const char* conversionFailures;
    const char* writeFailed;
    const char* conversionSkipped; // %d skipped
    const char* sameOutput;        // %s output file name, %s the earlier document
    const char* moreFailures;      // %d more
    // Save as
    const char* saveFailed;
    // The view mirrored and turned: "Mirrored, 90°"
    const char* viewMirrored;
    const char* viewTurned; // %d degrees
    const char* viewTurnSeparator;
};

const Texts& TextsFor(Language language);
