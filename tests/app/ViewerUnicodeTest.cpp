// Documents whose names no one code page spells, in a folder named so too:
// the viewer lists, opens, remembers and reports each one under its own
// name. The suite runs under a Japanese (932) and a Western (1252) system
// code page; names and messages are UTF-8 here, as in the program.
#include "tests/app/ViewerDialogs.h"
#include "tests/app/ViewerSession.h"
#include "tests/e2e/E2ePaths.h"
#include "tests/e2e/PickerDialog.h"
#include "tests/e2e/ProbeIds.h"
#include "tests/e2e/WindowQuery.h"
#include "tests/support/DocWriter.h"
#include "tests/support/WaitUntil.h"

#include "res/ResourceIds.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using viewer::Lines;
using viewer::Session;

const std::string kFolder = "\xEA\xB7\xB8\xEB\xA6\xBC \xED\x8F\xB4\xEB\x8D\x94"; // 그림 폴더

struct Named {
    std::string name;
    int width;
};

// Each picture is as wide as no other, so that a document opened under
// another's name (café for cafe, as a best-fit conversion would) shows.
const Named kDocuments[] = {
    {"\xEA\xB7\xB8\xEB\xA6\xBC.qvm", 5},     // 그림.qvm: Korean
    {"\xE7\xB5\xB5\xF0\x9F\x98\x80.qvm", 6}, // 絵😀.qvm: a surrogate pair
    {"caf\xC3\xA9.qvm", 7},                  // café.qvm ...
    {"cafe.qvm", 8},                         // ... beside its look-alike
    {"\xE8\xA1\xA8\xE7\xA4\xBA.qvm", 9},     // 表示.qvm: 0x5C as a CP932 trail byte
    {"\xEA\xB8\xB0\xEB\xA1\x9D.qvr", 10},    // 기록.qvr
};
const int kHeight = 3;

std::string WriteFolder(const viewer::DocFolder& docs) {
    const std::string folder = docs.Sub(kFolder);
    for (const Named& document : kDocuments) {
        if (document.name.size() > 4 && document.name.compare(document.name.size() - 4, 4, ".qvr") == 0)
            docs.QvrIn(folder, document.name, document.width, kHeight);
        else
            docs.QvmIn(folder, document.name, document.width, kHeight, document.width);
    }
    return folder;
}

Lines SortedNames() {
    Lines names;
    for (const Named& document : kDocuments)
        names.push_back(document.name);
    std::sort(names.begin(), names.end());
    return names;
}

// The titles of every document, stepped through from the first listed.
std::set<std::string> TitlesSteppedThrough(Session& viewer) {
    std::set<std::string> titles;
    for (size_t i = 0; i < std::size(kDocuments); ++i) {
        titles.insert(viewer.TitleNow());
        EXPECT_TRUE(viewer.Post(viewer::kNext));
    }
    return titles;
}

std::set<std::string> ExpectedTitles() {
    std::set<std::string> titles;
    for (const Named& document : kDocuments)
        titles.insert(viewer::Title(document.width, kHeight, document.name));
    return titles;
}

TEST(ViewerUnicode, EveryNameIsListedOpenedAndRememberedAcrossARestart) {
    viewer::DocFolder docs;
    const std::string folder = WriteFolder(docs);
    std::string settings;
    {
        Session viewer;
        ASSERT_TRUE(viewer.Start("\"" + folder + "\""));
        Lines items = viewer.Items();
        std::sort(items.begin(), items.end());
        EXPECT_EQ(items, SortedNames());
        EXPECT_EQ(TitlesSteppedThrough(viewer), ExpectedTitles());
        EXPECT_EQ(viewer.Close(), 0u);
        settings = viewer.ReadSettings().value_or("");
    }
    // No system code page spells the folder: the file is UTF-8, marked so.
    EXPECT_EQ(settings.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_EQ(viewer::ValueOf(settings, "RecDir1"), folder);

    // A start without a path lists the remembered folder again.
    Session again;
    ASSERT_TRUE(again.WriteSettings(settings));
    ASSERT_TRUE(again.Start());
    Lines items = again.Items();
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, SortedNames());
    EXPECT_EQ(again.Close(), 0u);
}

TEST(ViewerUnicode, ADroppedDocumentOpensAndABrokenOneIsNamedInTheProgramsLanguage) {
    viewer::DocFolder docs;
    const std::string folder = WriteFolder(docs);
    const std::string broken = "\xE5\xA3\x8A\xE3\x82\x8C.qvm"; // 壊れ.qvm
    docs.Raw(kFolder + "\\" + broken, "QVMDATA but nothing after it");
    Session viewer;
    ASSERT_TRUE(viewer.Start());
    ASSERT_TRUE(viewer.Drop({folder + "\\" + kDocuments[4].name}));
    EXPECT_EQ(viewer.TitleNow(), viewer::Title(kDocuments[4].width, kHeight, kDocuments[4].name))
        << viewer.StatusPart(1);
    ASSERT_TRUE(viewer.Drop({folder + "\\" + broken}));
    // 読み込みに失敗 whatever the system's code page, with no box.
    EXPECT_EQ(viewer.TitleNow(), viewer::FailedTitle(broken));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.Close(), 0u);
}

