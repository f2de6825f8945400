// The application manifests as the built programs carry them: resource 1 of
// type 24 read back from tessavel.exe and tessavel-convert.exe (loaded as
// data), parsed, and their settings checked: Common Controls 6 and
// per-monitor DPI awareness for the viewer alone, long paths for both, and
// the system's own ANSI code page. A manifest the system cannot parse stops
// the program from starting at all, so the reading below refuses tags that
// do not nest, as the system's own XML reader does.

#include "tests/e2e/E2ePaths.h"

#include <windows.h>

#include <shlwapi.h>
#include <xmllite.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Element {
    std::string name; // without its namespace prefix, as none is used
    std::map<std::string, std::string> attributes;
    std::string text; // character data directly inside, trimmed
};

std::string Narrow(const wchar_t* wide, UINT length) {
    std::string text(size_t(length) * 3, '\0');
    text.resize(
        size_t(WideCharToMultiByte(CP_UTF8, 0, wide, int(length), text.data(), int(text.size()), nullptr, nullptr)));
    return text;
}

// The elements of an XML text in document order, read by the system's own
// XML reader; nothing when it refuses the text (tags that do not nest, a
// text that ends inside a tag), as the loader refuses such a manifest.
std::optional<std::vector<Element>> ParseElements(const std::string& xml) {
    using CreateReader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    const HMODULE library = LoadLibraryW(L"xmllite.dll");
    const auto create =
        library == nullptr
            ? nullptr
            : reinterpret_cast<CreateReader>(reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")));
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(xml.data()), UINT(xml.size()));
    IXmlReader* reader = nullptr;
    std::optional<std::vector<Element>> result;
    if (create != nullptr && stream != nullptr &&
        SUCCEEDED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader), nullptr)) &&
        SUCCEEDED(reader->SetInput(stream))) {
        std::vector<Element> elements;
        std::vector<size_t> open; // indices into elements
        XmlNodeType type = XmlNodeType_None;
        const wchar_t* text = nullptr;
        UINT length = 0;
        HRESULT read = S_OK;
        while ((read = reader->Read(&type)) == S_OK) {
            if (type == XmlNodeType_Element) {
                Element element;
                const bool empty = reader->IsEmptyElement() != FALSE;
                reader->GetLocalName(&text, &length);
                element.name = Narrow(text, length);
                for (HRESULT at = reader->MoveToFirstAttribute(); at == S_OK; at = reader->MoveToNextAttribute()) {
                    reader->GetQualifiedName(&text, &length);
                    const std::string name = Narrow(text, length);
                    reader->GetValue(&text, &length);
                    element.attributes[name] = Narrow(text, length);
                }
                elements.push_back(element);
                if (!empty)
                    open.push_back(elements.size() - 1);
            } else if (type == XmlNodeType_EndElement && !open.empty()) {
                open.pop_back();
            } else if (type == XmlNodeType_Text && !open.empty()) {
                reader->GetValue(&text, &length);
                const std::string between = Narrow(text, length);
                const size_t first = between.find_first_not_of(" \t\r\n");
                if (first != std::string::npos)
                    elements[open.back()].text +=
                        between.substr(first, between.find_last_not_of(" \t\r\n") - first + 1);
            }
        }
        // S_FALSE is the end of the text; a refusal is an error code.
        if (read == S_FALSE)
            result = std::move(elements);
    }
    if (reader != nullptr)
        reader->Release();
    if (stream != nullptr)
        stream->Release();
    if (library != nullptr)
        FreeLibrary(library);
    return result;
}

std::string ManifestOf(const std::string& exe) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr)
        return "";
    std::string text;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (bytes != nullptr)
            text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

// The attribute's value, empty when the element has none.
std::string Attribute(const Element& element, const std::string& name) {
    const auto found = element.attributes.find(name);
    return found == element.attributes.end() ? "" : found->second;
}

std::vector<const Element*> Named(const std::vector<Element>& elements, const std::string& name) {
    std::vector<const Element*> found;
    for (const Element& element : elements)
        if (element.name == name)
            found.push_back(&element);
    return found;
}

struct ProgramCase {
    const char* name;
    std::string exe;
    bool window; // a window program: common controls 6 and per-monitor DPI
};

class Manifest : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(Manifest, AsksForTheSettingsOfItsProgram) {
    const ProgramCase& program = GetParam();
    const std::string text = ManifestOf(program.exe);
    ASSERT_FALSE(text.empty()) << "no manifest resource in " << program.exe;
    EXPECT_EQ(text.compare(0, 5, "<?xml"), 0);
    const auto elements = ParseElements(text);
    ASSERT_TRUE(elements.has_value()) << "tags do not nest";
    ASSERT_FALSE(elements->empty());
    EXPECT_EQ(elements->front().name, "assembly");
    EXPECT_EQ(Attribute(elements->front(), "manifestVersion"), "1.0");

    const auto level = Named(*elements, "requestedExecutionLevel");
    ASSERT_EQ(level.size(), 1u);
    EXPECT_EQ(Attribute(*level[0], "level"), "asInvoker");

    std::vector<std::string> systems;
    for (const Element* os : Named(*elements, "supportedOS"))
        systems.push_back(Attribute(*os, "Id"));
    const std::vector<std::string> windows7To11 = {
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"};
    EXPECT_EQ(systems, windows7To11);

    // The ANSI code page stays the system's: layer names are text in it.
    EXPECT_TRUE(Named(*elements, "activeCodePage").empty());
    // Both take long paths where the system allows them.
    const auto longPaths = Named(*elements, "longPathAware");
    ASSERT_EQ(longPaths.size(), 1u);
    EXPECT_EQ(longPaths[0]->text, "true");
    EXPECT_EQ(Attribute(*longPaths[0], "xmlns"), "http://schemas.microsoft.com/SMI/2016/WindowsSettings");

    bool commonControls6 = false;
    for (const Element* identity : Named(*elements, "assemblyIdentity"))
        if (Attribute(*identity, "name") == "Microsoft.Windows.Common-Controls")
            commonControls6 = Attribute(*identity, "version") == "6.0.0.0" &&
                              Attribute(*identity, "publicKeyToken") == "6595b64144ccf1df" &&
                              Attribute(*identity, "type") == "win32";
    EXPECT_EQ(commonControls6, program.window);

    const auto awareness = Named(*elements, "dpiAwareness");
    const auto aware = Named(*elements, "dpiAware");
    if (program.window) {
        ASSERT_EQ(awareness.size(), 1u);
        EXPECT_EQ(awareness[0]->text.compare(0, 12, "PerMonitorV2"), 0) << awareness[0]->text;
        EXPECT_EQ(Attribute(*awareness[0], "xmlns"), "http://schemas.microsoft.com/SMI/2016/WindowsSettings");
        ASSERT_EQ(aware.size(), 1u);
        EXPECT_EQ(aware[0]->text, "true/pm");
        EXPECT_EQ(Attribute(*aware[0], "xmlns"), "http://schemas.microsoft.com/SMI/2005/WindowsSettings");
    } else {
        EXPECT_TRUE(awareness.empty());
        EXPECT_TRUE(aware.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, Manifest,
                         ::testing::Values(ProgramCase{"viewer", e2e::ViewerExe(), true},
                                           ProgramCase{"converter",
                                                       e2e::BuildPath("tools/convert/tessavel-convert.exe"), false}),
                         [](const ::testing::TestParamInfo<ProgramCase>& info) { return info.param.name; });

} // namespace
