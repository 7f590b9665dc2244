// Message boxes. With a user at the screen a message box is a modal dialog made from a template,
// as Windows makes it: the caption, an icon, the text in a static control with id 0xFFFF and a
// row of push buttons whose ids are the answers. Without one (headless runs, CI) nobody could
// answer, so the text goes to the log and the default button's answer comes back at once.
#include "message_box.h"

#include "gdi_registry.h"
#include "user_internal.h"
#include "window_backend.h"
#include "text_convert.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace moxplat {
namespace {

struct Choice {
    int id;
    const wchar_t* label;
};

// The buttons of each MB_TYPEMASK kind, in the order Windows shows them.
const Choice kChoices[][3] = {
    {{IDOK, L"OK"}, {0, nullptr}, {0, nullptr}},
    {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}, {0, nullptr}},
    {{IDABORT, L"&Abort"}, {IDRETRY, L"&Retry"}, {IDIGNORE, L"&Ignore"}},
    {{IDYES, L"&Yes"}, {IDNO, L"&No"}, {IDCANCEL, L"Cancel"}},
    {{IDYES, L"&Yes"}, {IDNO, L"&No"}, {0, nullptr}},
    {{IDRETRY, L"&Retry"}, {IDCANCEL, L"Cancel"}, {0, nullptr}},
    {{IDCANCEL, L"Cancel"}, {IDTRYAGAIN, L"&Try Again"}, {IDCONTINUE, L"&Continue"}},
};
constexpr UINT kKinds = sizeof kChoices / sizeof kChoices[0];

std::vector<Choice> ChoicesOf(UINT type)
{
    const UINT kind = type & MB_TYPEMASK;
    std::vector<Choice> out;
    for (const Choice& c : kChoices[kind < kKinds ? kind : 0])
        if (c.label)
            out.push_back(c);
    return out;
}

int DefaultIndex(UINT type, std::size_t buttons)
{
    const std::size_t which = (type & MB_DEFMASK) >> 8;
    return static_cast<int>(which < buttons ? which : 0);
}

// A DLGTEMPLATE (the plain form) written word by word.
class TemplateWriter {
public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d)
    {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Text(const std::wstring& s)
    {
        for (wchar_t c : s) {
            const auto u = static_cast<std::uint32_t>(c);
            if (u > 0xFFFF && u <= 0x10FFFF) { // a surrogate pair in UTF-16
                Word(static_cast<WORD>(0xD800 + ((u - 0x10000) >> 10)));
                Word(static_cast<WORD>(0xDC00 + ((u - 0x10000) & 0x3FF)));
            } else {
                Word(static_cast<WORD>(u <= 0xFFFF ? u : 0xFFFD));
            }
        }
        Word(0);
    }
    void AlignDword()
    {
        if (words_.size() % 2)
            Word(0);
    }
    // Controls are laid out in pixels when the dialog starts, so the template gives no sizes.
    void Item(DWORD style, WORD id, WORD classOrdinal, const std::wstring& text)
    {
        AlignDword();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (int i = 0; i < 4; ++i)
            Word(0);
        Word(id);
        Word(0xFFFF);
        Word(classOrdinal);
        Text(text);
        Word(0); // no creation data
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kIconId = 20;

struct Box {
    std::wstring text;
    UINT type = 0;
    std::vector<Choice> choices;
};

LPCWSTR IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return MAKEINTRESOURCEW(32513); // IDI_HAND
    case MB_ICONQUESTION:
        return MAKEINTRESOURCEW(32514);
    case MB_ICONEXCLAMATION:
        return MAKEINTRESOURCEW(32515);
    case MB_ICONASTERISK:
        return MAKEINTRESOURCEW(32516);
    default:
        return nullptr;
    }
}

// Lays the box out in pixels from its font: the icon and the text side by side, the buttons in
// a centred row under them, then the window sized around its client area and centred.
void LayOut(HWND box, const Box& b)
{
    constexpr int kMargin = 12, kGap = 8, kButtonHeight = 23, kMinButton = 75, kMaxText = 420;
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    RECT text{0, 0, kMaxText, 0};
    DrawTextW(dc, b.text.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    int buttonWidth = kMinButton;
    for (const Choice& c : b.choices) {
        RECT r{};
        DrawTextW(dc, c.label, -1, &r, DT_CALCRECT | DT_SINGLELINE);
        buttonWidth = std::max<int>(buttonWidth, r.right + 16);
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);

    const bool icon = IconOf(b.type) != nullptr;
    const int iconSize = GetSystemMetrics(SM_CXICON);
    const int textX = kMargin + (icon ? iconSize + kMargin : 0);
    const int upper = std::max<int>(icon ? iconSize : 0, text.bottom);
    const int count = static_cast<int>(b.choices.size());
    const int row = count * buttonWidth + (count - 1) * kGap;
    const int clientW = std::max(textX + text.right + kMargin, row + 2 * kMargin);
    const int buttonsY = kMargin + upper + kMargin;
    const int clientH = buttonsY + kButtonHeight + kMargin;

    if (icon)
        MoveWindow(GetDlgItem(box, kIconId), kMargin, kMargin, iconSize, iconSize, FALSE);
    const int textY = kMargin + std::max<int>(0, (upper - text.bottom) / 2);
    MoveWindow(GetDlgItem(box, 0xFFFF), textX, textY, text.right, text.bottom, FALSE);
    int x = (clientW - row) / 2;
    for (const Choice& c : b.choices) {
        MoveWindow(GetDlgItem(box, c.id), x, buttonsY, buttonWidth, kButtonHeight, FALSE);
        x += buttonWidth + kGap;
    }

    RECT outer{0, 0, clientW, clientH};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE)));
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HWND owner = GetWindow(box, GW_OWNER))
        GetWindowRect(owner, &area);
    MoveWindow(box, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2, w, h,
               FALSE);
}

