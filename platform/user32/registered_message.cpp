// RegisterWindowMessage: process-wide message ids for names, from 0xC000 up, as atoms are.
#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

#include "user_internal.h"

namespace {

constexpr UINT kFirstId = 0xC000;
constexpr UINT kLastId = 0xFFFF;
constexpr std::size_t kMaxName = 255; // an atom's longest name

struct Registry {
    std::mutex lock;
    std::vector<std::wstring> names; // names[i] has id kFirstId + i, kept upper-cased
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry; // lives to the end: ids stay valid during exit
    return *registry;
}

UINT Register(std::wstring name)
{
    if (name.empty() || name.size() > kMaxName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Atom names match ignoring case.
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    for (std::size_t i = 0; i < r.names.size(); ++i)
        if (r.names[i] == name)
            return kFirstId + static_cast<UINT>(i);
    if (r.names.size() > kLastId - kFirstId) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    r.names.push_back(std::move(name));
    return kFirstId + static_cast<UINT>(r.names.size() - 1);
}

} // namespace

UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString)
{
    if (!lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(lpString);
}

UINT WINAPI RegisterWindowMessageA(LPCSTR lpString)
{
    if (!lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(moxplat::WideFromUtf8(lpString));
}
