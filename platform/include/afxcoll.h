// MFC's ready-made collections: arrays, lists and maps of bytes, words, pointers, objects and
// strings, with the members of CArray, CList and CMap (afxtempl.h), whose checks they share.
// The byte, word, pointer and object ones have run-time classes (the serializable ones are
// SERIAL, as in MFC). The string ones hold CString, whose width follows UNICODE, so they live
// entirely in the program's own code and have no run-time class here: write them with their
// Serialize member, not through a CObject pointer.
#pragma once

#include "afxtempl.h"

// --- Arrays ---------------------------------------------------------------------------------------

class MOXPLAT_API CByteArray : public CArray<BYTE, BYTE> {
    DECLARE_SERIAL(CByteArray)
};
class MOXPLAT_API CWordArray : public CArray<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
};
class MOXPLAT_API CDWordArray : public CArray<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
};
class MOXPLAT_API CUIntArray : public CArray<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};
class MOXPLAT_API CPtrArray : public CArray<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
};
/// Serialize writes each object with WriteObject (its class must be SERIAL).
class MOXPLAT_API CObArray : public CArray<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
};
class CStringArray : public CArray<CString, const CString&> {};

// --- Lists ----------------------------------------------------------------------------------------

class MOXPLAT_API CPtrList : public CList<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)

public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};
class MOXPLAT_API CObList : public CList<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)

public:
    explicit CObList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};
class CStringList : public CList<CString, const CString&> {
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

// --- Maps -----------------------------------------------------------------------------------------

class MOXPLAT_API CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
    DECLARE_DYNAMIC(CMapWordToPtr)

public:
    explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
class MOXPLAT_API CMapPtrToWord : public CMap<void*, void*, WORD, WORD> {
    DECLARE_DYNAMIC(CMapPtrToWord)

public:
    explicit CMapPtrToWord(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
class MOXPLAT_API CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)

public:
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
class MOXPLAT_API CMapWordToOb : public CMap<WORD, WORD, CObject*, CObject*> {
    DECLARE_SERIAL(CMapWordToOb)

public:
    explicit CMapWordToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*> {
public:
    explicit CMapStringToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {
public:
    explicit CMapStringToString(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