bool HasButton(const Box& b, int id)
{
    return std::any_of(b.choices.begin(), b.choices.end(), [id](const Choice& c) { return c.id == id; });
}

INT_PTR CALLBACK BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        const Box& b = *reinterpret_cast<const Box*>(lParam);
        SetWindowLongPtrW(box, DWLP_USER, lParam);
        if (LPCWSTR icon = IconOf(b.type))
            SendDlgItemMessageW(box, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
        LayOut(box, b);
        const Choice& chosen = b.choices[static_cast<std::size_t>(DefaultIndex(b.type, b.choices.size()))];
        SendMessageW(box, DM_SETDEFID, static_cast<WPARAM>(chosen.id), 0);
        SetFocus(GetDlgItem(box, chosen.id));
        if (b.type & MB_SETFOREGROUND)
            SetForegroundWindow(box);
        MessageBeep(b.type & MB_ICONMASK);
        return FALSE; // the focus is placed
    }
    case WM_COMMAND: {
        const Box* b = reinterpret_cast<const Box*>(GetWindowLongPtrW(box, DWLP_USER));
        const int id = LOWORD(wParam);
        if (!b)
            return FALSE;
        if (HasButton(*b, id)) {
            EndDialog(box, id);
        } else if (id == IDCANCEL && b->choices.size() == 1 && b->choices[0].id == IDOK) {
            // Escape or the close box answer IDOK when OK is the only button; a box with
            // neither Cancel nor that one button cannot be dismissed without an answer
            // (Microsoft's MessageBox documentation).
            EndDialog(box, IDOK);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

int MessageBoxDialog(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    Box b;
    b.text = text;
    b.type = type;
    b.choices = ChoicesOf(type);

    TemplateWriter t;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_NOIDLEMSG;
    const bool topmost = (type & (MB_SYSTEMMODAL | MB_TOPMOST)) != 0;
    const bool icon = IconOf(type) != nullptr;
    t.Dword(style);
    t.Dword(topmost ? WS_EX_TOPMOST : 0); // Wine's user32 dialog.c tests, run on Windows
    t.Word(static_cast<WORD>(b.choices.size() + 1 + (icon ? 1 : 0)));
    for (int i = 0; i < 4; ++i)
        t.Word(0);
    t.Word(0); // no menu
    t.Word(0); // the dialog class
    t.Text(caption);
    t.Word(9); // the message font: 9 points
    t.Text(L"Segoe UI");
    if (icon)
        t.Item(SS_ICON, kIconId, kStaticClass, L"");
    t.Item(SS_NOPREFIX | ((type & MB_RIGHT) ? SS_RIGHT : SS_LEFT), 0xFFFF, kStaticClass, text);
    const int chosen = DefaultIndex(type, b.choices.size());
    for (std::size_t i = 0; i < b.choices.size(); ++i)
        t.Item(WS_TABSTOP | (static_cast<int>(i) == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                   (i == 0 ? WS_GROUP : 0),
               static_cast<WORD>(b.choices[i].id), kButtonClass, b.choices[i].label);

    // Task-modal boxes without an owner keep every top-level window of the thread from input.
    std::vector<HWND> disabled;
    if ((type & MB_TASKMODAL) && !owner) {
        // Windows here belong to the one thread that runs the program's windows.
        EnumWindows(
            [](HWND w, LPARAM list) -> BOOL {
                if (IsWindowEnabled(w) && IsWindowVisible(w))
                    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&disabled));
        for (HWND w : disabled)
            EnableWindow(w, FALSE);
    }
    // A child window's box belongs to its top-level window, which the modal loop disables.
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    const INT_PTR answer =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Data(), top, BoxProc, reinterpret_cast<LPARAM>(&b));
    for (HWND w : disabled)
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    return static_cast<int>(answer);
}

} // namespace moxplat

extern "C" {

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType)
{
    const std::wstring text = lpText ? lpText : L"";
    const std::wstring caption = lpCaption ? lpCaption : L"Error";
    bool user = false;
    {
        moxplat::Registry& reg = moxplat::TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        user = moxplat::ScreenHasUser();
    }
    if (user)
        return moxplat::MessageBoxDialog(hWnd, text, caption, uType);
    const std::vector<moxplat::Choice> choices = moxplat::ChoicesOf(uType);
    std::fprintf(stderr, "%s: %s\n", moxplat::Utf8FromWide(caption.c_str()).c_str(),
                 moxplat::Utf8FromWide(text.c_str()).c_str());
    std::fflush(stderr);
    return choices[static_cast<std::size_t>(moxplat::DefaultIndex(uType, choices.size()))].id;
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    const std::wstring text = moxplat::ToWide(lpText ? lpText : "");
    const std::wstring caption = moxplat::ToWide(lpCaption ? lpCaption : "Error");
    return MessageBoxW(hWnd, text.c_str(), caption.c_str(), uType);
}

} // extern "C"
