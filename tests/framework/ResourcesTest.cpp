// The compiled resource script, loaded from this executable (which links the
// same resource objects as the viewer): every menu item, accelerator, dialog
// control and string, and the texts the program's messages show.
#include "framework/Platform.h"
#include "base/Str.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"

#include "TessavelVersion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

// --- Messages ---------------------------------------------------------------

// The program's UTF-8 text as the user sees it; nothing if it is no UTF-8.
std::wstring FromUtf8(const char* text) {
    wchar_t wide[128] = {};
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, 128);
    return wide;
}

TEST(Messages, EveryMessageDecodesToItsJapaneseText) {
    const std::pair<const char*, const wchar_t*> messages[] = {
        {msg::kLoadFailed, L"読み込みに失敗"},
        {msg::kSetVelmoraLocation, L"ｵﾌﾟｼｮﾝでVelmoraの場所を指定してください"},
        {msg::kVelmoraMissing, L"Velmoraの実行ﾌｧｲﾙが存在しません"},
        {msg::kListEmpty, L"ﾘｽﾄにﾌｧｲﾙが一つもありません"},
        {msg::kFolderPrompt, L"フォルダ"},
        {msg::kQvmOnly, L"QVMﾌｧｲﾙにしか対応していません"},
        {msg::kExportDone, L"出力完了"},
        {msg::kExportDoneCaption, L"完了"},
        {msg::kExportFailed, L"出力失敗"},
        {msg::kExportFailedCaption, L"失敗"},
        {msg::kDestinationPrompt, L"出力先"},
        {msg::kSpecifyOutputFolder, L"出力ﾌｫﾙﾀﾞを指定してください"},
        {msg::kFolderNotFound, L"指定したﾌｫﾙﾀﾞが存在しません"},
        {msg::kConversionDone, L"完了 ...  処理ﾌｧｲﾙ %d / %d"},
        {msg::kViewMirrored, L"左右反転"},
        {msg::kViewTurned, L"%d°回転"},
        {msg::kViewTurnSeparator, L"、"},
    };
    for (const auto& [bytes, expected] : messages)
        EXPECT_EQ(FromUtf8(bytes), expected);
}

// --- Menu -------------------------------------------------------------------

HMENU LoadMainMenu() {
    return LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
}

std::wstring TextAt(HMENU menu, UINT item, UINT flags) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, item, text, 128, flags);
    return text;
}

struct MenuCommand {
    int popup; // 0 File, 1 Edit, 2 View, 3 Help
    UINT id;
    const wchar_t* text;
};

