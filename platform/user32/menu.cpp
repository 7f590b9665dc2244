// Menus as objects: building them (CreateMenu, AppendMenu, InsertMenu, ModifyMenu), loading them
// from MENU and MENUEX templates, and the item states programs read and change.

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "diagnostics.h"
#include "gdi_registry.h"
#include "user_internal.h"

namespace {

struct MenuItem {
    UINT flags = 0; // MF_ type and state bits
    UINT_PTR id = 0;
    HMENU popup = nullptr;
    std::wstring text;
    ULONG_PTR data = 0; // the program's own value (MENUITEMINFO dwItemData)
};

struct Menu {
    bool popup = false;
    std::vector<MenuItem> items;
};

// A menu holds at most this many items, and nesting stops at this depth.
constexpr std::size_t kMaxItems = 1u << 16;
constexpr int kMaxDepth = 64;

std::recursive_mutex g_mutex;
std::unordered_map<HMENU, Menu> g_menus;
std::unordered_map<HWND, HMENU> g_systemMenus; // each window's own copy, made when first asked for

HMENU NewMenu(bool popup)
{
    moxplat::Registry& reg = moxplat::TheRegistry();
    std::uintptr_t key;
    {
        std::lock_guard<std::mutex> lock(reg.mutex);
        key = reg.NewHandle();
    }
    HMENU h = reinterpret_cast<HMENU>(key);
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    g_menus[h].popup = popup;
    return h;
}

Menu* Find(HMENU h)
{
    const auto it = g_menus.find(h);
    return it == g_menus.end() ? nullptr : &it->second;
}

// The item a position or a command names (a command is looked for in submenus too).
MenuItem* Locate(HMENU h, UINT which, UINT flags, HMENU* owner = nullptr, std::size_t* index = nullptr,
                 int depth = 0)
{
    Menu* m = Find(h);
    if (!m || depth > kMaxDepth)
        return nullptr;
    if (flags & MF_BYPOSITION) {
        if (which >= m->items.size())
            return nullptr;
        if (owner)
            *owner = h;
        if (index)
            *index = which;
        return &m->items[which];
    }
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        if (!(it.flags & MF_POPUP) && it.id == which) {
            if (owner)
                *owner = h;
            if (index)
                *index = i;
            return &it;
        }
        if (it.flags & MF_POPUP)
            if (MenuItem* found = Locate(it.popup, which, flags, owner, index, depth + 1))
                return found;
    }
    return nullptr;
}

void DestroyLocked(HMENU h, int depth = 0)
{
    Menu* m = Find(h);
    if (!m || depth > kMaxDepth)
        return;
    std::vector<HMENU> children;
    for (const MenuItem& it : m->items)
        if (it.flags & MF_POPUP)
            children.push_back(it.popup);
    g_menus.erase(h);
    for (HMENU c : children)
        DestroyLocked(c, depth + 1);
}

constexpr UINT kTypeAndState = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP | MF_MENUBARBREAK |
                               MF_MENUBREAK | MF_BITMAP | MF_OWNERDRAW | MF_DEFAULT | MF_RIGHTJUSTIFY | MF_HILITE |
                               MFT_RADIOCHECK;

bool MakeItem(UINT flags, UINT_PTR id, const wchar_t* text, MenuItem* out)
{
    out->flags = flags & kTypeAndState & ~static_cast<UINT>(MF_BYPOSITION);
    if (flags & MF_POPUP) {
        out->popup = reinterpret_cast<HMENU>(id);
        if (!Find(out->popup))
            return false;
        out->id = id;
    } else {
        out->id = id;
    }
    if (!(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && text)
        out->text = text;
    return true;
}

BOOL Insert(HMENU h, UINT position, UINT flags, UINT_PTR id, const wchar_t* text, bool append)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem item;
    if (!MakeItem(flags, id, text, &item))
        return FALSE;
    HMENU target = h;
    std::size_t at = 0;
    if (append || ((flags & MF_BYPOSITION) && position == static_cast<UINT>(-1))) {
        Menu* m = Find(h);
        if (!m)
            return FALSE;
        at = m->items.size();
    } else if (flags & MF_BYPOSITION) {
        Menu* m = Find(h);
        if (!m)
            return FALSE;
        at = std::min<std::size_t>(position, m->items.size());
    } else if (!Locate(h, position, flags, &target, &at)) {
        // By command and not there: appended, as Windows does.
        Menu* m = Find(h);
        if (!m)
            return FALSE;
        target = h;
        at = m->items.size();
    }
    Menu* m = Find(target);
    if (!m || m->items.size() >= kMaxItems)
        return FALSE;
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return TRUE;
}

