// FindResource and its companions over the resources moximage2-rc compiled into a program.
//
// A generated source registers its table from a static initializer, keyed by the module it is
// linked into (its load address, which is what a Windows HMODULE is). An HRSRC is the address of
// a registered entry and is checked against the registered tables before use; the HGLOBAL of
// LoadResource is the read-only data itself, as on Windows, where LockResource returns it.
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "diagnostics.h"
#include "resource_registry.h"

namespace {

// The layout of moximage2-rc's table entries.
struct Entry {
    unsigned short typeId;
    const char16_t* typeName;
    unsigned short nameId;
    const char16_t* nameName;
    unsigned short language;
    const unsigned char* data;
    unsigned int size;
};

struct Table {
    std::uintptr_t module;
    const Entry* entries;
    std::size_t count;
};

std::mutex& TablesMutex()
{
    static std::mutex m;
    return m;
}
std::vector<Table>& Tables()
{
    static std::vector<Table> t;
    return t;
}

int LowestLoadAddress(dl_phdr_info* info, std::size_t, void* out)
{
    std::uintptr_t lowest = UINTPTR_MAX;
    for (int i = 0; i < info->dlpi_phnum; ++i)
        if (info->dlpi_phdr[i].p_type == PT_LOAD)
            lowest = std::min<std::uintptr_t>(lowest, info->dlpi_phdr[i].p_vaddr);
    const std::uintptr_t page = 4096;
    *static_cast<std::uintptr_t*>(out) = info->dlpi_addr + (lowest & ~(page - 1));
    return 1; // the first object is the program
}

// The program's own module: where its first loadable segment starts, as dladdr reports it.
std::uintptr_t ProgramModule()
{
    static const std::uintptr_t base = [] {
        std::uintptr_t b = 0;
        dl_iterate_phdr(LowestLoadAddress, &b);
        return b;
    }();
    return base;
}

// The program's handle as GetModuleHandle(NULL) gives it, where the platform has that function.
extern "C" HMODULE GetModuleHandleA(LPCSTR) __attribute__((weak));

std::uintptr_t ModuleOf(HMODULE module)
{
    if (!module || (GetModuleHandleA && module == GetModuleHandleA(nullptr)))
        return ProgramModule();
    return reinterpret_cast<std::uintptr_t>(module);
}

bool Matches(unsigned short id, const char16_t* text, const moxplat::ResourceKey& key)
{
    if (key.isId)
        return !text && id == key.id;
    if (!text)
        return false;
    return std::u16string(text) == key.text;
}

char16_t Upper(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return char16_t(c - 0x20);
    return c;
}

// "#123" names the number 123, as Windows reads it.
moxplat::ResourceKey KeyFromText(std::u16string text)
{
    moxplat::ResourceKey k;
    if (text.size() > 1 && text[0] == u'#') {
        unsigned v = 0;
        bool digits = true;
        for (std::size_t i = 1; i < text.size() && digits; ++i) {
            digits = text[i] >= u'0' && text[i] <= u'9';
            v = v * 10 + (text[i] - u'0');
            if (v > 0xFFFF)
                digits = false;
        }
        if (digits) {
            k.id = WORD(v);
            return k;
        }
    }
    k.isId = false;
    for (auto& c : text)
        c = Upper(c);
    k.text = std::move(text);
    return k;
}

// The entry of `module` in the language chosen; null if none. Under the lock.
const Entry* FindLocked(std::uintptr_t module, const moxplat::ResourceKey& type, const moxplat::ResourceKey& name,
                        bool anyLanguage, WORD language)
{
    std::vector<const Entry*> found;
    for (const Table& t : Tables()) {
        if (t.module != module)
            continue;
        for (std::size_t i = 0; i < t.count; ++i) {
            const Entry& e = t.entries[i];
            if (Matches(e.typeId, e.typeName, type) && Matches(e.nameId, e.nameName, name))
                found.push_back(&e);
        }
    }
    if (found.empty())
        return nullptr;
    // FindResource: neutral first, then the user's language (English, United States, here),
    // its primary language, the defaults, and at last whatever there is. FindResourceEx: the
    // language asked for, then its primary language, then neutral.
    std::vector<WORD> order;
    if (anyLanguage) {
        order = {WORD(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)), 0x0409, WORD(MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL)),
                 WORD(MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)), WORD(MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT))};
    } else {
        order = {language, WORD(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL)),
                 WORD(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL))};
    }
    for (WORD want : order)
        for (const Entry* e : found)
            if (e->language == want)
                return e;
    return anyLanguage ? found.front() : nullptr;
}

