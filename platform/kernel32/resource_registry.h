// The resources of the program and its libraries, as moximage2-rc's generated sources register
// them, for the loaders in every room (strings, accelerators, bitmaps, icons, cursors).
#pragma once

#include <windows.h>

#include <string>

namespace moxplat {

// A resource type or name as the loaders receive it: a MAKEINTRESOURCE number or a string.
struct ResourceKey {
    bool isId = true;
    WORD id = 0;
    std::u16string text; // upper-cased, as names are stored
};
ResourceKey ResourceKeyOf(LPCWSTR name);
ResourceKey ResourceKeyOf(LPCSTR name);

// Finds a resource of `module` (nullptr: the program) in the language Windows' FindResource
// would pick, or exactly `language` (then the primary language and neutral as fallbacks) when
// `anyLanguage` is false. Returns false when there is none; the data is read-only and lives as
// long as the module.
bool FindResourceData(HMODULE module, const ResourceKey& type, const ResourceKey& name, const void** data,
                      DWORD* size, bool anyLanguage = true, WORD language = 0);

} // namespace moxplat
