// Which language the messages are in, and that the English texts can stand
// wherever the Japanese ones do.

#include "app/Language.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

namespace {

struct LanguageCase {
    const char* name;
    uint16_t uiLanguage;
    const char* setting;
    Language expected;
};

const LanguageCase kCases[] = {
    {"JapaneseInterfaceIsJapanese", 0x0411, "", Language::Japanese},
    {"AmericanInterfaceIsEnglish", 0x0409, "", Language::English},
    {"BritishInterfaceIsEnglish", 0x0809, "", Language::English},
    {"GermanInterfaceIsEnglish", 0x0407, "", Language::English},
    {"ChineseInterfaceIsEnglish", 0x0804, "", Language::English},
    {"NoSettingAtAllIsTheInterfaces", 0x0411, nullptr, Language::Japanese},
    {"EnglishSettingOverridesJapanese", 0x0411, "en", Language::English},
    {"JapaneseSettingOverridesEnglish", 0x0409, "ja", Language::Japanese},
    {"SettingIgnoresCase", 0x0409, "JA", Language::Japanese},
    {"SettingMayNameARegion", 0x0409, "ja-JP", Language::Japanese},
    {"RegionAfterAnUnderscore", 0x0411, "en_US", Language::English},
    {"UnknownSettingLeavesTheInterfaces", 0x0411, "fr", Language::Japanese},
    {"LongerWordIsNotTheCode", 0x0409, "jap", Language::English},
    {"BlankSettingLeavesTheInterfaces", 0x0409, " ", Language::English},
};

class LanguageChoice : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoice, FollowsTheInterfaceUnlessTheSettingNamesOne) {
    EXPECT_EQ(ChooseLanguage(GetParam().uiLanguage, GetParam().setting), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LanguageChoice, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LanguageCase>& info) { return info.param.name; });

const char* Texts::*const kFields[] = {
    &Texts::loadFailed,          &Texts::setVelmoraLocation,   &Texts::velmoraMissing,
    &Texts::listEmpty,           &Texts::folderPrompt,         &Texts::qvmOnly,
    &Texts::exportDone,          &Texts::exportDoneCaption,    &Texts::exportFailed,
    &Texts::exportFailedCaption, &Texts::destinationPrompt,    &Texts::specifyOutputFolder,
    &Texts::folderNotFound,      &Texts::conversionDone,       &Texts::conversionStopped,
    &Texts::stopLabel,           &Texts::conversionNotStarted, &Texts::conversionFailures,
    &Texts::writeFailed,         &Texts::conversionSkipped,    &Texts::sameOutput,
    &Texts::moreFailures,        &Texts::saveFailed,           &Texts::viewMirrored,
    &Texts::viewTurned,          &Texts::viewTurnSeparator,
};
static_assert(sizeof(Texts) == std::size(kFields) * sizeof(const char*), "every text is checked");

// The printf conversions of a text, in order: "%d%s" for "a %d b %s c".
std::string Conversions(const char* text) {
    std::string found;
    for (const char* p = std::strchr(text, '%'); p != nullptr; p = std::strchr(p + 2, '%'))
        found += std::string("%") + p[1];
    return found;
}

TEST(LanguageTexts, EveryTextTakesTheSameArgumentsInBothLanguages) {
    const Texts& japanese = TextsFor(Language::Japanese);
    const Texts& english = TextsFor(Language::English);
    for (size_t i = 0; i < std::size(kFields); ++i) {
        const char* ja = japanese.*kFields[i];
        const char* en = english.*kFields[i];
        ASSERT_NE(ja, nullptr) << i;
        ASSERT_NE(en, nullptr) << i;
        EXPECT_GT(std::strlen(en), 0u) << i;
        EXPECT_EQ(Conversions(en), Conversions(ja)) << en;
    }
}

TEST(LanguageTexts, EnglishHoldsNoJapanese) {
    // Japanese script starts at U+3000, whose UTF-8 forms lead with 0xE3 or
    // more; a degree sign (U+00B0) is English text too.
    const Texts& english = TextsFor(Language::English);
    for (const char* Texts::*field : kFields)
        for (const char* p = english.*field; *p != 0; ++p)
            EXPECT_LT(static_cast<unsigned char>(*p), 0xE3u) << english.*field;
}

TEST(LanguageTexts, JapaneseAreTheProgramsOwnTexts) {
    // "読み込みに失敗", as the program has always said it.
    EXPECT_STREQ(TextsFor(Language::Japanese).loadFailed,
                 "\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97");
    EXPECT_STREQ(TextsFor(Language::English).loadFailed, "Loading failed");
}

} // namespace
