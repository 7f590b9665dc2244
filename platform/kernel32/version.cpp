// GetFileVersionInfo and VerQueryValue over a module's VERSIONINFO resource, which moximage2-rc
// keeps as Windows' resource compiler writes it: a tree of nodes, each (length, value length,
// type, UTF-16 key, value, children) aligned to four bytes.
//
// A file is known by the module loaded from it: the program itself (by its path or its name) or
// a library it loaded. The buffer holds the resource as Windows' does, then room where the A
// form's strings are converted to UTF-8 and the buffer's own size, so that VerQueryValueA never
// writes past what GetFileVersionInfoA was given.
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "resource_registry.h"
#include "text_convert.h"
#include "windows_path.h"

namespace {

constexpr std::uint32_t kMarker = 0x41584F4D; // "MOXA": the buffer was filled here

std::uint32_t Le16(const std::uint8_t* p)
{
    return std::uint32_t(p[0] | p[1] << 8);
}

std::size_t Align4(std::size_t n)
{
    return (n + 3) & ~std::size_t{3};
}

// The module whose file this is, or null.
HMODULE ModuleOfFile(const std::string& name)
{
    HMODULE module = GetModuleHandleA(name.c_str());
    if (!module || module != GetModuleHandleA(nullptr) ||
        (name.find('/') == std::string::npos && name.find('\\') == std::string::npos))
        return module;
    // A path names the program only when it leads to the program's own file.
    char self[4096];
    const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    struct stat a, b;
    if (n == 0 || n >= sizeof self || stat(self, &a) != 0 ||
        stat(moxplat::ResolveWindowsPath(name.c_str()).c_str(), &b) != 0 || a.st_dev != b.st_dev ||
        a.st_ino != b.st_ino)
        return nullptr;
    return module;
}

bool VersionResource(const std::string& name, const std::uint8_t** data, DWORD* size)
{
    HMODULE module = name.empty() ? nullptr : ModuleOfFile(name);
    if (!module) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    moxplat::ResourceKey type, id;
    type.id = 16; // RT_VERSION
    id.id = 1;    // VS_VERSION_INFO
    const void* p = nullptr;
    if (!moxplat::FindResourceData(module, type, id, &p, size) || *size < 6 ||
        Le16(static_cast<const std::uint8_t*>(p)) > *size) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return false;
    }
    *data = static_cast<const std::uint8_t*>(p);
    return true;
}

// The resource, the buffer's own size, then twice the resource's size for UTF-8 text: each
// UTF-16 unit (two bytes) becomes at most three bytes, and the A form puts a value's text at
// twice the value's offset.
DWORD BufferSize(DWORD resource)
{
    return DWORD(Align4(resource) + 8 + 2 * std::size_t(resource));
}

DWORD SizeOf(const std::string& name, LPDWORD handle)
{
    if (handle)
        *handle = 0;
    const std::uint8_t* data = nullptr;
    DWORD size = 0;
    return VersionResource(name, &data, &size) ? BufferSize(Le16(data)) : 0;
}

BOOL Fill(const std::string& name, DWORD dwLen, LPVOID lpData)
{
    const std::uint8_t* data = nullptr;
    DWORD size = 0;
    if (!lpData || !VersionResource(name, &data, &size))
        return FALSE;
    const DWORD length = Le16(data);
    // Windows copies what fits (MSDN GetFileVersionInfo: "If the buffer is not large enough,
    // the data is truncated").
    std::memcpy(lpData, data, std::min<DWORD>(length, dwLen));
    if (dwLen >= Align4(length) + 8) {
        auto* tail = static_cast<std::uint8_t*>(lpData) + Align4(length);
        std::memcpy(tail, &kMarker, 4);
        std::memcpy(tail + 4, &dwLen, 4);
    }
    return TRUE;
}

struct Node {
    std::size_t at = 0, end = 0; // the node's bytes within the block
    std::u16string key;
    std::size_t value = 0, valueBytes = 0, children = 0;
    bool text = false;
};

bool ReadNode(const std::uint8_t* block, std::size_t at, std::size_t limit, Node* out)
{
    if (at + 6 > limit)
        return false;
    const std::size_t length = Le16(block + at);
    if (length < 6 || at + length > limit)
        return false;
    out->at = at;
    out->end = at + length;
    const std::size_t valueLength = Le16(block + at + 2);
    out->text = Le16(block + at + 4) == 1;
    out->key.clear();
    std::size_t p = at + 6;
    for (; p + 2 <= out->end && Le16(block + p) != 0; p += 2)
        out->key += char16_t(Le16(block + p));
    if (p + 2 > out->end)
        return false;
    out->value = Align4(p + 2);
    out->valueBytes = out->text ? 2 * valueLength : valueLength;
    if (out->value + out->valueBytes > out->end)
        out->valueBytes = out->value > out->end ? 0 : out->end - out->value;
    out->children = Align4(out->value + out->valueBytes);
    return true;
}

