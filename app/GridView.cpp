#include "app/GridView.h"

#include "app/CellThumbnail.h"
#include "app/DocumentList.h"
#include "app/Settings.h"
#include "app/UserLanguage.h"
#include "base/WorkPool.h"
#include "base/Wide.h"
#include "framework/Dpi.h"
#include "framework/MessageFont.h"
#include "framework/MouseInput.h"
#include "framework/WindowPoolJob.h"

#include <atomic>
#include <string>
#include <utility>

namespace {

const char kGridClass[] = "ThumbnailGrid";
// Hidden until opened; the bar stays, greyed when everything fits, so the
// columns never change with the number of documents.
constexpr DWORD kGridStyle = WS_CHILD | WS_VSCROLL | WS_TABSTOP;
// Posted by a piece of the pool when it has made a thumbnail.
constexpr UINT kThumbnailMade = WM_USER + 1;

COLORREF ColourOf(int32_t bgr) {
    return COLORREF(uint32_t(bgr) & 0xFFFFFF);
}

} // namespace

// One thumbnail being made: the request it answers and the piece of the
// pool making it.
struct GridView::Slot {
    struct Made {
        CellPicture picture;
        CellOutcome outcome = CellOutcome::Failed;
    };
    explicit Slot(WorkPool& pool) : job(pool) {}
    CellRequest request;
    WindowPoolResult<Made> job;
};

GridView::GridView() = default;
GridView::~GridView() {
    StopWork();
}

bool GridView::CreateGrid(HWND parent, const Settings& gridSettings, const DocumentList& list, GridSink& target) {
    settings = &gridSettings;
    documents = &list;
    sink = &target;
    if (RegisterClass(kGridClass, nullptr, nullptr, LoadCursorA(nullptr, IDC_ARROW), nullptr, 0, CS_DBLCLKS) == 0)
        return false;
    return Create(WS_EX_CLIENTEDGE, kGridClass, "", kGridStyle, 0, 0, 200, 200, parent, nullptr);
}

void GridView::Open() {
    if (open)
        return;
    open = true;
    int32_t width = 0, height = 0;
    GetClientSize(width, height);
    model.SetView(width, height, WindowDpi(hwnd));
    DocumentsChanged();
    ShowWindow(hwnd, SW_SHOW);
}

void GridView::Close() {
    if (!open)
        return;
    open = false;
    ShowWindow(hwnd, SW_HIDE);
    StopWork();
    model.Clear();
    model.SetDocuments({});
}

void GridView::DocumentsChanged() {
    if (!open)
        return;
    std::vector<std::string> paths;
    paths.reserve(size_t(documents->Count()));
    for (int i = 0; i < documents->Count(); ++i)
        paths.emplace_back(documents->PathAt(i));
    model.SetDocuments(paths);
    model.ShowCell(documents->Current());
    UpdateBar();
    Invalidate();
    Pump();
}

void GridView::ListReplaced() {
    StopWork();
    model.Clear();
    DocumentsChanged();
}

void GridView::SelectionChanged() {
    if (!open)
        return;
    model.ShowCell(documents->Current());
    UpdateBar();
    Invalidate();
    Pump();
}

void GridView::Pump() {
    if (!open)
        return;
    if (pool == nullptr) {
        // Every core makes thumbnails; the interface thread only draws them.
        pool = std::make_unique<WorkPool>(WorkPool::ProcessorCount() + 1);
        const unsigned threads = pool->Size() > 1 ? pool->Size() - 1 : 1;
        for (unsigned i = 0; i < threads; ++i)
            slots.push_back(std::make_unique<Slot>(*pool));
    }
    for (const std::unique_ptr<Slot>& slot : slots) {
        if (slot->job.Busy())
            continue;
        CellRequest request = model.NextRequest();
        if (request.index < 0)
            return;
        slot->request = std::move(request);
        auto work = [path = slot->request.path, side = slot->request.side](Slot::Made& made,
                                                                           const std::atomic<bool>& cancelled) {
            try {
                made.outcome = MakeCellThumbnail(path.c_str(), side, made.picture, cancelled);
            } catch (...) {
                // Memory ran out: the cell says it could not be read.
                made.picture = CellPicture{};
                made.outcome = CellOutcome::Failed;
            }
        };
        if (!slot->job.Start(hwnd, kThumbnailMade, std::move(work))) {
            model.Abandon(slot->request);
            return;
        }
    }
}

