// Dialogs: templates (DLGTEMPLATE and DLGTEMPLATEEX) laid out in dialog units of their font, the
// dialog class and DefDlgProc, modal loops, keyboard navigation and the GetDlgItem helpers.
// Written over the Win32 calls themselves, so it behaves the same under any window backend.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "diagnostics.h"
#include "user_internal.h"

namespace {

struct DialogState {
    HFONT font = nullptr;
    bool ownFont = false;
    int unitX = 8; // base units: average character width and height of the font
    int unitY = 16;
    UINT defId = 0;
    bool ended = false;
    INT_PTR result = 0;
    bool wide = true;
    HWND focus = nullptr; // the control to give focus back to
};

std::mutex g_mutex;
std::unordered_map<HWND, DialogState> g_dialogs;

bool StateOf(HWND hDlg, DialogState* out)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_dialogs.find(hDlg);
    if (it == g_dialogs.end())
        return false;
    *out = it->second;
    return true;
}

template <class F> void Update(HWND hDlg, F f)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_dialogs.find(hDlg);
    if (it != g_dialogs.end())
        f(it->second);
}

int Scale(int value, int units, int divisor)
{
    // MulDiv's rounding: half away from zero.
    const long long p = static_cast<long long>(value) * units;
    return static_cast<int>(p >= 0 ? (p + divisor / 2) / divisor : -((-p + divisor / 2) / divisor));
}

// Base units of a font as Microsoft documents them: the average width of the 52 Latin letters
// (rounded) and the character height.
void BaseUnitsOf(HFONT font, int* cx, int* cy)
{
    HDC dc = GetDC(nullptr);
    if (!dc)
        return;
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm{};
    SIZE size{};
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (GetTextMetricsW(dc, &tm) && GetTextExtentPoint32W(dc, kLetters, 52, &size) && size.cx > 0) {
        *cx = std::max<int>(1, (size.cx / 26 + 1) / 2);
        *cy = std::max<int>(1, tm.tmHeight);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

// --- Templates.

struct TemplateItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className;
    WORD classOrdinal = 0;
    std::wstring text;
    const void* creationData = nullptr;
};

struct Template {
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring menuName;
    WORD menuOrdinal = 0;
    std::wstring className;
    WORD classOrdinal = 0;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = FW_NORMAL;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::wstring face;
    std::vector<TemplateItem> items;
};

// Reads a template whose size is not known (the Indirect calls trust their caller, as Windows
// does) or is known (resources: `limit` bytes).
class Reader {
public:
    Reader(const BYTE* base, std::size_t limit) : base_(base), limit_(limit) {}
    bool ok() const { return ok_; }
    WORD Word()
    {
        if (pos_ + 2 > limit_) {
            ok_ = false;
            return 0;
        }
        WORD v;
        std::memcpy(&v, base_ + pos_, 2);
        pos_ += 2;
        return v;
    }
    DWORD Dword()
    {
        const DWORD lo = Word();
        return lo | (static_cast<DWORD>(Word()) << 16);
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte()
    {
        if (pos_ + 1 > limit_) {
            ok_ = false;
            return 0;
        }
        return base_[pos_++];
    }
    void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }
    const BYTE* Here() const { return base_ + pos_; }
    void Skip(std::size_t n) { pos_ += n; }
    // UTF-16, terminated.
    std::wstring String()
    {
        std::wstring out;
        while (ok_) {
            const WORD c = Word();
            if (!c)
                break;
            if (c >= 0xD800 && c < 0xDC00) {
                const WORD low = Word();
                out.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00)));
            } else {
                out.push_back(static_cast<wchar_t>(c));
            }
        }
        return out;
    }
    // A name or an ordinal: 0 nothing, 0xFFFF an ordinal follows, else a string.
    void NameOrOrdinal(std::wstring* name, WORD* ordinal)
    {
        const WORD first = Word();
        if (first == 0)
            return;
        if (first == 0xFFFF) {
            *ordinal = Word();
            return;
        }
        pos_ -= 2;
        *name = String();
    }

