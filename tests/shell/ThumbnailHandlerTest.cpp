// The thumbnail handler as the shell uses it: registered with regsvr32 for
// the current user, created for each document type, handed a stream, asked
// for thumbnails; and regsvr32 /u taking away exactly what it wrote.
// Explorer itself does not draw thumbnails under Wine, so these calls stand
// in for it.
#include "base/MemorySource.h"
#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "shell/ThumbnailIds.h"
#include "decode/ThumbnailPicture.h"
#include "decode/ThumbnailScale.h"
#include "tests/shell/ShellRegistry.h"
#include "tests/support/DocWriter.h"
#include "tests/support/Paintings.h"

#include <windows.h>

#include <shlwapi.h>
#include <thumbcache.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

using docwriter::Bytes;
using namespace shelltest;
namespace fs = std::filesystem;

namespace {

// What the handler gave for one document at one size.
struct Outcome {
    HRESULT result = E_FAIL;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels; // top row first, 4 bytes a pixel
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
};

// The rows of a 32-bit DIB section, top row first whichever way it is
// stored (GetDIBits turns them; the header's sign as GetObject reports it is
// not the same on every system).
bool ReadDib(HBITMAP bitmap, Outcome& outcome) {
    DIBSECTION dib = {};
    if (GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmBits == nullptr)
        return false;
    outcome.width = dib.dsBm.bmWidth;
    outcome.height = dib.dsBm.bmHeight;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = outcome.width;
    info.bmiHeader.biHeight = -outcome.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    outcome.pixels.resize(size_t(outcome.width) * outcome.height * 4);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, UINT(outcome.height), outcome.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == outcome.height;
}

class ThumbnailHandlerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (RegistryIsPrivate()) {
            ASSERT_EQ(RunRegsvr32(false), 0u);
        }
    }
    static void TearDownTestSuite() {
        if (RegistryIsPrivate())
            RunRegsvr32(true);
        CoUninitialize();
    }
    void SetUp() override {
        if (!RegistryIsPrivate())
            GTEST_SKIP() << "would register the handler for this user (set TESSAVEL_REGISTRY_TESTS=1 to allow)";
    }

    // One handler for the extension, initialised with bytes (after skip
    // bytes of something else, the stream standing at the document), asked
    // for one size.
    // asks: how many times the one handler is asked; each must give the
    // first one's picture, or the outcome is a failure.
    static Outcome Thumbnail(const wchar_t* extension, const Bytes& bytes, UINT cx, size_t skip = 0, int asks = 1) {
        Outcome outcome;
        IInitializeWithStream* handler = nullptr;
        HMODULE module = nullptr;
        outcome.result = CreateRegisteredHandler(extension, &handler, &module);
        if (FAILED(outcome.result))
            return outcome;
        Bytes streamed(skip, 0x5A);
        streamed.insert(streamed.end(), bytes.begin(), bytes.end());
        IStream* stream = SHCreateMemStream(streamed.data(), UINT(streamed.size()));
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(skip);
        outcome.result = stream == nullptr || FAILED(stream->Seek(at, STREAM_SEEK_SET, nullptr))
                             ? E_OUTOFMEMORY
                             : handler->Initialize(stream, STGM_READ);
        IThumbnailProvider* provider = nullptr;
        if (SUCCEEDED(outcome.result))
            outcome.result = handler->QueryInterface(IID_PPV_ARGS(&provider));
        HBITMAP bitmap = nullptr;
        if (SUCCEEDED(outcome.result))
            outcome.result = provider->GetThumbnail(cx, &bitmap, &outcome.alpha);
        if (SUCCEEDED(outcome.result) && !ReadDib(bitmap, outcome))
            outcome.result = E_FAIL;
        if (FAILED(outcome.result)) {
            EXPECT_EQ(bitmap, nullptr) << "a failure hands out no bitmap";
        }
        for (int ask = 1; ask < asks && SUCCEEDED(outcome.result); ++ask) {
            Outcome again;
            HBITMAP next = nullptr;
            again.result = provider->GetThumbnail(cx, &next, &again.alpha);
            if (FAILED(again.result) || !ReadDib(next, again) || again.pixels != outcome.pixels)
                outcome.result = FAILED(again.result) ? again.result : E_FAIL;
            if (next != nullptr)
                DeleteObject(next);
        }
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        if (provider != nullptr)
            provider->Release();
        if (stream != nullptr)
            stream->Release();
        handler->Release();
        return outcome;
    }

    // The thumbnail the decoder's picture gives, scaled the same way; an
    // empty one when the document is not one the handler should draw.
    static Outcome Expected(const Bytes& bytes, UINT cx) {
        Outcome outcome;
        MemorySource source(bytes.data(), bytes.size());
        ImageBuffer picture;
        if (DecodeThumbnailPicture(source, picture, ImageBuffer::kMaxPixelBytes) != ThumbnailPictureStatus::Decoded)
            return outcome;
        const ThumbnailSize size = FitThumbnail(picture.width, picture.height, int32_t(cx));
        outcome.width = size.width;
        outcome.height = size.height;
        outcome.pixels.resize(size_t(size.width) * size.height * 4);
        if (!ScaleToThumbnail(picture, size, outcome.pixels.data(), ptrdiff_t(size.width) * 4))
            return Outcome();
        outcome.result = S_OK;
        return outcome;
    }
};