char16_t Fold(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
}

// Keys compare without regard to case, as VerQueryValue's do.
bool SameKey(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

// Follows a path of backslash-separated keys from the root; the node reached.
bool Walk(const std::uint8_t* block, const std::u16string& path, Node* out)
{
    if (!block || !ReadNode(block, 0, Le16(block), out))
        return false;
    std::size_t pos = 0;
    while (pos < path.size()) {
        while (pos < path.size() && path[pos] == u'\\')
            ++pos;
        if (pos == path.size())
            break;
        const std::size_t next = path.find(u'\\', pos);
        const std::u16string key = path.substr(pos, next == std::u16string::npos ? std::u16string::npos : next - pos);
        pos = next == std::u16string::npos ? path.size() : next;
        Node child;
        bool found = false;
        for (std::size_t at = out->children; at < out->end && ReadNode(block, at, out->end, &child);
             at = Align4(child.end)) {
            if (SameKey(child.key, key)) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
        *out = child;
    }
    return true;
}

std::u16string Utf16Of(const std::wstring& w)
{
    std::u16string out;
    for (wchar_t c : w) {
        const auto u = std::uint32_t(c);
        if (u >= 0x10000) {
            out += char16_t(0xD800 + ((u - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            out += char16_t(u);
        }
    }
    return out;
}

} // namespace

extern "C" {

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle)
{
    return SizeOf(lptstrFilename ? lptstrFilename : "", lpdwHandle);
}

DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, LPDWORD lpdwHandle)
{
    return SizeOf(moxplat::ToUtf8(lptstrFilename), lpdwHandle);
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData)
{
    return Fill(lptstrFilename ? lptstrFilename : "", dwLen, lpData);
}

BOOL WINAPI GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD, DWORD dwLen, LPVOID lpData)
{
    return Fill(moxplat::ToUtf8(lptstrFilename), dwLen, lpData);
}

BOOL WINAPI VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen)
{
    const auto* block = static_cast<const std::uint8_t*>(pBlock);
    Node node;
    if (!lpSubBlock || !lplpBuffer || !Walk(block, Utf16Of(lpSubBlock), &node))
        return FALSE;
    // Windows: a string's length in characters, anything else's in bytes (MSDN VerQueryValue).
    const std::size_t units = node.valueBytes / 2;
    if (!node.text) {
        *lplpBuffer = const_cast<std::uint8_t*>(block + node.value);
        if (puLen)
            *puLen = UINT(node.valueBytes);
        return node.valueBytes != 0;
    }
    // Text is UTF-16 in the resource; the W form here takes wchar_t, so it is widened into the
    // room after the resource, at twice the value's offset.
    const std::size_t length = Le16(block);
    std::uint32_t marker = 0, size = 0;
    std::memcpy(&marker, block + Align4(length), 4);
    std::memcpy(&size, block + Align4(length) + 4, 4);
    const std::size_t at = Align4(length) + 8 + 2 * node.value;
    if (marker != kMarker || at + (units + 1) * sizeof(wchar_t) > size)
        return FALSE;
    std::wstring wide;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t c = Le16(block + node.value + 2 * i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            const std::uint32_t d = Le16(block + node.value + 2 * (i + 1));
            if (d >= 0xDC00 && d < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
                ++i;
            }
        }
        if (c == 0)
            break;
        wide += wchar_t(c);
    }
    // Wide characters take four bytes here against the resource's two: the slot at twice the
    // offset is as large as the value's own bytes doubled.
    auto* out = reinterpret_cast<wchar_t*>(const_cast<std::uint8_t*>(block) + at);
    std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    *lplpBuffer = out;
    if (puLen)
        *puLen = UINT(wide.size() + 1);
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, PUINT puLen)
{
    if (!lpSubBlock)
        return FALSE;
    const std::wstring path = moxplat::ToWide(lpSubBlock);
    const auto* block = static_cast<const std::uint8_t*>(pBlock);
    Node node;
    if (!lplpBuffer || !Walk(block, Utf16Of(path), &node))
        return FALSE;
    if (!node.text)
        return VerQueryValueW(pBlock, path.c_str(), lplpBuffer, puLen);
    LPVOID wide = nullptr;
    UINT units = 0;
    if (!VerQueryValueW(pBlock, path.c_str(), &wide, &units))
        return FALSE;
    // UTF-8 replaces the widened text in place: never longer than the wchar_t form.
    const std::string narrow = moxplat::ToUtf8(static_cast<const wchar_t*>(wide));
    std::memcpy(wide, narrow.c_str(), narrow.size() + 1);
    *lplpBuffer = wide;
    if (puLen)
        *puLen = UINT(narrow.size() + 1);
    return TRUE;
}

} // extern "C"
