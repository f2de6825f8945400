// The language the real viewer speaks: its Japanese texts where the system's
// user interface is Japanese, English elsewhere, and the Language setting
// over either, in the title, the status bar, the boxes and the conversion's
// progress line. Run under a Japanese system (viewer_language_test) and a
// Western one (viewer_language_test_1252). The same runs check that the
// conversion names each failure's reason and makes a missing destination.

#include "tests/app/ViewerDialogs.h"
#include "tests/app/ViewerSession.h"
#include "tests/support/DocWriter.h"

#include "res/Messages.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using viewer::Session;

// What the viewer says, in one language, taken from the program's texts.
struct Said {
    const char* loadFailed;
    const char* setVelmoraLocation;
    const char* conversionDone;
    const char* conversionFailures;
};
const Said kJapanese = {msg::kLoadFailed, msg::kSetVelmoraLocation, msg::kConversionDone, msg::kConversionFailures};
const Said kEnglish = {msg::en::kLoadFailed, msg::en::kSetVelmoraLocation, msg::en::kConversionDone,
                       msg::en::kConversionFailures};

// The system the harness made: a Japanese one unless the Western locale was
// asked for.
bool JapaneseSystem() {
    const char* locale = std::getenv("TESSAVEL_WINE_LOCALE");
    return locale == nullptr || std::string(locale).rfind("ja", 0) == 0;
}

struct LanguageCase {
    const char* name;
    const char* setting; // null: no Language key
    enum { System, English, Japanese } speaks;
};

const LanguageCase kCases[] = {
    {"NoSettingSpeaksTheSystemsLanguage", nullptr, LanguageCase::System},
    {"EnglishSettingSpeaksEnglish", "en", LanguageCase::English},
    {"JapaneseSettingSpeaksJapanese", "ja", LanguageCase::Japanese},
};

class ViewerLanguage : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(ViewerLanguage, TitleStatusBoxesAndConversionSpeakIt) {
    // The harness's system is the one the test expects, or nothing here
    // means anything.
    ASSERT_EQ(viewer::JapaneseInterface(), JapaneseSystem());
    const bool japanese =
        GetParam().speaks == LanguageCase::Japanese || (GetParam().speaks == LanguageCase::System && JapaneseSystem());
    const Said& said = japanese ? kJapanese : kEnglish;

    viewer::DocFolder docs;
    const std::string bad = docs.Raw("bad.qvm", std::string("QVMDATA") + '\x09');
    docs.Qvm("good.qvm", 4, 3);
    const std::string out = docs.Path() + "\\made\\deeper"; // missing, with the folder above it
    viewer::SettingsValues values;
    values.convDir = out;
    values.convType = 1;
    std::string settings = values.Text();
    if (GetParam().setting != nullptr)
        settings += std::string("Language=") + GetParam().setting + "\r\n";
    Session viewer;
    ASSERT_TRUE(viewer.WriteSettings(settings));
    ASSERT_TRUE(viewer.Start("\"" + docs.Path() + "\""));

    // The first listed is the broken one.
    EXPECT_EQ(viewer.TitleNow(), std::string("Tessavel - ") + said.loadFailed + " bad.qvm");
    EXPECT_EQ(viewer.StatusPart(1), std::string(said.loadFailed) + ": unsupported version 9");
    ASSERT_TRUE(viewer.Post(viewer::kOpenInVelmora));
    EXPECT_EQ(viewer.DismissBox(), said.setVelmoraLocation);

    HWND dialog = viewer::OpenDialog(viewer, IDM_CONVERT_ALL, "Conversion");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(viewer::Convert(dialog));
    char done[96];
    std::snprintf(done, sizeof done, said.conversionDone, 1, 2);
    EXPECT_EQ(viewer::ConversionCaption(dialog), done);
    // The reason beside the failure, as the converter gives it.
    EXPECT_EQ(viewer.DismissBox(),
              std::string(said.conversionFailures) + "\n\n" + bad + ": " + said.loadFailed + ": unsupported version 9");
    EXPECT_NE(GetFileAttributesA((out + "\\good.png").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(viewer::ClickItem(dialog, IDCANCEL));
    EXPECT_EQ(viewer.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewerLanguage, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LanguageCase>& info) { return info.param.name; });

} // namespace
