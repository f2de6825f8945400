// The application manifests as the built programs carry them: resource 1 of
// type 24 read back from tessavel.exe and tessavel-convert.exe (loaded as
// data), parsed, and their settings checked: Common Controls 6 and
// per-monitor DPI awareness for the viewer alone, long paths for both, and
// the system's own ANSI code page. A manifest the system cannot parse stops
// the program from starting at all, so the reading below refuses tags that
// do not nest.

#include "tests/e2e/E2ePaths.h"

#include <windows.h>

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

// The elements of an XML text in document order; nothing when tags do not
// nest or the text ends inside a tag.
std::optional<std::vector<Element>> ParseElements(const std::string& xml) {
    std::vector<Element> elements;
    std::vector<size_t> open; // indices into elements
    size_t at = 0;
    while (at < xml.size()) {
        const size_t start = xml.find('<', at);
        const std::string between = xml.substr(at, start == std::string::npos ? std::string::npos : start - at);
        if (!open.empty()) {
            const size_t first = between.find_first_not_of(" \t\r\n");
            if (first != std::string::npos)
                elements[open.back()].text += between.substr(first, between.find_last_not_of(" \t\r\n") - first + 1);
        }
        if (start == std::string::npos)
            break;
        if (xml.compare(start, 4, "<!--") == 0 || xml.compare(start, 2, "<?") == 0) {
            const size_t end = xml.find(xml[start + 1] == '!' ? "-->" : "?>", start);
            if (end == std::string::npos)
                return std::nullopt;
            at = end + 2;
            continue;
        }
        const size_t end = xml.find('>', start);
        if (end == std::string::npos)
            return std::nullopt;
        std::string tag = xml.substr(start + 1, end - start - 1);
        at = end + 1;
        if (!tag.empty() && tag[0] == '/') {
            if (open.empty() || elements[open.back()].name != tag.substr(1))
                return std::nullopt;
            open.pop_back();
            continue;
        }
        const bool empty = !tag.empty() && tag.back() == '/';
        if (empty)
            tag.pop_back();
        Element element;
        size_t p = tag.find_first_of(" \t\r\n");
        element.name = tag.substr(0, p);
        while (p != std::string::npos) {
            const size_t nameStart = tag.find_first_not_of(" \t\r\n", p);
            if (nameStart == std::string::npos)
                break;
            const size_t equals = tag.find('=', nameStart);
            if (equals == std::string::npos || equals + 1 >= tag.size() || tag[equals + 1] != '"')
                return std::nullopt;
            const size_t close = tag.find('"', equals + 2);
            if (close == std::string::npos)
                return std::nullopt;
            element.attributes[tag.substr(nameStart, equals - nameStart)] = tag.substr(equals + 2, close - equals - 2);
            p = close + 1;
        }
        elements.push_back(element);
        if (!empty)
            open.push_back(elements.size() - 1);
    }
    if (!open.empty())
        return std::nullopt;
    return elements;
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
