// The Conversion dialog during a run, driven from inside its modal loop:
// the roads by which a stop or close request may come, the bar and its
// caption as items finish, and the controls a run holds.
#include "tests/app/ConversionHarness.h"

using namespace conversiontest;

namespace {

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
    const std::string failures =
        std::string(msg::kConversionFailures) + "\n\n" + bad + ": " + msg::kLoadFailed + ": unsupported version 9";
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

} // namespace
