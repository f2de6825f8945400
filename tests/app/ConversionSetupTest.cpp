// The Conversion dialog before a run: the destination typed or dropped, the
// warnings that start no job, what "Back" stores, and when the frame's
// command opens the dialog at all.
#include "tests/app/ConversionHarness.h"

using namespace conversiontest;

namespace {

struct FolderWarning {
    const char* name;
    enum { kEmpty, kAFile, kUnderAFile } folder;
    std::string text; // how the warning starts; the system's reason may follow
};

// A folder that cannot be made is named with the reason; so is a file,
// into which nothing could be written.
const FolderWarning kFolderWarnings[] = {
    {"Empty", FolderWarning::kEmpty, msg::kSpecifyOutputFolder},
    {"AFile", FolderWarning::kAFile, std::string(msg::kFolderNotFound) + ": "},
    {"CannotBeMade", FolderWarning::kUnderAFile, std::string(msg::kFolderNotFound) + ": "},
};

class ConversionFolderWarning : public ConversionRun, public ::testing::WithParamInterface<FolderWarning> {};

TEST_P(ConversionFolderWarning, WarnsAndStartsNoJob) {
    AddCatAndDog();
    const std::string file = dir.File("file");
    ASSERT_TRUE(docwriter::WriteFile(file, Bytes{'x'}));
    const std::string folder = GetParam().folder == FolderWarning::kEmpty   ? ""
                               : GetParam().folder == FolderWarning::kAFile ? file
                                                                            : file + "\\sub";
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    bool startEnabled = false;
    Run(dialog, {SetFolder(dialog, folder), Click(dialog, IDC_CONVERSION_START), Ticks(5),
                 Do([&] { startEnabled = Enabled(dialog.hwnd, IDC_CONVERSION_START); }), Click(dialog, IDCANCEL)});
    ASSERT_EQ(spy.Texts().size(), 1u);
    EXPECT_EQ(spy.Texts()[0].rfind(GetParam().text, 0), 0u) << spy.Texts()[0];
    EXPECT_EQ(dialog.runs, 0);
    EXPECT_TRUE(startEnabled);
    EXPECT_TRUE(std::filesystem::is_empty(out));
    EXPECT_EQ(std::string(settings.ConvDir.Text()), folder); // "Back" keeps what the box holds
}

INSTANTIATE_TEST_SUITE_P(Folders, ConversionFolderWarning, ::testing::ValuesIn(kFolderWarnings),
                         [](const ::testing::TestParamInfo<FolderWarning>& info) { return info.param.name; });

TEST_F(ConversionRun, MissingDestinationIsMadeWithTheFoldersAboveIt) {
    AddCatAndDog();
    const std::string folder = dir.File("new") + "\\deeper";
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    Run(dialog,
        {SetFolder(dialog, folder), Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    EXPECT_TRUE(spy.Texts().empty());
    EXPECT_TRUE(std::filesystem::exists(folder + "\\cat.png"));
    EXPECT_TRUE(std::filesystem::exists(folder + "\\DOG.png"));
}

TEST_F(ConversionRun, WorkerThatCannotStartGivesTheControlsBackWithAWarning) {
    AddCatAndDog();
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).startWorker = [](WindowJob&, HWND, std::function<void()>) { return false; };
    std::vector<bool> enabled;
    Run(dialog, {Click(dialog, IDC_CONVERSION_START), Ticks(5), Do([&] {
                     for (int id : {IDC_CONVERSION_FOLDER, IDC_CONVERSION_BROWSE, IDC_CONVERSION_FORMAT,
                                    IDC_CONVERSION_START, IDCANCEL})
                         enabled.push_back(Enabled(dialog.hwnd, id));
                     enabled.push_back(CloseMenuEnabled(dialog.hwnd));
                 }),
                 Click(dialog, IDCANCEL)});
    EXPECT_EQ(spy.Texts(), std::vector<std::string>{msg::kConversionNotStarted});
    EXPECT_EQ(enabled, std::vector<bool>(6, true));
    EXPECT_FALSE(ConversionDialogProbe::IsConverting(dialog));
}

TEST_F(ConversionRun, CheckBoxIsCheckedAtEveryOpening) {
    AddCatAndDog();
    std::vector<UINT> atOpening;
    for (int opening = 0; opening < 2; ++opening) {
        RecordingDialog dialog(list, settings);
        Run(dialog, {Do([&] { atOpening.push_back(IsDlgButtonChecked(dialog.hwnd, IDC_CONVERSION_OVERWRITE)); }),
                     Click(dialog, IDC_CONVERSION_OVERWRITE), Click(dialog, IDCANCEL)});
    }
    EXPECT_EQ(atOpening, (std::vector<UINT>{BST_CHECKED, BST_CHECKED}));
}

struct DropCase {
    const char* name;
    std::vector<std::string> items; // "dir" and "file" stand for a folder and a file
    bool taken;
};

const DropCase kDrops[] = {
    {"Folder", {"dir"}, true},
    {"File", {"file"}, false},
    {"FolderThenFile", {"dir", "file"}, true},
    {"FileThenFolder", {"file", "dir"}, false},
};

class ConversionDrop : public ConversionRun, public ::testing::WithParamInterface<DropCase> {};

TEST_P(ConversionDrop, OnlyAFolderDroppedFirstBecomesTheDestination) {
    AddCatAndDog();
    const std::string folder = dir.File("dropped");
    std::filesystem::create_directory(folder);
    const std::string file = dir.File("note.txt");
    ASSERT_TRUE(docwriter::WriteFile(file, Bytes{'x'}));
    std::vector<std::string> paths;
    for (const std::string& item : GetParam().items)
        paths.push_back(item == "dir" ? folder : file);
    RecordingDialog dialog(list, settings);
    std::string shown;
    Run(dialog, {Do([&] { PostMessageA(dialog.hwnd, WM_DROPFILES, WPARAM(MakeDrop(paths)), 0); }), Ticks(3),
                 Do([&] { shown = ItemText(dialog.hwnd, IDC_CONVERSION_FOLDER); }), Click(dialog, IDCANCEL)});
    EXPECT_EQ(shown, GetParam().taken ? folder : out);
    EXPECT_EQ(std::string(settings.ConvDir.Text()), shown);
}

INSTANTIATE_TEST_SUITE_P(Drops, ConversionDrop, ::testing::ValuesIn(kDrops),
                         [](const ::testing::TestParamInfo<DropCase>& info) { return info.param.name; });

TEST_F(ConversionRun, BackStoresTheFolderCutAt511AndTheFormat) {
    AddCatAndDog();
    const std::string typed(600, 'f');
    RecordingDialog dialog(list, settings);
    Run(dialog, {SetFolder(dialog, typed), Do([&] { ConversionDialogProbe::Format(dialog).SetCurSel(0); }),
                 Click(dialog, IDCANCEL)});
    EXPECT_EQ(std::string(settings.ConvDir.Text()), typed.substr(0, 511));
    EXPECT_EQ(settings.ConvType, 0);
}

TEST_F(ConversionRun, EmptyListWarnsInsteadOfOpeningTheDialog) {
    MessageBoxSpy spy;
    ConvertAllFiles(frame.hwnd, list, settings);
    EXPECT_EQ(spy.Texts(), std::vector<std::string>{msg::kListEmpty});
}

TEST_F(ConversionRun, ListWithFilesOpensTheDialog) {
    AddCatAndDog();
    settings.ConvType = 0;
    HWND seen = nullptr;
    DialogScript script([] { return FindOtherDialog(nullptr); }, {[&] {
                            seen = FindOtherDialog(nullptr);
                            SendDlgItemMessageA(seen, IDC_CONVERSION_FORMAT, CB_SETCURSEL, 1, 0);
                            PostMessageA(seen, WM_COMMAND, IDCANCEL, 0);
                            return true;
                        }});
    MessageBoxSpy spy;
    ConvertAllFiles(frame.hwnd, list, settings);
    EXPECT_TRUE(script.Finished());
    EXPECT_NE(seen, nullptr);
    EXPECT_TRUE(spy.Calls().empty());
    EXPECT_EQ(settings.ConvType, 1);
}

} // namespace
