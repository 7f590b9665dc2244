// Window classes, system metrics, stock cursors and icons; LoadIcon and LoadCursor of a module's
// own go to its resources (icon.cpp).
//
// Classes are one set per process here: a program is one module, so the instance handle a class
// was registered with is recorded and returned but does not separate classes of the same name.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "resource_registry.h"
#include "user_internal.h"

using namespace moxplat;

namespace {

bool SameName(const std::string& a, const char* b)
{
    const std::size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Windows bounds the extra bytes a class or window may ask for (Wine's user32 class.c tests find
// 40000 bytes refused on Windows as well).
constexpr int kMaxExtraBytes = 40000;

struct ClassFields {
    UINT style;
    WNDPROC proc;
    int clsExtra, wndExtra;
    HINSTANCE instance;
    HICON icon, iconSmall;
    HCURSOR cursor;
    HBRUSH background;
    std::string menuName, name;
    bool nameIsAtom;
    bool unicode;
};

ATOM Register(ClassFields f)
{
    if (!f.proc || f.clsExtra < 0 || f.wndExtra < 0 || f.clsExtra > kMaxExtraBytes || f.wndExtra > kMaxExtraBytes ||
        f.nameIsAtom || f.name.empty() || f.name.size() > 255)
        return 0;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    if (FindClassLocked(reg, f.name.c_str()) || reg.nextAtom == 0xFFFF)
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    WindowClass c;
    c.name = f.name;
    c.atom = reg.nextAtom++;
    c.style = f.style;
    c.proc = f.proc;
    c.unicode = f.unicode;
    c.clsExtra = f.clsExtra;
    c.wndExtra = f.wndExtra;
    c.instance = f.instance;
    c.icon = f.icon;
    c.iconSmall = f.iconSmall;
    c.cursor = f.cursor;
    c.background = f.background;
    c.menuName = f.menuName;
    c.extra.assign(static_cast<std::size_t>(f.clsExtra), 0);
    reg.classes.push_back(std::move(c));
    NoteProcForm(f.proc, f.unicode);
    return reg.classes.back().atom;
}

// A class name argument: an atom in the low word, or text.
std::string NameArg(const char* name, bool* isAtom)
{
    *isAtom = name && IS_INTRESOURCE(name);
    if (!name || *isAtom)
        return std::string();
    return name;
}

std::string NameArg(const wchar_t* name, bool* isAtom)
{
    *isAtom = name && IS_INTRESOURCE(name);
    if (!name || *isAtom)
        return std::string();
    return Utf8FromWide(name);
}

// A class's menu name as kept: text in UTF-8, an integer resource id as "#id".
template <class Char> std::string MenuNameArg(const Char* name)
{
    if (!name)
        return std::string();
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
    if constexpr (sizeof(Char) == 1)
        return name;
    else
        return Utf8FromWide(name);
}

// Text or atom as FindClassLocked takes it.
const char* Lookup(const std::string& text, const void* raw, bool isAtom)
{
    return isAtom ? static_cast<const char*>(raw) : text.c_str();
}

template <class Name> BOOL Unregister(Name name)
{
    bool atom = false;
    const std::string text = NameArg(name, &atom);
    if (!name)
        return FALSE;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    WindowClass* c = FindClassLocked(reg, Lookup(text, name, atom));
    if (!c || c->windows > 0)
        return FALSE; // ERROR_CLASS_DOES_NOT_EXIST, or ERROR_CLASS_HAS_WINDOWS
    if (c->classDC)
        reg.dcs.erase(Key(c->classDC));
    reg.classes.erase(reg.classes.begin() + (c - reg.classes.data()));
    return TRUE;
}

// Copies a class out; text members are the class's own, valid while it is registered.
template <class Name> bool Describe(Name name, WindowClass* out)
{
    bool atom = false;
    const std::string text = NameArg(name, &atom);
    if (!name)
        return false;
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowClass* c = FindClassLocked(reg, Lookup(text, name, atom));
    if (!c)
        return false;
    out->name = c->name;
    out->atom = c->atom;
    out->style = c->style;
    out->proc = c->proc;
    out->clsExtra = c->clsExtra;
    out->wndExtra = c->wndExtra;
    out->instance = c->instance;
    out->icon = c->icon;
    out->iconSmall = c->iconSmall;
    out->cursor = c->cursor;
    out->background = c->background;
    return true;
}

// The class's own name text is handed back by GetClassInfo; these keep it alive per thread.
thread_local std::string t_nameA;
thread_local std::wstring t_nameW;

template <class WC> void Fill(const WindowClass& c, WC* wc)
{
    wc->style = c.style;
    wc->lpfnWndProc = c.proc;
    wc->cbClsExtra = c.clsExtra;
    wc->cbWndExtra = c.wndExtra;
    wc->hInstance = c.instance;
    wc->hIcon = c.icon;
    wc->hCursor = c.cursor;
    wc->hbrBackground = c.background;
    wc->lpszMenuName = nullptr;
}

// A stock cursor or icon: one handle per id for the life of the process.
HANDLE Stock(std::unordered_map<std::uintptr_t, std::uintptr_t> Registry::*table, HINSTANCE instance, const void* id,
             const std::uintptr_t* ids, std::size_t count)
{
    if (instance || !id || !IS_INTRESOURCE(id))
        return nullptr;
    const auto value = reinterpret_cast<std::uintptr_t>(id);
    if (std::find(ids, ids + count, value) == ids + count)
        return nullptr; // ERROR_RESOURCE_NAME_NOT_FOUND
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    auto& map = reg.*table;
    auto it = map.find(value);
    if (it == map.end())
        it = map.emplace(value, table == &Registry::stockIcons ? NewStockIconLocked(reg, value) : reg.NewHandle())
                 .first;
    return HandleOf<HANDLE>(it->second);
}

const std::uintptr_t kCursorIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                     32644, 32645, 32646, 32648, 32649, 32650, 32651};
const std::uintptr_t kIconIds[] = {32512, 32513, 32514, 32515, 32516, 32517, 32518};

} // namespace

namespace moxplat {

WindowClass* FindClassLocked(Registry& reg, const char* nameOrAtom)
{
    if (!nameOrAtom)
        return nullptr;
    for (WindowClass& c : reg.classes) {
        if (IS_INTRESOURCE(nameOrAtom) ? c.atom == reinterpret_cast<std::uintptr_t>(nameOrAtom)
                                       : SameName(c.name, nameOrAtom))
            return &c;
    }
    return nullptr;
}

} // namespace moxplat

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc)
        return 0;
    bool atom = false;
    std::string name = NameArg(wc->lpszClassName, &atom);
    return Register({wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance, wc->hIcon, nullptr,
                     wc->hCursor, wc->hbrBackground, MenuNameArg(wc->lpszMenuName), std::move(name), atom, false});
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* wc)
{
    if (!wc)
        return 0;
    bool atom = false;
    std::string name = NameArg(wc->lpszClassName, &atom);
    return Register({wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance, wc->hIcon, nullptr,
                     wc->hCursor, wc->hbrBackground, MenuNameArg(wc->lpszMenuName), std::move(name), atom, true});
}