// The command line the stand-in for Velmora (the harness's probe, which
// records its command line read wide) was started with, once it shows it;
// the stand-in is closed afterwards.
std::string VelmoraCommandTail() {
    HWND launched = nullptr;
    waits::WaitUntil([&] { return (launched = FindWindowA(probe::kMainClass, nullptr)) != nullptr; });
    if (launched == nullptr)
        return "(Velmora was not started)";
    std::string tail;
    waits::WaitUntil([&] {
        tail = e2e::ListText(e2e::FindChild(launched, "LISTBOX"), 0);
        return !tail.empty();
    });
    PostMessageA(launched, WM_CLOSE, 0, 0);
    waits::WaitUntil([launched] { return !IsWindow(launched); });
    return tail;
}

TEST(ViewerUnicode, VelmoraReceivesEachDocumentsExactPath) {
    viewer::DocFolder docs;
    const std::string folder = WriteFolder(docs);
    Session viewer;
    ASSERT_TRUE(CopyFileA(e2e::ProbeExe().c_str(), (viewer.process.Folder() + "\\velmora.exe").c_str(), FALSE));
    viewer::SettingsValues values;
    values.velmora = "velmora.exe";
    ASSERT_TRUE(viewer.WriteSettings(values.Text()));
    ASSERT_TRUE(viewer.Start("\"" + folder + "\""));
    // Every document in list order, whichever order the code page sorts them
    // in: each is told by its title.
    std::set<std::string> handed;
    for (size_t step = 0; step < std::size(kDocuments); ++step) {
        const std::string title = viewer.TitleNow();
        const auto shown = std::find_if(std::begin(kDocuments), std::end(kDocuments), [&](const Named& document) {
            return viewer::Title(document.width, kHeight, document.name) == title;
        });
        ASSERT_NE(shown, std::end(kDocuments)) << title;
        ASSERT_TRUE(viewer.Send(viewer::kOpenInVelmora));
        EXPECT_EQ(VelmoraCommandTail(), "tail \"" + folder + "\\" + shown->name + "\"");
        handed.insert(shown->name);
        ASSERT_TRUE(viewer.Post(viewer::kNext));
    }
    EXPECT_EQ(handed.size(), std::size(kDocuments));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.Close(), 0u);
}

// The open-file and folder pickers and the conversion dialog's "..." take a
// typed path no code page spells, and the viewer gets it whole.
TEST(ViewerUnicode, PickersTakeTypedPathsWhole) {
    viewer::DocFolder docs;
    const std::string folder = WriteFolder(docs);
    // 다른 😀\\사진.qvm, apart from the folder of the others.
    const std::string other = docs.Sub("\xEB\x8B\xA4\xEB\xA5\xB8 \xF0\x9F\x98\x80");
    const std::string photo = "\xEC\x82\xAC\xEC\xA7\x84.qvm";
    docs.QvmIn(other, photo, 11, kHeight, 11);
    Session viewer;
    ASSERT_TRUE(viewer.Start());

    ASSERT_TRUE(viewer.Post(viewer::kOpenFile));
    e2e::Appeared picker = viewer.process.WaitMessageBox();
    ASSERT_NE(picker.hwnd, nullptr);
    ASSERT_TRUE(e2e::TypeAndConfirm(picker.hwnd, other + "\\" + photo));
    ASSERT_TRUE(viewer::WaitGone(picker.hwnd));
    EXPECT_EQ(viewer.TitleNow(), viewer::Title(11, kHeight, photo));
    EXPECT_EQ(viewer.Items(), Lines{photo});

    ASSERT_TRUE(viewer.Post(IDM_OPEN_FOLDER));
    picker = viewer.process.WaitMessageBox();
    ASSERT_NE(picker.hwnd, nullptr);
    ASSERT_TRUE(e2e::TypeAndConfirm(picker.hwnd, folder));
    ASSERT_TRUE(viewer::WaitGone(picker.hwnd));
    waits::WaitUntil([&] { return viewer.Items().size() == std::size(kDocuments); });
    Lines items = viewer.Items();
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, SortedNames());

    // The destination of a conversion: a folder named in Korean and emoji.
    const std::string destination = docs.Sub("\xEC\xB6\x9C\xEB\xA0\xA5 \xF0\x9F\x8E\xA8"); // 출력 🎨
    HWND conversion = viewer::OpenDialog(viewer, IDM_CONVERT_ALL, "Conversion");
    ASSERT_NE(conversion, nullptr);
    ASSERT_TRUE(viewer::ClickItem(conversion, IDC_CONVERSION_BROWSE));
    HWND folderPicker = viewer::WaitOtherDialog(viewer, conversion);
    ASSERT_NE(folderPicker, nullptr);
    ASSERT_TRUE(e2e::TypeAndConfirm(folderPicker, destination));
    ASSERT_TRUE(viewer::WaitGone(folderPicker));
    std::string shown;
    waits::WaitUntil(
        [&] { return (shown = e2e::WindowText(GetDlgItem(conversion, IDC_CONVERSION_FOLDER))) == destination; });
    EXPECT_EQ(shown, destination);
    ASSERT_TRUE(viewer::ClickItem(conversion, IDCANCEL));
    ASSERT_TRUE(viewer::WaitGone(conversion));
    EXPECT_TRUE(viewer.NoBox());
    EXPECT_EQ(viewer.Close(), 0u);
}

} // namespace
