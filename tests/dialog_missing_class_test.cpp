// A dialog whose template names a control class that is not here (a tree view, a rich edit)
// still opens: the control is an empty window with its id, so the rest of the dialog works.
// Windows would refuse such a dialog unless the class is registered, so this runs on Linux only.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <vector>

namespace {

const bool kHeadless = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    return true;
}();

void Put(std::vector<WORD>& w, const char16_t* s)
{
    for (; *s; ++s)
        w.push_back(static_cast<WORD>(*s));
    w.push_back(0);
}

INT_PTR CALLBACK Proc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

TEST(DialogMissingClass, ControlOfAnAbsentClassIsAnEmptyWindowWithItsId)
{
    std::vector<WORD> w;
    const DWORD style = WS_POPUP | WS_VISIBLE;
    w = {static_cast<WORD>(style & 0xFFFF), static_cast<WORD>(style >> 16), 0, 0, 2, 0, 0, 100, 60, 0, 0};
    Put(w, u"Missing");
    const auto item = [&](const char16_t* cls, WORD classOrdinal, WORD id, DWORD itemStyle) {
        if (w.size() % 2)
            w.push_back(0);
        itemStyle |= WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        for (WORD v : {static_cast<WORD>(itemStyle & 0xFFFF), static_cast<WORD>(itemStyle >> 16), WORD(0), WORD(0),
                       WORD(5), WORD(5), WORD(50), WORD(14), id})
            w.push_back(v);
        if (cls) {
            Put(w, cls);
        } else {
            w.push_back(0xFFFF);
            w.push_back(classOrdinal);
        }
        Put(w, u"text");
        w.push_back(0);
    };
    item(u"SysTreeView32", 0, 7, 0);
    item(nullptr, 0x80, IDOK, BS_DEFPUSHBUTTON);
    HWND hDlg = CreateDialogIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(w.data()), nullptr, Proc, 0);
    ASSERT_NE(hDlg, nullptr);
    HWND tree = GetDlgItem(hDlg, 7);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(SendMessageW(tree, WM_USER + 1, 0, 0), 0); // answers nothing, breaks nothing
    EXPECT_EQ(GetFocus(), tree);                          // the first tab stop still
    EXPECT_EQ(SendMessageW(hDlg, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
    DestroyWindow(hDlg);
}

} // namespace
