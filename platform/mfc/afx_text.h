// Text helpers of the MFC room.
#pragma once

#include <cstdlib>
#include <cstring>

namespace afx_text {

// A malloc'd copy of text (null for null): CWinApp's names are freed with free, as a program
// that replaces one (MFC documents this for m_pszProfileName) frees the old one.
template <class C> C* Dup(const C* text)
{
    if (!text)
        return nullptr;
    std::size_t n = 0;
    while (text[n])
        ++n;
    C* copy = static_cast<C*>(std::malloc((n + 1) * sizeof(C)));
    if (copy)
        std::memcpy(copy, text, (n + 1) * sizeof(C));
    return copy;
}

} // namespace afx_text
