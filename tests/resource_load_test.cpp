// Loading a program's own resources, compiled from tests/resources/game.rc into this test (by
// moximage2-rc beside the stand-in, by windres on Windows): FindResource and its companions,
// LoadString, accelerator tables and LoadBitmap. The Windows build runs the same cases against
// Windows' own loaders.
#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

#ifdef _WIN32
// LoadBitmap with no module loads the system's bitmaps on Windows.
HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}
#else
HINSTANCE Self()
{
    return nullptr;
}
#endif

std::vector<unsigned char> Bytes(HRSRC res)
{
    const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, res)));
    return p ? std::vector<unsigned char>(p, p + SizeofResource(nullptr, res)) : std::vector<unsigned char>{};
}

TEST(ResourceLoad, FindResourceFindsEachKindByNumberOrName)
{
    // Windows: names compare without regard to case and "#n" names the number n (MSDN
    // FindResource, "If the first character of the string is a pound sign").
    struct Case {
        const char* what;
        LPCSTR name;
        LPCSTR type;
        DWORD size; // 0: only present
    };
    const Case cases[] = {
        {"bitmap without its file header", MAKEINTRESOURCEA(IDB_SPRITE), RT_BITMAP, 86 - 14},
        {"icon group of two images", MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON, 6 + 2 * 14},
        {"cursor group of one image", MAKEINTRESOURCEA(IDC_POINTER), RT_GROUP_CURSOR, 6 + 14},
        {"user type from a file", MAKEINTRESOURCEA(IDR_LEVEL1), "LEVEL", 40},
        {"user type in other case", MAKEINTRESOURCEA(IDR_LEVEL1), "level", 40},
        {"raw data by name", "SPRITE_DATA", RT_RCDATA, 2 + 4 + 2 + 2},
        {"name in other case", "Sprite_Data", RT_RCDATA, 10},
        {"number written as #n", "#133", "LEVEL", 40},
        {"accelerators", MAKEINTRESOURCEA(IDR_MAINFRAME), RT_ACCELERATOR, 4 * 8},
        {"menu", MAKEINTRESOURCEA(IDR_MAINFRAME), RT_MENU, 0},
        {"dialog", MAKEINTRESOURCEA(IDD_ABOUTBOX), RT_DIALOG, 0},
        {"version", MAKEINTRESOURCEA(1), RT_VERSION, 0},
        {"string block", MAKEINTRESOURCEA(1), RT_STRING, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HRSRC res = FindResourceA(nullptr, c.name, c.type);
        ASSERT_NE(res, nullptr);
        if (c.size) {
            EXPECT_EQ(SizeofResource(nullptr, res), c.size);
        }
        EXPECT_NE(LockResource(LoadResource(nullptr, res)), nullptr);
    }
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(999), RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_SPRITE), RT_ICON), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "NO_SUCH_NAME", RT_RCDATA), nullptr);
    EXPECT_NE(FindResourceW(nullptr, L"sprite_data", MAKEINTRESOURCEW(10)), nullptr);
    // The same name in two languages: FindResource takes the user's (English here), and
    // FindResourceEx the one asked for (MSDN FindResourceEx, wLanguage).
    EXPECT_EQ(SizeofResource(nullptr, FindResourceA(nullptr, "SPRITE_DATA", RT_RCDATA)), 10u);
    HRSRC german = FindResourceExA(nullptr, RT_RCDATA, "SPRITE_DATA", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, german), 2u);
    EXPECT_EQ(SizeofResource(nullptr, FindResourceExA(nullptr, RT_RCDATA, "SPRITE_DATA",
                                                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US))), 10u);
    // The script's language, and neutral asking for "whatever FindResource picks".
    EXPECT_NE(FindResourceExA(nullptr, RT_BITMAP, MAKEINTRESOURCEA(IDB_SPRITE), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), nullptr);
    EXPECT_NE(FindResourceExA(nullptr, RT_BITMAP, MAKEINTRESOURCEA(IDB_SPRITE), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)), nullptr);
}

