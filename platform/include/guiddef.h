// Globally unique identifiers.
#pragma once

#include "windef.h"

// Globally unique identifiers (GDI+ names its image encoders and their parameters by them).
typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;
typedef GUID CLSID;
typedef GUID IID;
inline bool IsEqualGUID(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i])
            return false;
    return true;
}
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)
#define IsEqualIID(a, b) IsEqualGUID(a, b)
inline bool operator==(const GUID& a, const GUID& b)
{
    return IsEqualGUID(a, b);
}
inline bool operator!=(const GUID& a, const GUID& b)
{
    return !IsEqualGUID(a, b);
}
