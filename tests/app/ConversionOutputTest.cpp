// The Conversion dialog on its real template with a real file list and the
// real worker thread: what a run writes, what it leaves alone, and how it
// names what it could not convert.
#include "tests/app/ConversionHarness.h"

#include <new>

using namespace conversiontest;

namespace {

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

TEST_F(ConversionRun, LayeredFormatsWriteAPsdOrAnOpenRasterFilePerDocument) {
    struct Case {
        int32_t convType;
        const char* extension;
        std::string start; // the format's first bytes
    };
    const Case cases[] = {{2, ".psd", "8BPS"}, {3, ".ora", std::string("PK\x03\x04", 4)}};
    AddCatAndDog();
    for (const Case& c : cases) {
        settings.ConvType = c.convType;
        RecordingDialog dialog(list, settings);
        Run(dialog, {Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
        ASSERT_FALSE(dialog.captions.empty());
        EXPECT_EQ(dialog.captions.back(), Done(2, 2)) << c.extension;
        for (const char* stem : {"cat", "DOG"}) {
            const Bytes file = docwriter::ReadFile(Out(std::string(stem) + c.extension));
            EXPECT_EQ(std::string(file.begin(), file.begin() + long(file.size() < 4 ? file.size() : 4)), c.start)
                << stem << c.extension;
        }
    }
}

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
    for (int i = 0; i < 3; ++i)
        shown.emplace_back(list.LabelAt(i));
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
        EXPECT_EQ(spy.Calls()[0].text, std::string(msg::kConversionFailures) + "\n\n" + bad + ": " + msg::kLoadFailed +
                                           ": unsupported version 9\n\n" + skipped);
    }
    // A run where nothing failed says nothing more than its caption.
    list.Clear();
    AddCatAndDog();
    MessageBoxSpy spy;
    RecordingDialog again(list, settings);
    Run(again, {Click(again, IDC_CONVERSION_OVERWRITE), Click(again, IDC_CONVERSION_START), WaitRuns(again, 1),
                Click(again, IDCANCEL)});
    EXPECT_TRUE(spy.Calls().empty());
}

// Memory running out inside one document's conversion fails that document,
// named as unreadable; the worker thread, the other documents and the viewer
// carry on.
TEST_F(ConversionRun, ADocumentWhoseConversionThrowsFailsAloneAndTheRunEnds) {
    const std::vector<std::string> paths = AddCatAndDog();
    MessageBoxSpy spy;
    RecordingDialog dialog(list, settings);
    ConversionDialogProbe::Seams(dialog).convertItem = [](const ConversionWork& work, int32_t index, ImageBuffer& image,
                                                          WorkPool& pool, LoadResult& loadFailure) {
        if (index == 0)
            throw std::bad_alloc();
        return ConvertListedItem(work, index, image, pool, loadFailure);
    };
    Run(dialog, {Click(dialog, IDC_CONVERSION_START), WaitRuns(dialog, 1), Click(dialog, IDCANCEL)});
    ASSERT_FALSE(dialog.captions.empty());
    EXPECT_EQ(dialog.captions.back(), Done(1, 2));
    EXPECT_FALSE(std::filesystem::exists(Out("cat.png")));
    EXPECT_EQ(DecodePng(Out("DOG.png")), PictureOf(paths[1]));
    ASSERT_EQ(spy.Calls().size(), 1u);
    EXPECT_EQ(spy.Calls()[0].text,
              std::string(msg::kConversionFailures) + "\n\n" + paths[0] + ": " + msg::kLoadFailed + ": out of memory");
}

} // namespace