BOOL Modify(HMENU h, UINT position, UINT flags, UINT_PTR id, const wchar_t* text)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = Locate(h, position, flags);
    if (!it)
        return FALSE;
    MenuItem item;
    if (!MakeItem(flags, id, text, &item))
        return FALSE;
    *it = std::move(item);
    return TRUE;
}

BOOL Remove(HMENU h, UINT position, UINT flags, bool destroy)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    HMENU owner = nullptr;
    std::size_t index = 0;
    MenuItem* it = Locate(h, position, flags, &owner, &index);
    if (!it)
        return FALSE;
    const HMENU popup = (it->flags & MF_POPUP) ? it->popup : nullptr;
    Menu* m = Find(owner);
    m->items.erase(m->items.begin() + static_cast<std::ptrdiff_t>(index));
    if (destroy && popup)
        DestroyLocked(popup);
    return TRUE;
}

// --- Templates.

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
    std::wstring String()
    {
        std::wstring out;
        while (ok_) {
            const WORD c = Word();
            if (!c)
                break;
            out.push_back(static_cast<wchar_t>(c));
        }
        return out;
    }
    void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }
    void Skip(std::size_t n) { pos_ += n; }

private:
    const BYTE* base_;
    std::size_t limit_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

bool ParseItems(Reader& r, HMENU menu, bool extended, int depth)
{
    if (depth > kMaxDepth)
        return false;
    for (std::size_t n = 0; r.ok() && n < kMaxItems; ++n) {
        UINT flags = 0;
        UINT_PTR id = 0;
        std::wstring text;
        bool last = false, popup = false;
        if (extended) {
            r.AlignDword();
            const DWORD type = r.Dword();
            const DWORD state = r.Dword();
            id = r.Dword();
            const WORD info = r.Word();
            text = r.String();
            last = (info & 0x80) != 0;
            popup = (info & 0x01) != 0;
            flags = (type & kTypeAndState) | (state & kTypeAndState);
            if (popup) {
                r.AlignDword();
                r.Dword(); // help id
            }
        } else {
            const WORD f = r.Word();
            last = (f & MF_END) != 0;
            popup = (f & MF_POPUP) != 0;
            flags = f & kTypeAndState;
            if (!popup)
                id = r.Word();
            text = r.String();
            // MENUITEM SEPARATOR: an empty item that cannot be chosen, so it reads as grayed too.
            if (!popup && id == 0 && text.empty() && !(f & ~MF_END))
                flags |= MF_SEPARATOR | MF_GRAYED;
        }
        if (!r.ok())
            return false;
        if (popup) {
            HMENU sub = NewMenu(true);
            if (!ParseItems(r, sub, extended, depth + 1)) {
                DestroyMenu(sub);
                return false;
            }
            Insert(menu, 0, (flags | MF_POPUP) & ~static_cast<UINT>(MF_END), reinterpret_cast<UINT_PTR>(sub),
                   text.c_str(), true);
        } else {
            Insert(menu, 0, flags & ~static_cast<UINT>(MF_END | MF_POPUP), id, text.c_str(), true);
        }
        if (last)
            return true;
    }
    return false;
}

HMENU FromTemplate(const void* data, std::size_t size)
{
    if (!data)
        return nullptr;
    Reader r(static_cast<const BYTE*>(data), size);
    const WORD version = r.Word();
    const WORD offset = r.Word();
    if (version > 1)
        return nullptr;
    // MENU: version 0, items follow the header; MENUEX: version 1, a help id then the items.
    if (offset)
        r.Skip(offset);
    if (version == 1)
        r.Dword();
    HMENU menu = NewMenu(false);
    if (!ParseItems(r, menu, version == 1, 0)) {
        DestroyMenu(menu);
        moxplat::Diagnose("LoadMenu: the menu template is damaged");
        return nullptr;
    }
    return menu;
}

