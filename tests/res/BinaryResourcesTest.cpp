// The version resources of tessavel.exe, tessavel-convert.exe and
// tessavel-thumbnails.dll, read back as Explorer's Properties reads them, and
// the program and document icons of tessavel.exe at every size Windows asks
// for.
#include "TessavelVersion.h"
#include "res/ResourceIds.h"
#include "tests/e2e/E2ePaths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& utf8) {
    std::wstring out(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), int(out.size()));
    out.resize(out.size() - 1);
    return out;
}

std::wstring WindowsPath(const char* built) {
    return Wide(e2e::WindowsPath(built));
}

class VersionBlock {
public:
    explicit VersionBlock(const std::wstring& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0)
            return;
        data_.resize(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data()))
            data_.clear();
    }
    bool Present() const { return !data_.empty(); }
    // A value of the block the Translation entry names, as Explorer finds it.
    std::optional<std::wstring> Text(const wchar_t* name) {
        struct Translation {
            WORD language, codePage;
        }* translation = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                            &length) ||
            length < sizeof(Translation))
            return std::nullopt;
        wchar_t path[128];
        swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
        wchar_t* text = nullptr;
        if (!VerQueryValueW(data_.data(), path, reinterpret_cast<void**>(&text), &length) || text == nullptr)
            return std::nullopt;
        return std::wstring(text);
    }
    const VS_FIXEDFILEINFO* Fixed() {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
            length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return fixed;
    }

private:
    std::vector<unsigned char> data_;
};

// TESSAVEL_VERSION ("1.07") as the fixed info's numbers: major, minor, patch, tweak.
std::vector<DWORD> VersionNumbers() {
    std::vector<DWORD> numbers;
    const std::string text = TESSAVEL_VERSION;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t dot = text.find('.', start);
        numbers.push_back(DWORD(std::stoul(text.substr(start, dot - start))));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    numbers.resize(4, 0);
    return numbers;
}

struct Binary {
    const char* built;
    const wchar_t* fileName;
    DWORD fileType;
};

const Binary kBinaries[] = {
    {TESSAVEL_VIEWER_EXE, L"tessavel.exe", VFT_APP},
    {TESSAVEL_CONVERT_EXE, L"tessavel-convert.exe", VFT_APP},
    {TESSAVEL_THUMBNAILS_DLL, L"tessavel-thumbnails.dll", VFT_DLL},
};

TEST(VersionResource, EachBinaryCarriesTheProjectVersionAndItsOwnDescription) {
    const std::wstring version = Wide(TESSAVEL_VERSION);
    const std::vector<DWORD> numbers = VersionNumbers();
    std::vector<std::wstring> descriptions;
    for (const Binary& binary : kBinaries) {
        SCOPED_TRACE(binary.built);
        VersionBlock block(WindowsPath(binary.built));
        ASSERT_TRUE(block.Present());
        EXPECT_EQ(block.Text(L"FileVersion"), version);
        EXPECT_EQ(block.Text(L"ProductVersion"), version);
        EXPECT_EQ(block.Text(L"ProductName"), L"Tessavel");
        EXPECT_EQ(block.Text(L"LegalCopyright"), Wide(TESSAVEL_COPYRIGHT));
        EXPECT_EQ(block.Text(L"OriginalFilename"), binary.fileName);
        const std::optional<std::wstring> description = block.Text(L"FileDescription");
        ASSERT_TRUE(description.has_value());
        EXPECT_NE(description->find(L"Tessavel"), std::wstring::npos) << "a description names the product";
        descriptions.push_back(*description);

        const VS_FIXEDFILEINFO* fixed = block.Fixed();
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(numbers[1], numbers[0]));
        EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(numbers[3], numbers[2]));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, binary.fileType);
    }
    // Task Manager and the Properties dialog tell the three apart by it.
    ASSERT_EQ(descriptions.size(), 3u);
    EXPECT_NE(descriptions[0], descriptions[1]);
    EXPECT_NE(descriptions[1], descriptions[2]);
    EXPECT_NE(descriptions[0], descriptions[2]);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

class ViewerImage : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(WindowsPath(TESSAVEL_VIEWER_EXE).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    // The entries of an icon group: each image's size (0 stands for 256) and resource id.
    std::vector<GroupIconEntry> Group(WORD id) const {
        const HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
        if (found == nullptr)
            return {};
        const auto* header = static_cast<const GroupIconHeader*>(LockResource(LoadResource(module_, found)));
        if (header == nullptr ||
            SizeofResource(module_, found) < sizeof(GroupIconHeader) + header->count * sizeof(GroupIconEntry))
            return {};
        const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
        return std::vector<GroupIconEntry>(entries, entries + header->count);
    }
    std::string ImageBytes(WORD id) const {
        const HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_ICON));
        if (found == nullptr)
            return {};
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(data, SizeofResource(module_, found));
    }
    HMODULE module_ = nullptr;
};

TEST_F(ViewerImage, ProgramAndDocumentIconsHoldEverySizeWindowsAsksFor) {
    const std::vector<int> expected = {16, 20, 24, 32, 40, 48, 64, 256};
    for (WORD icon : {WORD(IDI_TESSAVEL), WORD(IDI_TESSAVEL_DOCUMENT)}) {
        SCOPED_TRACE(icon);
        const std::vector<GroupIconEntry> group = Group(icon);
        std::vector<int> sizes;
        for (const GroupIconEntry& entry : group) {
            sizes.push_back(entry.width == 0 ? 256 : entry.width);
            EXPECT_EQ(entry.width, entry.height);
            EXPECT_EQ(entry.bitCount, 32) << "alpha at every size";
        }
        EXPECT_EQ(sizes, expected);
        // Each size loads as an icon of that size, the 256-pixel PNG one too.
        for (int size : expected) {
            const HICON loaded = static_cast<HICON>(
                LoadImageW(module_, MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
            ASSERT_NE(loaded, nullptr) << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(loaded, &info));
            BITMAP bitmap{};
            GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(loaded);
        }
    }
    // The document icon is a drawing of its own, not the program's again.
    const std::vector<GroupIconEntry> program = Group(IDI_TESSAVEL), document = Group(IDI_TESSAVEL_DOCUMENT);
    ASSERT_EQ(program.size(), document.size());
    for (size_t i = 0; i < program.size(); ++i)
        EXPECT_NE(ImageBytes(program[i].id), ImageBytes(document[i].id)) << i;
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR first) {
    *reinterpret_cast<LPWSTR*>(first) = name;
    return FALSE;
}

TEST_F(ViewerImage, ProgramIconComesFirstSoExplorerShowsIt) {
    LPWSTR first = nullptr;
    EnumResourceNamesW(module_, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), TakeFirstName,
                       reinterpret_cast<LONG_PTR>(&first));
    ASSERT_TRUE(IS_INTRESOURCE(first));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(first), ULONG_PTR(IDI_TESSAVEL));
}

} // namespace