// cbSize must be the structure's size (Microsoft's RegisterClassEx documentation).
ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA))
        return 0;
    bool atom = false;
    std::string name = NameArg(wc->lpszClassName, &atom);
    return Register({wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance, wc->hIcon, wc->hIconSm,
                     wc->hCursor, wc->hbrBackground, MenuNameArg(wc->lpszMenuName), std::move(name), atom, false});
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXW))
        return 0;
    bool atom = false;
    std::string name = NameArg(wc->lpszClassName, &atom);
    return Register({wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance, wc->hIcon, wc->hIconSm,
                     wc->hCursor, wc->hbrBackground, MenuNameArg(wc->lpszMenuName), std::move(name), atom, true});
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE)
{
    return Unregister(lpClassName);
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE)
{
    return Unregister(lpClassName);
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass)
{
    WindowClass c;
    if (!lpWndClass || !Describe(lpClassName, &c))
        return FALSE;
    Fill(c, lpWndClass);
    t_nameA = c.name;
    lpWndClass->lpszClassName = IS_INTRESOURCE(lpClassName) ? t_nameA.c_str() : lpClassName;
    return c.atom;
}

BOOL WINAPI GetClassInfoW(HINSTANCE, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass)
{
    WindowClass c;
    if (!lpWndClass || !Describe(lpClassName, &c))
        return FALSE;
    Fill(c, lpWndClass);
    t_nameW = WideFromUtf8(c.name.c_str());
    lpWndClass->lpszClassName = IS_INTRESOURCE(lpClassName) ? t_nameW.c_str() : lpClassName;
    return c.atom;
}

