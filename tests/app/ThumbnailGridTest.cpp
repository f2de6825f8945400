// The thumbnail grid apart from its window: the cells laid out from the
// view's width and DPI, the keys moving the selection, which thumbnails are
// asked for first (the cells in view, then the pages beside within the
// budget), the budget holding by dropping cells seen longest ago, and a
// cell's thumbnail made from a real document.
#include "app/CellThumbnail.h"
#include "app/GridLayout.h"
#include "app/ThumbnailGrid.h"

#include "decode/DocumentLoader.h"
#include "pixels/ImageBuffer.h"
#include "tests/support/DocWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

TEST(GridLayout, CellsScaleWithDpiAndFillTheWidth) {
    struct Case {
        int32_t width;
        uint32_t dpi;
        int32_t side;
        int32_t columns;
    };
    // At 96 DPI a cell is 160 + 2 x 6 = 172 pixels wide.
    const Case cases[] = {
        {172 * 4, 96, 160, 4}, {172 * 4 - 1, 96, 160, 3}, {100, 96, 160, 1}, {0, 96, 160, 1},
        {1000, 144, 240, 3},   {1000, 192, 320, 2},       {1000, 0, 160, 5},
    };
    for (const Case& c : cases) {
        const GridLayout layout(c.width, 600, c.dpi);
        EXPECT_EQ(layout.ThumbnailSide(), c.side) << c.width << " at " << c.dpi;
        EXPECT_EQ(layout.Columns(), c.columns) << c.width << " at " << c.dpi;
    }
}

TEST(GridLayout, VisibleRangeHitsAndScrollingToACell) {
    const GridLayout layout(172 * 4, 400, 96); // 4 columns; a cell is 160 + 18 + 18 = 196 high
    ASSERT_EQ(layout.CellHeight(), 196);
    int first = -1, end = -1;
    layout.VisibleRange(0, 30, first, end);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(end, 12); // 400 pixels show two whole rows and part of a third
    layout.VisibleRange(196, 30, first, end);
    EXPECT_EQ(first, 4);
    EXPECT_EQ(end, 16);
    layout.VisibleRange(1000, 10, first, end); // past the last row: clipped to the cells
    EXPECT_EQ(first, 10);
    EXPECT_EQ(end, 10);
    layout.VisibleRange(0, 0, first, end);
    EXPECT_EQ(end - first, 0);

    EXPECT_EQ(layout.IndexAt(0, 0, 0, 30), 0);
    EXPECT_EQ(layout.IndexAt(172 * 3 + 5, 196 + 5, 0, 30), 7);
    EXPECT_EQ(layout.IndexAt(5, 5, 196, 30), 4);          // scrolled by a row
    EXPECT_EQ(layout.IndexAt(172 * 4 + 1, 5, 0, 30), -1); // beside the last column
    EXPECT_EQ(layout.IndexAt(172 * 2 + 5, 5, 0, 2), -1);  // after the last cell
    EXPECT_EQ(layout.IndexAt(-1, 5, 0, 30), -1);

    EXPECT_EQ(layout.MaxScroll(30), 8 * 196 - 400);
    EXPECT_EQ(layout.MaxScroll(4), 0);
    EXPECT_EQ(layout.ScrollToShow(0, 0, 30), 0);             // in view: stays
    EXPECT_EQ(layout.ScrollToShow(9, 0, 30), 3 * 196 - 400); // below: its bottom at the view's
    EXPECT_EQ(layout.ScrollToShow(1, 500, 30), 0);           // above: its top at the view's
    EXPECT_EQ(layout.ScrollToShow(-1, 5000, 30), layout.MaxScroll(30));
}