const MenuCommand kCommands[] = {
    {0, IDM_OPEN_FILE, L"&Open file\tCtrl+O"},
    {0, IDM_OPEN_FOLDER, L"Open &folder\tCtrl+D"},
    {0, IDM_SAVE_AS, L"Save &as...\tCtrl+Shift+S"},
    {0, IDM_OPTION, L"O&ption"},
    {0, IDM_QUIT, L"&Quit"},
    {0, IDM_RECENT_PLACEHOLDER, L"-"},
    {1, IDM_PREVIOUS_FILE, L"&Previous file\bCtrl+B"},
    {1, IDM_NEXT_FILE, L"&Next file\bCtrl+N"},
    {1, IDM_OPEN_IN_VELMORA, L"Open in &Velmora\bCtrl+A"},
    {1, IDM_COPY_TO_CLIPBOARD, L"&Copy to clipboard\bCtrl+C"},
    {1, IDM_CONVERT_ALL, L"&All converted into one image file"},
    {1, IDM_EXPORT_LAYERS, L"(QVM) Output each &layer to alpha PNG"},
    {2, IDM_EXTEND, L"&Extend\tCtrl+\u2191/NUM+"},
    {2, IDM_REDUCE, L"&Reduce\tCtrl+\u2193/NUM-"},
    {2, IDM_FLIP_HORIZONTAL, L"Flip &horizontal\tCtrl+H"},
    {2, IDM_ROTATE_RIGHT, L"Rotate r&ight\tCtrl+R"},
    {2, IDM_ROTATE_LEFT, L"R&otate left\tCtrl+Shift+R"},
    {2, IDM_FIT_ENLARGE, L"E&nlarge small pictures to fit\tCtrl+Shift+E"},
    {2, IDM_COPY_COLOUR, L"&Copy colour under pointer\tCtrl+Shift+C"},
    {2, IDM_ZOOM_25, L"2&5%"},
    {2, IDM_ZOOM_33, L"3&3%"},
    {2, IDM_ZOOM_50, L"5&0%"},
    {2, IDM_ZOOM_67, L"&67%"},
    {2, IDM_ZOOM_75, L"&75%"},
    {2, IDM_ZOOM_100, L"&100%\tCtrl+1/NUM*"},
    {2, IDM_ZOOM_150, L"1&50%"},
    {2, IDM_ZOOM_200, L"&200%\tCtrl+2"},
    {2, IDM_ZOOM_300, L"&300%\tCtrl+3"},
    {2, IDM_ZOOM_400, L"&400%\tCtrl+4"},
    {2, IDM_ZOOM_500, L"&500%\tCtrl+5"},
    {2, IDM_SORT_NAME, L"&Name"},
    {2, IDM_SORT_MODIFIED, L"&Date modified"},
    {2, IDM_SORT_SIZE, L"&Size"},
    {2, IDM_SORT_REVERSE, L"&Reverse order (newest, largest first)"},
    {2, IDM_STEP_STARTS_TOP_LEFT, L"Start each picture at its to&p-left\tCtrl+K"},
    {2, IDM_CARRY_HIDDEN_LAYERS, L"&Keep hidden layers hidden\tCtrl+Shift+H"},
    {2, IDM_SOLO_LAYER, L"Show the layer &alone\tAlt+Space"},
    {3, IDM_ABOUT, L"&About"},
};

TEST(Resources, MenuBarHasFileEditViewHelp) {
    HMENU menu = LoadMainMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(TextAt(menu, 0, MF_BYPOSITION), L"&File");
    EXPECT_EQ(TextAt(menu, 1, MF_BYPOSITION), L"&Edit");
    EXPECT_EQ(TextAt(menu, 2, MF_BYPOSITION), L"&View");
    EXPECT_EQ(TextAt(menu, 3, MF_BYPOSITION), L"&Help");
    DestroyMenu(menu);
}

TEST(Resources, EveryCommandHasItsTextInItsMenu) {
    HMENU menu = LoadMainMenu();
    ASSERT_NE(menu, nullptr);
    for (const MenuCommand& command : kCommands) {
        HMENU popup = GetSubMenu(menu, command.popup);
        EXPECT_EQ(TextAt(popup, command.id, MF_BYCOMMAND), command.text) << command.id;
        const UINT state = GetMenuState(popup, command.id, MF_BYCOMMAND);
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u) << command.id;
    }
    DestroyMenu(menu);
}

// The access key of a menu text: the character after its one single '&'
// (lower case), 0 when it has none; -1 when it has more than one.
int AccessKey(const std::wstring& text) {
    int key = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (i + 1 < text.size() && text[i + 1] == L'&') {
            ++i; // "&&" is a literal '&'
            continue;
        }
        if (key != 0 || i + 1 == text.size())
            return -1;
        key = static_cast<int>(towlower(text[i + 1]));
    }
    return key;
}