// Returns the class atom (Microsoft's GetClassInfoEx documentation: "the return value is an atom").
BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx)
{
    WindowClass c;
    if (!lpwcx || !Describe(lpszClass, &c))
        return FALSE;
    Fill(c, lpwcx);
    lpwcx->hIconSm = c.iconSmall;
    t_nameA = c.name;
    lpwcx->lpszClassName = IS_INTRESOURCE(lpszClass) ? t_nameA.c_str() : lpszClass;
    return c.atom;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx)
{
    WindowClass c;
    if (!lpwcx || !Describe(lpszClass, &c))
        return FALSE;
    Fill(c, lpwcx);
    lpwcx->hIconSm = c.iconSmall;
    t_nameW = WideFromUtf8(c.name.c_str());
    lpwcx->lpszClassName = IS_INTRESOURCE(lpszClass) ? t_nameW.c_str() : lpszClass;
    return c.atom;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    if (!lpClassName || nMaxCount <= 0)
        return 0;
    std::string name;
    {
        Registry& reg = TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        const WindowObject* w = reg.Window(hWnd);
        const WindowClass* c =
            w ? FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w->classAtom})) : nullptr;
        if (!c)
            return 0;
        name = c->name;
    }
    const std::size_t n = std::min(name.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::memcpy(lpClassName, name.data(), n);
    lpClassName[n] = '\0';
    return static_cast<int>(n);
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount)
{
    char narrow[512];
    if (!lpClassName || nMaxCount <= 0 || !GetClassNameA(hWnd, narrow, sizeof narrow))
        return 0;
    const std::wstring wide = WideFromUtf8(narrow);
    const std::size_t n = std::min(wide.size(), static_cast<std::size_t>(nMaxCount - 1));
    std::wmemcpy(lpClassName, wide.data(), n);
    lpClassName[n] = L'\0';
    return static_cast<int>(n);
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND hWnd, int nIndex)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const WindowObject* w = reg.Window(hWnd);
    const WindowClass* c =
        w ? FindClassLocked(reg, reinterpret_cast<const char*>(std::uintptr_t{w->classAtom})) : nullptr;
    if (!c)
        return 0;
    switch (nIndex) {
    case GCL_STYLE:
        return c->style;
    case GCLP_HBRBACKGROUND:
        return reinterpret_cast<ULONG_PTR>(c->background);
    case GCLP_HCURSOR:
        return reinterpret_cast<ULONG_PTR>(c->cursor);
    case GCLP_HICON:
        return reinterpret_cast<ULONG_PTR>(c->icon);
    case GCLP_HICONSM:
        return reinterpret_cast<ULONG_PTR>(c->iconSmall);
    case GCLP_WNDPROC:
        return reinterpret_cast<ULONG_PTR>(c->proc);
    case GCW_ATOM:
        return c->atom;
    default:
        if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + sizeof(ULONG_PTR) <= c->extra.size()) {
            ULONG_PTR v;
            std::memcpy(&v, c->extra.data() + nIndex, sizeof v);
            return v;
        }
        return 0;
    }
}

ULONG_PTR WINAPI GetClassLongPtrW(HWND hWnd, int nIndex)
{
    return GetClassLongPtrA(hWnd, nIndex);
}