TEST(GridLayout, KeysMoveThroughRowsAndStopAtTheEnds) {
    struct Case {
        int current;
        int count;
        GridKey key;
        int expected;
    };
    // 4 columns, 2 rows to a page, 10 cells: the last row holds 8 and 9.
    const Case cases[] = {
        {-1, 10, GridKey::Down, 0},  {3, 10, GridKey::Right, 4},    {4, 10, GridKey::Left, 3},
        {0, 10, GridKey::Left, 0},   {9, 10, GridKey::Right, 9},    {1, 10, GridKey::Down, 5},
        {6, 10, GridKey::Down, 9},   {9, 10, GridKey::Down, 9},     {2, 10, GridKey::Up, 2},
        {6, 10, GridKey::Up, 2},     {1, 10, GridKey::PageDown, 9}, {0, 20, GridKey::PageDown, 8},
        {9, 10, GridKey::PageUp, 1}, {5, 10, GridKey::Home, 0},     {5, 10, GridKey::End, 9},
        {0, 0, GridKey::Down, -1},   {12, 10, GridKey::Up, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoveInGrid(c.current, c.count, 4, 2, c.key), c.expected)
            << "from " << c.current << " of " << c.count << " key " << int(c.key);
}

std::vector<std::string> Paths(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back("doc" + std::to_string(i) + ".qvm");
    return paths;
}

CellPicture Picture(int32_t side) {
    CellPicture picture;
    picture.width = side;
    picture.height = side;
    picture.pixels.assign(size_t(side) * size_t(side) * 4, 0x7F);
    return picture;
}

// A grid of 4 columns showing two and a bit rows (12 cells) of count.
ThumbnailGrid Grid(int count, uint64_t budget = kGridMemoryBudget) {
    ThumbnailGrid grid(budget);
    grid.SetDocuments(Paths(count));
    grid.SetView(172 * 4, 400, 96);
    return grid;
}

TEST(ThumbnailGrid, CellsInViewAreAskedForFirstInReadingOrderThenThePagesBeside) {
    ThumbnailGrid grid = Grid(100);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(grid.NextRequest().index, i);
    // A page beside: two rows after the view, nothing before it at the top.
    for (int i = 12; i < 20; ++i)
        EXPECT_EQ(grid.NextRequest().index, i);
    EXPECT_EQ(grid.NextRequest().index, -1);
    EXPECT_EQ(grid.PendingCount(), 20);

    // Scrolled far down: the cells now in view come before anything else,
    // while the ones asked for above stay asked for.
    grid.ScrollTo(196 * 10);
    EXPECT_EQ(grid.FirstVisible(), 40);
    for (int i = 40; i < 52; ++i)
        EXPECT_EQ(grid.NextRequest().index, i);
    // Then the page beside, the next row and the previous one in turn.
    EXPECT_EQ(grid.NextRequest().index, 52);
    EXPECT_EQ(grid.NextRequest().index, 39);
    EXPECT_EQ(grid.NextRequest().index, 53);
}

TEST(ThumbnailGrid, MadeAndFailedCellsAreNotAskedForAgain) {
    ThumbnailGrid grid = Grid(3);
    const CellRequest a = grid.NextRequest();
    const CellRequest b = grid.NextRequest();
    const CellRequest c = grid.NextRequest();
    EXPECT_EQ(grid.NextRequest().index, -1);
    EXPECT_EQ(a.side, 160);
    grid.Deliver(a, Picture(160), false);
    grid.Deliver(b, CellPicture{}, true);
    grid.Abandon(c); // its work was cancelled: wanted again
    EXPECT_EQ(grid.StateAt(0), CellState::Made);
    EXPECT_EQ(grid.StateAt(1), CellState::Failed);
    EXPECT_EQ(grid.StateAt(2), CellState::Wanted);
    EXPECT_EQ(grid.PictureAt(1), nullptr);
    ASSERT_NE(grid.PictureAt(0), nullptr);
    EXPECT_EQ(grid.PictureAt(0)->width, 160);
    EXPECT_EQ(grid.NextRequest().index, 2);
    EXPECT_EQ(grid.NextRequest().index, -1);
    EXPECT_EQ(grid.HeldBytes(), 160u * 160u * 4u);
}

TEST(ThumbnailGrid, AnswersToRequestsOfAnEarlierListOrSizeAreIgnored) {
    ThumbnailGrid grid = Grid(3);
    const CellRequest old = grid.NextRequest();
    grid.Clear(); // another folder, or the grid closed and opened again
    grid.SetDocuments(Paths(3));
    grid.Deliver(old, Picture(160), false);
    EXPECT_EQ(grid.StateAt(0), CellState::Wanted);
    EXPECT_EQ(grid.HeldBytes(), 0u);

    const CellRequest small = grid.NextRequest();
    grid.Deliver(small, Picture(160), false);
    grid.SetView(172 * 4, 400, 192); // another DPI: the thumbnails made go
    EXPECT_EQ(grid.StateAt(0), CellState::Wanted);
    EXPECT_EQ(grid.HeldBytes(), 0u);
    EXPECT_EQ(grid.NextRequest().side, 320);
}

TEST(ThumbnailGrid, ThumbnailsStayWithTheirDocumentsThroughANewOrder) {
    ThumbnailGrid grid = Grid(3);
    const CellRequest first = grid.NextRequest();
    grid.NextRequest();
    grid.NextRequest();
    grid.Deliver(first, Picture(160), false);
    grid.SetDocuments({"doc2.qvm", "doc1.qvm", "doc0.qvm"});
    EXPECT_EQ(grid.StateAt(2), CellState::Made);
    EXPECT_EQ(grid.StateAt(0), CellState::Pending); // doc2, still being made
    grid.SetDocuments({"doc2.qvm", "doc1.qvm"});    // doc0 went
    EXPECT_EQ(grid.HeldBytes(), 0u);
    EXPECT_EQ(grid.PendingCount(), 2); // doc1 and doc2 are still being made
}

TEST(ThumbnailGrid, TheBudgetDropsCellsSeenLongestAgoAndNeverOnesInView) {
    const uint64_t cell = 160 * 160 * 4;
    // Room for 14 thumbnails: the 12 in view and two more.
    ThumbnailGrid grid = Grid(100, cell * 14);
    for (CellRequest request = grid.NextRequest(); request.index >= 0; request = grid.NextRequest())
        grid.Deliver(request, Picture(160), false);
    // Ahead of the view only what fits was asked for.
    EXPECT_EQ(grid.HeldBytes(), cell * 14);
    EXPECT_EQ(grid.Evictions(), 0u);
    EXPECT_EQ(grid.StateAt(14), CellState::Wanted);

    // One row down, then another: the top rows were seen longest ago.
    grid.ScrollTo(196);
    grid.ScrollTo(2 * 196);
    for (CellRequest request = grid.NextRequest(); request.index >= 0; request = grid.NextRequest())
        grid.Deliver(request, Picture(160), false);
    EXPECT_LE(grid.HeldBytes(), cell * 14);
    for (int i = grid.FirstVisible(); i < grid.EndVisible(); ++i)
        EXPECT_EQ(grid.StateAt(i), CellState::Made) << i;
    // One cell dropped for each of the six made: the top row, seen first,
    // then two of the row seen next.
    EXPECT_EQ(grid.Evictions(), 6u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(grid.StateAt(i), CellState::Wanted) << i;
    int kept = 0;
    for (int i = 4; i < 8; ++i)
        kept += grid.StateAt(i) == CellState::Made ? 1 : 0;
    EXPECT_EQ(kept, 2);

    // Back at the top, the dropped cells are asked for again.
    grid.ScrollTo(0);
    EXPECT_EQ(grid.NextRequest().index, 0);
}

TEST(ThumbnailGrid, CellsInViewStayWhenTheyAloneExceedTheBudget) {
    ThumbnailGrid grid = Grid(12, 160 * 160 * 4 * 2);
    for (CellRequest request = grid.NextRequest(); request.index >= 0; request = grid.NextRequest())
        grid.Deliver(request, Picture(160), false);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(grid.StateAt(i), CellState::Made) << i;
    EXPECT_EQ(grid.Evictions(), 0u);
}

class CellThumbnailTest : public testing::Test {
protected:
    std::string Document(const std::string& name, int width, int height, uint8_t b, uint8_t g, uint8_t r) {
        docwriter::QvmDocument doc;
        doc.width = uint16_t(width);
        doc.height = uint16_t(height);
        doc.layers.push_back(docwriter::MakeQvmLayer("one", docwriter::SolidPixels(width, height, b, g, r, 255)));
        const std::string path = dir.File(name);
        EXPECT_TRUE(docwriter::WriteFile(path, docwriter::WriteQvm(doc)));
        return path;
    }
    TempDir dir;
    std::atomic<bool> cancel{false};
};

TEST_F(CellThumbnailTest, ADocumentIsScaledToTheCellWithItsAspectAndColours) {
    const std::string path = Document("wide.qvm", 400, 100, 0x20, 0x90, 0xE0);
    ImageBuffer loaded;
    ASSERT_TRUE(LoadDocument(loaded, path.c_str()));
    CellPicture picture;
    ASSERT_EQ(MakeCellThumbnail(path.c_str(), 160, picture, cancel), CellOutcome::Made);
    EXPECT_EQ(picture.width, 160);
    EXPECT_EQ(picture.height, 40);
    ASSERT_EQ(picture.pixels.size(), size_t(160 * 40 * 4));
    for (size_t i = 0; i < picture.pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(picture.pixels[i + c], loaded.TopRow(0)[c]) << "byte " << i + c;
}

TEST_F(CellThumbnailTest, ASmallDocumentIsNotEnlarged) {
    const std::string path = Document("small.qvm", 30, 20, 1, 2, 3);
    CellPicture picture;
    ASSERT_EQ(MakeCellThumbnail(path.c_str(), 160, picture, cancel), CellOutcome::Made);
    EXPECT_EQ(picture.width, 30);
    EXPECT_EQ(picture.height, 20);
}

TEST_F(CellThumbnailTest, UnreadableDocumentsFailAndCancelledWorkSaysSo) {
    CellPicture picture;
    EXPECT_EQ(MakeCellThumbnail(dir.File("missing.qvm").c_str(), 160, picture, cancel), CellOutcome::Failed);
    const std::string text = dir.File("text.qvm");
    ASSERT_TRUE(docwriter::WriteText(text, "not a document"));
    EXPECT_EQ(MakeCellThumbnail(text.c_str(), 160, picture, cancel), CellOutcome::Failed);
    // Cut short: the header promises layers that never come.
    const std::string good = Document("cut.qvm", 300, 300, 9, 9, 9);
    docwriter::Bytes bytes = docwriter::ReadFile(good);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(docwriter::WriteFile(good, bytes));
    EXPECT_EQ(MakeCellThumbnail(good.c_str(), 160, picture, cancel), CellOutcome::Failed);
    EXPECT_TRUE(picture.pixels.empty());

    const std::string whole = Document("whole.qvm", 300, 300, 9, 9, 9);
    cancel = true;
    EXPECT_EQ(MakeCellThumbnail(whole.c_str(), 160, picture, cancel), CellOutcome::Cancelled);
}

} // namespace
