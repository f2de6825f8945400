#include "app/UserLanguage.h"

#include "app/Settings.h"

#include <windows.h>

const Texts& UserTexts(const Settings& settings) {
    // The language of the user's menus and dialogs, not the code page or
    // the formats: a Japanese code page under an English interface is
    // still an English speaker's.
    return TextsFor(ChooseLanguage(GetUserDefaultUILanguage(), settings.Language.Text()));
}
