// The portable work behind the viewer's file list, on a folder of 5,000
// documents named as people name them (numbered series, Japanese, Korean,
// accented, an emoji): ListFill/5000 takes each full path's file name and
// inserts it where the list's order puts it (the list box itself is the
// system's); ListStep/5000 steps through the sorted list as Next does, each
// step taking the file name for the title and the extension that picks the
// reader. Items are names, bytes the paths' bytes.
#include "bench/Register.h"

#include "base/Str.h"
#include "base/Text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kDocuments = 5000;

std::vector<std::string> FolderOfDocuments(int count) {
    // A folder that is itself named beyond ASCII, as the paths are stepped
    // through whole.
    const std::string folder = "C:\\Users\\artist\\Pictures\\\xE4\xBD\x9C\xE5\x93\x81 2026\\"; // 作品 2026
    const char* const stems[] = {
        "pic",
        "\xE3\x82\xA4\xE3\x83\xA9\xE3\x82\xB9\xE3\x83\x88_", // イラスト_
        "\xEC\x8A\xA4\xEC\xBC\x80\xEC\xB9\x98 ",             // 스케치
        "caf\xC3\xA9-",                                      // café-
        "\xE7\xB5\xB5\xF0\x9F\x98\x80 ",                     // 絵😀
        "Sketch of the harbour at dusk, version ",           // a long one
        "\xE8\xA1\xA8\xE7\xA4\xBA",                          // 表示
    };
    std::vector<std::string> paths;
    paths.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const char* stem = stems[size_t(i) % std::size(stems)];
        // Numbers in an order other than the list's, so the inserts land
        // all over the list.
        const int number = (i * 7919) % count;
        paths.push_back(folder + stem + std::to_string(number) + (i % 5 == 4 ? ".qvr" : ".qvm"));
    }
    return paths;
}

size_t TotalBytes(const std::vector<std::string>& paths) {
    size_t bytes = 0;
    for (const std::string& path : paths)
        bytes += path.size();
    return bytes;
}

void Fill(benchmark::State& state, const std::vector<std::string>& paths) {
    for (auto _ : state) {
        std::vector<std::string> names;
        names.reserve(paths.size());
        Str path, name;
        for (const std::string& full : paths) {
            path.Assign(full.c_str());
            path.GetFileName(name);
            const auto place = std::upper_bound(
                names.begin(), names.end(), name.Text(),
                [](const char* text, const std::string& item) { return text::CompareNatural(text, item.c_str()) < 0; });
            names.insert(place, name.Text());
        }
        benchmark::DoNotOptimize(names.data());
    }
    Account(state, paths.size(), TotalBytes(paths));
}

void Step(benchmark::State& state, std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return text::CompareNatural(a.c_str(), b.c_str()) < 0;
    });
    for (auto _ : state) {
        int readers = 0;
        Str path, name, extension;
        for (const std::string& full : paths) {
            path.Assign(full.c_str());
            path.GetFileName(name);
            path.GetExtension(extension);
            readers += extension.CompareNoCase("qvr") == 0 ? 1 : 0;
            benchmark::DoNotOptimize(name.Text());
        }
        benchmark::DoNotOptimize(readers);
    }
    Account(state, paths.size(), TotalBytes(paths));
}

} // namespace

void RegisterListBenchmarks() {
    const std::vector<std::string> paths = FolderOfDocuments(kDocuments);
    const std::string count = std::to_string(kDocuments);
    Register("ListFill/" + count, [paths](benchmark::State& s) { Fill(s, paths); });
    Register("ListStep/" + count, [paths](benchmark::State& s) { Step(s, paths); });
}

} // namespace bench
