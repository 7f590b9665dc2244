// Dialogs built from in-memory templates: layout in dialog units of the template's font, the
// focus rule of WM_INITDIALOG, modal loops ended by Enter and Esc, Tab and arrow navigation,
// buttons' check states and notifications, and the GetDlgItem helpers. Written against Windows'
// own names only, so it runs against the real USER under Wine too.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog_template.h"

namespace {

#ifndef _WIN32
const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();
#endif

// The program's instance; Linux builds keep one set of classes per process.
HINSTANCE Instance()
{
#ifdef _WIN32
    return GetModuleHandleW(nullptr);
#else
    return nullptr;
#endif
}

using TemplateBuilder = DialogTemplate;
constexpr WORD kButton = DialogTemplate::kButton;
constexpr WORD kEdit = DialogTemplate::kEdit;
constexpr WORD kStatic = DialogTemplate::kStatic;
constexpr WORD kListBox = DialogTemplate::kListBox;
constexpr WORD kComboBox = DialogTemplate::kComboBox;

// Ids of the standard test dialog.
enum : WORD { kFirst = 100, kCheck, kRadio1, kRadio2, kRadio3, kLabel, kDefault = 110 };

TemplateBuilder StandardDialog(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE)
{
    TemplateBuilder t(style, 200, 120, u"Test", 8, u"MS Shell Dlg");
    t.Item(kStatic, u"Label", kLabel, SS_LEFT, 7, 4, 60, 8)
        .Item(kButton, u"First", kFirst, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 7, 14, 50, 14)
        .Item(kButton, u"Check", kCheck, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 32, 80, 10)
        .Item(kButton, u"One", kRadio1, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 7, 46, 60, 10)
        .Item(kButton, u"Two", kRadio2, BS_AUTORADIOBUTTON, 7, 58, 60, 10)
        .Item(kButton, u"Three", kRadio3, BS_AUTORADIOBUTTON, 7, 70, 60, 10)
        .Item(kButton, u"OK", kDefault, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 143, 99, 50, 14)
        .Item(kButton, u"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 90, 99, 50, 14);
    return t;
}

struct Record {
    HWND initFocus = nullptr;
    LPARAM initParam = 0;
    INT_PTR initAnswer = TRUE;
    int focusId = 0; // set by the procedure, which then answers FALSE
    std::vector<WPARAM> commands;
    BOOL ownerEnabledDuringCommand = TRUE;
    HWND owner = nullptr;
    std::vector<std::pair<UINT, WPARAM>> keys; // posted from WM_INITDIALOG
    bool endOnCommand = false;
    HBRUSH labelBrush = nullptr; // the answer to WM_CTLCOLORSTATIC
    std::vector<DRAWITEMSTRUCT> draws; // WM_DRAWITEM, each answered by filling the item red
};
Record* g_record = nullptr;

INT_PTR CALLBACK RecordingProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Record& r = *g_record;
    switch (msg) {
    case WM_INITDIALOG:
        r.initFocus = reinterpret_cast<HWND>(wParam);
        r.initParam = lParam;
        if (r.focusId)
            SetFocus(GetDlgItem(hDlg, r.focusId));
        for (const auto& k : r.keys)
            PostMessageW(GetFocus(), k.first, k.second, 0);
        return r.focusId ? FALSE : r.initAnswer;
    case WM_COMMAND:
        r.commands.push_back(wParam);
        if (r.owner)
            r.ownerEnabledDuringCommand = IsWindowEnabled(r.owner);
        if (r.endOnCommand)
            EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(r.labelBrush);
    case WM_DRAWITEM: {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        r.draws.push_back(*dis);
        HBRUSH red = CreateSolidBrush(RGB(220, 20, 20));
        FillRect(dis->hDC, &dis->rcItem, red);
        DeleteObject(red);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

struct DialogFixture : ::testing::Test {
    Record record;
    void SetUp() override { g_record = &record; }
    void TearDown() override { g_record = nullptr; }
    HWND Create(const TemplateBuilder& t, LPARAM param = 0)
    {
        return CreateDialogIndirectParamW(Instance(), t.Get(), nullptr, RecordingProc, param);
    }
};

// Where a control sits in its dialog's client area.
RECT PlaceOf(HWND hDlg, int id)
{
    RECT r{};
    HWND c = GetDlgItem(hDlg, id);
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(DialogFixture, TemplateIsLaidOutInDialogUnitsOfItsFont)
{
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);

    // Windows: base units are the average width of the 52 Latin letters (rounded) and the height
    // of the dialog's font; x maps by units/4 and y by units/8 (MSDN MapDialogRect,
    // GetDialogBaseUnits).
    auto font = reinterpret_cast<HFONT>(SendMessageW(hDlg, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(hDlg);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    SIZE letters{};
    GetTextMetricsW(dc, &tm);
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(dc, old);
    ReleaseDC(hDlg, dc);
    const int unitX = (letters.cx / 26 + 1) / 2;
    const int unitY = tm.tmHeight;
    RECT units{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(hDlg, &units));
    EXPECT_EQ(units.right, unitX);
    EXPECT_EQ(units.bottom, unitY);

    // Position and size are mapped each on its own, so a control's right edge is x mapped plus
    // cx mapped (not x + cx mapped).
    struct Case {
        int id;
        RECT xywh;
    } const cases[] = {
        {kLabel, {7, 4, 60, 8}},       {kFirst, {7, 14, 50, 14}},    {kCheck, {7, 32, 80, 10}},
        {kDefault, {143, 99, 50, 14}}, {IDCANCEL, {90, 99, 50, 14}},
    };
    for (const Case& c : cases) {
        RECT expected = c.xywh;
        MapDialogRect(hDlg, &expected);
        const RECT got = PlaceOf(hDlg, c.id);
        EXPECT_EQ(got.left, expected.left) << c.id;
        EXPECT_EQ(got.top, expected.top) << c.id;
        EXPECT_EQ(got.right - got.left, expected.right) << c.id;
        EXPECT_EQ(got.bottom - got.top, expected.bottom) << c.id;
    }
    // The template's size is the client area's.
    RECT client{}, expected{0, 0, 200, 120};
    GetClientRect(hDlg, &client);
    MapDialogRect(hDlg, &expected);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, InitDialogNamesTheFirstTabStopAndFocusesItWhenAnsweredTrue)
{
    // Windows: wParam is the first control with WS_TABSTOP; TRUE gives it the focus, FALSE keeps
    // the focus where the procedure put it (MSDN WM_INITDIALOG).
    for (int chosen : {0, int(kCheck), int(kRadio2)}) {
        record = Record{};
        record.focusId = chosen;
        const TemplateBuilder t = StandardDialog();
        HWND hDlg = Create(t, 1234);
        ASSERT_NE(hDlg, nullptr);
        EXPECT_EQ(record.initFocus, GetDlgItem(hDlg, kFirst));
        EXPECT_EQ(record.initParam, 1234);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), chosen ? chosen : kFirst);
        DestroyWindow(hDlg);
    }
}

TEST_F(DialogFixture, ModalLoopEndsWithTheCommandEnterOrEscapeSends)
{
    // Windows: Enter clicks the default push button (DM_GETDEFID), Esc sends IDCANCEL; the owner
    // is disabled while the modal loop runs and enabled again after (MSDN DialogBox,
    // IsDialogMessage).
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = Instance();
    wc.lpszClassName = L"DialogTestOwner";
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, L"DialogTestOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    ASSERT_NE(owner, nullptr);
    struct Case {
        WPARAM key;
        INT_PTR result;
    } const cases[] = {{VK_RETURN, kDefault}, {VK_ESCAPE, IDCANCEL}};
    for (const Case& c : cases) {
        record = Record{};
        record.owner = owner;
        record.endOnCommand = true;
        record.focusId = kCheck; // not a push button, so Enter goes to the default one
        record.keys = {{WM_KEYDOWN, c.key}};
        const TemplateBuilder t = StandardDialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
        EXPECT_EQ(DialogBoxIndirectParamW(wc.hInstance, t.Get(), owner, RecordingProc, 0), c.result) << c.key;
        ASSERT_EQ(record.commands.size(), 1u);
        EXPECT_EQ(record.commands[0], MAKEWPARAM(c.result, BN_CLICKED));
        EXPECT_FALSE(record.ownerEnabledDuringCommand);
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    DestroyWindow(owner);
    UnregisterClassW(L"DialogTestOwner", wc.hInstance);
}

TEST_F(DialogFixture, DefaultIdFollowsTheTemplateAndDmSetDefId)
{
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    // Windows: DM_GETDEFID answers MAKELRESULT(id, DC_HASDEFID) (MSDN DM_GETDEFID).
    EXPECT_EQ(SendMessageW(hDlg, DM_GETDEFID, 0, 0), MAKELONG(kDefault, DC_HASDEFID));
    SendMessageW(hDlg, DM_SETDEFID, kFirst, 0);
    EXPECT_EQ(SendMessageW(hDlg, DM_GETDEFID, 0, 0), MAKELONG(kFirst, DC_HASDEFID));
    DestroyWindow(hDlg);
}

// Sends a key to the focused control through IsDialogMessage, as a dialog's message loop does.
void Press(HWND hDlg, WPARAM key)
{
    MSG msg{};
    msg.hwnd = GetFocus();
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    EXPECT_TRUE(IsDialogMessageW(hDlg, &msg));
}

TEST_F(DialogFixture, TabVisitsTabStopsAndArrowsMoveWithinAGroup)
{
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    ASSERT_EQ(GetFocus(), GetDlgItem(hDlg, kFirst));
    // Windows: Tab goes through WS_TABSTOP controls in template order and wraps; arrows move
    // within the WS_GROUP group, and an automatic radio button is checked as it gets the focus
    // (MSDN Dialog Box Keyboard Interface).
    const int tabOrder[] = {kCheck, kRadio1, kDefault, IDCANCEL, kFirst};
    for (int id : tabOrder) {
        Press(hDlg, VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
    }
    EXPECT_EQ(GetNextDlgTabItem(hDlg, GetDlgItem(hDlg, kFirst), TRUE), GetDlgItem(hDlg, IDCANCEL));

    SetFocus(GetDlgItem(hDlg, kRadio1));
    const int arrowOrder[][2] = {{VK_DOWN, kRadio2}, {VK_DOWN, kRadio3}, {VK_DOWN, kRadio1}, {VK_UP, kRadio3}};
    for (const auto& step : arrowOrder) {
        Press(hDlg, static_cast<WPARAM>(step[0]));
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), step[1]);
        for (int id : {kRadio1, kRadio2, kRadio3})
            EXPECT_EQ(IsDlgButtonChecked(hDlg, id), id == step[1] ? BST_CHECKED : BST_UNCHECKED) << id;
    }
    EXPECT_EQ(GetNextDlgGroupItem(hDlg, GetDlgItem(hDlg, kRadio3), FALSE), GetDlgItem(hDlg, kRadio1));
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, ButtonsKeepTheirCheckAndNotifyTheirParent)
{
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    // Windows: push buttons have no check state; BM_CLICK of an automatic check box toggles it and
    // sends BN_CLICKED; an automatic radio button unchecks the others of its group (MSDN
    // BM_GETCHECK, BM_CLICK, Button Styles).
    CheckDlgButton(hDlg, kFirst, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, kFirst), 0u);
    SendDlgItemMessageW(hDlg, kCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, kCheck), static_cast<UINT>(BST_CHECKED));
    SendDlgItemMessageW(hDlg, kCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, kCheck), static_cast<UINT>(BST_UNCHECKED));
    ASSERT_EQ(record.commands.size(), 2u);
    EXPECT_EQ(record.commands[0], MAKEWPARAM(kCheck, BN_CLICKED));

    CheckRadioButton(hDlg, kRadio1, kRadio3, kRadio3);
    SendDlgItemMessageW(hDlg, kRadio2, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, kRadio1), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, kRadio2), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, kRadio3), static_cast<UINT>(BST_UNCHECKED));

    // Windows: the dialog-code answers by kind (Wine's user32 button tests, run on Windows).
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kDefault, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kFirst, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kRadio1, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kCheck, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, DlgItemIntTranslatesLikeWindows)
{
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    // Windows: leading spaces are skipped, translation stops at a non-digit, and a value past the
    // type's range gives 0 with *lpTranslated FALSE (MSDN GetDlgItemInt).
    struct Case {
        const char* text;
        BOOL isSigned;
        UINT value;
        BOOL translated;
    } const cases[] = {
        {"42", FALSE, 42, TRUE},
        {"  -7", TRUE, static_cast<UINT>(-7), TRUE},
        {"12a", TRUE, 12, TRUE},
        {"abc", TRUE, 0, FALSE},
        {"", FALSE, 0, FALSE},
        {"2147483648", TRUE, 0, FALSE},
    };
    for (const Case& c : cases) {
        SetDlgItemTextA(hDlg, kLabel, c.text);
        BOOL translated = !c.translated;
        EXPECT_EQ(GetDlgItemInt(hDlg, kLabel, &translated, c.isSigned), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
    SetDlgItemInt(hDlg, kLabel, static_cast<UINT>(-5), TRUE);
    char text[16] = {};
    EXPECT_EQ(GetDlgItemTextA(hDlg, kLabel, text, sizeof text), 2u);
    EXPECT_STREQ(text, "-5");
    DestroyWindow(hDlg);
}

HBITMAP MakeBitmap(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

TEST_F(DialogFixture, StaticControlsTakeImagesOfTheirKindAndNotifyOnlyWithSsNotify)
{
    constexpr WORD kPicture = 120, kPlain = 121, kNotify = 122;
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, 200, 100, u"Statics", 8, u"MS Shell Dlg");
    t.Item(kStatic, u"", kPicture, SS_BITMAP, 5, 5, 10, 10)
        .Item(kStatic, u"plain", kPlain, SS_LEFT, 5, 40, 60, 10)
        .Item(kStatic, u"notify", kNotify, SS_LEFT | SS_NOTIFY, 5, 60, 60, 10);
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);

    // Windows: STM_SETIMAGE answers the previous image, refuses a kind the style does not name,
    // and an SS_BITMAP control takes the bitmap's size (MSDN STM_SETIMAGE, Static Control Styles).
    HBITMAP first = MakeBitmap(33, 21), second = MakeBitmap(8, 6);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
              reinterpret_cast<LRESULT>(first));
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kPicture, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(second));
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kPlain, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
    RECT rc{};
    GetClientRect(GetDlgItem(hDlg, kPicture), &rc);
    EXPECT_EQ(rc.right, 8);
    EXPECT_EQ(rc.bottom, 6);

    // Windows: a click reaches the parent as STN_CLICKED only with SS_NOTIFY (MSDN STN_CLICKED).
    SendDlgItemMessageW(hDlg, kPlain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendDlgItemMessageW(hDlg, kNotify, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_EQ(record.commands.size(), 1u);
    EXPECT_EQ(record.commands[0], MAKEWPARAM(kNotify, STN_CLICKED));
    DestroyWindow(hDlg);
    DeleteObject(first);
    DeleteObject(second);
}

TEST_F(DialogFixture, LabelsAndCheckBoxesPaintWithTheBrushTheirParentReturns)
{
    // Windows: static controls and check boxes ask the parent with WM_CTLCOLORSTATIC and fill
    // their background with the brush it returns (MSDN WM_CTLCOLORSTATIC).
    record.labelBrush = CreateSolidBrush(RGB(200, 30, 40));
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    for (int id : {int(kLabel), int(kCheck)}) {
        HWND ctl = GetDlgItem(hDlg, id);
        InvalidateRect(ctl, nullptr, TRUE);
        UpdateWindow(ctl);
        RECT rc{};
        GetClientRect(ctl, &rc);
        HDC dc = GetDC(ctl);
        EXPECT_EQ(GetPixel(dc, rc.right - 2, rc.bottom - 2), RGB(200, 30, 40)) << id;
        ReleaseDC(ctl, dc);
    }
    DestroyWindow(hDlg);
    DeleteObject(record.labelBrush);
}

// Windows: an owner-drawn button or static control fills nothing itself and asks its parent
// with WM_DRAWITEM: ODT_BUTTON or ODT_STATIC, its id, its window, DC and client rectangle. A
// press redraws the button with ODA_SELECT and ODS_SELECTED, and a double click reports
// BN_DOUBLECLICKED instead of pressing again (MSDN DRAWITEMSTRUCT, BS_OWNERDRAW, BN_DBLCLK).
TEST_F(DialogFixture, OwnerDrawnControlsAreDrawnByTheirParent)
{
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE, 120, 60, u"Owner", 8, u"MS Shell Dlg");
    t.Item(kButton, u"Play", kFirst, BS_OWNERDRAW, 7, 7, 50, 14).Item(kStatic, u"", kLabel, SS_OWNERDRAW, 7, 30, 50, 14);
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    HWND button = GetDlgItem(hDlg, kFirst);
    HWND label = GetDlgItem(hDlg, kLabel);
    UpdateWindow(button);
    UpdateWindow(label);
    const auto drawsOf = [&](HWND h) {
        std::vector<DRAWITEMSTRUCT> out;
        for (const DRAWITEMSTRUCT& d : record.draws)
            if (d.hwndItem == h)
                out.push_back(d);
        return out;
    };
    for (HWND h : {button, label}) {
        const std::vector<DRAWITEMSTRUCT> d = drawsOf(h);
        ASSERT_FALSE(d.empty());
        RECT client{};
        GetClientRect(h, &client);
        EXPECT_EQ(d.back().CtlType, h == button ? UINT(ODT_BUTTON) : UINT(ODT_STATIC));
        EXPECT_EQ(d.back().CtlID, UINT(GetDlgCtrlID(h)));
        EXPECT_EQ(d.back().itemAction, UINT(ODA_DRAWENTIRE));
        EXPECT_EQ(d.back().itemState & ODS_SELECTED, 0u);
        EXPECT_TRUE(EqualRect(&d.back().rcItem, &client));
        HDC dc = GetDC(h);
        EXPECT_EQ(GetPixel(dc, client.right - 2, client.bottom - 2), RGB(220, 20, 20));
        ReleaseDC(h, dc);
    }

    record.draws.clear();
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    const std::vector<DRAWITEMSTRUCT> pressed = drawsOf(button);
    EXPECT_TRUE(std::any_of(pressed.begin(), pressed.end(), [](const DRAWITEMSTRUCT& d) {
        return (d.itemAction & ODA_SELECT) && (d.itemState & ODS_SELECTED);
    }));
    record.draws.clear();
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const std::vector<DRAWITEMSTRUCT> released = drawsOf(button);
    EXPECT_TRUE(std::any_of(released.begin(), released.end(), [](const DRAWITEMSTRUCT& d) {
        return (d.itemAction & ODA_SELECT) && !(d.itemState & ODS_SELECTED);
    }));
    record.draws.clear();
    SendMessageW(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    const std::vector<DRAWITEMSTRUCT> doubled = drawsOf(button);
    EXPECT_TRUE(std::none_of(doubled.begin(), doubled.end(),
                             [](const DRAWITEMSTRUCT& d) { return (d.itemState & ODS_SELECTED) != 0; }));
    const std::vector<WPARAM> expected{MAKEWPARAM(kFirst, BN_CLICKED), MAKEWPARAM(kFirst, BN_DOUBLECLICKED)};
    EXPECT_EQ(record.commands, expected);
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, UnsignedDlgItemIntReachesUintMax)
{
    // Windows: only a value greater than UINT_MAX fails for an unsigned read (MSDN GetDlgItemInt).
    const TemplateBuilder t = StandardDialog();
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    SetDlgItemTextA(hDlg, kLabel, "4294967295");
    BOOL translated = FALSE;
    EXPECT_EQ(GetDlgItemInt(hDlg, kLabel, &translated, FALSE), 4294967295u);
    EXPECT_TRUE(translated);
    SetDlgItemTextA(hDlg, kLabel, "4294967296");
    EXPECT_EQ(GetDlgItemInt(hDlg, kLabel, &translated, FALSE), 0u);
    EXPECT_FALSE(translated);
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, EditTakesTypedTextWithinItsStyleAndLimit)
{
    // Windows: ES_NUMBER refuses non-digits, ES_UPPERCASE converts, EM_LIMITTEXT caps what is
    // typed (EN_MAXTEXT when a character is refused for it), backspace deletes, and every change
    // sends EN_CHANGE (MSDN Edit Control Styles, EM_LIMITTEXT, EN_CHANGE, EN_MAXTEXT).
    constexpr std::size_t kUnpinned = ~std::size_t{0};
    struct Case {
        DWORD style;
        WPARAM limit; // 0: the default
        const wchar_t* typed;
        const wchar_t* text;
        std::size_t changes;
        std::size_t maxText;
    } const cases[] = {
        {ES_LEFT, 0, L"ab1", L"ab1", 3, 0},
        {ES_NUMBER, 0, L"a1b2", L"12", 2, 0},
        {ES_LEFT, 3, L"abcde", L"abc", kUnpinned, 2}, // Wine also announces refused characters
        {ES_UPPERCASE, 0, L"aB", L"AB", 2, 0},
        {ES_LEFT, 0, L"abc\b", L"ab", 4, 0},
    };
    constexpr WORD kField = 130;
    for (const Case& c : cases) {
        record = Record{};
        TemplateBuilder t(WS_POPUP | WS_VISIBLE, 200, 60, u"Edit", 8, u"MS Shell Dlg");
        t.Item(kEdit, u"", kField, c.style | ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 5, 5, 120, 12);
        HWND hDlg = Create(t);
        ASSERT_NE(hDlg, nullptr);
        if (c.limit)
            SendDlgItemMessageW(hDlg, kField, EM_LIMITTEXT, c.limit, 0);
        record.commands.clear();
        for (const wchar_t* p = c.typed; *p; ++p)
            SendDlgItemMessageW(hDlg, kField, WM_CHAR, static_cast<WPARAM>(*p), 1);
        wchar_t text[64] = {};
        GetDlgItemTextW(hDlg, kField, text, 64);
        EXPECT_EQ(std::wstring(text), std::wstring(c.text)) << c.typed;
        const auto count = [&](WORD code) {
            return static_cast<std::size_t>(
                std::count(record.commands.begin(), record.commands.end(), MAKEWPARAM(kField, code)));
        };
        if (c.changes != kUnpinned) {
            EXPECT_EQ(count(EN_CHANGE), c.changes) << c.typed;
        }
        EXPECT_EQ(count(EN_MAXTEXT), c.maxText) << c.typed;
        DestroyWindow(hDlg);
    }
}

TEST_F(DialogFixture, EditSelectionIsReplacedByTypingAndReportedByEmGetSel)
{
    constexpr WORD kField = 130, kSecret = 131;
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, 200, 60, u"Edit", 8, u"MS Shell Dlg");
    t.Item(kEdit, u"", kField, ES_AUTOHSCROLL | WS_TABSTOP, 5, 5, 120, 12)
        .Item(kEdit, u"", kSecret, ES_PASSWORD | ES_AUTOHSCROLL | WS_TABSTOP, 5, 25, 120, 12);
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    // Windows: EM_SETSEL's end of -1 means the end of the text; EM_GETSEL answers
    // MAKELONG(start, end) with start <= end; typing replaces the selection and leaves the caret
    // after the new character (MSDN EM_SETSEL, EM_GETSEL).
    SetDlgItemTextW(hDlg, kField, L"hello");
    SendDlgItemMessageW(hDlg, kField, EM_SETSEL, 3, 1);
    DWORD start = 0, end = 0;
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kField, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                  reinterpret_cast<LPARAM>(&end)),
              MAKELONG(1, 3));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    SendDlgItemMessageW(hDlg, kField, WM_CHAR, L'X', 1);
    wchar_t text[16] = {};
    GetDlgItemTextW(hDlg, kField, text, 16);
    EXPECT_EQ(std::wstring(text), L"hXlo");
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kField, EM_GETSEL, 0, 0), MAKELONG(2, 2));
    SendDlgItemMessageW(hDlg, kField, EM_SETSEL, 0, -1);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kField, EM_GETSEL, 0, 0), MAKELONG(0, 4));

    // Windows: ES_PASSWORD shows '*' unless told otherwise, and the text stays the real one
    // (MSDN EM_GETPASSWORDCHAR).
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kSecret, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kField, EM_GETPASSWORDCHAR, 0, 0), 0);
    SetDlgItemTextW(hDlg, kSecret, L"pw");
    GetDlgItemTextW(hDlg, kSecret, text, 16);
    EXPECT_EQ(std::wstring(text), L"pw");

    // Windows: Tab into an edit control selects all its text (MSDN Dialog Box Keyboard Interface).
    SetFocus(GetDlgItem(hDlg, kField));
    Press(hDlg, VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, kSecret));
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kSecret, EM_GETSEL, 0, 0), MAKELONG(0, 2));
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, ListBoxKeepsItsItemsAndSelectionAsDocumented)
{
    constexpr WORD kSorted = 140, kPlain = 141;
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, 200, 120, u"Lists", 8, u"MS Shell Dlg");
    t.Item(kListBox, u"", kSorted, LBS_SORT | LBS_NOTIFY | WS_TABSTOP, 5, 5, 80, 60)
        .Item(kListBox, u"", kPlain, WS_TABSTOP, 100, 5, 80, 60);
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    // Narrow calls reach the control as a narrow program's would.
    const auto send = [&](WORD id, UINT msg, WPARAM w, const char* text) {
        return SendDlgItemMessageA(hDlg, id, msg, w, reinterpret_cast<LPARAM>(text));
    };
    // Windows: answers of the list messages (MSDN LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING,
    // LB_SETCURSEL, LB_GETTEXT, LB_FINDSTRING, LB_FINDSTRINGEXACT).
    struct Step {
        WORD id;
        UINT msg;
        WPARAM wParam;
        const char* text;
        LRESULT answer;
    } const steps[] = {
        {kSorted, LB_ADDSTRING, 0, "pear", 0},
        {kSorted, LB_ADDSTRING, 0, "Apple", 0},
        {kSorted, LB_ADDSTRING, 0, "banana", 1},
        {kSorted, LB_GETCOUNT, 0, nullptr, 3},
        {kSorted, LB_GETCURSEL, 0, nullptr, LB_ERR},
        {kSorted, LB_FINDSTRING, static_cast<WPARAM>(-1), "BA", 1},
        {kSorted, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "ban", LB_ERR},
        {kSorted, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "PEAR", 2},
        {kSorted, LB_GETTEXTLEN, 2, nullptr, 4},
        {kSorted, LB_GETTEXTLEN, 3, nullptr, LB_ERR},
        {kSorted, LB_SETCURSEL, 2, nullptr, 2},
        {kSorted, LB_SETCURSEL, 7, nullptr, LB_ERR},
        {kSorted, LB_GETCURSEL, 0, nullptr, 2},
        {kSorted, LB_DELETESTRING, 0, nullptr, 2}, // the remaining count; the selection moves up
        {kSorted, LB_GETCURSEL, 0, nullptr, 1},
        {kSorted, LB_DELETESTRING, 5, nullptr, LB_ERR},
        {kSorted, LB_SETCURSEL, static_cast<WPARAM>(-1), nullptr, LB_ERR}, // clears, still LB_ERR
        {kSorted, LB_GETCURSEL, 0, nullptr, LB_ERR},
        {kPlain, LB_ADDSTRING, 0, "one", 0},
        {kPlain, LB_ADDSTRING, 0, "three", 1},
        {kPlain, LB_INSERTSTRING, 1, "two", 1},
        {kPlain, LB_INSERTSTRING, static_cast<WPARAM>(-1), "four", 3},
        {kPlain, LB_INSERTSTRING, 9, "none", LB_ERR},
        {kPlain, LB_RESETCONTENT, 0, nullptr, 0},
        {kPlain, LB_GETCOUNT, 0, nullptr, 0},
    };
    for (const Step& s : steps)
        EXPECT_EQ(send(s.id, s.msg, s.wParam, s.text), s.answer) << s.msg << " " << (s.text ? s.text : "");
    char text[16] = {};
    EXPECT_EQ(send(kSorted, LB_GETTEXT, 1, text), 4);
    EXPECT_STREQ(text, "pear");

    // Windows: a user's choice notifies LBN_SELCHANGE with LBS_NOTIFY; LB_SETCURSEL does not
    // (MSDN LBN_SELCHANGE).
    record.commands.clear();
    SendDlgItemMessageW(hDlg, kSorted, LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(record.commands.empty());
    SendDlgItemMessageW(hDlg, kSorted, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kSorted, LB_GETCURSEL, 0, 0), 1);
    ASSERT_EQ(record.commands.size(), 1u);
    EXPECT_EQ(record.commands[0], MAKEWPARAM(kSorted, LBN_SELCHANGE));
    DestroyWindow(hDlg);
}