// Every item of menu (separators aside) has one access key and no two share
// one, unless both are listed in mayShare; the same for its submenus.
void ExpectAccessKeys(HMENU menu, const std::wstring& where, const std::vector<std::wstring>& mayShare) {
    std::vector<std::pair<int, std::wstring>> keys;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR)
            continue;
        const std::wstring text = TextAt(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (text == L"-")
            continue; // the placeholder of the recent folders
        const int key = AccessKey(text);
        EXPECT_GT(key, 0) << "in " << std::string(where.begin(), where.end()) << ", item " << i;
        for (const auto& [other, otherText] : keys) {
            const bool shared = std::count(mayShare.begin(), mayShare.end(), text) != 0 &&
                                std::count(mayShare.begin(), mayShare.end(), otherText) != 0;
            EXPECT_TRUE(key != other || shared) << "item " << i << " shares its key with another";
        }
        keys.emplace_back(key, text);
        if (HMENU sub = GetSubMenu(menu, i))
            ExpectAccessKeys(sub, text, mayShare);
    }
}

TEST(Resources, EveryMenuItemHasItsOwnAccessKey) {
    HMENU menu = LoadMainMenu();
    ASSERT_NE(menu, nullptr);
    // 100% to 500% are keyed by the digits of Ctrl+1 to Ctrl+5, leaving 25%
    // and 150% only their 5 and 33% its 3.
    ExpectAccessKeys(menu, L"menu bar", {L"2&5%", L"1&50%", L"&500%\tCtrl+5", L"3&3%", L"&300%\tCtrl+3"});
    DestroyMenu(menu);
}

TEST(Resources, RecentFoldersSubmenuIsAtItsPositionInFile) {
    HMENU menu = LoadMainMenu();
    ASSERT_NE(menu, nullptr);
    HMENU file = GetSubMenu(menu, 0);
    EXPECT_EQ(TextAt(file, RECENT_MENU_POSITION, MF_BYPOSITION), L"&Recents opened folder");
    HMENU recent = GetSubMenu(file, RECENT_MENU_POSITION);
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(GetMenuItemCount(recent), 1);
    EXPECT_EQ(GetMenuItemID(recent, 0), static_cast<UINT>(IDM_RECENT_PLACEHOLDER));
    DestroyMenu(menu);
}

