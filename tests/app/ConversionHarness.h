#pragma once
// What the conversion dialog's tests share: documents to convert, gates that
// hold a run's items, a dialog that records what its bar shows, and a
// fixture with a real file list and output folder.

#include "tests/framework/DialogScript.h"
#include "TestWindows.h"

#include "tests/app/ConversionDialogProbe.h"
#include "app/Settings.h"
#include "framework/AppShell.h"
#include "app/DocumentList.h"
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

namespace conversiontest {

using docwriter::Bytes;

inline constexpr int kW = 5;
inline constexpr int kH = 4;

// A QVM document of one layer whose pixels differ everywhere.
inline Bytes QvmDocument(uint8_t seed) {
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
inline Bytes QvrDocument() {
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

inline Rgb DecodePng(const std::string& file) {
    return outputs::PngSamples(file, 2);
}

inline std::string Done(int written, int total) {
    char text[96];
    std::snprintf(text, sizeof(text), msg::kConversionDone, written, total);
    return text;
}

// Holds the worker back until the test opens the gate, so that it can act
// while a run is under way.
inline HANDLE Gate() {
    static HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return gate;
}

inline bool StartGated(WindowJob& job, HWND dialog, std::function<void()> body) {
    return StartOnJob(job, dialog, [body] {
        WaitForSingleObject(Gate(), 30000);
        body();
    });
}

inline std::string Skipped(int count) {
    char text[96];
    std::snprintf(text, sizeof(text), msg::kConversionSkipped, count);
    return text;
}

inline std::string Stopped(int written, int total) {
    char text[96];
    std::snprintf(text, sizeof(text), msg::kConversionStopped, written, total);
    return text;
}

// Holds items of a run at their own gates (open unless a test closes them),
// so that a test can keep documents in flight, finish them out of order and
// stop a run between them.
inline constexpr int kItemGates = 4;

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

inline ItemGates& Gates() {
    static ItemGates gates;
    return gates;
}

inline ItemResult GatedConvert(const ConversionWork& work, int32_t index, ImageBuffer& image, WorkPool& pool,
                               LoadResult& loadFailure) {
    if (index < kItemGates) {
        Gates().entered[index] = true;
        WaitForSingleObject(Gates().open[index], 30000);
    }
    return ConvertListedItem(work, index, image, pool, loadFailure);
}

inline DialogScript::Step Hold(std::vector<int> items) {
    return Do([items] {
        for (int item : items)
            ResetEvent(Gates().open[item]);
    });
}

inline DialogScript::Step Release(std::vector<int> items) {
    return Do([items] {
        for (int item : items)
            SetEvent(Gates().open[item]);
    });
}

inline DialogScript::Step WaitEntered(std::vector<int> items) {
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

inline DialogScript::Step WaitRuns(RecordingDialog& dialog, int runs) {
    return [&dialog, runs] { return dialog.runs >= runs; };
}

inline DialogScript::Step WaitConverting(RecordingDialog& dialog) {
    return [&dialog] { return ConversionDialogProbe::IsConverting(dialog); };
}

inline DialogScript::Step SetFolder(Dialog& dialog, std::string folder) {
    return Do([&dialog, folder] { SetDlgItemTextA(dialog.hwnd, IDC_CONVERSION_FOLDER, folder.c_str()); });
}

inline bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != 0;
}

inline bool CloseMenuEnabled(HWND dialog) {
    return (GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) == 0;
}

// A drop of paths, as the shell hands it over.
inline HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
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
        list.Clear();
    }

    std::string AddDocument(const std::string& folder, const std::string& name, const Bytes& bytes) {
        const std::string path = folder + "\\" + name;
        EXPECT_TRUE(docwriter::WriteFile(path, bytes));
        EXPECT_TRUE(list.Add(path, false));
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
    DocumentList list;
    Settings settings;
};

} // namespace conversiontest