TEST(ResourceLoad, DataKeepsTheScriptsBytes)
{
    // RCDATA: 16-bit numbers, 32-bit with L, narrow strings as bytes, L"" as UTF-16, nothing
    // added (MSDN "RCDATA resource").
    const std::vector<unsigned char> expected = {0x02, 0x01, 0x06, 0x05, 0x04, 0x03, 'a', 'b', 'c', 0};
    EXPECT_EQ(Bytes(FindResourceA(nullptr, "SPRITE_DATA", RT_RCDATA)), expected);
    const std::vector<unsigned char> level = Bytes(FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_LEVEL1), "LEVEL"));
    ASSERT_EQ(level.size(), 40u);
    EXPECT_EQ(level[0], 0);
    EXPECT_EQ(level[39], 39);

    // The icon group lists each image by the number its RT_ICON was given (GRPICONDIRENTRY).
    const std::vector<unsigned char> group = Bytes(FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON));
    ASSERT_EQ(group.size(), 34u);
    EXPECT_EQ(group[2] | group[3] << 8, 1);  // icons
    EXPECT_EQ(group[4] | group[5] << 8, 2);  // images
    EXPECT_EQ(group[6], 16);                 // first width
    EXPECT_EQ(group[6 + 14], 32);            // second width
    for (int i = 0; i < 2; ++i) {
        const int at = 6 + 14 * i;
        const WORD id = WORD(group[at + 12] | group[at + 13] << 8);
        const DWORD bytes = DWORD(group[at + 8] | group[at + 9] << 8 | group[at + 10] << 16);
        HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_ICON);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(SizeofResource(nullptr, image), bytes);
    }
    // A cursor image starts with its hot spot (LOCALHEADER), then the image.
    const std::vector<unsigned char> cursors = Bytes(FindResourceA(nullptr, MAKEINTRESOURCEA(IDC_POINTER), RT_GROUP_CURSOR));
    ASSERT_EQ(cursors.size(), 20u);
    EXPECT_EQ(cursors[6] | cursors[7] << 8, 32);  // width
    EXPECT_EQ(cursors[8] | cursors[9] << 8, 64);  // height with the mask
    const std::vector<unsigned char> cursor =
        Bytes(FindResourceA(nullptr, MAKEINTRESOURCEA(cursors[18] | cursors[19] << 8), RT_CURSOR));
    ASSERT_GE(cursor.size(), 8u);
    EXPECT_EQ(cursor[0], 5);
    EXPECT_EQ(cursor[2], 7);
    EXPECT_EQ(cursor[4], 40); // BITMAPINFOHEADER
}

TEST(ResourceLoad, LoadStringCopiesTruncatesAndPointsAtTheResource)
{
    wchar_t w[64];
    EXPECT_EQ(LoadStringW(nullptr, IDS_TITLE, w, 64), 11);
    EXPECT_STREQ(w, L"Sprite Game");
    // Windows: cut to cchBufferMax - 1 characters and terminated (MSDN LoadStringW).
    EXPECT_EQ(LoadStringW(nullptr, IDS_LONG, w, 5), 4);
    EXPECT_STREQ(w, L"A lo");
    EXPECT_EQ(LoadStringW(nullptr, IDS_UNICODE, w, 64), 6);
    EXPECT_STREQ(w, L"Caf\u00e9 \u2713");
    EXPECT_EQ(LoadStringW(nullptr, IDS_QUOTES, w, 64), 12);
    EXPECT_STREQ(w, L"Say \"hi\"\tnow");
    // Windows: 0 for a string that does not exist, in a block that exists or not.
    EXPECT_EQ(LoadStringW(nullptr, 3, w, 64), 0);
    EXPECT_EQ(LoadStringW(nullptr, 5000, w, 64), 0);
    // Windows: cchBufferMax 0 stores a read-only pointer to the string resource itself, which
    // is not terminated, and returns its length (MSDN LoadStringW, lpBuffer).
    const wchar_t* direct = nullptr;
    EXPECT_EQ(LoadStringW(nullptr, IDS_LONG, reinterpret_cast<LPWSTR>(&direct), 0), 38);
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(std::wstring(direct, 5), L"A lon");

    char a[64];
    EXPECT_EQ(LoadStringA(nullptr, IDS_TITLE, a, 64), 11);
    EXPECT_STREQ(a, "Sprite Game");
    EXPECT_EQ(LoadStringA(nullptr, IDS_LONG, a, 3), 2);
    EXPECT_STREQ(a, "A ");
    EXPECT_EQ(LoadStringA(nullptr, 3, a, 64), 0);
}