private:
    const BYTE* base_;
    std::size_t limit_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

constexpr std::size_t kUnboundedTemplate = std::size_t{1} << 24;
constexpr WORD kMaxItems = 4096;

bool ParseTemplate(const void* data, std::size_t size, Template* t)
{
    if (!data)
        return false;
    Reader r(static_cast<const BYTE*>(data), size);
    const WORD version = r.Word();
    const WORD signature = r.Word();
    const bool extended = version == 1 && signature == 0xFFFF;
    WORD count = 0;
    if (extended) {
        r.Dword(); // help id
        t->exStyle = r.Dword();
        t->style = r.Dword();
    } else {
        t->style = version | (static_cast<DWORD>(signature) << 16);
        t->exStyle = r.Dword();
    }
    count = r.Word();
    t->x = r.Short();
    t->y = r.Short();
    t->cx = r.Short();
    t->cy = r.Short();
    r.NameOrOrdinal(&t->menuName, &t->menuOrdinal);
    r.NameOrOrdinal(&t->className, &t->classOrdinal);
    t->title = r.String();
    if (t->style & DS_SETFONT) {
        t->pointSize = r.Word();
        if (extended) {
            t->weight = r.Word();
            t->italic = r.Byte();
            t->charset = r.Byte();
        }
        t->face = r.String();
    }
    if (!r.ok() || count > kMaxItems)
        return false;
    for (WORD i = 0; i < count; ++i) {
        TemplateItem item;
        r.AlignDword();
        if (extended) {
            r.Dword(); // help id
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = extended ? r.Dword() : r.Word();
        r.NameOrOrdinal(&item.className, &item.classOrdinal);
        WORD textOrdinal = 0;
        r.NameOrOrdinal(&item.text, &textOrdinal);
        if (textOrdinal) // an icon or bitmap resource id: "#n" names it to the control
            item.text = L"#" + std::to_wstring(textOrdinal);
        const WORD extra = r.Word();
        if (extra) {
            item.creationData = r.Here();
            r.Skip(extra);
        }
        if (!r.ok())
            return false;
        t->items.push_back(std::move(item));
    }
    return true;
}

const wchar_t* ClassOfOrdinal(WORD ordinal)
{
    switch (ordinal) {
    case 0x80:
        return L"Button";
    case 0x81:
        return L"Edit";
    case 0x82:
        return L"Static";
    case 0x83:
        return L"ListBox";
    case 0x84:
        return L"ScrollBar";
    case 0x85:
        return L"ComboBox";
    default:
        return nullptr;
    }
}

// The class a template names and no one registered: an empty window keeps the rest working.
LRESULT CALLBACK MissingControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const wchar_t kDialogClass[] = L"#32770";
const wchar_t kMissingClass[] = L"MoxImage2MissingControl";

void RegisterDialogClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefDlgProcW;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        wc.lpszClassName = kDialogClass;
        RegisterClassW(&wc);
        WNDCLASSW missing{};
        missing.lpfnWndProc = MissingControlProc;
        missing.lpszClassName = kMissingClass;
        RegisterClassW(&missing);
    });
}

bool ClassExists(const wchar_t* name)
{
    WNDCLASSW wc{};
    return GetClassInfoW(nullptr, name, &wc) != 0;
}