HMENU FromResource(HINSTANCE instance, const void* name, bool wide)
{
    HRSRC res = wide ? FindResourceW(instance, static_cast<LPCWSTR>(name), MAKEINTRESOURCEW(4))
                     : FindResourceA(instance, static_cast<LPCSTR>(name), MAKEINTRESOURCEA(4));
    if (!res)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return FromTemplate(data, SizeofResource(instance, res));
}

} // namespace

extern "C" {

HMENU WINAPI CreateMenu(void)
{
    return NewMenu(false);
}

HMENU WINAPI CreatePopupMenu(void)
{
    return NewMenu(true);
}

BOOL WINAPI DestroyMenu(HMENU hMenu)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    if (!Find(hMenu))
        return FALSE;
    DestroyLocked(hMenu);
    return TRUE;
}

BOOL WINAPI IsMenu(HMENU hMenu)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    return Find(hMenu) != nullptr;
}

HMENU WINAPI LoadMenuIndirectW(const void* lpMenuTemplate)
{
    return FromTemplate(lpMenuTemplate, std::size_t{1} << 24);
}

HMENU WINAPI LoadMenuIndirectA(const void* lpMenuTemplate)
{
    return LoadMenuIndirectW(lpMenuTemplate);
}

HMENU WINAPI LoadMenuW(HINSTANCE hInstance, LPCWSTR lpMenuName)
{
    return FromResource(hInstance, lpMenuName, true);
}

HMENU WINAPI LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName)
{
    return FromResource(hInstance, lpMenuName, false);
}

BOOL WINAPI AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem)
{
    return Insert(hMenu, 0, uFlags, uIDNewItem, lpNewItem, true);
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    const bool text = lpNewItem && !(uFlags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW));
    const std::wstring wide = text ? moxplat::WideFromUtf8(lpNewItem) : std::wstring();
    return AppendMenuW(hMenu, uFlags, uIDNewItem, text ? wide.c_str() : nullptr);
}

BOOL WINAPI InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem)
{
    return Insert(hMenu, uPosition, uFlags, uIDNewItem, lpNewItem, false);
}

BOOL WINAPI InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    const bool text = lpNewItem && !(uFlags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW));
    const std::wstring wide = text ? moxplat::WideFromUtf8(lpNewItem) : std::wstring();
    return InsertMenuW(hMenu, uPosition, uFlags, uIDNewItem, text ? wide.c_str() : nullptr);
}

BOOL WINAPI ModifyMenuW(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem)
{
    return Modify(hMnu, uPosition, uFlags, uIDNewItem, lpNewItem);
}

BOOL WINAPI ModifyMenuA(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    const bool text = lpNewItem && !(uFlags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW));
    const std::wstring wide = text ? moxplat::WideFromUtf8(lpNewItem) : std::wstring();
    return ModifyMenuW(hMnu, uPosition, uFlags, uIDNewItem, text ? wide.c_str() : nullptr);
}

BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    return Remove(hMenu, uPosition, uFlags, true);
}

BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    return Remove(hMenu, uPosition, uFlags, false);
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = nPos < 0 ? nullptr : Locate(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    return it && (it->flags & MF_POPUP) ? it->popup : nullptr;
}