// Metrics of Windows 10 at 96 DPI (frames as AdjustWindowRectEx uses them); the screen is the
// display's when one is shown, else 1920 x 1080.
int WINAPI GetSystemMetrics(int nIndex)
{
    // The sizing frame AdjustWindowRectEx adds (outer edge, sizing border, inner border) is
    // Windows 10's SM_CXFRAME of 4 plus SM_CXPADDEDBORDER of 4.
    const int paddedBorder = 4;
    const int frame = 2 + kBorderWidth + 1 - paddedBorder;
    switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXMAXIMIZED:
    case SM_CXMAXTRACK:
        return kScreenWidth;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_CYMAXIMIZED:
    case SM_CYMAXTRACK:
        return kScreenHeight;
    case SM_CYFULLSCREEN:
        return kScreenHeight - (kCaptionHeight + 1);
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return kScrollBar;
    case SM_CYCAPTION:
    case SM_CYSMCAPTION:
        return kCaptionHeight + 1;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return frame;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return kEdge;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYMENU:
        return kMenuHeight + 1;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return kCaptionHeight;
    case SM_CXMIN:
    case SM_CXMINTRACK:
        return 136;
    case SM_CYMIN:
    case SM_CYMINTRACK:
        return 39;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_MOUSEPRESENT:
    case SM_CMONITORS:
        return 1;
    case SM_CMOUSEBUTTONS:
        return 3;
    case SM_CXPADDEDBORDER:
        return paddedBorder;
    default:
        return 0;
    }
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    if (hInstance)
        return lpCursorName ? static_cast<HCURSOR>(LoadIconOrCursorResource(hInstance, ResourceKeyOf(lpCursorName), false, 0,
                                                                          0, LR_DEFAULTSIZE | LR_SHARED))
                          : nullptr;
    return static_cast<HCURSOR>(
        Stock(&Registry::stockCursors, hInstance, lpCursorName, kCursorIds, sizeof kCursorIds / sizeof kCursorIds[0]));
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName)
{
    if (hInstance)
        return lpCursorName ? static_cast<HCURSOR>(LoadIconOrCursorResource(hInstance, ResourceKeyOf(lpCursorName), false, 0,
                                                                          0, LR_DEFAULTSIZE | LR_SHARED))
                          : nullptr;
    return static_cast<HCURSOR>(
        Stock(&Registry::stockCursors, hInstance, lpCursorName, kCursorIds, sizeof kCursorIds / sizeof kCursorIds[0]));
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName)
{
    if (hInstance)
        return lpIconName ? static_cast<HICON>(LoadIconOrCursorResource(hInstance, ResourceKeyOf(lpIconName), true, 0,
                                                                          0, LR_DEFAULTSIZE | LR_SHARED))
                          : nullptr;
    return static_cast<HICON>(
        Stock(&Registry::stockIcons, hInstance, lpIconName, kIconIds, sizeof kIconIds / sizeof kIconIds[0]));
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName)
{
    if (hInstance)
        return lpIconName ? static_cast<HICON>(LoadIconOrCursorResource(hInstance, ResourceKeyOf(lpIconName), true, 0,
                                                                          0, LR_DEFAULTSIZE | LR_SHARED))
                          : nullptr;
    return static_cast<HICON>(
        Stock(&Registry::stockIcons, hInstance, lpIconName, kIconIds, sizeof kIconIds / sizeof kIconIds[0]));
}

// The cursor shown over the program's windows; returns the one before. Only the system's
// cursors, cursors and icons made here, or null (to hide it) are taken.
HCURSOR WINAPI SetCursor(HCURSOR hCursor)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    const HCURSOR previous = reg.cursor;
    if (hCursor) {
        const auto key = Key(hCursor);
        const bool known = IsIconLocked(HICON(hCursor)) ||
                           std::any_of(reg.stockCursors.begin(), reg.stockCursors.end(),
                                       [&](const auto& e) { return e.second == key; });
        if (!known)
            return previous;
    }
    reg.cursor = hCursor;
    if (hCursor != previous)
        ShowCursorLocked(hCursor);
    return previous;
}

HCURSOR WINAPI GetCursor(void)
{
    Registry& reg = TheRegistry();
    std::lock_guard<std::mutex> lock(reg.mutex);
    return reg.cursor;
}

} // extern "C"