HWND CreateFromTemplate(HINSTANCE instance, const void* data, std::size_t size, HWND owner, DLGPROC proc,
                        LPARAM param, bool wide, bool modal)
{
    RegisterDialogClasses();
    Template t;
    if (!ParseTemplate(data, size, &t)) {
        moxplat::Diagnose("CreateDialog: the dialog template is damaged");
        return nullptr;
    }
    HFONT font = nullptr;
    if (t.style & DS_SETFONT) {
        LOGFONTW lf{};
        lf.lfHeight = -Scale(t.pointSize, 96, 72);
        lf.lfWeight = t.weight;
        lf.lfItalic = t.italic;
        lf.lfCharSet = t.charset;
        const std::size_t n = std::min<std::size_t>(t.face.size(), LF_FACESIZE - 1);
        std::copy(t.face.begin(), t.face.begin() + static_cast<std::ptrdiff_t>(n), lf.lfFaceName);
        font = CreateFontIndirectW(&lf);
    }
    DialogState state;
    state.font = font;
    state.ownFont = font != nullptr;
    state.wide = wide;
    BaseUnitsOf(font, &state.unitX, &state.unitY);

    // The template's size is the client area's; the window grows by the frame its style implies.
    DWORD style = t.style;
    if (modal)
        style &= ~static_cast<DWORD>(WS_VISIBLE); // the modal loop shows it
    RECT rc{0, 0, Scale(t.cx, state.unitX, 4), Scale(t.cy, state.unitY, 8)};
    AdjustWindowRectEx(&rc, style & ~static_cast<DWORD>(WS_VISIBLE), FALSE, t.exStyle);
    POINT at{Scale(t.x, state.unitX, 4), Scale(t.y, state.unitY, 8)};
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (t.style & DS_CENTER) {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (owner && !(GetWindowLongW(owner, GWL_STYLE) & WS_CHILD))
            GetWindowRect(owner, &area);
        at.x = area.left + (area.right - area.left - width) / 2;
        at.y = area.top + (area.bottom - area.top - height) / 2;
    } else if (!(t.style & WS_CHILD)) {
        // Relative to the owner's client area unless DS_ABSALIGN.
        if (owner && !(t.style & DS_ABSALIGN))
            ClientToScreen(owner, &at);
        at.x += rc.left;
        at.y += rc.top;
    }
    const wchar_t* className = kDialogClass;
    if (!t.className.empty())
        className = t.className.c_str();
    HWND hDlg = CreateWindowExW(t.exStyle, className, t.title.c_str(), style & ~static_cast<DWORD>(WS_VISIBLE), at.x,
                                at.y, width, height, owner, nullptr, instance, nullptr);
    if (!hDlg) {
        if (font)
            DeleteObject(font);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_dialogs[hDlg] = state;
    }
    SetWindowLongPtrW(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (font)
        SendMessageW(hDlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const TemplateItem& item : t.items) {
        const wchar_t* cls = item.classOrdinal ? ClassOfOrdinal(item.classOrdinal) : item.className.c_str();
        if (!cls || !ClassExists(cls)) {
            static std::once_flag reported;
            const std::string name = cls ? moxplat::Utf8FromWide(cls) : std::to_string(item.classOrdinal);
            std::call_once(reported, [&] {
                moxplat::Diagnose("dialog control class \"%s\" is not available: shown as an empty window",
                                  name.c_str());
            });
            cls = kMissingClass;
        }
        HWND ctl = CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, cls, item.text.c_str(), item.style | WS_CHILD,
                                   Scale(item.x, state.unitX, 4), Scale(item.y, state.unitY, 8),
                                   Scale(item.cx, state.unitX, 4), Scale(item.cy, state.unitY, 8), hDlg,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance,
                                   const_cast<void*>(item.creationData));
        if (!ctl) {
            if (t.style & DS_NOFAILCREATE)
                continue;
            DestroyWindow(hDlg);
            return nullptr;
        }
        if (font)
            SendMessageW(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // The first default push button is the dialog's default.
        if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && cls == std::wstring(L"Button"))
            Update(hDlg, [&](DialogState& s) {
                if (!s.defId)
                    s.defId = item.id;
            });
    }

    // WM_INITDIALOG's wParam is the control that gets the focus when the procedure returns TRUE.
    HWND first = GetNextDlgTabItem(hDlg, nullptr, FALSE);
    const LRESULT focus = SendMessageW(hDlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(hDlg))
        return nullptr;
    if (focus && first && IsWindow(first)) {
        SetFocus(first);
        Update(hDlg, [&](DialogState& s) { s.focus = first; });
    } else if (HWND chosen = GetFocus(); chosen && IsChild(hDlg, chosen)) {
        // The procedure placed the focus itself: activation gives it back there.
        Update(hDlg, [&](DialogState& s) { s.focus = chosen; });
    }
    if ((t.style & WS_VISIBLE) && !modal)
        ShowWindow(hDlg, SW_SHOWNORMAL);
    return hDlg;
}

