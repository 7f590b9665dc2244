// Menus as objects: MENU and MENUEX templates loaded from memory, building by AppendMenu and
// InsertMenu, and the answers of the item-state calls. Written against Windows' own names
// only, so it runs against the real USER under Wine too.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// A MENU template: header (version 0, offset 0), then items; popups have no id and end their
// children with MF_END on the last one.
std::vector<WORD> MenuTemplate()
{
    std::vector<WORD> w{0, 0};
    const auto text = [&](const char16_t* s) {
        for (; *s; ++s)
            w.push_back(static_cast<WORD>(*s));
        w.push_back(0);
    };
    w.push_back(MF_POPUP);
    text(u"&File");
    w.push_back(MF_STRING);
    w.push_back(100);
    text(u"&New\tCtrl+N");
    w.push_back(MF_STRING | MF_GRAYED);
    w.push_back(101);
    text(u"&Save");
    w.push_back(0); // a separator: no flags, id 0, no text
    w.push_back(0);
    text(u"");
    w.push_back(MF_STRING | MF_END);
    w.push_back(102);
    text(u"E&xit");
    w.push_back(MF_POPUP | MF_END);
    text(u"&Help");
    w.push_back(MF_STRING | MF_CHECKED | MF_END);
    w.push_back(200);
    text(u"&About");
    return w;
}

TEST(Menu, TemplateLoadsItsItemsIdsAndStates)
{
    const std::vector<WORD> t = MenuTemplate();
    HMENU bar = LoadMenuIndirectW(t.data());
    ASSERT_NE(bar, nullptr);
    // Windows: GetMenuItemID answers -1 for a submenu; GetMenuState gives a submenu's item count
    // in the high byte and an item's MF_ flags (MSDN GetMenuItemID, GetMenuState).
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1));
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION) >> 8, 4u);
    struct Item {
        int pos;
        UINT id;
        UINT state;
        const char* text;
    } const items[] = {
        {0, 100, MF_ENABLED, "&New\tCtrl+N"},
        {1, 101, MF_GRAYED, "&Save"},
        {2, 0, MF_SEPARATOR | MF_GRAYED, ""}, // as Wine 8.0 answers; Microsoft's documentation is silent
        {3, 102, MF_ENABLED, "E&xit"},
    };
    for (const Item& i : items) {
        EXPECT_EQ(GetMenuItemID(file, i.pos), i.id) << i.pos;
        EXPECT_EQ(GetMenuState(file, static_cast<UINT>(i.pos), MF_BYPOSITION) & (MF_GRAYED | MF_SEPARATOR), i.state)
            << i.pos;
        char text[32] = {};
        GetMenuStringA(file, static_cast<UINT>(i.pos), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, i.text) << i.pos;
    }
    // By command, items are found in submenus too.
    EXPECT_EQ(GetMenuState(bar, 200, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(bar, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(file)); // destroyed with its menu bar
}

TEST(Menu, CheckAndEnableAnswerThePreviousState)
{
    HMENU popup = CreatePopupMenu();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(AppendMenuA(popup, MF_STRING, 10, "Easy"));
    ASSERT_TRUE(AppendMenuA(popup, MF_STRING, 11, "Hard"));
    ASSERT_TRUE(AppendMenuA(popup, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(InsertMenuA(popup, 11, MF_BYCOMMAND | MF_STRING, 12, "Normal"));
    EXPECT_EQ(GetMenuItemID(popup, 1), 12u);
    EXPECT_EQ(GetMenuItemCount(popup), 4);
    // Windows: CheckMenuItem and EnableMenuItem answer the previous state, -1 for a missing item
    // (MSDN CheckMenuItem, EnableMenuItem).
    struct Step {
        bool check;
        UINT id;
        UINT flags;
        DWORD answer;
    } const steps[] = {
        {true, 10, MF_CHECKED, MF_UNCHECKED},
        {true, 10, MF_CHECKED, MF_CHECKED},
        {true, 10, MF_UNCHECKED, MF_CHECKED},
        {true, 99, MF_CHECKED, static_cast<DWORD>(-1)},
        {false, 11, MF_GRAYED, MF_ENABLED},
        {false, 11, MF_ENABLED, MF_GRAYED},
        {false, 2, MF_BYPOSITION | MF_DISABLED, MF_ENABLED},
        {false, 99, MF_GRAYED, static_cast<DWORD>(-1)},
    };
    for (const Step& s : steps) {
        const DWORD got =
            s.check ? CheckMenuItem(popup, s.id, s.flags) : static_cast<DWORD>(EnableMenuItem(popup, s.id, s.flags));
        EXPECT_EQ(got, s.answer) << s.id << " " << s.flags;
    }
    // Windows: CheckMenuRadioItem checks one item of the range and clears the others (MSDN).
    CheckMenuItem(popup, 10, MF_CHECKED);
    EXPECT_TRUE(CheckMenuRadioItem(popup, 10, 12, 12, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(popup, 10, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(popup, 12, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    EXPECT_TRUE(ModifyMenuA(popup, 11, MF_BYCOMMAND | MF_STRING, 13, "Expert"));
    EXPECT_EQ(GetMenuItemID(popup, 2), 13u);
    EXPECT_TRUE(DeleteMenu(popup, 0, MF_BYPOSITION));
    EXPECT_FALSE(RemoveMenu(popup, 10, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(popup), 3);
    EXPECT_TRUE(DestroyMenu(popup));
    EXPECT_EQ(GetMenuItemCount(popup), -1);
}

} // namespace
