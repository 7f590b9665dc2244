// The message box as a dialog: its controls, its default button, how it is answered and what it
// does to its owner. A thread timer acts as the user while the box's modal loop runs. The same
// cases run against real USER under Wine (MessageBoxA there); here they run the dialog that
// MessageBox shows when a user is at the screen, which headless runs otherwise skip.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include "message_box.h"
#endif

namespace {

int ShowBox(HWND owner, const char* text, const char* caption, UINT type)
{
#ifdef _WIN32
    return MessageBoxA(owner, text, caption, type);
#else
    const auto wide = [](const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); };
    return moxplat::MessageBoxDialog(owner, wide(text), wide(caption), type);
#endif
}

// What the "user" saw, and the steps it takes: messages posted to the box in turn, one per tick.
struct Step {
    enum Kind { Command, Key, Close, Click } kind;
    int value;
};

struct Seen {
    bool found = false;
    std::string text;
    std::vector<int> buttons; // the answer ids present, in the order asked about
    int defaultId = 0;
    bool hasIcon = false;
    bool ownerEnabled = true;
    LONG exStyle = 0;
};

constexpr const char* kCaption = "Message box under test";
const int kAnswerIds[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDTRYAGAIN, IDCONTINUE};

Seen g_seen;
std::vector<Step> g_steps;
std::size_t g_next = 0;
HWND g_owner = nullptr;
int g_ticks = 0;

void CALLBACK Act(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = FindWindowA(nullptr, kCaption);
    if (++g_ticks > 200) { // the box never came or never went: end the test's loop
        PostQuitMessage(0);
        return;
    }
    if (!box)
        return;
    if (!g_seen.found) {
        g_seen.found = true;
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        g_seen.text = text;
        for (int id : kAnswerIds)
            if (GetDlgItem(box, id))
                g_seen.buttons.push_back(id);
        const LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
        g_seen.defaultId = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0;
        // The icon is the one static control besides the text.
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                g_seen.hasIcon = true;
        g_seen.ownerEnabled = g_owner ? IsWindowEnabled(g_owner) != FALSE : true;
        g_seen.exStyle = GetWindowLongA(box, GWL_EXSTYLE);
        return;
    }
    if (g_next >= g_steps.size())
        return;
    const Step s = g_steps[g_next++];
    switch (s.kind) {
    case Step::Command:
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(s.value), 0);
        break;
    case Step::Key:
        if (HWND focus = GetFocus())
            PostMessageA(focus, WM_KEYDOWN, static_cast<WPARAM>(s.value), 0);
        break;
    case Step::Close:
        PostMessageA(box, WM_CLOSE, 0, 0);
        break;
    case Step::Click:
        PostMessageA(GetDlgItem(box, s.value), BM_CLICK, 0, 0);
        break;
    }
}

int AnswerBox(HWND owner, const char* text, UINT type, std::vector<Step> steps)
{
    g_seen = Seen{};
    g_steps = std::move(steps);
    g_next = 0;
    g_owner = owner;
    g_ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Act);
    const int answer = ShowBox(owner, text, kCaption, type);
    KillTimer(nullptr, timer);
    return answer;
}

// Windows: the text is the static control 0xFFFF, the caption the window's text (Wine's user32
// dialog.c test_MessageBox, run on Windows); the buttons of each kind and the default button
// named by MB_DEFBUTTONn; Escape answers IDCANCEL when there is a Cancel button and IDOK when
// OK is the only one, and does nothing otherwise (Microsoft's MessageBox documentation).
TEST(MessageBoxes, ButtonsDefaultsAndAnswers)
{
    struct Case {
        const char* name;
        UINT type;
        std::vector<int> buttons;
        int defaultId;
        bool icon;
        std::vector<Step> steps;
        int answer;
    };
    const Case cases[] = {
        {"OK, Escape", MB_OK, {IDOK}, IDOK, false, {{Step::Key, VK_ESCAPE}}, IDOK},
        {"OK/Cancel, second default, Enter", MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL, false,
         {{Step::Key, VK_RETURN}}, IDCANCEL},
        {"Yes/No ignores Escape and close", MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES, true,
         {{Step::Key, VK_ESCAPE}, {Step::Close, 0}, {Step::Click, IDNO}}, IDNO},
        {"Yes/No/Cancel, third default", MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3, {IDCANCEL, IDYES, IDNO},
         IDCANCEL, true, {{Step::Click, IDYES}}, IDYES},
        {"Abort/Retry/Ignore", MB_ABORTRETRYIGNORE | MB_ICONERROR, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, true,
         {{Step::Command, IDIGNORE}}, IDIGNORE},
        {"Retry/Cancel, Escape", MB_RETRYCANCEL, {IDCANCEL, IDRETRY}, IDRETRY, false, {{Step::Key, VK_ESCAPE}},
         IDCANCEL},
        {"Cancel/Try Again/Continue", MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
         IDTRYAGAIN, false, {{Step::Click, IDCONTINUE}}, IDCONTINUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int answer = AnswerBox(nullptr, "Save the &game?", c.type, c.steps);
        ASSERT_TRUE(g_seen.found);
        EXPECT_EQ(g_seen.text, "Save the &game?"); // shown as written: no mnemonic
        EXPECT_EQ(g_seen.buttons, c.buttons);
        EXPECT_EQ(g_seen.defaultId, c.defaultId);
        EXPECT_EQ(g_seen.hasIcon, c.icon);
        EXPECT_EQ(answer, c.answer);
        EXPECT_FALSE(FindWindowA(nullptr, kCaption)); // gone when answered
    }
}

// Windows: the owner takes no input while its box runs and gets it back after (Microsoft's
// MessageBox and DialogBox documentation); MB_SYSTEMMODAL boxes are topmost (Wine's user32
// dialog.c test_MessageBox, run on Windows).
TEST(MessageBoxes, DisablesItsOwnerAndSystemModalIsTopmost)
{
    HWND owner = CreateWindowExA(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(owner);
    EXPECT_EQ(AnswerBox(owner, "Quit?", MB_OKCANCEL, {{Step::Click, IDOK}}), IDOK);
    EXPECT_FALSE(g_seen.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(g_seen.exStyle & WS_EX_TOPMOST, 0);

    EXPECT_EQ(AnswerBox(nullptr, "Quit?", MB_OK | MB_SYSTEMMODAL, {{Step::Command, IDOK}}), IDOK);
    EXPECT_NE(g_seen.exStyle & WS_EX_TOPMOST, 0);
    DestroyWindow(owner);
}

} // namespace