bool TemplateResource(HINSTANCE instance, const void* name, bool wide, const void** data, std::size_t* size)
{
    HRSRC res = wide ? FindResourceW(instance, static_cast<LPCWSTR>(name), MAKEINTRESOURCEW(5))
                     : FindResourceA(instance, static_cast<LPCSTR>(name), MAKEINTRESOURCEA(5));
    if (!res)
        return false;
    HGLOBAL loaded = LoadResource(instance, res);
    *data = loaded ? LockResource(loaded) : nullptr;
    *size = SizeofResource(instance, res);
    return *data != nullptr;
}

INT_PTR RunModal(HWND hDlg, HWND owner)
{
    if (!hDlg)
        return -1;
    // The owner takes no input while the dialog runs (Microsoft's DialogBox documentation).
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    DialogState s;
    if (StateOf(hDlg, &s) && !s.ended)
        ShowWindow(hDlg, SW_SHOWNORMAL);
    const bool wide = s.wide;
    MSG msg;
    while (StateOf(hDlg, &s) && !s.ended && IsWindow(hDlg)) {
        const BOOL got = wide ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the dialog and stays for the program's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!(wide ? IsDialogMessageW(hDlg, &msg) : IsDialogMessageA(hDlg, &msg))) {
            TranslateMessage(&msg);
            if (wide)
                DispatchMessageW(&msg);
            else
                DispatchMessageA(&msg);
        }
    }
    INT_PTR result = 0;
    if (StateOf(hDlg, &s))
        result = s.result;
    if (disableOwner)
        EnableWindow(owner, TRUE);
    if (IsWindow(hDlg))
        DestroyWindow(hDlg);
    return result;
}