int WINAPI GetMenuItemCount(HMENU hMenu)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    Menu* m = Find(hMenu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = nPos < 0 ? nullptr : Locate(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    // A submenu, or no such item: -1 (Microsoft's GetMenuItemID).
    if (!it || (it->flags & MF_POPUP))
        return static_cast<UINT>(-1);
    return static_cast<UINT>(it->id);
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = Locate(hMenu, uId, uFlags);
    if (!it)
        return static_cast<UINT>(-1);
    // A submenu's item count is in the high byte (Microsoft's GetMenuState).
    if (it->flags & MF_POPUP) {
        Menu* sub = Find(it->popup);
        const UINT count = sub ? static_cast<UINT>(std::min<std::size_t>(sub->items.size(), 255)) : 0;
        return (count << 8) | (it->flags & 0xFF);
    }
    return it->flags;
}

int WINAPI GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = Locate(hMenu, uIDItem, flags);
    if (!it) {
        if (lpString && cchMax > 0)
            lpString[0] = L'\0';
        return 0;
    }
    if (!lpString || cchMax <= 0)
        return static_cast<int>(it->text.size());
    const std::size_t n = std::min(it->text.size(), static_cast<std::size_t>(cchMax - 1));
    std::copy(it->text.begin(), it->text.begin() + static_cast<std::ptrdiff_t>(n), lpString);
    lpString[n] = L'\0';
    return static_cast<int>(n);
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    std::wstring text;
    {
        std::lock_guard<std::recursive_mutex> lock(g_mutex);
        MenuItem* it = Locate(hMenu, uIDItem, flags);
        if (!it) {
            if (lpString && cchMax > 0)
                lpString[0] = '\0';
            return 0;
        }
        text = it->text;
    }
    const std::string narrow = moxplat::Utf8FromWide(text.c_str());
    if (!lpString || cchMax <= 0)
        return static_cast<int>(narrow.size());
    const std::size_t n = std::min(narrow.size(), static_cast<std::size_t>(cchMax - 1));
    std::memcpy(lpString, narrow.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = Locate(hMenu, uIDCheckItem, uCheck);
    // The previous check state, or -1 when there is no such item (Microsoft's CheckMenuItem).
    if (!it)
        return static_cast<DWORD>(-1);
    const DWORD previous = it->flags & MF_CHECKED;
    it->flags = (uCheck & MF_CHECKED) ? (it->flags | MF_CHECKED) : (it->flags & ~static_cast<UINT>(MF_CHECKED));
    return previous;
}

BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    MenuItem* it = Locate(hMenu, uIDEnableItem, uEnable);
    // The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or -1 (Microsoft's EnableMenuItem).
    if (!it)
        return -1;
    const BOOL previous = static_cast<BOOL>(it->flags & (MF_GRAYED | MF_DISABLED));
    it->flags = (it->flags & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

BOOL WINAPI CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    HMENU owner = nullptr;
    std::size_t at = 0;
    if (!Locate(hmenu, first, flags, &owner, &at))
        return FALSE;
    Menu* m = Find(owner);
    bool found = false;
    // The range is within the menu holding `first`, by position or by command.
    for (std::size_t i = 0; i < m->items.size(); ++i) {
        MenuItem& it = m->items[i];
        const UINT key = (flags & MF_BYPOSITION) ? static_cast<UINT>(i) : static_cast<UINT>(it.id);
        if (it.flags & MF_POPUP || key < std::min(first, last) || key > std::max(first, last))
            continue;
        if (key == check) {
            it.flags |= MF_CHECKED | MFT_RADIOCHECK;
            found = true;
        } else {
            it.flags &= ~static_cast<UINT>(MF_CHECKED);
        }
    }
    return found;
}

} // extern "C"

