// The Conversion dialog on its real template with a real file list and the
// real worker thread, driven from inside its modal loop: what gets written
// and counted, what the controls do during a run, and the roads by which a
// close request may come.
#include "tests/framework/DialogScript.h"
#include "TestWindows.h"

#include "tests/app/ConversionDialogProbe.h"
#include "app/Settings.h"
#include "framework/AppShell.h"
#include "app/FileListFont.h"
#include "framework/FileListBox.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "tests/app/OutputPictures.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using docwriter::Bytes;

constexpr int kW = 5;
constexpr int kH = 4;

// A QVM document of one layer whose pixels differ everywhere.
Bytes QvmDocument(uint8_t seed) {
    docwriter::QvmDocument doc;
    doc.width = kW;
    doc.height = kH;
    docwriter::QvmLayer layer;
    layer.opacity = 128;
    for (int i = 0; i < kW * kH; ++i)
        layer.pixels.insert(layer.pixels.end(), {uint8_t(i * 7 + seed), uint8_t(i * 13), uint8_t(seed * 3 + i), 255});
    doc.layers = {layer};
    return docwriter::WriteQvm(doc);
}

// A QVR document of one colour through a mask of varied coverage.
Bytes QvrDocument() {
    docwriter::QvrV0Document doc;
    doc.width = kW;
    doc.height = kH;
    docwriter::QvrMaskLayer layer;
    layer.color = 0x00204080;
    const int stride = (kW + 3) & ~3;
    for (int i = 0; i < stride * kH; ++i)
        layer.mask.push_back(uint8_t(i * 29));
    doc.layers = {layer};
    return docwriter::WriteQvrV0(doc);
}

using outputs::BmpPicture;
using outputs::PictureOf;
using Rgb = outputs::Bytes; // red, green, blue per pixel, top row first

Rgb DecodePng(const std::string& file) {
    return outputs::PngSamples(file, 2);
}

std::string Done(int written, int total) {
    char text[96];
    std::snprintf(text, sizeof(text), msg::kConversionDone, written, total);
    return text;
}

// Holds the worker back until the test opens the gate, so that it can act
// while a run is under way.
HANDLE Gate() {
    static HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return gate;
}

bool StartGated(std::thread& thread, std::function<void()> body) {
    return WorkPool::StartThread(thread, [body] {
        WaitForSingleObject(Gate(), 30000);
        body();
    });
}

std::string Skipped(int count) {
    char text[96];
    std::snprintf(text, sizeof(text), msg::kConversionSkipped, count);
    return text;
}

std::string Stopped(int written, int total) {
    char text[96];
    std::snprintf(text, sizeof(text), msg::kConversionStopped, written, total);
    return text;
}

// Holds items of a run at their own gates (open unless a test closes them),
// so that a test can keep documents in flight, finish them out of order and
// stop a run between them.
constexpr int kItemGates = 4;

struct ItemGates {
    HANDLE open[kItemGates];
    std::atomic<bool> entered[kItemGates];
    ItemGates() {
        for (HANDLE& gate : open)
            gate = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    }
    void Reset() {
        for (int i = 0; i < kItemGates; ++i) {
            SetEvent(open[i]);
            entered[i] = false;
        }
    }
};

ItemGates& Gates() {
    static ItemGates gates;
    return gates;
}

ItemResult GatedConvert(const ConversionWork& work, int32_t index, ImageBuffer& image, WorkPool& pool) {
    if (index < kItemGates) {
        Gates().entered[index] = true;
        WaitForSingleObject(Gates().open[index], 30000);
    }
    return ConvertListedItem(work, index, image, pool);
}

DialogScript::Step Hold(std::vector<int> items) {
    return Do([items] {
        for (int item : items)
            ResetEvent(Gates().open[item]);
    });
}

DialogScript::Step Release(std::vector<int> items) {
    return Do([items] {
        for (int item : items)
            SetEvent(Gates().open[item]);
    });
}

DialogScript::Step WaitEntered(std::vector<int> items) {
    return [items] {
        return std::all_of(items.begin(), items.end(), [](int item) { return Gates().entered[item].load(); });
    };
}

// The dialog, recording what the bar shows as the job goes on.
class RecordingDialog : public ConversionDialog {
public:
    using ConversionDialog::ConversionDialog;

    bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        const bool handled = ConversionDialog::OnUserMessage(message, wParam, lParam);
        // Until the first item of the first run has started the caption is
        // empty; a later item may report its start before the first does,
        // which changes nothing the user sees.
        const std::string caption = ConversionDialogProbe::Progress(*this).caption.Text();
        if (!caption.empty() && (captions.empty() || captions.back() != caption))
            captions.push_back(caption);
        if (message == kConversionItemDone)
            positions.push_back(ConversionDialogProbe::Progress(*this).GetPos());
        return handled;
    }
    bool OnCommand(uint32_t id, uint32_t code, LPARAM control) override {
        const bool handled = ConversionDialog::OnCommand(id, code, control);
        if (id == IDM_CONVERSION_DONE)
            ++runs;
        return handled;
    }

    std::vector<std::string> captions;
    std::vector<int32_t> positions;
    int runs = 0;
};

DialogScript::Step WaitRuns(RecordingDialog& dialog, int runs) {
    return [&dialog, runs] { return dialog.runs >= runs; };
}

DialogScript::Step WaitConverting(RecordingDialog& dialog) {
    return [&dialog] { return ConversionDialogProbe::IsConverting(dialog); };
}

DialogScript::Step SetFolder(Dialog& dialog, std::string folder) {
    return Do([&dialog, folder] { SetDlgItemTextA(dialog.hwnd, IDC_CONVERSION_FOLDER, folder.c_str()); });
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

bool CloseMenuEnabled(HWND dialog) {
    return (GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) == 0;
}

// A drop of paths, as the shell hands it over.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* text = reinterpret_cast<char*>(drop + 1);
    for (const std::string& path : paths) {
        std::memcpy(text, path.c_str(), path.size() + 1);
        text += path.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class ConversionRun : public ::testing::Test {
protected:
    void SetUp() override {
        AppShell::Init(true);
        ASSERT_TRUE(CreateTestWindow(frame));
        ASSERT_TRUE(CreateFileList(list, frame.hwnd));
        out = dir.File("out");
        src = dir.File("src");
        std::filesystem::create_directory(out);
        std::filesystem::create_directory(src);
        settings.ConvDir.Assign(out.c_str());
        settings.ConvType = 1;
        ResetEvent(Gate());
        Gates().Reset();
    }
    void TearDown() override {
        SetEvent(Gate());
        Gates().Reset();
        list.ClearFiles();
    }

    std::string AddDocument(const std::string& folder, const std::string& name, const Bytes& bytes) {
        const std::string path = folder + "\\" + name;
        EXPECT_TRUE(docwriter::WriteFile(path, bytes));
        Str full;
        full.Assign(path.c_str());
        EXPECT_TRUE(list.AddFile(full, false));
        return path;
    }
    // cat.qvr and DOG.QVM in src; returns their paths in list order.
    std::vector<std::string> AddCatAndDog() {
        const std::string cat = AddDocument(src, "cat.qvr", QvrDocument());
        const std::string dog = AddDocument(src, "DOG.QVM", QvmDocument(1));
        return {cat, dog}; // the list sorts without regard to case
    }
    std::string Out(const std::string& name) const { return out + "\\" + name; }

    INT_PTR Run(RecordingDialog& dialog, std::vector<DialogScript::Step> steps, bool* finished = nullptr) {
        DialogScript script(dialog, std::move(steps));
        const INT_PTR result = dialog.Run(frame.hwnd);
        EXPECT_TRUE(script.Finished());
        if (finished != nullptr)
            *finished = script.Finished();
        return result;
    }

    TempDir dir;
    std::string out, src;
    Live<Window> frame;
    Live<FileListBox> list;
    Settings settings;
};

struct FormatCase {
    const char* name;
    int32_t convType;
    const char* catOutput;
    const char* dogOutput;
    Rgb (*decode)(const std::string&);
};

const FormatCase kFormats[] = {
    {"Png", 1, "cat.png", "DOG.png", DecodePng},
    {"Bmp", 0, "cat.bmp", "DOG.bmp", BmpPicture},
};

class ConversionFormat : public ConversionRun, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConversionFormat, EveryListedDocumentIsWrittenAsItsPicture) {
    const FormatCase& c = GetParam();
    settings.ConvType = c.convType;
    const std::vector<std::string> documents = AddCatAndDog();
    RecordingDialog dialog(list, settings);
    int32_t range = 0;
    std::string barText;
    EXPECT_EQ(
        Run(dialog, {Do([&] { range = ConversionDialogProbe::Progress(dialog).maximum; }),
                     Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1),
                     Do([&] { barText = ItemText(dialog.hwnd, IDC_CONVERSION_PROGRESS); }), Click(dialog, IDCANCEL)}),
        0);
    EXPECT_EQ(barText, Done(2, 2)); // the caption is the bar's window text too
    EXPECT_EQ(range, 2);
    EXPECT_EQ(c.decode(Out(c.catOutput)), PictureOf(documents[0]));
    EXPECT_EQ(c.decode(Out(c.dogOutput)), PictureOf(documents[1]));
    EXPECT_FALSE(PictureOf(documents[0]).empty());
    // The file about to be converted, then the count; one step per item.
    EXPECT_EQ(dialog.captions, (std::vector<std::string>{"cat.qvr", "DOG.QVM", Done(2, 2)}));
    EXPECT_EQ(dialog.positions, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(settings.ConvType, c.convType);
    EXPECT_EQ(std::string(settings.ConvDir.Text()), out);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConversionFormat, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

TEST_F(ConversionRun, OverwriteOffWithEveryOutputPresentWritesNothing) {
    AddCatAndDog();
    for (const char* name : {"cat.png", "DOG.png"})
        ASSERT_TRUE(docwriter::WriteFile(Out(name), Bytes{'k', 'e', 'e', 'p'}));
    RecordingDialog dialog(list, settings);
    Run(dialog, {Click(dialog, IDC_CONVERSION_OVERWRITE), Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1),
                 Click(dialog, IDCANCEL)});
    ASSERT_FALSE(dialog.captions.empty());
    EXPECT_EQ(dialog.captions.back(), Done(0, 2));
    for (const char* name : {"cat.png", "DOG.png"})
        EXPECT_EQ(docwriter::ReadFile(Out(name)), (Bytes{'k', 'e', 'e', 'p'})) << name;
}

TEST_F(ConversionRun, SameNameFromTwoFoldersKeepsTheEarlierAndFailsTheLaterByName) {
    const std::string sub = dir.File("src\\sub");
    std::filesystem::create_directory(sub);
    AddDocument(src, "m041.qvm", QvmDocument(10));
    AddDocument(sub, "m041.qvm", QvmDocument(90));
    AddDocument(src, "other.qvm", QvmDocument(50));
    const std::string first = list.PathAt(0), second = list.PathAt(1);
    ASSERT_NE(PictureOf(first), PictureOf(second));
    // The list tells the two apart by their folders; a name of its own stays bare.
    std::vector<std::string> shown;
    for (int i = 0; i < 3; ++i) {
        Str text;
        list.GetText(i, text);
        shown.emplace_back(text.Text());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"src\\m041.qvm", "sub\\m041.qvm", "other.qvm"}));
    char reason[1024];
    std::snprintf(reason, sizeof reason, msg::kSameOutput, "m041.png", first.c_str());
    const std::string failures = std::string(msg::kConversionFailures) + "\n\n" + second + ": " + reason;
    for (bool overwrite : {true, false}) {
        std::filesystem::remove(Out("m041.png"));
        MessageBoxSpy spy;
        RecordingDialog dialog(list, settings);
        ConversionDialogProbe::Seams(dialog).jobs = 2; // two at once whatever the machine
        std::vector<DialogScript::Step> steps;
        if (!overwrite)
            steps.push_back(Click(dialog, IDC_CONVERSION_OVERWRITE));
        steps.insert(steps.end(), {Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
        Run(dialog, std::move(steps));
        EXPECT_EQ(DecodePng(Out("m041.png")), PictureOf(first)) << overwrite;
        ASSERT_FALSE(dialog.captions.empty());
        EXPECT_EQ(dialog.captions.back(), Done(overwrite ? 2 : 1, 3)) << overwrite;
        ASSERT_EQ(spy.Calls().size(), 1u) << overwrite;
        EXPECT_EQ(spy.Calls()[0].text, overwrite ? failures : failures + "\n\n" + Skipped(1)) << overwrite;
    }
}

TEST_F(ConversionRun, FormatOutsideTheListOpensWithoutSelectionWritesPngAndBackStoresMinusOne) {
    settings.ConvType = 5;
    AddCatAndDog();
    RecordingDialog dialog(list, settings);
    int shown = 0;
    Run(dialog, {Do([&] { shown = ConversionDialogProbe::Format(dialog).GetCurSel(); }),
                 Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    EXPECT_EQ(shown, -1);
    EXPECT_TRUE(std::filesystem::exists(Out("cat.png")));
    EXPECT_TRUE(std::filesystem::exists(Out("DOG.png")));
    EXPECT_EQ(settings.ConvType, -1);
}

TEST_F(ConversionRun, FailedSaveIsNotCountedAsConvertedAndIsNamedWithItsReason) {
    const std::vector<std::string> paths = AddCatAndDog();
    std::filesystem::create_directory(Out("cat.png")); // a folder where the file would go
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    Run(dialog, {Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    ASSERT_FALSE(dialog.captions.empty());
    EXPECT_EQ(dialog.captions.back(), Done(1, 2)); // the caption is as before
    EXPECT_EQ(dialog.positions, (std::vector<int32_t>{1, 2}));
    ASSERT_EQ(spy.Calls().size(), 1u);
    const std::string& text = spy.Calls()[0].text;
    EXPECT_EQ(
        text.rfind(std::string(msg::kConversionFailures) + "\n\n" + paths[0] + ": " + msg::kWriteFailed + ": ", 0), 0u)
        << text;
    EXPECT_EQ(text.find(paths[1]), std::string::npos) << "the converted one is not listed";
    EXPECT_EQ(spy.Calls()[0].type & MB_ICONEXCLAMATION, UINT(MB_ICONEXCLAMATION));
}

TEST_F(ConversionRun, UnreadableAndSkippedDocumentsAreToldApart) {
    AddCatAndDog();
    const std::string bad = AddDocument(src, "bad.qvm", Bytes{'Q', 'V', 'M', 'D', 'A', 'T', 'A', 9});
    ASSERT_TRUE(docwriter::WriteFile(Out("cat.png"), Bytes{'x'}));
    {
        MessageBoxSpy spy;
        RecordingDialog dialog(list, settings);
        Run(dialog, {Click(dialog, IDC_CONVERSION_OVERWRITE), Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1),
                     Click(dialog, IDCANCEL)});
        ASSERT_EQ(spy.Calls().size(), 1u);
        char skipped[96];
        std::snprintf(skipped, sizeof skipped, msg::kConversionSkipped, 1);
        EXPECT_EQ(spy.Calls()[0].text,
                  std::string(msg::kConversionFailures) + "\n\n" + bad + ": " + msg::kLoadFailed + "\n\n" + skipped);
    }
    // A run where nothing failed says nothing more than its caption.
    list.ClearFiles();
    AddCatAndDog();
    MessageBoxSpy spy;
    RecordingDialog again(list, settings);
    Run(again, {Click(again, IDC_CONVERSION_OVERWRITE), Click(again, IDC_CONVERSION_START), WaitRuns(again, 1),
                Click(again, IDCANCEL)});
    EXPECT_TRUE(spy.Calls().empty());
}

TEST_F(ConversionRun, FileAsDestinationPassesTheTestButNothingIsWritten) {
    AddCatAndDog();
    const std::string file = dir.File("plain.txt");
    ASSERT_TRUE(docwriter::WriteFile(file, Bytes{'x'}));
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    Run(dialog,
        {SetFolder(dialog, file), Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    ASSERT_FALSE(dialog.captions.empty());
    EXPECT_EQ(dialog.captions.back(), Done(0, 2));
    // Both documents failed to be written, and the box says so.
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(std::count(spy.Calls()[0].text.begin(), spy.Calls()[0].text.end(), '\n'), 3) << spy.Calls()[0].text;
}

struct FolderWarning {
    const char* name;
    bool missing; // false: empty
    const char* text;
};

const FolderWarning kFolderWarnings[] = {
    {"Empty", false, msg::kSpecifyOutputFolder},
    {"Missing", true, msg::kFolderNotFound},
};

class ConversionFolderWarning : public ConversionRun, public ::testing::WithParamInterface<FolderWarning> {};

TEST_P(ConversionFolderWarning, WarnsAndStartsNoJob) {
    AddCatAndDog();
    const std::string folder = GetParam().missing ? dir.File("nowhere") : "";
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    bool startEnabled = false;
    Run(dialog, {SetFolder(dialog, folder), Click(dialog, IDC_CONVERSION_START), Ticks(5),
                 Do([&] { startEnabled = Enabled(dialog.hwnd, IDC_CONVERSION_START); }), Click(dialog, IDCANCEL)});
    EXPECT_EQ(spy.Texts(), std::vector<std::string>{GetParam().text});
    EXPECT_EQ(dialog.runs, 0);
    EXPECT_TRUE(startEnabled);
    EXPECT_TRUE(std::filesystem::is_empty(out));
    EXPECT_EQ(std::string(settings.ConvDir.Text()), folder); // "Back" keeps what the box holds
}

INSTANTIATE_TEST_SUITE_P(Folders, ConversionFolderWarning, ::testing::ValuesIn(kFolderWarnings),
                         [](const ::testing::TestParamInfo<FolderWarning>& info) { return info.param.name; });

TEST_F(ConversionRun, WorkerThatCannotStartGivesTheControlsBackWithAWarning) {
    AddCatAndDog();
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).startWorker = [](std::thread&, std::function<void()>) { return false; };
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

struct CloseRoad {
    const char* name;
    bool click; // the "Back" button clicked, else message posted to the dialog
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

const CloseRoad kCloseRoads[] = {
    {"EscapeKey", false, WM_KEYDOWN, VK_ESCAPE, 0},    {"AltF4", false, WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29},
    {"CloseMessage", false, WM_CLOSE, 0, 0},           {"CloseBox", false, WM_SYSCOMMAND, SC_CLOSE, 0},
    {"CancelCommand", false, WM_COMMAND, IDCANCEL, 0}, {"BackButton", true, 0, 0, 0},
};

class ConversionCloseRoad : public ConversionRun, public ::testing::WithParamInterface<CloseRoad> {};

// During a run every road to close the dialog stops the run instead: the
// document in flight is finished, no other starts; once the run has ended
// the same request leaves the dialog.
TEST_P(ConversionCloseRoad, StopsARunAndLeavesAfterIt) {
    const CloseRoad& road = GetParam();
    const std::vector<std::string> documents = AddCatAndDog();
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).jobs = 1;
    ConversionDialogProbe::Seams(dialog).convertItem = GatedConvert;
    auto request = [&] {
        if (road.click)
            return Click(dialog, IDCANCEL);
        return Post(dialog, road.message, road.wParam, road.lParam);
    };
    std::vector<bool> during;
    std::string backDuring, backAfter;
    bool aliveAfterRun = false;
    const INT_PTR result =
        Run(dialog, {Hold({0}), Click(dialog, IDC_CONVERSION_START), WaitEntered({0}), Do([&] {
                         for (int id : {IDC_CONVERSION_FOLDER, IDC_CONVERSION_BROWSE, IDC_CONVERSION_FORMAT,
                                        IDC_CONVERSION_START, IDCANCEL, IDC_CONVERSION_OVERWRITE})
                             during.push_back(Enabled(dialog.hwnd, id));
                         during.push_back(CloseMenuEnabled(dialog.hwnd));
                         backDuring = ItemText(dialog.hwnd, IDCANCEL);
                     }),
                     request(), [&] { return ConversionDialogProbe::IsStopping(dialog); }, Release({0}),
                     WaitRuns(dialog, 1), Do([&] {
                         aliveAfterRun = IsWindow(dialog.hwnd) != 0;
                         backAfter = ItemText(dialog.hwnd, IDCANCEL);
                     }),
                     request()});
    EXPECT_EQ(during, (std::vector<bool>{false, false, false, false, true, true, true}));
    EXPECT_EQ(backDuring, msg::kStopLabel);
    EXPECT_TRUE(aliveAfterRun);
    EXPECT_EQ(backAfter, "&Back");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(DecodePng(Out("cat.png")), PictureOf(documents[0]));
    EXPECT_FALSE(std::filesystem::exists(Out("DOG.png")));
    EXPECT_EQ(dialog.captions, (std::vector<std::string>{"cat.qvr", Stopped(1, 2)}));
    EXPECT_EQ(dialog.positions, (std::vector<int32_t>{1}));
}

INSTANTIATE_TEST_SUITE_P(Roads, ConversionCloseRoad, ::testing::ValuesIn(kCloseRoads),
                         [](const ::testing::TestParamInfo<CloseRoad>& info) { return info.param.name; });

TEST_F(ConversionRun, SecondRunStartsTheBarFromZeroAndConvertsAgain) {
    const std::vector<std::string> documents = AddCatAndDog();
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).startWorker = StartGated;
    int32_t positionAtSecondStart = -1;
    Bytes catBeforeRelease;
    Run(dialog, {Click(dialog, IDC_CONVERSION_START), WaitConverting(dialog), Do([] { SetEvent(Gate()); }),
                 WaitRuns(dialog, 1), Do([&] {
                     ResetEvent(Gate());
                     docwriter::WriteFile(Out("cat.png"), Bytes{'o', 'l', 'd'});
                 }),
                 Click(dialog, IDC_CONVERSION_START), WaitConverting(dialog), Do([&] {
                     positionAtSecondStart = ConversionDialogProbe::Progress(dialog).GetPos();
                     catBeforeRelease = docwriter::ReadFile(Out("cat.png"));
                     SetEvent(Gate());
                 }),
                 WaitRuns(dialog, 2), Click(dialog, IDCANCEL)});
    EXPECT_EQ(positionAtSecondStart, 0);
    EXPECT_EQ(catBeforeRelease, (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(DecodePng(Out("cat.png")), PictureOf(documents[0]));
    EXPECT_EQ(dialog.positions, (std::vector<int32_t>{1, 2, 1, 2}));
    EXPECT_EQ(dialog.captions,
              (std::vector<std::string>{"cat.qvr", "DOG.QVM", Done(2, 2), "cat.qvr", "DOG.QVM", Done(2, 2)}));
}

// Two documents in flight: the later one finishes first, yet the bar and its
// caption wait for the earlier one.
TEST_F(ConversionRun, ItemsFinishingOutOfOrderAreCountedInListOrder) {
    const std::vector<std::string> documents = AddCatAndDog();
    AddDocument(src, "eel.qvm", QvmDocument(7));
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).jobs = 2;
    ConversionDialogProbe::Seams(dialog).memoryBudget = 0;
    ConversionDialogProbe::Seams(dialog).convertItem = GatedConvert;
    int32_t positionWhileHeld = -1;
    std::string captionWhileHeld;
    bool dogWrittenWhileHeld = false;
    // Item 2 starts only once item 1 is done and handed on, on the thread
    // that did it.
    Run(dialog, {Hold({0, 2}), Click(dialog, IDC_CONVERSION_START), WaitEntered({0, 2}), Ticks(2), Do([&] {
                     positionWhileHeld = ConversionDialogProbe::Progress(dialog).GetPos();
                     captionWhileHeld = ConversionDialogProbe::Progress(dialog).caption.Text();
                     dogWrittenWhileHeld = std::filesystem::exists(Out("DOG.png"));
                 }),
                 Release({0, 2}), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    EXPECT_TRUE(dogWrittenWhileHeld);
    EXPECT_EQ(positionWhileHeld, 0);
    EXPECT_EQ(captionWhileHeld, "cat.qvr");
    EXPECT_EQ(dialog.positions, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(dialog.captions.back(), Done(3, 3));
    EXPECT_EQ(DecodePng(Out("DOG.png")), PictureOf(documents[1]));
}

// "Stop" with two documents in flight: both finish (the unreadable one is
// reported, those never started are not), the others are not written, and
// the dialog can run again.
TEST_F(ConversionRun, StopFinishesTheDocumentsInFlightAndTheDialogRunsAgain) {
    const std::string bad = AddDocument(src, "bad.qvm", Bytes{'Q', 'V', 'M', 'D', 'A', 'T', 'A', 9});
    const std::vector<std::string> documents = AddCatAndDog();
    AddDocument(src, "eel.qvm", QvmDocument(7));
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).jobs = 2;
    ConversionDialogProbe::Seams(dialog).memoryBudget = 0;
    ConversionDialogProbe::Seams(dialog).convertItem = GatedConvert;
    std::vector<bool> afterStop, afterRun;
    std::vector<std::string> written;
    auto controls = [&](std::vector<bool>& into) {
        for (int id :
             {IDC_CONVERSION_FOLDER, IDC_CONVERSION_BROWSE, IDC_CONVERSION_FORMAT, IDC_CONVERSION_START, IDCANCEL})
            into.push_back(Enabled(dialog.hwnd, id));
        into.push_back(CloseMenuEnabled(dialog.hwnd));
    };
    std::string captionAfterStop;
    const INT_PTR result =
        Run(dialog, {Hold({0, 1}), Click(dialog, IDC_CONVERSION_START), WaitEntered({0, 1}), Click(dialog, IDCANCEL),
                     [&] { return ConversionDialogProbe::IsStopping(dialog); }, Do([&] { controls(afterStop); }),
                     Release({0, 1}), WaitRuns(dialog, 1), Do([&] {
                         controls(afterRun);
                         captionAfterStop = ConversionDialogProbe::Progress(dialog).caption.Text();
                         for (const char* name : {"bad.png", "cat.png", "DOG.png", "eel.png"})
                             if (std::filesystem::exists(Out(name)))
                                 written.push_back(name);
                     }),
                     Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 2), Click(dialog, IDCANCEL)});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(afterStop, (std::vector<bool>{false, false, false, false, false, false}));
    EXPECT_EQ(afterRun, std::vector<bool>(6, true));
    EXPECT_EQ(written, (std::vector<std::string>{"cat.png"}));
    EXPECT_EQ(captionAfterStop, Stopped(1, 4));
    EXPECT_EQ(dialog.positions, (std::vector<int32_t>{1, 2, 1, 2, 3, 4}));
    EXPECT_EQ(dialog.captions.back(), Done(3, 4));
    EXPECT_EQ(DecodePng(Out("DOG.png")), PictureOf(documents[1]));
    // Each run names the unreadable document, and only that: the items the
    // stop kept from starting are not "skipped".
    const std::string failures = std::string(msg::kConversionFailures) + "\n\n" + bad + ": " + msg::kLoadFailed;
    EXPECT_EQ(spy.Texts(), (std::vector<std::string>{failures, failures}));
}

// With a budget smaller than any document the second one waits for the
// first: one document in flight at a time, yet each runs.
TEST_F(ConversionRun, SmallMemoryBudgetRunsOneDocumentAtATime) {
    const std::vector<std::string> documents = AddCatAndDog();
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).jobs = 2;
    ConversionDialogProbe::Seams(dialog).memoryBudget = 1;
    ConversionDialogProbe::Seams(dialog).convertItem = GatedConvert;
    bool secondEntered = true;
    Run(dialog, {Hold({0}), Click(dialog, IDC_CONVERSION_START), WaitEntered({0}),
                 [&] { return ConversionDialogProbe::LastRun(dialog)->queue->HeldBack() == 1; },
                 Do([&] { secondEntered = Gates().entered[1].load(); }), Release({0}), WaitRuns(dialog, 1),
                 Click(dialog, IDCANCEL)});
    EXPECT_FALSE(secondEntered);
    EXPECT_EQ(DecodePng(Out("cat.png")), PictureOf(documents[0]));
    EXPECT_EQ(DecodePng(Out("DOG.png")), PictureOf(documents[1]));
    EXPECT_EQ(dialog.captions.back(), Done(2, 2));
}

TEST_F(ConversionRun, CheckBoxToggledDuringARunDoesNotChangeIt) {
    const std::vector<std::string> documents = AddCatAndDog();
    for (const char* name : {"cat.png", "DOG.png"})
        ASSERT_TRUE(docwriter::WriteFile(Out(name), Bytes{'o', 'l', 'd'}));
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).startWorker = StartGated;
    UINT checkedDuring = BST_CHECKED;
    Run(dialog, {Click(dialog, IDC_CONVERSION_START), WaitConverting(dialog), Click(dialog, IDC_CONVERSION_OVERWRITE),
                 Ticks(3), Do([&] {
                     checkedDuring = IsDlgButtonChecked(dialog.hwnd, IDC_CONVERSION_OVERWRITE);
                     SetEvent(Gate());
                 }),
                 WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    EXPECT_EQ(checkedDuring, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(DecodePng(Out("cat.png")), PictureOf(documents[0]));
    EXPECT_EQ(DecodePng(Out("DOG.png")), PictureOf(documents[1]));
    EXPECT_EQ(dialog.captions.back(), Done(2, 2));
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