bool Focusable(HWND hwnd)
{
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

std::vector<HWND> ControlsOf(HWND hDlg)
{
    std::vector<HWND> out;
    for (HWND c = GetWindow(hDlg, GW_CHILD); c && out.size() < 65536; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back(c);
    return out;
}

void FocusControl(HWND hDlg, HWND ctl)
{
    if (!ctl)
        return;
    SetFocus(ctl);
    Update(hDlg, [&](DialogState& s) { s.focus = ctl; });
}

// Messages whose answer is the dialog procedure's own result, not DWLP_MSGRESULT (Microsoft's
// DialogProc documentation).
bool AnswersDirectly(UINT msg)
{
    return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) ||
           msg == 0x0039 /* WM_COMPAREITEM */ || msg == 0x002E /* WM_VKEYTOITEM */ ||
           msg == 0x002F /* WM_CHARTOITEM */ || msg == 0x030F /* WM_QUERYNEWPALETTE */;
}

LRESULT DefDlgCommon(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam, bool wide)
{
    const auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hDlg, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
        const INT_PTR handled = proc(hDlg, msg, wParam, lParam);
        // A colour message the procedure answers FALSE gets the default handling (MSDN
        // WM_CTLCOLORSTATIC); WM_INITDIALOG's FALSE is an answer of its own.
        if (AnswersDirectly(msg) && (handled || msg == WM_INITDIALOG || !IsWindow(hDlg)))
            return handled;
        if (handled && IsWindow(hDlg))
            return GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
        if (handled)
            return 0;
    }
    switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        // Windows' defaults: dialog-face behind labels and buttons, window colour behind text fields.
        const bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(field ? COLOR_WINDOW : COLOR_3DFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(field ? COLOR_WINDOW : COLOR_3DFACE));
    }
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(hDlg, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hDlg)));
        if (!brush)
            brush = GetSysColorBrush(COLOR_3DFACE);
        RECT rc;
        GetClientRect(hDlg, &rc);
        FillRect(dc, &rc, brush);
        return 1;
    }
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(hDlg, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel))
            PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID: {
        DialogState s;
        if (StateOf(hDlg, &s) && s.defId)
            return MAKELONG(s.defId, DC_HASDEFID);
        return 0;
    }
    case DM_SETDEFID: {
        DialogState s;
        if (!StateOf(hDlg, &s))
            return FALSE;
        // The old default button becomes a plain one, the new one shows as the default.
        if (HWND old = s.defId ? GetDlgItem(hDlg, static_cast<int>(s.defId)) : nullptr)
            if (SendMessageW(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
                SendMessageW(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        if (HWND now = GetDlgItem(hDlg, static_cast<int>(wParam)))
            if (SendMessageW(now, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON)
                SendMessageW(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        Update(hDlg, [&](DialogState& st) { st.defId = static_cast<UINT>(wParam); });
        return TRUE;
    }
    case WM_NEXTDLGCTL: {
        HWND to = nullptr;
        if (LOWORD(lParam))
            to = reinterpret_cast<HWND>(wParam);
        else
            to = GetNextDlgTabItem(hDlg, GetFocus(), wParam != 0);
        if (to && IsChild(hDlg, to)) {
            FocusControl(hDlg, to);
            // Tabbing into a text field selects all of it.
            if (SendMessageW(to, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                SendMessageW(to, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    case WM_SETFOCUS: {
        DialogState s;
        HWND to = StateOf(hDlg, &s) && s.focus && IsChild(hDlg, s.focus) ? s.focus : nullptr;
        if (!to)
            to = GetNextDlgTabItem(hDlg, nullptr, FALSE);
        if (to)
            FocusControl(hDlg, to);
        return 0;
    }
    case WM_GETFONT: {
        DialogState s;
        return StateOf(hDlg, &s) ? reinterpret_cast<LRESULT>(s.font) : 0;
    }
    case WM_SETFONT:
        Update(hDlg, [&](DialogState& s) {
            if (s.font != reinterpret_cast<HFONT>(wParam) && s.ownFont) {
                DeleteObject(s.font);
                s.ownFont = false;
            }
            s.font = reinterpret_cast<HFONT>(wParam);
        });
        return 0;
    case WM_NCDESTROY: {
        HFONT owned = nullptr;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            const auto it = g_dialogs.find(hDlg);
            if (it != g_dialogs.end()) {
                if (it->second.ownFont)
                    owned = it->second.font;
                g_dialogs.erase(it);
            }
        }
        if (owned)
            DeleteObject(owned);
        break;
    }
    default:
        break;
    }
    return wide ? DefWindowProcW(hDlg, msg, wParam, lParam) : DefWindowProcA(hDlg, msg, wParam, lParam);
}

BOOL DialogMessage(HWND hDlg, LPMSG msg, bool wide)
{
    if (!hDlg || !msg || !IsWindow(hDlg))
        return FALSE;
    if (msg->hwnd != hDlg && !IsChild(hDlg, msg->hwnd))
        return FALSE;
    if (msg->message == WM_KEYDOWN) {
        HWND focus = msg->hwnd;
        const LRESULT code = SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
            switch (msg->wParam) {
            case VK_TAB:
                if (code & DLGC_WANTTAB)
                    break;
                SendMessageW(hDlg, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
                return TRUE;
            case VK_LEFT:
            case VK_UP:
            case VK_RIGHT:
            case VK_DOWN: {
                if (code & DLGC_WANTARROWS)
                    break;
                HWND next = GetNextDlgGroupItem(hDlg, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
                if (next && next != focus) {
                    FocusControl(hDlg, next);
                    // Moving onto an automatic radio button selects it.
                    if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
                        (GetWindowLongW(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                        SendMessageW(next, BM_CLICK, 0, 0);
                }
                return TRUE;
            }
            case VK_RETURN: {
                // A focused push button is the one Enter presses; else the default button, else IDOK.
                int id = IDOK;
                if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
                    id = GetDlgCtrlID(focus);
                } else {
                    const LRESULT def = SendMessageW(hDlg, DM_GETDEFID, 0, 0);
                    if (HIWORD(def) == DC_HASDEFID)
                        id = LOWORD(def);
                }
                HWND button = GetDlgItem(hDlg, id);
                if (!button || IsWindowEnabled(button))
                    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                return TRUE;
            }
            case VK_ESCAPE: {
                HWND cancel = GetDlgItem(hDlg, IDCANCEL);
                SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
                return TRUE;
            }
            default:
                break;
            }
        }
    }
    TranslateMessage(msg);
    if (wide)
        DispatchMessageW(msg);
    else
        DispatchMessageA(msg);
    return TRUE;
}

} // namespace

extern "C" {

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return CreateFromTemplate(hInstance, lpTemplate, kUnboundedTemplate, hWndParent, lpDialogFunc, dwInitParam, true,
                              false);
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return CreateFromTemplate(hInstance, lpTemplate, kUnboundedTemplate, hWndParent, lpDialogFunc, dwInitParam, false,
                              false);
}

HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!TemplateResource(hInstance, lpTemplateName, true, &data, &size))
        return nullptr;
    return CreateFromTemplate(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam, true, false);
}

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!TemplateResource(hInstance, lpTemplateName, false, &data, &size))
        return nullptr;
    return CreateFromTemplate(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam, false, false);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return RunModal(CreateFromTemplate(hInstance, hDialogTemplate, kUnboundedTemplate, hWndParent, lpDialogFunc,
                                       dwInitParam, true, true),
                    hWndParent);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return RunModal(CreateFromTemplate(hInstance, hDialogTemplate, kUnboundedTemplate, hWndParent, lpDialogFunc,
                                       dwInitParam, false, true),
                    hWndParent);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!TemplateResource(hInstance, lpTemplateName, true, &data, &size))
        return -1;
    return RunModal(CreateFromTemplate(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam, true, true),
                    hWndParent);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!TemplateResource(hInstance, lpTemplateName, false, &data, &size))
        return -1;
    return RunModal(CreateFromTemplate(hInstance, data, size, hWndParent, lpDialogFunc, dwInitParam, false, true),
                    hWndParent);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult)
{
    bool known = false;
    Update(hDlg, [&](DialogState& s) {
        s.ended = true;
        s.result = nResult;
        known = true;
    });
    if (!known)
        return FALSE;
    ShowWindow(hDlg, SW_HIDE);
    // Wake a modal loop waiting in GetMessage.
    PostMessageW(hDlg, WM_NULL, 0, 0);
    return TRUE;
}

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefDlgCommon(hDlg, Msg, wParam, lParam, true);
}

LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return DefDlgCommon(hDlg, Msg, wParam, lParam, false);
}

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg)
{
    return DialogMessage(hDlg, lpMsg, true);
}

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg)
{
    return DialogMessage(hDlg, lpMsg, false);
}