namespace {

HMENU NewSystemMenu()
{
    HMENU m = NewMenu(true);
    struct Entry {
        UINT flags;
        UINT id;
        const wchar_t* text;
    };
    // Windows' own system menu, Close the default (bold) item.
    static const Entry entries[] = {{MF_STRING, SC_RESTORE, L"&Restore"},
                                    {MF_STRING, SC_MOVE, L"&Move"},
                                    {MF_STRING, SC_SIZE, L"&Size"},
                                    {MF_STRING, SC_MINIMIZE, L"Mi&nimize"},
                                    {MF_STRING, SC_MAXIMIZE, L"Ma&ximize"},
                                    {MF_SEPARATOR, 0, nullptr},
                                    {MF_STRING | MF_DEFAULT, SC_CLOSE, L"&Close\tAlt+F4"}};
    for (const Entry& e : entries)
        Insert(m, 0, e.flags, e.id, e.text, true);
    return m;
}

// Copies what the mask names from an item, A or W text.
template <class Info, class Char> BOOL ReadItem(HMENU hmenu, UINT item, BOOL byPosition, Info* info)
{
    if (!info || (info->cbSize != sizeof(Info) && info->cbSize != offsetof(Info, hbmpItem)))
        return FALSE;
    std::wstring text;
    {
        std::lock_guard<std::recursive_mutex> lock(g_mutex);
        MenuItem* it = Locate(hmenu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
        if (!it)
            return FALSE;
        const UINT stateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MF_HILITE;
        if (info->fMask & (MIIM_TYPE | MIIM_FTYPE))
            info->fType = it->flags & ~(stateBits | static_cast<UINT>(MF_POPUP));
        if (info->fMask & MIIM_STATE)
            info->fState = it->flags & stateBits;
        if (info->fMask & MIIM_ID)
            info->wID = static_cast<UINT>(it->id);
        if (info->fMask & MIIM_SUBMENU)
            info->hSubMenu = (it->flags & MF_POPUP) ? it->popup : nullptr;
        if (info->fMask & MIIM_CHECKMARKS)
            info->hbmpChecked = info->hbmpUnchecked = nullptr;
        if (info->fMask & MIIM_DATA)
            info->dwItemData = it->data;
        text = it->text;
        if (!(info->fMask & (MIIM_STRING | MIIM_TYPE)) || (it->flags & MF_SEPARATOR))
            return TRUE;
    }
    std::basic_string<Char> out;
    if constexpr (sizeof(Char) == 1)
        out = moxplat::Utf8FromWide(text.c_str());
    else
        out = text;
    // Without a buffer, cch learns the length; with one, the text is cut to fit (MSDN MENUITEMINFO).
    if (!info->dwTypeData || info->cch == 0) {
        info->cch = static_cast<UINT>(out.size());
        return TRUE;
    }
    const std::size_t n = std::min<std::size_t>(out.size(), info->cch - 1);
    std::copy(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n), info->dwTypeData);
    info->dwTypeData[n] = 0;
    info->cch = static_cast<UINT>(n);
    return TRUE;
}

// Applies what the mask names to an item; `insert` makes a new one first.
template <class Info> BOOL WriteItem(HMENU hmenu, UINT item, BOOL byPosition, const Info* info, bool insert)
{
    if (!info || (info->cbSize != sizeof(Info) && info->cbSize != offsetof(Info, hbmpItem)))
        return FALSE;
    std::wstring text;
    const bool hasText = (info->fMask & (MIIM_STRING | MIIM_TYPE)) && info->dwTypeData &&
                         !((info->fMask & (MIIM_TYPE | MIIM_FTYPE)) && (info->fType & (MF_SEPARATOR | MF_BITMAP)));
    if (hasText) {
        if constexpr (sizeof(*info->dwTypeData) == 1)
            text = moxplat::WideFromUtf8(info->dwTypeData);
        else
            text = info->dwTypeData;
    }
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    if ((info->fMask & MIIM_SUBMENU) && info->hSubMenu && !Find(info->hSubMenu))
        return FALSE;
    MenuItem* it = nullptr;
    if (insert) {
        if (!Insert(hmenu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, 0, L"", false))
            return FALSE;
        // The new item is where the position or command said, or at the end.
        HMENU owner = hmenu;
        std::size_t at = 0;
        Menu* m = Find(hmenu);
        if (byPosition) {
            at = std::min<std::size_t>(item, m->items.size() - 1);
        } else if (Locate(hmenu, item, MF_BYCOMMAND, &owner, &at) && at > 0) {
            --at; // inserted before the item with that command
        } else {
            owner = hmenu;
            at = m->items.size() - 1;
        }
        it = &Find(owner)->items[at];
    } else {
        it = Locate(hmenu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
        if (!it)
            return FALSE;
    }
    const UINT stateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT | MF_HILITE;
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE))
        it->flags = (it->flags & (stateBits | static_cast<UINT>(MF_POPUP))) |
                    (info->fType & kTypeAndState & ~(stateBits | static_cast<UINT>(MF_POPUP)));
    if (info->fMask & MIIM_STATE)
        it->flags = (it->flags & ~stateBits) | (info->fState & stateBits);
    if (info->fMask & MIIM_ID)
        it->id = info->wID;
    if (info->fMask & MIIM_SUBMENU) {
        it->popup = info->hSubMenu;
        it->flags = info->hSubMenu ? (it->flags | MF_POPUP) : (it->flags & ~static_cast<UINT>(MF_POPUP));
    }
    if (info->fMask & MIIM_DATA)
        it->data = info->dwItemData;
    if (hasText)
        it->text = text;
    if (it->flags & MF_SEPARATOR)
        it->text.clear();
    return TRUE;
}

} // namespace

namespace moxplat {

bool MenuEntries(HMENU menu, std::vector<MenuEntry>* out)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    Menu* m = Find(menu);
    if (!m)
        return false;
    out->clear();
    for (const MenuItem& it : m->items)
        out->push_back(MenuEntry{it.flags, it.id, (it.flags & MF_POPUP) ? it.popup : nullptr, it.text});
    return true;
}

