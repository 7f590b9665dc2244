// LoadString and the accelerator tables, over the program's resources.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "gdi_registry.h"
#include "resource_registry.h"

namespace {

// The 16-string block holding `id`: each string a 16-bit length and that many UTF-16 units.
bool FindString(HINSTANCE instance, UINT id, const std::uint8_t** units, std::size_t* length)
{
    const void* data = nullptr;
    DWORD size = 0;
    moxplat::ResourceKey type, block;
    type.id = 6; // RT_STRING
    block.id = WORD((id >> 4) + 1);
    if ((id >> 4) + 1 > 0xFFFF || !moxplat::FindResourceData(instance, type, block, &data, &size))
        return false;
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::size_t at = 0;
    for (UINT i = 0; i < 16; ++i) {
        if (at + 2 > size)
            return false;
        const std::size_t n = std::size_t(p[at] | p[at + 1] << 8);
        if (at + 2 + 2 * n > size)
            return false;
        if (i == (id & 15)) {
            *units = p + at + 2;
            *length = n;
            return n > 0; // an empty slot is a string that does not exist
        }
        at += 2 + 2 * n;
    }
    return false;
}

std::wstring Decode(const std::uint8_t* units, std::size_t n)
{
    std::wstring out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t c = std::uint32_t(units[2 * i] | units[2 * i + 1] << 8);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n) {
            const std::uint32_t lo = std::uint32_t(units[2 * i + 2] | units[2 * i + 3] << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        out += wchar_t(c);
    }
    return out;
}

// Strings handed out as read-only pointers (LoadStringW with no buffer): wchar_t is 32 bits here
// while resources hold UTF-16, so each string is decoded once and kept for the process's life.
const std::wstring& KeptString(const std::uint8_t* units, std::size_t n)
{
    static std::mutex mutex;
    static std::map<const std::uint8_t*, std::wstring> kept;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = kept.find(units);
    if (it == kept.end())
        it = kept.emplace(units, Decode(units, n)).first;
    return it->second;
}

struct AcceleratorTables {
    std::mutex mutex;
    std::map<std::uintptr_t, std::vector<ACCEL>> tables;
    std::map<const void*, HACCEL> loaded; // one table per resource, as Windows loads it once
};
AcceleratorTables& Accelerators()
{
    static AcceleratorTables a;
    return a;
}

HACCEL NewTable(std::vector<ACCEL> entries)
{
    std::uintptr_t key;
    {
        auto& reg = moxplat::TheRegistry();
        std::lock_guard<std::mutex> lock(reg.mutex);
        key = reg.NewHandle();
    }
    Accelerators().tables.emplace(key, std::move(entries));
    return moxplat::HandleOf<HACCEL>(key);
}

HACCEL LoadTable(HINSTANCE instance, const moxplat::ResourceKey& name)
{
    moxplat::ResourceKey type;
    type.id = 9; // RT_ACCELERATOR
    const void* data = nullptr;
    DWORD size = 0;
    if (!moxplat::FindResourceData(instance, type, name, &data, &size) || size < 8)
        return nullptr;
    auto& acc = Accelerators();
    std::lock_guard<std::mutex> lock(acc.mutex);
    auto found = acc.loaded.find(data);
    if (found != acc.loaded.end())
        return found->second;
    // Entries of 8 bytes: flags, key, command, padding; 0x80 in the flags marks the last.
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::vector<ACCEL> entries;
    for (DWORD at = 0; at + 8 <= size; at += 8) {
        ACCEL a;
        a.fVirt = BYTE(p[at] & 0x7F);
        a.key = WORD(p[at + 2] | p[at + 3] << 8);
        a.cmd = WORD(p[at + 4] | p[at + 5] << 8);
        entries.push_back(a);
        if (p[at] & 0x80)
            break;
    }
    HACCEL h = NewTable(std::move(entries));
    acc.loaded.emplace(data, h);
    return h;
}

HACCEL CreateTable(const ACCEL* accel, int count)
{
    if (!accel || count <= 0)
        return nullptr;
    std::vector<ACCEL> entries(accel, accel + count);
    for (auto& a : entries)
        a.fVirt &= 0x7F;
    auto& acc = Accelerators();
    std::lock_guard<std::mutex> lock(acc.mutex);
    return NewTable(std::move(entries));
}

int CopyTable(HACCEL h, ACCEL* out, int count)
{
    auto& acc = Accelerators();
    std::lock_guard<std::mutex> lock(acc.mutex);
    auto it = acc.tables.find(moxplat::Key(h));
    if (it == acc.tables.end())
        return 0;
    const int total = int(it->second.size());
    if (!out)
        return total;
    const int n = std::min(std::max(count, 0), total);
    std::copy(it->second.begin(), it->second.begin() + n, out);
    return n;
}

bool Down(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

int Translate(HWND hwnd, HACCEL h, const MSG* msg)
{
    if (!msg || !hwnd)
        return 0;
    const UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_CHAR && m != WM_SYSCHAR)
        return 0;
    std::vector<ACCEL> entries;
    {
        auto& acc = Accelerators();
        std::lock_guard<std::mutex> lock(acc.mutex);
        auto it = acc.tables.find(moxplat::Key(h));
        if (it == acc.tables.end())
            return 0;
        entries = it->second;
    }
    const bool keyDown = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
    const bool altDown = (msg->lParam & 0x20000000) != 0 || Down(VK_MENU);
    BYTE modifiers = 0;
    if (Down(VK_SHIFT))
        modifiers |= FSHIFT;
    if (Down(VK_CONTROL))
        modifiers |= FCONTROL;
    if (altDown)
        modifiers |= FALT;
    for (const ACCEL& a : entries) {
        bool match;
        if (a.fVirt & FVIRTKEY) {
            // A virtual key with exactly the shift states the entry names.
            match = keyDown && a.key == WORD(msg->wParam) && (a.fVirt & (FSHIFT | FCONTROL | FALT)) == modifiers;
        } else {
            // A character; ALT is the only shift state such an entry may ask for.
            match = !keyDown && a.key == WORD(msg->wParam) && ((a.fVirt & FALT) != 0) == (m == WM_SYSCHAR);
        }
        if (match) {
            SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
            return 1;
        }
    }
    return 0;
}

} // namespace