TEST(ResourceLoad, AcceleratorsLoadAndCopy)
{
    HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 4);
    ACCEL got[4] = {};
    // Windows: copies at most cAccelEntries and returns how many (MSDN CopyAcceleratorTable).
    EXPECT_EQ(CopyAcceleratorTableA(table, got, 2), 2);
    EXPECT_EQ(got[2].cmd, 0);
    ASSERT_EQ(CopyAcceleratorTableA(table, got, 4), 4);
    struct Expected {
        BYTE fVirt;
        WORD key;
        WORD cmd;
    };
    const Expected expected[] = {
        {FVIRTKEY | FCONTROL | FNOINVERT, 'N', ID_GAME_NEW},
        {FVIRTKEY | FNOINVERT, VK_F2, ID_GAME_NEW},
        {FNOINVERT, 'p', ID_GAME_PAUSE},
        {FVIRTKEY | FSHIFT | FNOINVERT, VK_SPACE, ID_GAME_FIRE}, // no end-of-table bit
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].fVirt, expected[i].fVirt);
        EXPECT_EQ(got[i].key, expected[i].key);
        EXPECT_EQ(got[i].cmd, expected[i].cmd);
    }
    EXPECT_EQ(LoadAcceleratorsA(nullptr, "NO_SUCH_TABLE"), nullptr);

    ACCEL own[] = {{FVIRTKEY, VK_F5, 7}};
    HACCEL created = CreateAcceleratorTableA(own, 1);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(CopyAcceleratorTableA(created, nullptr, 0), 1);
    EXPECT_TRUE(DestroyAcceleratorTable(created));
    EXPECT_EQ(CreateAcceleratorTableA(own, 0), nullptr);
}

class CommandWnd : public CWnd {
public:
    std::vector<WPARAM> commands;

protected:
    BOOL OnCommand(WPARAM w, LPARAM) override
    {
        commands.push_back(w);
        return TRUE;
    }
};

TEST(ResourceLoad, TranslateAcceleratorSendsTheCommand)
{
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "accelerators", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));
    HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME));
    struct Case {
        const char* what;
        UINT message;
        WPARAM key;
        int translated;
        WORD command;
    };
    // Windows: a match is sent as WM_COMMAND with 1 in the high word of wParam (MSDN
    // TranslateAccelerator); a virtual key whose entry asks for CONTROL or SHIFT does not
    // match without them, nor a character entry a key-down message.
    const Case cases[] = {
        {"virtual key", WM_KEYDOWN, VK_F2, 1, ID_GAME_NEW},
        {"character", WM_CHAR, 'p', 1, ID_GAME_PAUSE},
        {"other case of the character", WM_CHAR, 'P', 0, 0},
        {"key that needs control", WM_KEYDOWN, 'N', 0, 0},
        {"key that needs shift", WM_KEYDOWN, VK_SPACE, 0, 0},
        {"character as a key", WM_KEYDOWN, 'P', 0, 0},
        {"key up", WM_KEYUP, VK_F2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wnd.commands.clear();
        MSG msg{};
        msg.hwnd = wnd.GetSafeHwnd();
        msg.message = c.message;
        msg.wParam = c.key;
        msg.lParam = 1;
        EXPECT_EQ(TranslateAcceleratorA(wnd.GetSafeHwnd(), table, &msg), c.translated);
        if (c.translated) {
            ASSERT_EQ(wnd.commands.size(), 1u);
            EXPECT_EQ(wnd.commands[0], MAKEWPARAM(c.command, 1));
        } else {
            EXPECT_TRUE(wnd.commands.empty());
        }
    }
    wnd.DestroyWindow();
}

TEST(ResourceLoad, LoadBitmapGivesTheStoredPixels)
{
    struct Case {
        const char* what;
        int id;
        int width, height;
        std::vector<COLORREF> top; // the top row, left to right
    };
    const Case cases[] = {
        {"8 bits a pixel", IDB_SPRITE, 3, 2, {RGB(255, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0)}},
        {"1 bit a pixel", IDB_MASK, 9, 1,
         {RGB(255, 255, 255), 0, RGB(255, 255, 255), 0, 0, 0, 0, 0, RGB(255, 255, 255)}},
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HBITMAP bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(c.id));
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_NE(GetObject(bitmap, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, c.width);
        EXPECT_EQ(info.bmHeight, c.height);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (int x = 0; x < c.width; ++x)
            EXPECT_EQ(GetPixel(dc, x, 0), c.top[x]) << "x " << x;
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    EXPECT_EQ(LoadBitmapA(Self(), MAKEINTRESOURCEA(999)), nullptr);
}

} // namespace