bool IsSystemMenuOf(HWND hwnd, HMENU menu)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    const auto it = g_systemMenus.find(hwnd);
    return menu && it != g_systemMenus.end() && it->second == menu;
}

void ForgetWindowMenus(HWND hwnd, HMENU bar)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    // A window's menu and system menu go with it (Microsoft's DestroyMenu documentation).
    if (bar && Find(bar))
        DestroyLocked(bar);
    const auto it = g_systemMenus.find(hwnd);
    if (it != g_systemMenus.end()) {
        DestroyLocked(it->second);
        g_systemMenus.erase(it);
    }
}

} // namespace moxplat

extern "C" {

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert)
{
    if (!IsWindow(hWnd))
        return nullptr;
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    auto it = g_systemMenus.find(hWnd);
    // Reverting drops the window's copy and answers null (Microsoft's GetSystemMenu).
    if (bRevert) {
        if (it != g_systemMenus.end()) {
            DestroyLocked(it->second);
            g_systemMenus.erase(it);
        }
        return nullptr;
    }
    if (it == g_systemMenus.end())
        it = g_systemMenus.emplace(hWnd, NewSystemMenu()).first;
    return it->second;
}

BOOL WINAPI SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    Menu* m = Find(hMenu);
    if (!m)
        return FALSE;
    // -1 takes the default away; otherwise the item must exist in this menu itself.
    std::size_t chosen = m->items.size();
    if (uItem != static_cast<UINT>(-1)) {
        for (std::size_t i = 0; i < m->items.size(); ++i)
            if (fByPos ? i == uItem : (!(m->items[i].flags & MF_POPUP) && m->items[i].id == uItem))
                chosen = i;
        if (chosen == m->items.size())
            return FALSE;
    }
    for (std::size_t i = 0; i < m->items.size(); ++i)
        m->items[i].flags =
            i == chosen ? (m->items[i].flags | MF_DEFAULT) : (m->items[i].flags & ~static_cast<UINT>(MF_DEFAULT));
    return TRUE;
}

UINT WINAPI GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags)
{
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    HMENU at = hMenu;
    for (int depth = 0; depth <= kMaxDepth; ++depth) {
        Menu* m = Find(at);
        if (!m)
            return static_cast<UINT>(-1);
        std::size_t i = 0;
        while (i < m->items.size() && !(m->items[i].flags & MF_DEFAULT))
            ++i;
        if (i == m->items.size())
            return static_cast<UINT>(-1);
        const MenuItem& it = m->items[i];
        // A disabled default counts only when asked for (Microsoft's GetMenuDefaultItem).
        if ((it.flags & (MF_GRAYED | MF_DISABLED)) && !(gmdiFlags & GMDI_USEDISABLED))
            return static_cast<UINT>(-1);
        if ((it.flags & MF_POPUP) && (gmdiFlags & GMDI_GOINTOPOPUPS) && Find(it.popup)) {
            Menu* sub = Find(it.popup);
            const bool subHasDefault = std::any_of(sub->items.begin(), sub->items.end(),
                                                   [](const MenuItem& s) { return (s.flags & MF_DEFAULT) != 0; });
            if (subHasDefault) {
                at = it.popup;
                continue;
            }
        }
        return fByPos ? static_cast<UINT>(i) : static_cast<UINT>(it.id);
    }
    return static_cast<UINT>(-1);
}

BOOL WINAPI GetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOA lpmii)
{
    return ReadItem<MENUITEMINFOA, char>(hmenu, item, fByPosition, lpmii);
}

BOOL WINAPI GetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOW lpmii)
{
    return ReadItem<MENUITEMINFOW, wchar_t>(hmenu, item, fByPosition, lpmii);
}

BOOL WINAPI SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOA lpmii)
{
    return WriteItem(hmenu, item, fByPositon, lpmii, false);
}

BOOL WINAPI SetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOW lpmii)
{
    return WriteItem(hmenu, item, fByPositon, lpmii, false);
}

BOOL WINAPI InsertMenuItemA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmi)
{
    return WriteItem(hmenu, item, fByPosition, lpmi, true);
}

BOOL WINAPI InsertMenuItemW(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOW lpmi)
{
    return WriteItem(hmenu, item, fByPosition, lpmi, true);
}

} // extern "C"