// The registered entry an HRSRC names, or null for anything else.
const Entry* EntryOfLocked(HRSRC h)
{
    const auto* p = reinterpret_cast<const Entry*>(h);
    for (const Table& t : Tables())
        if (std::less_equal<const Entry*>()(t.entries, p) && std::less<const Entry*>()(p, t.entries + t.count))
            return &t.entries[p - t.entries];
    return nullptr;
}

} // namespace

namespace moxplat {

ResourceKey ResourceKeyOf(LPCWSTR name)
{
    if (IS_INTRESOURCE(name)) {
        ResourceKey k;
        k.id = WORD(reinterpret_cast<ULONG_PTR>(name));
        return k;
    }
    std::u16string text;
    for (const wchar_t* p = name; *p && text.size() < 65536; ++p) {
        const std::uint32_t c = static_cast<std::uint32_t>(*p);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            text += char16_t(0xD800 + ((c - 0x10000) >> 10));
            text += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += char16_t(c > 0x10FFFF ? 0xFFFD : c);
        }
    }
    return KeyFromText(std::move(text));
}

ResourceKey ResourceKeyOf(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) {
        ResourceKey k;
        k.id = WORD(reinterpret_cast<ULONG_PTR>(name));
        return k;
    }
    // Narrow names are UTF-8, the ANSI code page here.
    const std::size_t n = strnlen(name, 1 << 16);
    const int count = MultiByteToWideChar(CP_UTF8, 0, name, int(n), nullptr, 0);
    std::wstring wide(std::size_t(std::max(count, 0)), L'\0');
    if (count > 0)
        MultiByteToWideChar(CP_UTF8, 0, name, int(n), wide.data(), count);
    return ResourceKeyOf(wide.c_str());
}

bool FindResourceData(HMODULE module, const ResourceKey& type, const ResourceKey& name, const void** data,
                      DWORD* size, bool anyLanguage, WORD language)
{
    std::lock_guard<std::mutex> lock(TablesMutex());
    const Entry* e = FindLocked(ModuleOf(module), type, name, anyLanguage, language);
    if (!e)
        return false;
    *data = e->data;
    *size = e->size;
    return true;
}

} // namespace moxplat

extern "C" {

// Called by the static initializers of moximage2-rc's generated sources.
MOXPLAT_API void MoxRegisterResources(const void* anchor, const void* entries, std::size_t count, std::size_t entrySize)
{
    if (!entries || entrySize != sizeof(Entry)) {
        moxplat::Diagnose("resources from a different version of moximage2-rc ignored (rebuild the .rc)");
        return;
    }
    Dl_info info{};
    std::uintptr_t module = ProgramModule();
    if (dladdr(anchor, &info) && info.dli_fbase)
        module = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    std::lock_guard<std::mutex> lock(TablesMutex());
    Tables().push_back(Table{module, static_cast<const Entry*>(entries), count});
}

MOXPLAT_API void MoxUnregisterResources(const void* entries)
{
    std::lock_guard<std::mutex> lock(TablesMutex());
    auto& t = Tables();
    t.erase(std::remove_if(t.begin(), t.end(), [&](const Table& x) { return x.entries == entries; }), t.end());
}

HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage)
{
    if (!lpType || !lpName)
        return nullptr;
    const moxplat::ResourceKey type = moxplat::ResourceKeyOf(lpType), name = moxplat::ResourceKeyOf(lpName);
    std::lock_guard<std::mutex> lock(TablesMutex());
    // Neutral asks for the language FindResource would choose.
    const bool any = wLanguage == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    return reinterpret_cast<HRSRC>(const_cast<Entry*>(FindLocked(ModuleOf(hModule), type, name, any, wLanguage)));
}

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage)
{
    if (!lpType || !lpName)
        return nullptr;
    const moxplat::ResourceKey type = moxplat::ResourceKeyOf(lpType), name = moxplat::ResourceKeyOf(lpName);
    std::lock_guard<std::mutex> lock(TablesMutex());
    const bool any = wLanguage == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    return reinterpret_cast<HRSRC>(const_cast<Entry*>(FindLocked(ModuleOf(hModule), type, name, any, wLanguage)));
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType)
{
    return FindResourceExW(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    return FindResourceExA(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo)
{
    std::lock_guard<std::mutex> lock(TablesMutex());
    const Entry* e = EntryOfLocked(hResInfo);
    return e ? const_cast<unsigned char*>(e->data) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL hResData)
{
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo)
{
    std::lock_guard<std::mutex> lock(TablesMutex());
    const Entry* e = EntryOfLocked(hResInfo);
    return e ? e->size : 0;
}

BOOL WINAPI FreeResource(HGLOBAL)
{
    return FALSE; // nothing to free: resources live as long as their module
}

} // extern "C"