TEST(Resources, ZoomSubmenuOfViewHoldsTheScalesInOrderThenFitToWindow) {
    HMENU menu = LoadMainMenu();
    ASSERT_NE(menu, nullptr);
    HMENU view = GetSubMenu(menu, 2);
    HMENU zoom = nullptr;
    for (int i = 0; i < GetMenuItemCount(view); ++i)
        if (TextAt(view, i, MF_BYPOSITION) == L"&Zoom")
            zoom = GetSubMenu(view, i);
    ASSERT_NE(zoom, nullptr);
    const UINT scales[] = {IDM_ZOOM_25,  IDM_ZOOM_33,  IDM_ZOOM_50,  IDM_ZOOM_67,  IDM_ZOOM_75, IDM_ZOOM_100,
                           IDM_ZOOM_150, IDM_ZOOM_200, IDM_ZOOM_300, IDM_ZOOM_400, IDM_ZOOM_500};
    const int count = int(std::size(scales));
    ASSERT_EQ(GetMenuItemCount(zoom), count + 2);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(GetMenuItemID(zoom, i), scales[i]) << i;
    EXPECT_EQ(GetMenuState(zoom, count, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(zoom, count + 1), static_cast<UINT>(IDM_FIT_TO_WINDOW));
    EXPECT_EQ(TextAt(zoom, count + 1, MF_BYPOSITION), L"&Fit to window\tCtrl+0");
    DestroyMenu(menu);
}

// --- Accelerators -----------------------------------------------------------

TEST(Resources, AcceleratorTableMapsEachKeyToItsCommand) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[64] = {};
    const int count = CopyAcceleratorTableA(table, entries, 64);
    using Entry = std::tuple<int, int, int>; // flags, key, command
    std::vector<Entry> actual;
    for (int i = 0; i < count; ++i)
        actual.emplace_back(entries[i].fVirt & ~0x80, entries[i].key, entries[i].cmd);
    const int ctrl = FVIRTKEY | FCONTROL | FNOINVERT;
    const int plain = FVIRTKEY | FNOINVERT;
    const int shift = FVIRTKEY | FSHIFT | FNOINVERT;
    std::vector<Entry> expected = {
        {ctrl, '1', IDM_ZOOM_100},         {ctrl, '2', IDM_ZOOM_200},
        {ctrl, '3', IDM_ZOOM_300},         {ctrl, '4', IDM_ZOOM_400},
        {ctrl, '5', IDM_ZOOM_500},         {ctrl, 'A', IDM_OPEN_IN_VELMORA},
        {ctrl, 'B', IDM_PREVIOUS_FILE},    {ctrl, 'C', IDM_COPY_TO_CLIPBOARD},
        {ctrl, 'D', IDM_OPEN_FOLDER},      {ctrl, 'N', IDM_NEXT_FILE},
        {ctrl, 'O', IDM_OPEN_FILE},        {plain, VK_ADD, IDM_EXTEND},
        {ctrl, VK_DOWN, IDM_REDUCE},       {plain, VK_MULTIPLY, IDM_ZOOM_100},
        {plain, VK_SUBTRACT, IDM_REDUCE},  {ctrl, VK_UP, IDM_EXTEND},
        {ctrl, '0', IDM_FIT_TO_WINDOW},    {ctrl, VK_NUMPAD0, IDM_FIT_TO_WINDOW},
        {plain, VK_F11, IDM_FULL_SCREEN},  {plain, VK_ESCAPE, IDM_LEAVE_FULL_SCREEN},
        {ctrl, VK_OEM_PLUS, IDM_EXTEND},   {ctrl, VK_ADD, IDM_EXTEND},
        {ctrl, VK_OEM_MINUS, IDM_REDUCE},  {ctrl, VK_SUBTRACT, IDM_REDUCE},
        {ctrl, 'L', IDM_LAYERS_PANE},      {plain, VK_F5, IDM_REFRESH},
        {plain, VK_TAB, IDM_NEXT_PANE},    {shift, VK_TAB, IDM_NEXT_PANE},
        {ctrl | FSHIFT, 'S', IDM_SAVE_AS},
        {ctrl, 'K', IDM_STEP_STARTS_TOP_LEFT}, {ctrl | FSHIFT, 'H', IDM_CARRY_HIDDEN_LAYERS},
        {FVIRTKEY | FALT | FNOINVERT, VK_SPACE, IDM_SOLO_LAYER},
        {ctrl, 'T', IDM_THUMBNAILS}, {ctrl, VK_F11, IDM_SLIDESHOW},
    };
    // The view's painter's tools.
    const std::vector<Entry> tools = {
        {ctrl, 'H', IDM_FLIP_HORIZONTAL},      {ctrl, 'R', IDM_ROTATE_RIGHT},
        {ctrl | FSHIFT, 'R', IDM_ROTATE_LEFT}, {ctrl | FSHIFT, 'E', IDM_FIT_ENLARGE},
        {ctrl | FSHIFT, 'C', IDM_COPY_COLOUR},
    };
    expected.insert(expected.end(), tools.begin(), tools.end());
    std::sort(actual.begin(), actual.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(actual, expected);
}

// --- Strings and icon --------------------------------------------------------

TEST(Resources, MouseActionEntryNamesTheEightActions) {
    Str entry(255);
    entry.LoadFromResource(IDS_MOUSE_ACTIONS);
    EXPECT_STREQ(entry.Text(), "None;Switch Maximize/Minimize;Previous file;Next file;Scaling up;Scaling down;"
                               "100% fit size;Open in Velmora;");
}

TEST(Resources, IconLoadsAtBothSizes) {
    for (int size : {16, 32}) {
        HICON icon = LoadIconImage(IDI_TESSAVEL, size);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

// --- Dialog templates ---------------------------------------------------------

// One control of an extended dialog template.
struct Item {
    int32_t id;
    std::wstring windowClass; // lower case: class names ignore case, and a class may be an ordinal or a name
    std::wstring text;
    int16_t x, y, cx, cy;
    uint32_t style;
    bool operator==(const Item& o) const {
        return std::tie(id, windowClass, text, x, y, cx, cy, style) ==
               std::tie(o.id, o.windowClass, o.text, o.x, o.y, o.cx, o.cy, o.style);
    }
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
    std::string text(item.text.begin(), item.text.end()); // the control texts are ASCII
    std::string windowClass(item.windowClass.begin(), item.windowClass.end());
    return out << "{" << item.id << " " << windowClass << " '" << text << "' " << item.x << "," << item.y << ","
               << item.cx << "," << item.cy << " 0x" << std::hex << item.style << std::dec << "}";
}

struct Template {
    uint32_t style = 0, exStyle = 0;
    int16_t cx = 0, cy = 0;
    std::wstring caption;
    uint16_t pointSize = 0;
    uint8_t charset = 0;
    std::wstring face;
    std::vector<Item> items;
};

// Reads the DLGTEMPLATEEX layout: header, menu, class, caption, font, then
// each item aligned to four bytes.
class TemplateReader {
public:
    explicit TemplateReader(const uint8_t* start) : base(start), p(start) {}

    Template Read() {
        Template t;
        Word(); // version
        EXPECT_EQ(Word(), 0xFFFF) << "not an extended template";
        Dword(); // help id
        t.exStyle = Dword();
        t.style = Dword();
        const uint16_t count = Word();
        Word(); // x
        Word(); // y
        t.cx = static_cast<int16_t>(Word());
        t.cy = static_cast<int16_t>(Word());
        SzOrOrd(); // menu
        SzOrOrd(); // class
        t.caption = SzOrOrd();
        if (t.style & DS_SETFONT) {
            t.pointSize = Word();
            Word(); // weight
            Word(); // italic, then the character set
            t.charset = p[-1];
            t.face = SzOrOrd();
        }
        for (uint16_t i = 0; i < count; ++i) {
            Align();
            Item item;
            Dword(); // help id
            Dword(); // extended style
            item.style = Dword();
            item.x = static_cast<int16_t>(Word());
            item.y = static_cast<int16_t>(Word());
            item.cx = static_cast<int16_t>(Word());
            item.cy = static_cast<int16_t>(Word());
            item.id = static_cast<int32_t>(Dword());
            item.windowClass = SzOrOrd();
            for (wchar_t& c : item.windowClass)
                c = static_cast<wchar_t>(towlower(c));
            item.text = SzOrOrd();
            p += Word(); // creation data
            t.items.push_back(item);
        }
        return t;
    }

private:
    uint16_t Word() {
        uint16_t v;
        std::memcpy(&v, p, 2);
        p += 2;
        return v;
    }
    uint32_t Dword() {
        uint32_t v;
        std::memcpy(&v, p, 4);
        p += 4;
        return v;
    }
    void Align() { p = base + ((p - base + 3) & ~3); }
    std::wstring SzOrOrd() {
        const uint16_t first = Word();
        if (first == 0)
            return L"";
        if (first == 0xFFFF) {
            const uint16_t ordinal = Word();
            switch (ordinal) {
            case 0x80:
                return L"button";
            case 0x81:
                return L"edit";
            case 0x82:
                return L"static";
            case 0x85:
                return L"combobox";
            default:
                return L"#" + std::to_wstring(ordinal);
            }
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        for (uint16_t c = Word(); c != 0; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }

    const uint8_t* base;
    const uint8_t* p;
};

Template LoadTemplate(uint32_t id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    EXPECT_NE(found, nullptr);
    if (found == nullptr)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return TemplateReader(bytes).Read();
}

// The system's dialog font, which has every script through font linking.
const wchar_t kShellFont[] = L"MS Shell Dlg 2";
// popup, caption, system menu, centred, modal frame, the system's dialog font
constexpr uint32_t kDialogStyle = 0x80C808C8;

void ExpectShellFont(const Template& t) {
    EXPECT_EQ(t.style & DS_SHELLFONT, static_cast<uint32_t>(DS_SHELLFONT));
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.charset, DEFAULT_CHARSET);
    EXPECT_EQ(t.face, kShellFont);
}

// Styles of the controls as the resource compilers make them: every control
// is a visible child; push buttons, edits, combo boxes and check boxes are tab
// stops; static texts start a group.
constexpr uint32_t kDefaultButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr uint32_t kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr uint32_t kLabel = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr uint32_t kGroup = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
constexpr uint32_t kEdit = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
constexpr uint32_t kDropList = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

TEST(Resources, OptionDialogTemplateHasEveryControlInTabOrder) {
    const Template t = LoadTemplate(IDD_OPTION);
    EXPECT_EQ(t.style, kDialogStyle);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.cx, 215);
    EXPECT_EQ(t.cy, 247);
    EXPECT_EQ(t.caption, L"Option");
    ExpectShellFont(t);
    const std::vector<Item> expected = {
        {-1, L"static", L"&Background color", 8, 12, 70, 9, kLabel},
        {IDC_OPTION_COLOR, L"button", L"", 82, 7, 49, 17, 0x5001000B},
        {-1, L"button", L"&Velmora executable file location", 8, 35, 199, 41, kGroup},
        {IDC_OPTION_VELMORA_PATH, L"edit", L"", 16, 51, 162, 13, kEdit},
        {IDC_OPTION_BROWSE, L"button", L"...", 182, 50, 18, 15, kButton},
        {-1, L"button", L"Mouse &operation on image", 8, 83, 199, 111, kGroup},
        {-1, L"static", L"&Right button", 17, 101, 58, 9, kLabel},
        {IDC_OPTION_MOUSE_RIGHT, L"combobox", L"", 78, 99, 120, 117, kDropList},
        {-1, L"static", L"&Middle button", 17, 119, 58, 9, kLabel},
        {IDC_OPTION_MOUSE_MIDDLE, L"combobox", L"", 78, 117, 120, 117, kDropList},
        {-1, L"static", L"Wheel &up", 17, 137, 58, 9, kLabel},
        {IDC_OPTION_WHEEL_UP, L"combobox", L"", 78, 135, 120, 117, kDropList},
        {-1, L"static", L"Wheel &down", 17, 155, 58, 9, kLabel},
        {IDC_OPTION_WHEEL_DOWN, L"combobox", L"", 78, 153, 120, 117, kDropList},
        {-1, L"static", L"&Left double click", 17, 173, 58, 9, kLabel},
        {IDC_OPTION_LEFT_DOUBLE, L"combobox", L"", 78, 171, 120, 117, kDropList},
        {-1, L"static", L"Layer &names code page (0: automatic)", 8, 204, 140, 9, kLabel},
        {IDC_OPTION_NAMES_CODEPAGE, L"edit", L"", 155, 202, 52, 13, kEdit | ES_NUMBER},
        {IDOK, L"button", L"OK", 97, 224, 52, 16, kDefaultButton},
        {IDCANCEL, L"button", L"Cancel", 155, 224, 52, 16, kButton},
    };
    EXPECT_EQ(t.items, expected);
}

TEST(Resources, ConversionDialogTemplateHasEveryControlInTabOrder) {
    const Template t = LoadTemplate(IDD_CONVERSION);
    EXPECT_EQ(t.style, kDialogStyle);
    EXPECT_EQ(t.exStyle, static_cast<uint32_t>(WS_EX_ACCEPTFILES));
    EXPECT_EQ(t.cx, 250);
    EXPECT_EQ(t.cy, 108);
    EXPECT_EQ(t.caption, L"Conversion");
    ExpectShellFont(t);
    const std::vector<Item> expected = {
        {-1, L"static", L"&Destination folder", 8, 12, 70, 9, kLabel},
        {IDC_CONVERSION_FOLDER, L"edit", L"", 80, 10, 140, 13, kEdit},
        {IDC_CONVERSION_BROWSE, L"button", L"...", 224, 9, 18, 15, kButton},
        {-1, L"static", L"Output &format", 8, 31, 70, 9, kLabel},
        {IDC_CONVERSION_FORMAT, L"combobox", L"", 80, 29, 45, 52, kDropList},
        {IDC_CONVERSION_OVERWRITE, L"button", L"&Overwrite if same file name exist", 80, 46, 162, 12,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
        {IDC_CONVERSION_START, L"button", L"&Convert", 112, 66, 62, 16, kDefaultButton},
        {IDCANCEL, L"button", L"&Back", 180, 66, 62, 16, kButton},
        {IDC_CONVERSION_PROGRESS, L"msctls_progress32", L"Progress1", 8, 90, 234, 12,
         WS_CHILD | WS_VISIBLE | 0x01 /* PBS_SMOOTH */},
    };
    EXPECT_EQ(t.items, expected);
}

// The layout rules of every dialog, in dialog units: each control lies
// inside the dialog with a margin, no two controls overlap unless one is a
// group box holding the other, and push buttons keep a gap between them.
TEST(Resources, DialogControlsStayInsideApartAndButtonsDoNotTouch) {
    constexpr int kMargin = 4;    // from the dialog's edges
    constexpr int kButtonGap = 4; // between two push buttons
    for (const uint32_t id : {IDD_OPTION, IDD_CONVERSION, IDD_ABOUT}) {
        const Template t = LoadTemplate(id);
        ASSERT_FALSE(t.items.empty()) << id;
        for (const Item& item : t.items) {
            // A drop-down list's height is that of its open list.
            const int height = item.windowClass == L"combobox" ? 14 : item.cy;
            EXPECT_GE(item.x, kMargin) << id << " " << item;
            EXPECT_GE(item.y, kMargin) << id << " " << item;
            EXPECT_LE(item.x + item.cx, t.cx - kMargin) << id << " " << item;
            EXPECT_LE(item.y + height, t.cy - kMargin) << id << " " << item;
        }
        const auto isGroup = [](const Item& item) {
            return (item.style & 0xF) == BS_GROUPBOX && item.windowClass == L"button";
        };
        const auto isPushButton = [](const Item& item) {
            const uint32_t kind = item.style & 0xF;
            return item.windowClass == L"button" && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
        };
        for (size_t i = 0; i < t.items.size(); ++i) {
            for (size_t j = i + 1; j < t.items.size(); ++j) {
                const Item& a = t.items[i];
                const Item& b = t.items[j];
                if (isGroup(a) || isGroup(b))
                    continue;
                const int aHeight = a.windowClass == L"combobox" ? 14 : a.cy;
                const int bHeight = b.windowClass == L"combobox" ? 14 : b.cy;
                const int gap = isPushButton(a) && isPushButton(b) ? kButtonGap : 0;
                const bool apart = a.x + a.cx + gap <= b.x || b.x + b.cx + gap <= a.x || a.y + aHeight + gap <= b.y ||
                                   b.y + bHeight + gap <= a.y;
                EXPECT_TRUE(apart) << id << ": " << a << " and " << b;
            }
        }
    }
}

TEST(Resources, AboutDialogShowsNameAndVersionWithOk) {
    const Template t = LoadTemplate(IDD_ABOUT);
    ExpectShellFont(t);
    const auto version = std::find_if(t.items.begin(), t.items.end(),
                                      [](const Item& item) { return item.text == L"" TESSAVEL_ABOUT_TEXT; });
    EXPECT_NE(version, t.items.end());
    const auto ok = std::find_if(t.items.begin(), t.items.end(), [](const Item& item) { return item.id == IDOK; });
    ASSERT_NE(ok, t.items.end());
    EXPECT_EQ(ok->text, L"OK");
}

} // namespace
