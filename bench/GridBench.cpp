// The viewer's thumbnail grid on a folder of 340 documents of 4000 x 3000.
// GridFirstScreen/340/tN: the first screen, 24 cells of 160 pixels, from
// the grid asking for them to every thumbnail made, each a real read of its
// own file band by band on a pool of N threads, as the grid window's pool
// makes them. GridStep/340: the grid's answer to one step of the selection
// (the cell scrolled into view, the cells asked for, the ones dropped for
// the budget), with the thumbnails handed back at once, so the row shows
// the model's own cost; /budget48 holds no more than 48 cells, so that
// stepping down the folder drops cells as it goes.
//
// The folder holds one document written by the test writer under 340 names
// (hard links): writing 340 documents of this size would take minutes. Each
// cell still opens and decodes its own file; nothing is shared between them.
#include "bench/BenchDocs.h"
#include "bench/Register.h"

#include "app/CellThumbnail.h"
#include "app/ThumbnailGrid.h"
#include "base/WorkPool.h"
#include "tests/support/Paintings.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace bench {

namespace {

constexpr int kFolderDocuments = 340;
constexpr PictureSize kLarge{4000, 3000};
// A view of 6 x 4 cells at 96 DPI: 24 in sight, none cut.
constexpr int32_t kViewWidth = 6 * (kGridThumbnailSide + 2 * kGridCellPadding);
constexpr int32_t kViewHeight = 4 * (kGridThumbnailSide + kGridLabelHeight + 3 * kGridCellPadding);

const std::vector<std::string>& FolderPaths() {
    static const std::vector<std::string> paths = [] {
        // The six-layer painting the decode rows read, at the size of a
        // camera's picture.
        const std::filesystem::path folder = ScratchFile("grid");
        const std::string source = ScratchFile("grid-source.qvm");
        if (!docwriter::WriteFile(source, docwriter::WriteQvm(paintings::TableModeQvm(kLarge.width, kLarge.height)))) {
            std::fprintf(stderr, "cannot write %s\n", source.c_str());
            std::exit(1);
        }
        std::filesystem::create_directories(folder);
        std::vector<std::string> made;
        for (int i = 0; i < kFolderDocuments; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "doc%03d.qvm", i);
            const std::filesystem::path path = folder / name;
            std::error_code error;
            std::filesystem::create_hard_link(source, path, error);
            if (error)
                std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
            made.push_back(path.string());
        }
        return made;
    }();
    return paths;
}

class CellJob : public WorkJob {
public:
    void Run(const std::atomic<bool>& cancelled) override {
        outcome = MakeCellThumbnail(request.path.c_str(), request.side, picture, cancelled);
    }
    CellRequest request;
    CellPicture picture;
    CellOutcome outcome = CellOutcome::Failed;
};

void FirstScreen(benchmark::State& state, unsigned threads) {
    const std::vector<std::string>& paths = FolderPaths();
    WorkPool pool(threads);
    int made = 0;
    for (auto _ : state) {
        ThumbnailGrid grid;
        grid.SetDocuments(paths);
        grid.SetView(kViewWidth, kViewHeight, 96);
        std::vector<std::unique_ptr<CellJob>> jobs;
        for (int i = grid.FirstVisible(); i < grid.EndVisible(); ++i) {
            auto job = std::make_unique<CellJob>();
            job->request = grid.NextRequest();
            pool.Post(*job);
            jobs.push_back(std::move(job));
        }
        made = 0;
        for (const std::unique_ptr<CellJob>& job : jobs) {
            pool.Wait(*job);
            made += job->outcome == CellOutcome::Made ? 1 : 0;
            grid.Deliver(job->request, std::move(job->picture), job->outcome != CellOutcome::Made);
        }
        if (made != 24) {
            state.SkipWithError("a thumbnail was not made");
            return;
        }
    }
    Account(state, size_t(made) * kLarge.Pixels(), size_t(made) * kLarge.Pixels() * 4, "", threads);
}

CellPicture FakeThumbnail() {
    CellPicture picture;
    picture.width = 160;
    picture.height = 120;
    picture.pixels.assign(size_t(160) * 120 * 4, 0x80);
    return picture;
}

// Everything the grid asks for, handed back at once.
int Answer(ThumbnailGrid& grid) {
    int asked = 0;
    for (CellRequest request = grid.NextRequest(); request.index >= 0; request = grid.NextRequest()) {
        grid.Deliver(request, FakeThumbnail(), false);
        ++asked;
    }
    return asked;
}

void Step(benchmark::State& state, uint64_t budget) {
    ThumbnailGrid grid(budget);
    std::vector<std::string> paths;
    for (int i = 0; i < kFolderDocuments; ++i)
        paths.push_back("C:\\pictures\\doc" + std::to_string(i) + ".qvm");
    grid.SetDocuments(paths);
    grid.SetView(kViewWidth, kViewHeight, 96);
    Answer(grid);
    int current = 0;
    int64_t asked = 0;
    for (auto _ : state) {
        // On through the folder and round again.
        current = current + 1 < kFolderDocuments ? current + 1 : 0;
        grid.ShowCell(current);
        asked += Answer(grid);
    }
    state.counters["asked/step"] = benchmark::Counter(double(asked), benchmark::Counter::kAvgIterations);
    state.counters["evicted/step"] = benchmark::Counter(double(grid.Evictions()), benchmark::Counter::kAvgIterations);
    Account(state, 1, 0);
}

} // namespace

void RegisterGridBenchmarks() {
    const std::string count = std::to_string(kFolderDocuments);
    for (unsigned threads : ThreadCounts())
        Register("GridFirstScreen/" + count + "/t" + std::to_string(threads),
                 [threads](benchmark::State& s) { FirstScreen(s, threads); });
    Register("GridStep/" + count, [](benchmark::State& s) { Step(s, kGridMemoryBudget); });
    Register("GridStep/" + count + "/budget48", [](benchmark::State& s) { Step(s, uint64_t(48) * 160 * 120 * 4); });
}

} // namespace bench