TEST_F(DialogFixture, DropDownListComboSelectsLikeItsListAndNotifies)
{
    constexpr WORD kCombo = 150;
    TemplateBuilder t(WS_POPUP | WS_VISIBLE, 200, 120, u"Combo", 8, u"MS Shell Dlg");
    t.Item(kComboBox, u"", kCombo, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 5, 5, 80, 60);
    HWND hDlg = Create(t);
    ASSERT_NE(hDlg, nullptr);
    // Windows: CB_ADDSTRING answers the sorted index, CB_SETCURSEL the index or CB_ERR, and
    // CB_GETLBTEXT the length it copied (MSDN CB_ADDSTRING, CB_SETCURSEL, CB_GETLBTEXT).
    const auto add = [&](const char* text) {
        return SendDlgItemMessageA(hDlg, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(add("medium"), 0);
    EXPECT_EQ(add("easy"), 0);
    EXPECT_EQ(add("hard"), 1);
    EXPECT_EQ(SendDlgItemMessageA(hDlg, kCombo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendDlgItemMessageA(hDlg, kCombo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(hDlg, kCombo, CB_SETCURSEL, 5, 0), CB_ERR);
    EXPECT_EQ(SendDlgItemMessageA(hDlg, kCombo, CB_SETCURSEL, 1, 0), 1);
    char text[16] = {};
    EXPECT_EQ(SendDlgItemMessageA(hDlg, kCombo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_STREQ(text, "medium");
    EXPECT_EQ(SendDlgItemMessageA(hDlg, kCombo, CB_GETLBTEXTLEN, 3, 0), CB_ERR);

    // Windows: a closed drop-down list moves its selection with the arrow keys and sends
    // CBN_SELCHANGE; CB_SHOWDROPDOWN drops and closes it with CBN_DROPDOWN and CBN_CLOSEUP
    // (MSDN CBN_SELCHANGE, CB_SHOWDROPDOWN).
    record.commands.clear();
    SendDlgItemMessageW(hDlg, kCombo, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendDlgItemMessageW(hDlg, kCombo, CB_GETCURSEL, 0, 0), 2);
    ASSERT_FALSE(record.commands.empty());
    EXPECT_EQ(std::count(record.commands.begin(), record.commands.end(), MAKEWPARAM(kCombo, CBN_SELCHANGE)), 1);
    record.commands.clear();
    SendDlgItemMessageW(hDlg, kCombo, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(SendDlgItemMessageW(hDlg, kCombo, CB_GETDROPPEDSTATE, 0, 0));
    SendDlgItemMessageW(hDlg, kCombo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(SendDlgItemMessageW(hDlg, kCombo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(std::count(record.commands.begin(), record.commands.end(), MAKEWPARAM(kCombo, CBN_DROPDOWN)), 1);
    EXPECT_EQ(std::count(record.commands.begin(), record.commands.end(), MAKEWPARAM(kCombo, CBN_CLOSEUP)), 1);
    DestroyWindow(hDlg);
}

} // namespace