void GridView::Collect() {
    for (const std::unique_ptr<Slot>& slot : slots) {
        if (!slot->job.Busy())
            continue;
        Slot::Made* made = slot->job.Finished(false);
        if (slot->job.Busy())
            continue; // still being made
        const CellRequest& request = slot->request;
        if (made == nullptr || made->outcome == CellOutcome::Cancelled)
            model.Abandon(request);
        else
            model.Deliver(request, std::move(made->picture), made->outcome == CellOutcome::Failed);
        if (request.index >= model.FirstVisible() && request.index < model.EndVisible()) {
            const GridRect cell = model.Layout().CellRect(request.index, model.Scroll());
            const RECT area{cell.left, cell.top, cell.right, cell.bottom};
            InvalidateRect(hwnd, &area, FALSE);
        }
    }
    Pump();
}

void GridView::StopWork() {
    if (pool == nullptr)
        return;
    // Queued pieces are dropped; running ones see the flag at their next
    // band, and each slot waits for its own as it goes.
    pool->Cancel();
    slots.clear();
    pool.reset();
}

void GridView::UpdateBar() {
    const GridLayout& layout = model.Layout();
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = layout.ContentHeight(model.Count()) - 1;
    info.nPage = UINT(layout.ViewHeight());
    info.nPos = model.Scroll();
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

void GridView::ScrollTo(int32_t position) {
    const int32_t before = model.Scroll();
    model.ScrollTo(position);
    if (model.Scroll() == before)
        return;
    UpdateBar();
    Invalidate();
    // The cells now in view come next.
    Pump();
}

bool GridView::OnSize(WPARAM, uint32_t width, uint32_t height) {
    if (!open)
        return true;
    model.SetView(int32_t(width), int32_t(height), WindowDpi(hwnd));
    model.ShowCell(documents->Current());
    UpdateBar();
    Invalidate();
    Pump();
    return true;
}

bool GridView::OnVScroll(uint32_t code, uint32_t, LPARAM) {
    const GridLayout& layout = model.Layout();
    const int32_t line = layout.CellHeight() / 4;
    int32_t position = model.Scroll();
    switch (code) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= layout.ViewHeight();
        break;
    case SB_PAGEDOWN:
        position += layout.ViewHeight();
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = layout.MaxScroll(model.Count());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit position: the message's own is cut to 16 bits.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(hwnd, SB_VERT, &info))
            position = info.nTrackPos;
        break;
    }
    default:
        return true;
    }
    ScrollTo(position);
    return true;
}

bool GridView::OnMouseWheel(uint32_t, uint32_t delta, uint32_t, uint32_t) {
    // A notch scrolls half a row; a fine wheel's parts add up to it.
    wheelRest += WheelDeltaOf(delta);
    const int32_t step = model.Layout().CellHeight() / 2;
    const int32_t move = int32_t(int64_t(wheelRest) * step / WHEEL_DELTA);
    if (move == 0)
        return true;
    wheelRest -= int(int64_t(move) * WHEEL_DELTA / step);
    ScrollTo(model.Scroll() - move);
    return true;
}

bool GridView::OnKeyDown(WPARAM key, LPARAM) {
    GridKey move;
    switch (key) {
    case VK_LEFT:
        move = GridKey::Left;
        break;
    case VK_RIGHT:
        move = GridKey::Right;
        break;
    case VK_UP:
        move = GridKey::Up;
        break;
    case VK_DOWN:
        move = GridKey::Down;
        break;
    case VK_PRIOR:
        move = GridKey::PageUp;
        break;
    case VK_NEXT:
        move = GridKey::PageDown;
        break;
    case VK_HOME:
        move = GridKey::Home;
        break;
    case VK_END:
        move = GridKey::End;
        break;
    case VK_RETURN:
        if (documents->Current() >= 0)
            sink->GridOpened(documents->Current());
        return true;
    default:
        return false;
    }
    const GridLayout& layout = model.Layout();
    const int next = MoveInGrid(documents->Current(), model.Count(), layout.Columns(), layout.RowsPerPage(), move);
    if (next >= 0 && next != documents->Current())
        sink->GridSelected(next);
    return true;
}