TEST_F(ThumbnailHandlerTest, EachFormatAndVersionGivesTheDecodersPictureScaled) {
    struct Doc {
        const char* what;
        const wchar_t* extension;
        Bytes bytes;
    };
    docwriter::QvrV0Document flattened;
    flattened.width = 300;
    flattened.height = 120;
    flattened.flattened = paintings::LayerPixels(300, 120, 5, paintings::Cover::Partial);
    const Doc docs[] = {
        {"qvm", L".qvm", docwriter::WriteQvm(paintings::EveryModeQvm(400, 150))},
        {"qvr masks", L".qvr", docwriter::WriteQvrV0(paintings::MaskQvr(90, 333, 3))},
        {"qvr flattened", L".qvr", docwriter::WriteQvrV0(flattened)},
        {"qvr tiles", L".qvr", docwriter::WriteQvrV1(paintings::SparseTileQvr(500, 260, 4))},
        {"small qvm", L".qvm", docwriter::WriteQvm(paintings::TableModeQvm(20, 7))},
    };
    for (const Doc& doc : docs) {
        for (UINT cx : {32u, 96u, 256u}) {
            const Outcome got = Thumbnail(doc.extension, doc.bytes, cx);
            const Outcome expected = Expected(doc.bytes, cx);
            ASSERT_EQ(expected.result, S_OK) << doc.what;
            ASSERT_EQ(got.result, S_OK) << doc.what << " at " << cx;
            EXPECT_EQ(got.alpha, WTSAT_RGB);
            EXPECT_EQ(std::max(got.width, got.height),
                      std::min<int>(int(cx), std::max(expected.width, expected.height)));
            ASSERT_EQ(got.width, expected.width) << doc.what << " at " << cx;
            ASSERT_EQ(got.height, expected.height) << doc.what << " at " << cx;
            EXPECT_TRUE(got.pixels == expected.pixels) << doc.what << " at " << cx;
        }
    }
}

TEST_F(ThumbnailHandlerTest, DocumentIsReadFromWhereTheStreamStands) {
    const Bytes bytes = docwriter::WriteQvrV1(paintings::SparseTileQvr(70, 50, 2));
    const Outcome got = Thumbnail(L".qvr", bytes, 96, 1000);
    ASSERT_EQ(got.result, S_OK);
    EXPECT_TRUE(got.pixels == Expected(bytes, 96).pixels);
}

// The document starts where the stream stood when the handler was given
// it, not where the previous thumbnail's reading left it.
TEST_F(ThumbnailHandlerTest, AHandlerAskedAgainDrawsTheSamePicture) {
    const Bytes bytes = docwriter::WriteQvm(paintings::TableModeQvm(30, 20));
    for (size_t skip : {size_t(0), size_t(1000)}) {
        const Outcome got = Thumbnail(L".qvm", bytes, 96, skip, 3);
        ASSERT_EQ(got.result, S_OK) << skip;
        EXPECT_TRUE(got.pixels == Expected(bytes, 96).pixels) << skip;
    }
}

TEST_F(ThumbnailHandlerTest, BrokenDocumentsAreRefusedAndOversizedOnesDrawn) {
    const Bytes whole = docwriter::WriteQvm(paintings::EveryModeQvm(40, 30));
    std::vector<Bytes> hostile = {Bytes{}, Bytes(100, 0), Bytes{'Q', 'V', 'M'}};
    for (size_t length = 7; length < whole.size(); length += 97)
        hostile.emplace_back(whole.begin(), whole.begin() + length);
    // 1.6 GB of picture, read in bands, whose one tile is not zlib.
    docwriter::QvrV1Document huge;
    huge.width = 20000;
    huge.height = 20000;
    huge.layers.resize(1);
    huge.layers[0].tiles.resize(1);
    huge.layers[0].tiles[0].data = Bytes(30, 0x55);
    hostile.push_back(docwriter::WriteQvrV1(huge));
    for (const Bytes& bytes : hostile)
        for (const wchar_t* extension : kThumbnailExtensions)
            EXPECT_TRUE(FAILED(Thumbnail(extension, bytes, 96).result)) << bytes.size() << " bytes";
    // Sound, and larger than a picture may be whole: drawn all the same.
    docwriter::QvrV1Document wide;
    wide.width = 65535;
    wide.height = 1100;
    const Outcome drawn = Thumbnail(L".qvr", docwriter::WriteQvrV1(wide), 96);
    EXPECT_EQ(drawn.result, S_OK);
    EXPECT_EQ(drawn.width, 96);
    EXPECT_EQ(drawn.pixels, std::vector<uint8_t>(drawn.pixels.size(), 255));
}