LONG WINAPI GetDialogBaseUnits(void)
{
    static int cx = 8, cy = 16;
    static std::once_flag once;
    std::call_once(once, [] { BaseUnitsOf(nullptr, &cx, &cy); });
    return MAKELONG(cx, cy);
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    DialogState s;
    if (!lpRect || !StateOf(hDlg, &s))
        return FALSE;
    lpRect->left = Scale(lpRect->left, s.unitX, 4);
    lpRect->right = Scale(lpRect->right, s.unitX, 4);
    lpRect->top = Scale(lpRect->top, s.unitY, 8);
    lpRect->bottom = Scale(lpRect->bottom, s.unitY, 8);
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    const std::vector<HWND> all = ControlsOf(hDlg);
    if (all.empty())
        return nullptr;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(all.size());
    std::ptrdiff_t at = std::find(all.begin(), all.end(), hCtl) - all.begin();
    if (at == n)
        at = bPrevious ? 0 : n - 1; // start from the end so the first step lands on the first
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = ((at + (bPrevious ? -step : step)) % n + n) % n;
        if (Focusable(all[i]) && (GetWindowLongW(all[i], GWL_STYLE) & WS_TABSTOP))
            return all[i];
    }
    return hCtl;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    const std::vector<HWND> all = ControlsOf(hDlg);
    const auto it = std::find(all.begin(), all.end(), hCtl);
    if (it == all.end())
        return all.empty() ? nullptr : GetNextDlgTabItem(hDlg, nullptr, bPrevious);
    // The group runs from the nearest WS_GROUP control at or before hCtl up to the next WS_GROUP.
    const auto groupStart = [&](std::ptrdiff_t i) {
        while (i > 0 && !(GetWindowLongW(all[i], GWL_STYLE) & WS_GROUP))
            --i;
        return i;
    };
    const std::ptrdiff_t first = groupStart(it - all.begin());
    std::ptrdiff_t last = first;
    while (last + 1 < static_cast<std::ptrdiff_t>(all.size()) && !(GetWindowLongW(all[last + 1], GWL_STYLE) & WS_GROUP))
        ++last;
    const std::ptrdiff_t size = last - first + 1;
    const std::ptrdiff_t at = (it - all.begin()) - first;
    for (std::ptrdiff_t step = 1; step < size; ++step) {
        const std::ptrdiff_t i = first + ((at + (bPrevious ? -step : step)) % size + size) % size;
        if (Focusable(all[i]))
            return all[i];
    }
    return hCtl;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    return ctl ? SetWindowTextA(ctl, lpString) : FALSE;
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString)
{
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    return ctl ? SetWindowTextW(ctl, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    if (!ctl) {
        if (lpString && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(ctl, lpString, cchMax));
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax)
{
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    if (!ctl) {
        if (lpString && cchMax > 0)
            lpString[0] = L'\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(ctl, lpString, cchMax));
}

BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    const std::string text =
        bSigned ? std::to_string(static_cast<int>(uValue)) : std::to_string(static_cast<unsigned>(uValue));
    return SetDlgItemTextA(hDlg, nIDDlgItem, text.c_str());
}

UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    if (lpTranslated)
        *lpTranslated = FALSE;
    char text[64];
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    if (!ctl || GetWindowTextLengthA(ctl) >= static_cast<int>(sizeof text))
        return 0;
    GetWindowTextA(ctl, text, sizeof text);
    // Leading spaces are skipped and translation stops at the first character that is not a
    // digit; a value beyond the type's range fails (Microsoft's GetDlgItemInt documentation).
    const char* p = text;
    while (*p == ' ')
        ++p;
    bool negative = false;
    if (bSigned && *p == '-') {
        negative = true;
        ++p;
    } else if (*p == '+') {
        ++p;
    }
    if (*p < '0' || *p > '9')
        return 0;
    unsigned long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    if (bSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return 0;
    if (lpTranslated)
        *lpTranslated = TRUE;
    return negative ? static_cast<UINT>(0u - static_cast<UINT>(value)) : static_cast<UINT>(value);
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    return ctl ? SendMessageA(ctl, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND ctl = GetDlgItem(hDlg, nIDDlgItem);
    return ctl ? SendMessageW(ctl, Msg, wParam, lParam) : 0;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND ctl = GetDlgItem(hDlg, nIDButton);
    if (!ctl)
        return FALSE;
    SendMessageW(ctl, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    HWND ctl = GetDlgItem(hDlg, nIDButton);
    return ctl ? static_cast<UINT>(SendMessageW(ctl, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    if (!GetDlgItem(hDlg, nIDCheckButton))
        return FALSE;
    for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        if (id >= nIDFirstButton && id <= nIDLastButton)
            SendMessageW(c, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

} // extern "C"
