#include "windows_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include <windows.h>

#include "text_convert.h"

namespace moxplat {

namespace {

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Case-blind equality of two UTF-8 names, code point by code point.
bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0)
        return true;
    const std::wstring wa = ToWide(a), wb = ToWide(b);
    if (wa.size() != wb.size())
        return false;
    for (std::size_t i = 0; i < wa.size(); ++i)
        if (FoldCase(wa[i]) != FoldCase(wb[i]))
            return false;
    return true;
}

// The entry of folder that matches name case-blind, or empty.
std::string FindEntry(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return std::string();
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate != "." && candidate != ".." && SameIgnoringCase(candidate, name))
            matches.push_back(candidate);
    }
    ::closedir(dir);
    if (matches.empty())
        return std::string();
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace

std::string ResolveWindowsPath(const char* utf8Name)
{
    if (!utf8Name)
        return std::string();
    std::string path = utf8Name;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || Exists(path))
        return path;

    // Walk the components: each one exact when it exists, otherwise its case-blind match.
    std::string resolved;
    std::size_t start = 0;
    if (path[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (!part.empty()) {
            const std::string folder = resolved;
            std::string candidate = folder.empty() || folder.back() == '/' ? folder + part : folder + "/" + part;
            if (part != "." && part != ".." && !Exists(candidate)) {
                const std::string found = FindEntry(folder, part);
                if (found.empty()) {
                    // A last part that is nowhere is a file about to be made, in the folder found.
                    if (end != path.size())
                        return path;
                } else {
                    candidate = folder.empty() || folder.back() == '/' ? folder + found : folder + "/" + found;
                }
            }
            resolved = candidate;
        }
        if (end == path.size())
            break;
        start = end + 1;
    }
    if (!path.empty() && path.back() == '/' && (resolved.empty() || resolved.back() != '/'))
        resolved += '/';
    return resolved;
}

} // namespace moxplat