extern "C" {

int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax < 0)
        return 0;
    const std::uint8_t* units = nullptr;
    std::size_t n = 0;
    const bool found = FindString(hInstance, uID, &units, &n);
    if (cchBufferMax == 0) {
        if (!found)
            return 0;
        const std::wstring& s = KeptString(units, n);
        *reinterpret_cast<const wchar_t**>(lpBuffer) = s.c_str();
        return int(s.size());
    }
    if (!found) {
        lpBuffer[0] = L'\0';
        return 0;
    }
    const std::wstring s = Decode(units, n);
    const std::size_t copied = std::min(s.size(), std::size_t(cchBufferMax - 1));
    std::copy(s.begin(), s.begin() + copied, lpBuffer);
    lpBuffer[copied] = L'\0';
    return int(copied);
}

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (!lpBuffer || cchBufferMax <= 0)
        return 0;
    const std::uint8_t* units = nullptr;
    std::size_t n = 0;
    if (!FindString(hInstance, uID, &units, &n)) {
        lpBuffer[0] = '\0';
        return 0;
    }
    // To the ANSI code page (UTF-8 here), cut at a whole character that fits.
    std::string out;
    for (wchar_t wc : Decode(units, n)) {
        const std::uint32_t c = std::uint32_t(wc);
        char b[4];
        int len;
        if (c < 0x80) {
            b[0] = char(c);
            len = 1;
        } else if (c < 0x800) {
            b[0] = char(0xC0 | (c >> 6));
            b[1] = char(0x80 | (c & 0x3F));
            len = 2;
        } else if (c < 0x10000) {
            b[0] = char(0xE0 | (c >> 12));
            b[1] = char(0x80 | ((c >> 6) & 0x3F));
            b[2] = char(0x80 | (c & 0x3F));
            len = 3;
        } else {
            b[0] = char(0xF0 | (c >> 18));
            b[1] = char(0x80 | ((c >> 12) & 0x3F));
            b[2] = char(0x80 | ((c >> 6) & 0x3F));
            b[3] = char(0x80 | (c & 0x3F));
            len = 4;
        }
        if (out.size() + std::size_t(len) > std::size_t(cchBufferMax - 1))
            break;
        out.append(b, std::size_t(len));
    }
    std::memcpy(lpBuffer, out.data(), out.size());
    lpBuffer[out.size()] = '\0';
    return int(out.size());
}

HACCEL WINAPI LoadAcceleratorsW(HINSTANCE hInstance, LPCWSTR lpTableName)
{
    return lpTableName ? LoadTable(hInstance, moxplat::ResourceKeyOf(lpTableName)) : nullptr;
}

HACCEL WINAPI LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName)
{
    return lpTableName ? LoadTable(hInstance, moxplat::ResourceKeyOf(lpTableName)) : nullptr;
}

HACCEL WINAPI CreateAcceleratorTableW(LPACCEL paccel, int cAccel)
{
    return CreateTable(paccel, cAccel);
}

HACCEL WINAPI CreateAcceleratorTableA(LPACCEL paccel, int cAccel)
{
    return CreateTable(paccel, cAccel);
}

int WINAPI CopyAcceleratorTableW(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries)
{
    return CopyTable(hAccelSrc, lpAccelDst, cAccelEntries);
}

int WINAPI CopyAcceleratorTableA(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries)
{
    return CopyTable(hAccelSrc, lpAccelDst, cAccelEntries);
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL hAccel)
{
    auto& acc = Accelerators();
    std::lock_guard<std::mutex> lock(acc.mutex);
    auto it = acc.tables.find(moxplat::Key(hAccel));
    if (it == acc.tables.end())
        return FALSE;
    // A table loaded from resources stays: the next LoadAccelerators hands out the same one.
    for (const auto& [data, h] : acc.loaded)
        if (h == hAccel)
            return TRUE;
    acc.tables.erase(it);
    return TRUE;
}

int WINAPI TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    return Translate(hWnd, hAccTable, lpMsg);
}

int WINAPI TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    return Translate(hWnd, hAccTable, lpMsg);
}

} // extern "C"