// Every input that once broke a reader, and the fuzzers' seeds: the handler
// draws exactly what the decoder draws and refuses the rest, and the process
// lives on.
TEST_F(ThumbnailHandlerTest, CorpusAndFuzzSeedsAgreeWithTheDecoder) {
    std::vector<fs::path> files;
    for (const char* variable : {"TESSAVEL_SOURCE_DIR", "TESSAVEL_FUZZ_SEEDS"}) {
        const char* root = std::getenv(variable);
        ASSERT_NE(root, nullptr) << variable;
        const fs::path folder =
            std::string(variable) == "TESSAVEL_SOURCE_DIR" ? fs::path(root) / "tests" / "corpus" : fs::path(root);
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".qvm" || extension == ".qvr"))
                files.push_back(entry.path());
        }
    }
    ASSERT_GT(files.size(), 20u);
    size_t drawn = 0;
    for (const fs::path& file : files) {
        const Bytes bytes = docwriter::ReadFile(file.string());
        const Outcome got = Thumbnail(file.extension() == ".qvm" ? L".qvm" : L".qvr", bytes, 96);
        const Outcome expected = Expected(bytes, 96);
        ASSERT_EQ(SUCCEEDED(got.result), SUCCEEDED(expected.result)) << file;
        if (SUCCEEDED(got.result)) {
            ++drawn;
            EXPECT_TRUE(got.pixels == expected.pixels) << file;
        }
    }
    EXPECT_GT(drawn, 0u);
}

TEST_F(ThumbnailHandlerTest, OneStreamPerHandlerAndNoThumbnailWithoutOne) {
    IInitializeWithStream* handler = nullptr;
    HMODULE module = nullptr;
    ASSERT_EQ(CreateRegisteredHandler(L".qvm", &handler, &module), S_OK);
    IThumbnailProvider* provider = nullptr;
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&provider)), S_OK);
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha;
    EXPECT_TRUE(FAILED(provider->GetThumbnail(96, &bitmap, &alpha)));
    EXPECT_EQ(bitmap, nullptr);
    const Bytes bytes = docwriter::WriteQvm(paintings::TableModeQvm(8, 8));
    IStream* stream = SHCreateMemStream(bytes.data(), UINT(bytes.size()));
    EXPECT_EQ(handler->Initialize(stream, STGM_READ), S_OK);
    EXPECT_EQ(handler->Initialize(stream, STGM_READ), HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED));
    EXPECT_EQ(provider->GetThumbnail(0, &bitmap, &alpha), E_INVALIDARG);
    IUnknown* other = nullptr;
    EXPECT_EQ(handler->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    provider->Release();
    handler->Release();
    stream->Release();
}

TEST_F(ThumbnailHandlerTest, ModuleUnloadsOnlyWithoutObjectsOrLocks) {
    IInitializeWithStream* handler = nullptr;
    HMODULE module = nullptr;
    ASSERT_EQ(CreateRegisteredHandler(L".qvr", &handler, &module), S_OK);
    ASSERT_NE(module, nullptr);
    using CanUnload = HRESULT(__stdcall*)();
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    const auto canUnload = ModuleExport<CanUnload>(module, "DllCanUnloadNow");
    const auto getClassObject = ModuleExport<GetClassObject>(module, "DllGetClassObject");
    ASSERT_NE(canUnload, nullptr);
    ASSERT_NE(getClassObject, nullptr);

    EXPECT_EQ(canUnload(), S_FALSE) << "a handler lives";
    IThumbnailProvider* provider = nullptr;
    ASSERT_EQ(handler->QueryInterface(IID_PPV_ARGS(&provider)), S_OK);
    handler->Release();
    EXPECT_EQ(canUnload(), S_FALSE) << "the handler still has a reference";
    provider->Release();
    EXPECT_EQ(canUnload(), S_OK);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(kThumbnailClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnload(), S_FALSE) << "locked";
    ASSERT_EQ(getClassObject(kThumbnailClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    void* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated, nullptr);
    factory->Release();
    EXPECT_EQ(canUnload(), S_OK);

    void* none = nullptr;
    EXPECT_EQ(getClassObject(CLSID_NULL, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
}

} // namespace
