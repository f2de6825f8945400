#include "app/Language.h"

#include "res/Messages.h"

#include <cctype>

namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kJapanesePrimary = 0x11;

// True when setting is code, alone or before a region ("ja", "JA-jp").
bool Names(const char* setting, const char* code) {
    for (; *code != 0; ++setting, ++code)
        if (std::tolower(static_cast<unsigned char>(*setting)) != *code)
            return false;
    return *setting == 0 || *setting == '-' || *setting == '_';
}

const Texts kJapanese = {
    msg::kLoadFailed,          msg::kSetVelmoraLocation,   msg::kVelmoraMissing,
    msg::kListEmpty,           msg::kFolderPrompt,         msg::kQvmOnly,
    msg::kExportDone,          msg::kExportDoneCaption,    msg::kExportFailed,
    msg::kExportFailedCaption, msg::kDestinationPrompt,    msg::kSpecifyOutputFolder,
    msg::kFolderNotFound,      msg::kConversionDone,       msg::kConversionStopped,
    msg::kStopLabel,           msg::kConversionNotStarted, msg::kConversionFailures,
    msg::kWriteFailed,         msg::kConversionSkipped,    msg::kSameOutput,
    msg::kMoreFailures,        msg::kSaveFailed,           msg::kViewMirrored,
    msg::kViewTurned,          msg::kViewTurnSeparator,
};

const Texts kEnglish = {
    msg::en::kLoadFailed,           msg::en::kSetVelmoraLocation,
    msg::en::kVelmoraMissing,       msg::en::kListEmpty,
    msg::en::kFolderPrompt,         msg::en::kQvmOnly,
    msg::en::kExportDone,           msg::en::kExportDoneCaption,
    msg::en::kExportFailed,         msg::en::kExportFailedCaption,
    msg::en::kDestinationPrompt,    msg::en::kSpecifyOutputFolder,
    msg::en::kFolderNotFound,       msg::en::kConversionDone,
    msg::en::kConversionStopped,    msg::kStopLabel,
    msg::en::kConversionNotStarted, msg::en::kConversionFailures,
    msg::en::kWriteFailed,          msg::en::kConversionSkipped,
    msg::en::kSameOutput,           msg::en::kMoreFailures,
    msg::en::kSaveFailed,           msg::en::kViewMirrored,
    msg::en::kViewTurned,           msg::en::kViewTurnSeparator,
};

} // namespace

Language ChooseLanguage(uint16_t uiLanguage, const char* setting) {
    if (setting != nullptr && Names(setting, "ja"))
        return Language::Japanese;
    if (setting != nullptr && Names(setting, "en"))
        return Language::English;
    return (uiLanguage & kPrimaryLanguageMask) == kJapanesePrimary ? Language::Japanese : Language::English;
}

const Texts& TextsFor(Language language) {
    return language == Language::Japanese ? kJapanese : kEnglish;
}