bool GridView::OnLButtonDown(WPARAM, uint32_t x, uint32_t y) {
    SetFocus(hwnd);
    const POINT point = PointOf(x, y);
    const int index = model.Layout().IndexAt(point.x, point.y, model.Scroll(), model.Count());
    if (index >= 0 && index != documents->Current())
        sink->GridSelected(index);
    return true;
}

bool GridView::OnLButtonDblClk(WPARAM, uint32_t x, uint32_t y) {
    const POINT point = PointOf(x, y);
    const int index = model.Layout().IndexAt(point.x, point.y, model.Scroll(), model.Count());
    if (index >= 0)
        sink->GridOpened(index);
    return true;
}

bool GridView::OnUserMessage(UINT message, WPARAM, LPARAM) {
    if (message != kThumbnailMade)
        return false;
    Collect();
    return true;
}

bool GridView::OnEraseBkgnd(WPARAM, LRESULT* result) {
    // Painting covers the whole client area, through a bitmap: no flicker.
    *result = 1;
    return true;
}

bool GridView::OnPaint() {
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(hwnd, &paint);
    int32_t width = 0, height = 0;
    GetClientSize(width, height);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
    HGDIOBJ keptBitmap = SelectObject(dc, bitmap);
    HBRUSH background = CreateSolidBrush(ColourOf(settings->ColBk));
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, background);
    DeleteObject(background);
    const uint32_t dpi = WindowDpi(hwnd);
    if (fontDpi != dpi) {
        LOGFONTW logFont{};
        if (MessageFontAt(dpi, logFont))
            font.CreateFromLogFont(logFont);
        fontDpi = dpi;
    }
    HGDIOBJ keptFont = SelectObject(dc, font.Font() != nullptr ? font.handle : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    const int current = documents->Current();
    for (int i = model.FirstVisible(); i < model.EndVisible(); ++i)
        PaintCell(dc, i, current);
    SelectObject(dc, keptFont);
    BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, keptBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(hwnd, &paint);
    return true;
}

void GridView::PaintCell(HDC dc, int index, int current) {
    const GridLayout& layout = model.Layout();
    const GridRect cell = layout.CellRect(index, model.Scroll());
    const GridRect square = layout.ThumbnailRect(index, model.Scroll());
    const GridRect label = layout.LabelRect(index, model.Scroll());
    const bool selected = index == current;
    if (selected) {
        const RECT area{cell.left, cell.top, cell.right, cell.bottom};
        FillRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    // Black on a light background, white on a dark one, as the view says a
    // failure.
    const uint32_t colour = uint32_t(settings->ColBk);
    const uint32_t light = (colour & 0xFF) * 3 + ((colour >> 8) & 0xFF) * 6 + ((colour >> 16) & 0xFF);
    const COLORREF text = light >= 128 * 10 ? RGB(0, 0, 0) : RGB(255, 255, 255);
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
    if (const CellPicture* picture = model.PictureAt(index)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = picture->width;
        info.bmiHeader.biHeight = -picture->height; // the top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        const int32_t left = square.left + (layout.ThumbnailSide() - picture->width) / 2;
        const int32_t top = square.top + (layout.ThumbnailSide() - picture->height) / 2;
        SetDIBitsToDevice(dc, left, top, DWORD(picture->width), DWORD(picture->height), 0, 0, 0, UINT(picture->height),
                          picture->pixels.data(), &info, DIB_RGB_COLORS);
    } else if (model.StateAt(index) == CellState::Failed) {
        RECT area{square.left, square.top, square.right, square.bottom};
        DrawTextW(dc, Widen(UserTexts(*settings).loadFailed).c_str(), -1, &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    RECT line{label.left, label.top, label.right, label.bottom};
    // Labels name files, which may hold any character.
    DrawTextW(dc, Widen(documents->LabelAt(index)).c_str(), -1, &line,
              DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}
