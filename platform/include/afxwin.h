// The part of MFC that hosts of this library use, for systems other than Windows: points and
// rectangles, device contexts, windows with message maps, frame windows and the application
// object.
//
// Message maps work as MFC's do: each class that declares one gets a static table of entries
// (message, notification code, id range, signature kind, handler) chained to its base class's
// table, and a message goes to the first matching entry from the most derived class up. The
// handlers CWnd itself provides are virtual here, and CWnd's own table names them, so a host that
// overrides them instead of listing them in a map is called too.
#pragma once

// Programs' own headers check that MFC came first.
#ifndef __AFXWIN_H__
#define __AFXWIN_H__
#endif

#include <windows.h>

#include "afx.h"
#include "afxcoll.h"
#include "afxres.h"

#include <cstring>
#include <utility>
#include <vector>

#include "mox_widetext.h"

#define afx_msg
#ifndef PASCAL
#define PASCAL
#endif

class CCmdTarget;
class CWnd;
class CDC;
class CView;
class CDocument;
class CDocTemplate;
class CFrameWnd;
class CCommandLineInfo;
class CBitmap;
class CDataExchange;
struct CCreateContext;
class CMenu;
class CCmdUI;
class CControlBar;
class CFont;
class CScrollBar;

// --- Message maps -----------------------------------------------------------------------------

typedef void (CCmdTarget::*AFX_PMSG)();

// How a handler's arguments are unpacked from wParam and lParam, and what it returns.
enum AfxSig : UINT_PTR {
    AfxSig_end = 0,  // ends a table
    AfxSig_vv,       // void ()
    AfxSig_is,       // int (LPCREATESTRUCT)
    AfxSig_bD,       // BOOL (CDC*)
    AfxSig_vwp,      // void (UINT nFlags, CPoint point)
    AfxSig_bwsp,     // BOOL (UINT nFlags, short zDelta, CPoint point)
    AfxSig_vwww,     // void (UINT nChar, UINT nRepCnt, UINT nFlags)
    AfxSig_vwii,     // void (UINT nType, int cx, int cy)
    AfxSig_vW,       // void (CWnd*)
    AfxSig_v_up_v,   // void (UINT_PTR)
    AfxSig_lwl,      // LRESULT (WPARAM, LPARAM)
    AfxSigCmd_v,     // void (): a command
    AfxSigCmd_RANGE, // void (UINT nID): a command from a range of ids
};

/// One entry of a message map (see ON_WM_PAINT and the other map macros).
struct AFX_MSGMAP_ENTRY {
    /// The window message.
    UINT nMessage;
    /// WM_COMMAND: the notification code.
    UINT nCode;
    /// WM_COMMAND: the first id.
    UINT nID;
    /// WM_COMMAND: the last id.
    UINT nLastID;
    /// An AfxSig: how the handler's arguments are unpacked.
    UINT_PTR nSig;
    /// The handler, to be cast back to the type nSig names.
    AFX_PMSG pfn;
};

/// A class's message map: its entries and the way to its base class's map.
struct AFX_MSGMAP {
    /// The base class's map; null at the root.
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    /// The entries, ended by one whose nSig is AfxSig_end.
    const AFX_MSGMAP_ENTRY* lpEntries;
};

/// Filled by OnCmdMsg when asked which object would handle a command.
struct AFX_CMDHANDLERINFO {
    /// The object that would handle the command.
    CCmdTarget* pTarget;
    /// Its handler.
    AFX_PMSG pmf;
};

// Notification code of a command from a menu, an accelerator or a program (lParam 0).
#define CN_COMMAND 0

#define DECLARE_MESSAGE_MAP()                            \
protected:                                               \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)             \
    const AFX_MSGMAP* theClass::GetMessageMap() const      \
    {                                                      \
        return GetThisMessageMap();                        \
    }                                                      \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() \
    {                                                      \
        typedef theClass ThisClass;                        \
        typedef baseClass TheBaseClass;                    \
        (void)sizeof(ThisClass);                           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                         \
    {0, 0, 0, 0, AfxSig_end, nullptr}                                                             \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

// A window handler of function type F. The entry macros check the handler's exact type with it;
// the table keeps its bits as an AFX_PMSG, and the dispatcher turns them back into the same type
// (all pointers to member functions have one size and layout here).
template <class F> using AfxWndHandler = F CWnd::*;
template <class P> AFX_PMSG AfxStoreHandler(P handler)
{
    static_assert(sizeof(P) == sizeof(AFX_PMSG), "pointers to member functions differ in size");
    AFX_PMSG stored;
    std::memcpy(&stored, &handler, sizeof stored);
    return stored;
}
template <class P> P AfxLoadHandler(AFX_PMSG stored)
{
    static_assert(sizeof(P) == sizeof(AFX_PMSG), "pointers to member functions differ in size");
    P handler;
    std::memcpy(&handler, &stored, sizeof handler);
    return handler;
}
#define AFX_WND_HANDLER(type, fn) AfxStoreHandler(static_cast<AfxWndHandler<type>>(&ThisClass::fn))
#define AFX_WND_ENTRY(msg, sig, type, fn) {msg, 0, 0, 0, sig, AFX_WND_HANDLER(type, fn)},

#define ON_WM_CREATE() AFX_WND_ENTRY(WM_CREATE, AfxSig_is, int(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY() AFX_WND_ENTRY(WM_DESTROY, AfxSig_vv, void(), OnDestroy)
#define ON_WM_CLOSE() AFX_WND_ENTRY(WM_CLOSE, AfxSig_vv, void(), OnClose)
#define ON_WM_PAINT() AFX_WND_ENTRY(WM_PAINT, AfxSig_vv, void(), OnPaint)
#define ON_WM_ERASEBKGND() AFX_WND_ENTRY(WM_ERASEBKGND, AfxSig_bD, BOOL(CDC*), OnEraseBkgnd)
#define ON_WM_SIZE() AFX_WND_ENTRY(WM_SIZE, AfxSig_vwii, void(UINT, int, int), OnSize)
#define ON_WM_SETFOCUS() AFX_WND_ENTRY(WM_SETFOCUS, AfxSig_vW, void(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_WND_ENTRY(WM_KILLFOCUS, AfxSig_vW, void(CWnd*), OnKillFocus)
#define ON_WM_TIMER() AFX_WND_ENTRY(WM_TIMER, AfxSig_v_up_v, void(UINT_PTR), OnTimer)
#define ON_WM_MOUSEMOVE() AFX_WND_ENTRY(WM_MOUSEMOVE, AfxSig_vwp, void(UINT, CPoint), OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_WND_ENTRY(WM_LBUTTONDOWN, AfxSig_vwp, void(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WND_ENTRY(WM_LBUTTONUP, AfxSig_vwp, void(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WND_ENTRY(WM_LBUTTONDBLCLK, AfxSig_vwp, void(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WND_ENTRY(WM_RBUTTONDOWN, AfxSig_vwp, void(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WND_ENTRY(WM_RBUTTONUP, AfxSig_vwp, void(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_WND_ENTRY(WM_RBUTTONDBLCLK, AfxSig_vwp, void(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_WND_ENTRY(WM_MBUTTONDOWN, AfxSig_vwp, void(UINT, CPoint), OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_WND_ENTRY(WM_MBUTTONUP, AfxSig_vwp, void(UINT, CPoint), OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() AFX_WND_ENTRY(WM_MBUTTONDBLCLK, AfxSig_vwp, void(UINT, CPoint), OnMButtonDblClk)
#define ON_WM_MOUSEWHEEL() AFX_WND_ENTRY(WM_MOUSEWHEEL, AfxSig_bwsp, BOOL(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_KEYDOWN() AFX_WND_ENTRY(WM_KEYDOWN, AfxSig_vwww, void(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() AFX_WND_ENTRY(WM_KEYUP, AfxSig_vwww, void(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_SYSKEYDOWN() AFX_WND_ENTRY(WM_SYSKEYDOWN, AfxSig_vwww, void(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_WND_ENTRY(WM_SYSKEYUP, AfxSig_vwww, void(UINT, UINT, UINT), OnSysKeyUp)
#define ON_WM_CHAR() AFX_WND_ENTRY(WM_CHAR, AfxSig_vwww, void(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSCHAR() AFX_WND_ENTRY(WM_SYSCHAR, AfxSig_vwww, void(UINT, UINT, UINT), OnSysChar)
// The window's place and size: the WINDOWPOS or MINMAXINFO the message carries, which the
// handler may change before Windows acts on it.
constexpr UINT_PTR AfxSig_vPOS = 0x140; // void (WINDOWPOS*)
constexpr UINT_PTR AfxSig_vMMI = 0x141; // void (MINMAXINFO*)
#define ON_WM_WINDOWPOSCHANGING() \
    AFX_WND_ENTRY(WM_WINDOWPOSCHANGING, AfxSig_vPOS, void(WINDOWPOS*), OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() AFX_WND_ENTRY(WM_WINDOWPOSCHANGED, AfxSig_vPOS, void(WINDOWPOS*), OnWindowPosChanged)
#define ON_WM_GETMINMAXINFO() AFX_WND_ENTRY(WM_GETMINMAXINFO, AfxSig_vMMI, void(MINMAXINFO*), OnGetMinMaxInfo)

// The program names its handlers in these entries either as the wizards write them today
// (&CMyView::OnFoo) or as older programs do (OnFoo). The second is not standard C++: GCC takes
// it with -fms-extensions, which the build flags of this library pass on (pkg-config's Cflags,
// the CMake targets); with another compiler, write the first.
#define ON_MESSAGE(message, memberFxn) \
    {message, 0, 0, 0, AfxSig_lwl, AfxStoreHandler(static_cast<AfxWndHandler<LRESULT(WPARAM, LPARAM)>>(memberFxn))},
// A message whose id is only known at run time (RegisterWindowMessage): the entry holds the
// address of the variable with the id, read when a message arrives.
#define AFX_REGISTERED_MESSAGE_ENTRY 0xC002
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                       \
    {AFX_REGISTERED_MESSAGE_ENTRY, 0, 0, 0, (UINT_PTR)(const UINT*)(&(nMessageVariable)),       \
     AfxStoreHandler(static_cast<AfxWndHandler<LRESULT(WPARAM, LPARAM)>>(memberFxn))},
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSigCmd_RANGE,                       \
     AfxStoreHandler(static_cast<void (CCmdTarget::*)(UINT)>(memberFxn))},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// Points, sizes and rectangles: CPoint, CSize, CRect.
#include "atltypes.h"

// --- GDI objects ---------------------------------------------------------------------------------
//
// Thin owners of GDI handles, written over the Win32 calls alone so that they are the same on
// every system. An object deletes the handle it holds when it is destroyed. FromHandle gives a
// temporary wrapper for a handle the program does not own (what SelectObject hands back); it
// lives while its handle does and never deletes it.

/// Any GDI object: a pen, brush, font or region handle and what all of them allow.
class CGdiObject {
public:
    /// The handle; null when none.
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    /// Deletes the handle held, if any.
    virtual ~CGdiObject() { DeleteObject(); }

    /// The handle, or null.
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    /// Takes ownership of h; FALSE when one is already held or h is null.
    BOOL Attach(HGDIOBJ h)
    {
        if (!h || m_hObject)
            return FALSE;
        m_hObject = h;
        return TRUE;
    }
    /// Gives up the handle without deleting it.
    HGDIOBJ Detach()
    {
        HGDIOBJ h = m_hObject;
        m_hObject = nullptr;
        return h;
    }
    /// Deletes the handle held; FALSE when none.
    BOOL DeleteObject() { return m_hObject ? ::DeleteObject(Detach()) : FALSE; }
    int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
    UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
    /// Holds the stock object nIndex (which deleting leaves alone).
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
    static CGdiObject* PASCAL FromHandle(HGDIOBJ h) { return TemporaryFor<CGdiObject>(h); }

protected:
    // One wrapper a handle for each class, dropped once its handle is gone.
    template <class T> static T* TemporaryFor(HGDIOBJ h)
    {
        struct Table {
            std::vector<std::pair<HGDIOBJ, T*>> entries;
            ~Table()
            {
                for (auto& e : entries) {
                    e.second->Detach();
                    delete e.second;
                }
            }
        };
        static Table table;
        if (!h)
            return nullptr;
        for (auto& e : table.entries)
            if (e.first == h)
                return e.second;
        if (table.entries.size() >= 64) {
            std::vector<std::pair<HGDIOBJ, T*>> live;
            for (auto& e : table.entries) {
                if (::GetObjectType(e.first) != 0) {
                    live.push_back(e);
                } else {
                    e.second->Detach();
                    delete e.second;
                }
            }
            table.entries.swap(live);
        }
        T* wrapper = new T;
        wrapper->m_hObject = h;
        table.entries.push_back({h, wrapper});
        return wrapper;
    }
};

/// A pen.
class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
    {
        return Attach(::CreatePen(nPenStyle, nWidth, crColor));
    }
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
    BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0,
                   const DWORD* lpStyle = nullptr)
    {
        return Attach(::ExtCreatePen(static_cast<DWORD>(nPenStyle), static_cast<DWORD>(nWidth), pLogBrush,
                                     static_cast<DWORD>(nStyleCount), lpStyle));
    }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    int GetLogPen(LOGPEN* pLogPen) const { return ::GetObjectA(m_hObject, sizeof(LOGPEN), pLogPen); }
    static CPen* PASCAL FromHandle(HPEN h) { return TemporaryFor<CPen>(h); }
};

/// A brush.
class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    CBrush(int nIndex, COLORREF crColor) { CreateHatchBrush(nIndex, crColor); }
    BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
    BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
    BOOL CreatePatternBrush(HBITMAP hBitmap) { return Attach(::CreatePatternBrush(hBitmap)); }
    /// The system colour's brush (which deleting leaves alone).
    BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    int GetLogBrush(LOGBRUSH* pLogBrush) const { return ::GetObjectA(m_hObject, sizeof(LOGBRUSH), pLogBrush); }
    static CBrush* PASCAL FromHandle(HBRUSH h) { return TemporaryFor<CBrush>(h); }
};

/// A font.
class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* lpLogFont) { return Attach(::CreateFontIndirect(lpLogFont)); }
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
    {
        return Attach(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                   nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
    }
    /// A font of nPointSize tenths of a point in the face named, for a DC's vertical resolution
    /// (the screen's when pDC is null).
    BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    int GetLogFont(LOGFONT* pLogFont) const { return ::GetObject(m_hObject, sizeof(LOGFONT), pLogFont); }
    static CFont* PASCAL FromHandle(HFONT h) { return TemporaryFor<CFont>(h); }
};

/// A region.
class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
    int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
    {
        return ::CombineRgn(static_cast<HRGN>(m_hObject), pRgn1 ? static_cast<HRGN>(pRgn1->m_hObject) : nullptr,
                            pRgn2 ? static_cast<HRGN>(pRgn2->m_hObject) : nullptr, nCombineMode);
    }
    BOOL EqualRgn(const CRgn* pRgn) const
    {
        return ::EqualRgn(static_cast<HRGN>(m_hObject), pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr);
    }
    int OffsetRgn(int x, int y) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y); }
    int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
    BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
    BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect); }
    void SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2); }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn* PASCAL FromHandle(HRGN h) { return TemporaryFor<CRgn>(h); }
};

/// A device context: an HDC and the drawing calls a host uses on it. Deleting a CDC deletes the
/// device context attached to it (Detach first to keep it).
class MOXPLAT_API CDC {
public:
    /// The attached device context; null when none.
    HDC m_hDC = nullptr;

    /// A CDC with no device context attached.
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    /// Deletes the attached device context, if any.
    virtual ~CDC();

    /// Attaches hDC, which the CDC then owns; FALSE when one is already attached or hDC is null.
    BOOL Attach(HDC hDC);
    /// Gives up the device context without deleting it and returns it.
    HDC Detach();
    /// The attached device context, or null.
    HDC GetSafeHdc() const { return m_hDC; }
    /// The attached device context, or null.
    operator HDC() const { return m_hDC; }

    /// Attaches a new memory device context compatible with pDC (the screen when null).
    BOOL CreateCompatibleDC(CDC* pDC);
    /// Deletes the attached device context; FALSE when none.
    BOOL DeleteDC();
    /// Copies nWidth x nHeight pixels from (xSrc, ySrc) of pSrcDC to (x, y) here (SRCCOPY), clipped
    /// to both surfaces.
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    /// The pixel at (x, y) as RGB(r, g, b); CLR_INVALID outside the surface.
    COLORREF GetPixel(int x, int y) const;
    /// Sets the pixel at (x, y); returns the colour set, or CLR_INVALID outside the surface.
    COLORREF SetPixel(int x, int y, COLORREF crColor);

    // --- Drawing objects, colours and modes (inline over the Win32 calls) ---

    CPen* SelectObject(CPen* pPen)
    {
        return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pPen ? pPen->m_hObject : nullptr)));
    }
    CBrush* SelectObject(CBrush* pBrush)
    {
        return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush ? pBrush->m_hObject : nullptr)));
    }
    CFont* SelectObject(CFont* pFont)
    {
        return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont ? pFont->m_hObject : nullptr)));
    }
    /// Selects the region as the clip region; answers its complexity.
    int SelectObject(CRgn* pRgn)
    {
        return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, pRgn ? pRgn->m_hObject : nullptr)));
    }
    CGdiObject* SelectObject(CGdiObject* pObject)
    {
        return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject ? pObject->m_hObject : nullptr));
    }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    CGdiObject* SelectStockObject(int nIndex)
    {
        return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
    }
    CPen* GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
    CBrush* GetCurrentBrush() const
    {
        return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
    }
    CFont* GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }

    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    COLORREF SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    int GetBkMode() const { return ::GetBkMode(m_hDC); }
    int SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
    int GetROP2() const { return ::GetROP2(m_hDC); }
    int SetPolyFillMode(int nPolyFillMode) { return ::SetPolyFillMode(m_hDC, nPolyFillMode); }
    UINT SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
    UINT GetTextAlign() const { return ::GetTextAlign(m_hDC); }
    COLORREF SetDCBrushColor(COLORREF crColor) { return ::SetDCBrushColor(m_hDC, crColor); }
    COLORREF SetDCPenColor(COLORREF crColor) { return ::SetDCPenColor(m_hDC, crColor); }
    int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hDC, nIndex); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

    // --- Coordinates and clipping ---

    CPoint SetViewportOrg(int x, int y)
    {
        POINT p{};
        ::SetViewportOrgEx(m_hDC, x, y, &p);
        return CPoint(p);
    }
    CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
    CPoint OffsetViewportOrg(int nWidth, int nHeight)
    {
        POINT p{};
        ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &p);
        return CPoint(p);
    }
    CPoint GetViewportOrg() const
    {
        POINT p{};
        ::GetViewportOrgEx(m_hDC, &p);
        return CPoint(p);
    }
    CPoint SetWindowOrg(int x, int y)
    {
        POINT p{};
        ::SetWindowOrgEx(m_hDC, x, y, &p);
        return CPoint(p);
    }
    CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
    CPoint GetWindowOrg() const
    {
        POINT p{};
        ::GetWindowOrgEx(m_hDC, &p);
        return CPoint(p);
    }
    int SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr); }
    int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
    int IntersectClipRect(LPCRECT lpRect)
    {
        return ::IntersectClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
    int ExcludeClipRect(LPCRECT lpRect)
    {
        return ::ExcludeClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

    // --- Lines and shapes ---

    CPoint MoveTo(int x, int y)
    {
        POINT p{};
        ::MoveToEx(m_hDC, x, y, &p);
        return CPoint(p);
    }
    CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
    CPoint GetCurrentPosition() const
    {
        POINT p{};
        ::GetCurrentPositionEx(m_hDC, &p);
        return CPoint(p);
    }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
    BOOL Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
    BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Rectangle(LPCRECT lpRect) { return Rectangle(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) { return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3); }
    BOOL RoundRect(LPCRECT lpRect, POINT point)
    {
        return RoundRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, point.x, point.y);
    }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL Ellipse(LPCRECT lpRect) { return Ellipse(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
    {
        return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
    {
        return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
    {
        return ::Chord(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
    }
    void FillRect(LPCRECT lpRect, CBrush* pBrush)
    {
        ::FillRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
    }
    void FrameRect(LPCRECT lpRect, CBrush* pBrush)
    {
        ::FrameRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
    }
    void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
    BOOL FillRgn(CRgn* pRgn, CBrush* pBrush)
    {
        return ::FillRgn(m_hDC, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr,
                         pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
    }
    /// Fills with one colour through the background colour, which keeps that colour afterwards
    /// (as MFC's does).
    void FillSolidRect(LPCRECT lpRect, COLORREF clr)
    {
        ::SetBkColor(m_hDC, clr);
        ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    }
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
    {
        const RECT r{x, y, x + cx, y + cy};
        FillSolidRect(&r, clr);
    }
    /// A one-pixel frame: top and left edges in one colour, bottom and right in the other.
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
    {
        FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
        FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
        FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
        FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
    }
    void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
    {
        Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
                   clrBottomRight);
    }

    // --- Text ---

    BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount) { return ::TextOut(m_hDC, x, y, lpszString, nCount); }
    BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str.GetString(), str.GetLength()); }
    /// The size of the text in the selected font (GetTextExtentPoint32).
    CSize GetTextExtent(LPCTSTR lpszString, int nCount) const
    {
        SIZE size{};
        ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &size);
        return CSize(size);
    }
    CSize GetTextExtent(const CString& str) const { return GetTextExtent(str.GetString(), str.GetLength()); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    BOOL DrawIcon(POINT point, HICON hIcon) { return ::DrawIcon(m_hDC, point.x, point.y, hIcon); }
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, INT* lpDxWidths)
    {
        return ::ExtTextOut(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
    }
    int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
    {
        return ::DrawText(m_hDC, lpszString, nCount, lpRect, nFormat);
    }
    BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetrics(m_hDC, lpMetrics); }

    // Bitmaps and blits, as the Win32 functions of the same names.
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                    int nSrcHeight, DWORD dwRop);
    BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
    BOOL TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                        int nSrcWidth, int nSrcHeight, UINT clrTransparent);
    BOOL AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend);
    int SetStretchBltMode(int nStretchMode);
    int GetStretchBltMode() const;
    /// Selects the bitmap into this memory DC; the bitmap selected before (a temporary object
    /// for a bitmap no CBitmap owns), or null on failure.
    CBitmap* SelectObject(CBitmap* pBitmap);
};

/// Where the program's resources are loaded from: the instance unless AfxSetResourceHandle chose
/// another module.
MOXPLAT_API HINSTANCE AfxGetResourceHandle();
MOXPLAT_API void AfxSetResourceHandle(HINSTANCE hInstResource);

/// A bitmap handle's owner: deleting a CBitmap deletes its bitmap (Detach first to keep it).
class MOXPLAT_API CBitmap {
public:
    /// The attached bitmap; null when none.
    HGDIOBJ m_hObject = nullptr;

    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    virtual ~CBitmap();

    /// A CBitmap for hBitmap: the one attached to it, or a temporary one that does not own it and
    /// lives as long as the process. Null for a null handle.
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap);

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    // GetObject is the SDK's A/W macro; a bitmap's description has no text, so both are one.
    int GetObjectA(int nCount, LPVOID lpObject) const;
#ifdef UNICODE
    int GetObjectW(int nCount, LPVOID lpObject) const { return GetObjectA(nCount, lpObject); }
#endif

    /// The bitmap resource of this name or id (AfxGetResourceHandle's); FALSE when there is none
    /// or a bitmap is attached already.
    BOOL LoadBitmap(LPCTSTR lpszResourceName)
    {
        return !m_hObject && lpszResourceName && Attach(::LoadBitmap(AfxGetResourceHandle(), lpszResourceName));
    }
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitMap) const;
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
    DWORD SetBitmapBits(DWORD dwCount, const void* lpBits);
};

inline BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    if (!lpLogFont)
        return FALSE;
    // lfHeight in tenths of a point; the font's height in pixels is that many points at the
    // DC's vertical resolution, negative for a character height.
    LOGFONT lf = *lpLogFont;
    HDC dc = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (!pDC && dc)
        ::ReleaseDC(nullptr, dc);
    const long tenths = lf.lfHeight < 0 ? -static_cast<long>(lf.lfHeight) : lf.lfHeight;
    lf.lfHeight = -static_cast<LONG>((tenths * (dpi > 0 ? dpi : 96) + 360) / 720);
    return CreateFontIndirect(&lf);
}

inline BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    if (lpszFaceName) {
        std::size_t i = 0;
        for (; i < LF_FACESIZE - 1 && lpszFaceName[i]; ++i)
            lf.lfFaceName[i] = lpszFaceName[i];
        lf.lfFaceName[i] = 0;
    }
    return CreatePointFontIndirect(&lf, pDC);
}

/// The device context of a window while it paints. Here it is the window's own device context,
/// valid for as long as the window exists: a canvas may keep it (CMoxGraphics::InitGraphics) and
/// present to it at any time, not only inside OnPaint.
class MOXPLAT_API CPaintDC : public CDC {
public:
    /// The device context of pWnd (not owned), valid while the window exists.
    explicit CPaintDC(CWnd* pWnd);
    /// Gives the device context back to the window.
    ~CPaintDC() override;

    /// The paint information: the whole client area.
    PAINTSTRUCT m_ps{};

protected:
    /// The window painted.
    HWND m_hWnd = nullptr;
};

// Frame styles: the document's title is added to the frame's (FWS_ADDTOTITLE), before it
// (FWS_PREFIXTITLE).
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
// The style of a view made by a frame.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)


// --- Command targets and windows ---------------------------------------------------------------

/// Base of the classes that have message maps; routes commands to their handlers.
class MOXPLAT_API CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)

public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    // Calls the map entry for command nID with notification code nCode; TRUE when one handled it.
    /// Looks the command up in the message maps, most derived class first, and calls the handler.
    /// @param nID           the command identifier.
    /// @param nCode         the notification code (0 for a click).
    /// @param pExtra        unused here.
    /// @param pHandlerInfo  when not null, only filled with the handler found; nothing is called.
    /// @return TRUE when a handler was found.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    /// This class's own message map.
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    /// The message map of the object's own class.
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

/// A window. Headless (a pixel surface BitBlt writes and GetPixel reads) unless created with
/// WS_VISIBLE while a display is available; then SDL2 shows it and feeds it mouse and close
/// messages. Messages reach the virtual WindowProc, which calls the handlers below; a host
/// overrides the handlers it needs. The object does not own anything the host gave it.
class MOXPLAT_API CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)

public:
    /// The window's handle; null before CreateEx and after it is destroyed.
    HWND m_hWnd = nullptr;

    /// A CWnd with no window yet.
    CWnd() = default;
    ~CWnd() override;

    /// Last changes to the window's creation parameters, which CreateEx asks before it creates
    /// the window; FALSE stops the creation. The default changes nothing.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);

    // CreateWindowEx with this object receiving the window's messages from the first one on.
    /// Creates the window.
    ///
    /// @param dwExStyle       extended style.
    /// @param lpszClassName   a class from AfxRegisterWndClass or RegisterClass (null: a default one).
    /// @param lpszWindowName  the title (UTF-8).
    /// @param dwStyle         WS_VISIBLE shows it on screen when a display is available; otherwise it
    ///                        is headless.
    /// @param x,y             the window's top-left corner (CW_USEDEFAULT: the system's choice).
    /// @param nWidth,nHeight  the window's outer size, frame included (AdjustWindowRectEx gives it
    ///                        for a client size).
    /// @param hWndParent,nIDorHMenu,lpParam  the parent (or owner), a child's id, WM_CREATE's
    ///                        lpCreateParams.
    /// @return FALSE when this object already has a window or the window cannot be made.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    /// CreateEx with the position and size given as a rectangle.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    /// A child window: CreateEx with no extended style, the rectangle and the parent.
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
#ifdef UNICODE
    // A Unicode build's wide text (mox_widetext.h).
    BOOL CreateEx(DWORD dwExStyle, MoxWideText lpszClassName, MoxWideText lpszWindowName, DWORD dwStyle, int x,
                  int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr)
    {
        return CreateEx(dwExStyle, static_cast<LPCSTR>(lpszClassName), static_cast<LPCSTR>(lpszWindowName), dwStyle, x,
                        y, nWidth, nHeight, hWndParent, nIDorHMenu, lpParam);
    }
    BOOL CreateEx(DWORD dwExStyle, MoxWideText lpszClassName, MoxWideText lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr)
    {
        return CreateEx(dwExStyle, static_cast<LPCSTR>(lpszClassName), static_cast<LPCSTR>(lpszWindowName), dwStyle,
                        rect, pParentWnd, nID, lpParam);
    }
    BOOL Create(MoxWideText lpszClassName, MoxWideText lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr)
    {
        return Create(static_cast<LPCSTR>(lpszClassName), static_cast<LPCSTR>(lpszWindowName), dwStyle, rect,
                      pParentWnd, nID, pContext);
    }
#endif
    /// Destroys the window: OnDestroy, then PostNcDestroy; m_hWnd becomes null.
    virtual BOOL DestroyWindow();

    /// m_hWnd.
    HWND GetSafeHwnd() const { return m_hWnd; }
    /// m_hWnd.
    operator HWND() const { return m_hWnd; }
    /// The CWnd of a live window handle, or null.
    static CWnd* FromHandle(HWND hWnd);
    /// The parent window's CWnd, or null.
    CWnd* GetParent() const;

    /// Calls WindowProc now and returns its result; 0 without a window.
    // SendMessage and PostMessage are the SDK's A/W macros: a Unicode build's calls are the W
    // messages, with wide text where a message carries text.
    LRESULT SendMessageA(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
#ifdef UNICODE
    LRESULT SendMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
#endif
    /// Queues the message for the message loop; FALSE without a window.
    BOOL PostMessageA(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
#ifdef UNICODE
    BOOL PostMessageW(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return m_hWnd ? ::PostMessageW(m_hWnd, message, wParam, lParam) : FALSE;
    }
#endif
    /// Asks for a WM_PAINT, delivered by the message loop.
    void Invalidate(BOOL bErase = TRUE);
    /// Sends a pending WM_PAINT now.
    void UpdateWindow();
    /// USER's RedrawWindow on this window: the rectangle or region (both null: the whole client area).
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return m_hWnd ? ::RedrawWindow(m_hWnd, lpRectUpdate,
                                       prgnUpdate ? static_cast<HRGN>(prgnUpdate->m_hObject) : nullptr, flags)
                      : FALSE;
    }
    /// Shows (SW_SHOW) or hides (SW_HIDE) the window; returns whether it was visible.
    BOOL ShowWindow(int nCmdShow);
    /// The client area: (0, 0, width, height).
    void GetClientRect(LPRECT lpRect) const;
    /// The window's rectangle in screen pixels.
    void GetWindowRect(LPRECT lpRect) const;
    /// Client pixels to screen pixels, in place.
    void ClientToScreen(LPPOINT lpPoint) const;
    /// Screen pixels to client pixels, in place.
    void ScreenToClient(LPPOINT lpPoint) const;
    /// Both corners of a rectangle, as the POINT forms move one.
    void ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2); }
    void ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }
    // SetWindowText, GetWindowText and MessageBox are the SDK's macros, naming the A forms here
    // (MFC is built narrow) and the W forms in a Unicode build, which forward to the A forms.
    /// Sets the title (UTF-8).
    void SetWindowTextA(LPCSTR lpszString);
    /// Copies the title (UTF-8, cut to nMaxCount - 1 bytes, zero-terminated); returns its length.
    int GetWindowTextA(LPSTR lpszStringBuf, int nMaxCount) const;
    /// Shows a message box when a display is available; otherwise writes "caption: text" to standard
    /// error and returns the default answer of nType.
    int MessageBoxA(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);
    /// The title into a string; returns its length.
    int GetWindowTextA(CStringA& rString) const
    {
        const int n = ::GetWindowTextLengthA(m_hWnd);
        const int got = GetWindowTextA(rString.GetBuffer(n + 1), n + 1);
        rString.ReleaseBuffer(got);
        return got;
    }
    /// Moves the window to the middle of its parent's client area (a child), of its owner or
    /// pAlternateOwner, or of the screen.
    void CenterWindow(CWnd* pAlternateOwner = nullptr)
    {
        RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        const bool child = (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & WS_CHILD) != 0;
        const HWND around = pAlternateOwner ? pAlternateOwner->m_hWnd : child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
        if (around && child)
            ::GetClientRect(around, &area);
        else if (around)
            ::GetWindowRect(around, &area);
        RECT mine{};
        ::GetWindowRect(m_hWnd, &mine);
        const int w = mine.right - mine.left, h = mine.bottom - mine.top;
        ::SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - w) / 2,
                       area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
#ifdef UNICODE
    int GetWindowTextW(CStringW& rString) const
    {
        const int n = ::GetWindowTextLengthW(m_hWnd);
        const int got = GetWindowTextW(rString.GetBuffer(n + 1), n + 1);
        rString.ReleaseBuffer(got);
        return got;
    }
    void SetWindowTextW(MoxWideText lpszString) { SetWindowTextA(lpszString); }
    /// The title in wide units, cut to nMaxCount - 1 and zero-terminated; returns its length.
    int GetWindowTextW(LPWSTR lpszStringBuf, int nMaxCount) const
    {
        if (!lpszStringBuf || nMaxCount <= 0)
            return 0;
        // UTF-8 takes at most 4 bytes for each code point, one wide unit each here.
        std::string utf8(static_cast<std::size_t>(nMaxCount) * 4 + 1, '\0');
        GetWindowTextA(&utf8[0], static_cast<int>(utf8.size()));
        return MoxCopyWide(utf8.c_str(), lpszStringBuf, nMaxCount);
    }
    int MessageBoxW(MoxWideText lpszText, MoxWideText lpszCaption = static_cast<const wchar_t*>(nullptr),
                    UINT nType = MB_OK)
    {
        return MessageBoxA(lpszText, lpszCaption, nType);
    }
#endif
    /// The client area's device context as a CDC, until ReleaseDC; null without a window.
    CDC* GetDC();
    /// Gives back a CDC from GetDC (and deletes it); 1 when released, 0 otherwise.
    int ReleaseDC(CDC* pDC);
    /// Sends WM_TIMER (OnTimer) every nElapse milliseconds through the message loop; returns nIDEvent, 0 on failure.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    /// Stops the timer; FALSE when there is none of that identifier.
    BOOL KillTimer(UINT_PTR nIDEvent);

    // Placement, focus, painting and children, as the Win32 functions of the same names do them.
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                     bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
    }
    /// Gives this window the keyboard focus; the window that had it, or null.
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    /// The window that has the keyboard focus, or null.
    static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    /// The child with the id, or null.
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    // Menus (mox_afxmenu.h): temporary CMenu wrappers, as MFC gives them.
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar();
    CMenu* GetSystemMenu(BOOL bRevert) const;
    /// Asks pTarget's ON_UPDATE_COMMAND_UI handlers about each child control by its id, as menus
    /// are asked; with bDisableIfNoHndler, a push button no target handles is disabled.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    // --- Dialog items, subclassing and data exchange (the classes are in mox_afxdlg.h) ---
#ifdef SubclassWindow
#undef SubclassWindow // windowsx.h's macro of the same name, which MFC's member replaces
#endif
    /// The CWnd bound to a live window (CreateEx, SubclassWindow, a CDialog), never a temporary.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    /// Binds this object to an existing window: its messages reach this object's maps from now on,
    /// and what they leave goes on to the window's own procedure. FALSE when either is bound.
    BOOL SubclassWindow(HWND hWnd);
    /// SubclassWindow on pParent's control nID.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    /// Gives the window its own procedure back and releases it; returns it.
    HWND UnsubclassWindow();
    /// DoDataExchange in the direction given; FALSE when a value failed to parse or validate.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemText(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const
    {
        return static_cast<int>(::GetDlgItemText(m_hWnd, nID, lpStr, nMaxCount));
    }
    int GetDlgItemText(int nID, CString& rString) const
    {
        const HWND item = ::GetDlgItem(m_hWnd, nID);
        const int n = item ? ::GetWindowTextLength(item) : 0;
        const int got = item ? ::GetWindowText(item, rString.GetBuffer(n + 1), n + 1) : 0;
        rString.ReleaseBuffer(got);
        return got;
    }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    {
        return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
    }
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
    {
        ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
    }
    /// The id of the first checked button from nIDFirstButton to nIDLastButton; 0 when none is.
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
    {
        for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
            if (::IsDlgButtonChecked(m_hWnd, id))
                return id;
        return 0;
    }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
    }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    {
        return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl ? pWndCtl->m_hWnd : nullptr, bPrevious));
    }
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    {
        return FromHandle(::GetNextDlgGroupItem(m_hWnd, pWndCtl ? pWndCtl->m_hWnd : nullptr, bPrevious));
    }
    /// The window's big (TRUE) or small icon (WM_SETICON); returns the one it had.
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(
            ::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? 1 : 0, reinterpret_cast<LPARAM>(hIcon)));
    }
    HICON GetIcon(BOOL bBigIcon) const
    {
        return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, bBigIcon ? 1 : 0, 0));
    }
    /// WM_SETFONT: the font a control draws its text with (a window of the program's own class
    /// keeps none unless its procedure does, as on Windows).
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE)
    {
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr),
                       MAKELPARAM(bRedraw ? 1 : 0, 0));
    }
    /// WM_GETFONT: a temporary CFont for the control's font; null when it uses the system font.
    CFont* GetFont() const
    {
        return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
    }

    // --- Control bars (afxext.h) ---
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
    /// Lays the visible control bars among the children nIDFirst..nIDLast along the sides of the
    /// client area (or of lpRectClient), then gives child nIDLeftOver what is left. With
    /// reposQuery nothing moves: lpRectParam receives the rectangle left over.
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
    /// Sends the message to every child (bDeep: and their children) of this window.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE);

protected:
    /// Called before SubclassWindow binds a window to this object.
    virtual void PreSubclassWindow();
    /// Moves values between the controls and the member variables (DDX_ and DDV_ calls).
    virtual void DoDataExchange(CDataExchange* pDX);
    /// WM_CTLCOLOR...: the brush to paint the control's background with (the default: what the
    /// window's own procedure answers).
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    /// WM_QUERYDRAGICON: the default answers as DefWindowProc.
    afx_msg HCURSOR OnQueryDragIcon();
    /// WM_SYSCOMMAND: the default carries the command out (DefWindowProc).
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    /// WM_DRAWITEM: the default hands the drawing to the control's own object (its DrawItem,
    /// through OnChildNotify), else to DefWindowProc.
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    /// A message a child control sent to this window, offered to the control's object first:
    /// TRUE when the control handled it (pResult, when not null, takes the answer).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

public:

    // Entry point of every message sent or dispatched to the window: OnWndMsg, else
    // DefWindowProc.
    /// Entry point of every message sent or dispatched to the window: calls the handler below that
    /// matches, else DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Routes WM_COMMAND to OnCommand and every other message through the message map.
    /// Looks the message up in the message maps and calls the handler; TRUE when one was found.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called by the application's message loop before a message for this window is translated
    // and dispatched; TRUE keeps it from going further.
    /// Sees a message for this window before it is dispatched; TRUE swallows it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    // Unpacks WM_COMMAND and hands it to OnCmdMsg: lParam 0 is a command (CN_COMMAND), else a
    // control's notification with the code in the high word of wParam.
    /// WM_COMMAND: LOWORD(wParam) is the identifier (an image button's id), lParam 0. Return TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    /// Default handling: WM_CLOSE destroys the window, Alt+F4 and SC_CLOSE ask it to close, an
    /// unhandled wheel turn goes to the parent; others return 0.
    virtual LRESULT DefWindowProcA(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc is the SDK's A/W macro, so a program's override is named DefWindowProcA in
    // a narrow build and DefWindowProcW in a Unicode one. MFC calls the W one, which hands the
    // message to the A one unless a Unicode program's override took it: either override is called.
    /// The W spelling of DefWindowProc; calls DefWindowProcA.
    virtual LRESULT DefWindowProcW(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc for the message being handled now.
    /// DefWindowProc with the message being handled.
    LRESULT Default();

    DECLARE_MESSAGE_MAP()

protected:
    /// WM_CREATE, during CreateEx; return -1 to fail the creation.
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    /// WM_PAINT: draw the window (a CPaintDC of this window).
    virtual void OnPaint();
    /// WM_ERASEBKGND; return TRUE when the background was erased.
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    /// The client area is now cx x cy pixels.
    virtual void OnSize(UINT nType, int cx, int cy);
    /// WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED and WM_GETMINMAXINFO: DefWindowProc's handling
    /// (after a change, WM_MOVE and WM_SIZE).
    virtual void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    virtual void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    virtual void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    /// The window got the keyboard focus.
    virtual void OnSetFocus(CWnd* pOldWnd);
    /// The window lost the keyboard focus.
    virtual void OnKillFocus(CWnd* pNewWnd);
    /// The pointer moved to point (client pixels); nFlags holds MK_LBUTTON while the button is down.
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    /// The left button went down at point.
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    /// The left button went up at point.
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    /// A double click of the left button at point.
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    /// The right button went down at point.
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    /// The right button went up at point.
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    /// A double click of the right button.
    virtual void OnRButtonDblClk(UINT nFlags, CPoint point);
    /// The middle button went down at point.
    virtual void OnMButtonDown(UINT nFlags, CPoint point);
    /// The middle button went up at point.
    virtual void OnMButtonUp(UINT nFlags, CPoint point);
    /// A double click of the middle button.
    virtual void OnMButtonDblClk(UINT nFlags, CPoint point);
    // pt is in screen coordinates, as Windows sends it.
    /// The wheel turned by zDelta (120 a notch) at pt (screen pixels); return TRUE when handled.
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    // nRepCnt is lParam's low word, nFlags its high word (scan code, KF_EXTENDED, KF_ALTDOWN,
    // KF_REPEAT, KF_UP).
    /// A key went down: nChar is its virtual-key code (VK_...).
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    /// A key went up.
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    /// A key went down with Alt (or F10).
    virtual void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    /// A key went up with Alt.
    virtual void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    // nChar is one wchar_t; see TranslateMessage.
    /// A character typed (nChar).
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    /// A character typed with Alt.
    virtual void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    /// A timer of SetTimer fired.
    virtual void OnTimer(UINT_PTR nIDEvent);
    /// A scroll bar sent SB_* code nSBCode (nPos: the thumb's position for SB_THUMBTRACK and
    /// SB_THUMBPOSITION); pScrollBar is the control, or null for the window's own bar.
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    /// A popup of the window's menu (or its system menu) is about to show.
    virtual void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    /// The user asked to close the window; the default destroys it.
    virtual void OnClose();
    /// The window is being destroyed.
    virtual void OnDestroy();
    /// The last call a window receives, after its handle is gone.
    virtual void PostNcDestroy();
};

/// A top-level window with a title. Like MFC's, it deletes itself once its window is destroyed,
/// so it is made with new; as the application's main window, its end ends the message loop.
/// Made from a document template, it holds the view (AFX_IDW_PANE_FIRST) over its client area.
class MOXPLAT_API CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)

public:
    /// CW_USEDEFAULT position and size.
    static const CRect rectDefault;

    CFrameWnd() = default;

    /// Creates the window: PreCreateWindow first (class name null: a default class), titled
    /// lpszWindowName, at rect; pContext (when not null) says which view OnCreateClient makes.
    /// The menu name is accepted and ignored (menus are not loaded from resources here).
    /// FALSE when it cannot be made.
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
#ifdef UNICODE
    BOOL Create(MoxWideText lpszClassName, MoxWideText lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                MoxWideText lpszMenuName = static_cast<const wchar_t*>(nullptr), DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr)
    {
        return Create(static_cast<LPCSTR>(lpszClassName), static_cast<LPCSTR>(lpszWindowName), dwStyle, rect,
                      pParentWnd, static_cast<LPCSTR>(lpszMenuName), dwExStyle, pContext);
    }
#endif
    /// Create with the default rectangle. Resource nIDResource gives the title (the first
    /// '\n'-separated part of its string; the application's name when there is none), the icon
    /// of the window's class and the accelerator table.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    /// Last changes to the window's creation parameters; FALSE stops the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // The frame first, then the application object.
    /// Routes a command to the frame first, then to the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    /// Makes the view pContext names, as child AFX_IDW_PANE_FIRST; null when it cannot be made.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    /// Lays the view (the child AFX_IDW_PANE_FIRST) over the whole client area.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    /// The frame's view, or null.
    CView* GetActiveView() const;
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    /// The active view's document, or null.
    virtual CDocument* GetActiveDocument();
    /// Calls OnInitialUpdate of the frame's views, shows the frame when bMakeVisible (the
    /// application's m_nCmdShow for its main window), and sets the title from the document.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    /// The title: "<document> - <application>" when the style has FWS_ADDTOTITLE.
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    /// The title the frame adds the document's to (the application's name by default).
    CStringA m_strTitle; // narrow in every build: the class's layout is the library's
    /// Menu items with neither an update handler nor a command handler are disabled.
    BOOL m_bAutoMenuEnable = TRUE;

protected:
    /// Makes the view of pContext (see CreateView); FALSE fails the frame's creation.
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    /// WM_CREATE: OnCreateClient with the creation's context, then RecalcLayout.
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    /// WM_SIZE: RecalcLayout.
    void OnSize(UINT nType, int cx, int cy) override;
    /// Runs the update handlers (ON_UPDATE_COMMAND_UI) for each item of the popup.
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) override;
    /// Deletes the frame object.
    void PostNcDestroy() override;

    CView* m_pViewActive = nullptr;
    DWORD m_dwCreateStyle = 0;

public:
    /// The accelerator table LoadFrame or LoadAccelTable loaded; its keys become WM_COMMAND.
    HACCEL m_hAccelTable = nullptr;
    /// Loads the accelerator table of this name from the resources; FALSE when there is none or
    /// one is loaded already.
    BOOL LoadAccelTable(LPCTSTR lpszResourceName)
    {
        if (m_hAccelTable || !lpszResourceName)
            return FALSE;
        m_hAccelTable = ::LoadAccelerators(AfxGetResourceHandle(), lpszResourceName);
        return m_hAccelTable != nullptr;
    }
    /// Translates the keys of the frame's accelerator table.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // --- Control bars (afxext.h) ---
    /// The sides bars may dock at (CBRS_ALIGN_...).
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & 0xF000; } // CBRS_ALIGN_ANY
    /// Docks the bar at the side its style names, or at the top (AFX_IDW_DOCKBAR_TOP) or bottom
    /// (AFX_IDW_DOCKBAR_BOTTOM) docking site; then lays the frame out again.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    /// Shows or hides the bar and lays the frame out again.
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    /// The child control bar with that id, or null.
    CControlBar* GetControlBar(UINT nID);
    /// The status bar (child AFX_IDW_STATUS_BAR), or null.
    virtual CWnd* GetMessageBar();
    /// Shows the text (or string nID) in the status bar's first pane.
    void SetMessageText(LPCSTR lpszText);
    void SetMessageText(UINT nID);
#ifdef UNICODE
    void SetMessageText(MoxWideText lpszText) { SetMessageText(static_cast<LPCSTR>(lpszText)); }
#endif
    DWORD m_dwDockStyle = 0;

protected:
    /// ID_INDICATOR_CAPS, _NUM, _SCRL: the pane is enabled (its text shows) while the key is on.
    afx_msg void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    /// ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR: shows or hides the bar of that id.
    afx_msg void OnBarCheck(UINT nID);
    /// The menu item of a bar is checked while the bar is visible.
    afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()
};

// --- The application object ---------------------------------------------------------------------

/// The message loop of the application's thread.
class MOXPLAT_API CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)

public:
    /// The main window: when it is destroyed, the message loop ends.
    CWnd* m_pMainWnd = nullptr;

    /// Set-up of the thread; FALSE ends the program before the loop.
    virtual BOOL InitInstance();
    // The message loop: idle work while the queue is empty, then each message through
    // PreTranslateMessage, TranslateMessage and DispatchMessage, until WM_QUIT. Returns
    // ExitInstance().
    /// The message loop: until WM_QUIT, then ExitInstance; returns the exit code.
    virtual int Run();
    /// Takes one message, translates and dispatches it; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Asks the target window and its parents; TRUE when one of them took the message.
    /// Sees each message before it is dispatched; TRUE swallows it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called while the queue is empty, lCount counting from 0; TRUE asks to be called again.
    /// Called when the queue is empty; return TRUE for more idle calls.
    virtual BOOL OnIdle(LONG lCount);
    // Returns the exit code: WM_QUIT's wParam.
    /// Clean-up after the loop; returns the exit code.
    virtual int ExitInstance();
    /// m_pMainWnd.
    virtual CWnd* GetMainWnd();

protected:
    /// The message being handled.
    MSG m_msgCur{};
};

/// The most recently used files, kept in the settings under "Recent File List" as File1, File2,
/// ... (LoadStdProfileSettings reads them, ExitInstance writes them back).
class MOXPLAT_API CRecentFileList {
public:
    CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen = 30);
    virtual ~CRecentFileList() = default;
    int GetSize() const { return m_nSize; }
    /// The name at nIndex (0: the most recent); empty past the names held.
    CString operator[](int nIndex) const;
    /// Puts the name first; a name already listed (ignoring ASCII case) moves up.
    virtual void Add(LPCSTR lpszPathName);
#ifdef UNICODE
    void Add(MoxWideText lpszPathName) { Add(static_cast<LPCSTR>(lpszPathName)); }
#endif
    virtual void Remove(int nIndex);
    virtual void ReadList();
    virtual void WriteList();

    UINT m_nStart; // the command id of the first entry (ID_FILE_MRU_FILE1)
    CStringA m_strSectionName;
    CStringA m_strEntryFormat; // "File%d"

protected:
    int m_nSize;
    std::vector<CStringA> m_names;
};

/// The application object: one global object of a class derived from it. With MoxPlatformMain
/// linked, main calls AfxWinMain, which runs InitApplication, InitInstance (create the main window
/// there) and Run, the message loop, then ExitInstance.
class MOXPLAT_API CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)

public:
    /// The system's cursor or icon of a stock id (IDC_ARROW, IDI_APPLICATION, ...).
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursor(nullptr, lpszCursorName); }
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIcon(nullptr, lpszIconName); }
    /// The program's own icon or cursor from the resources (AfxGetResourceHandle), at the system
    /// size; null when there is none.
    HICON LoadIcon(LPCTSTR lpszResourceName) const { return ::LoadIcon(AfxGetResourceHandle(), lpszResourceName); }
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCE(nIDResource)); }
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const
    {
        return ::LoadCursor(AfxGetResourceHandle(), lpszResourceName);
    }
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCE(nIDResource)); }
    /// Registers this object as the application (the first one made); there should be exactly one.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
#ifdef UNICODE
    // The name is kept for the program's life, as m_pszAppName points at it.
    explicit CWinApp(const wchar_t* lpszAppName)
        : CWinApp(lpszAppName ? MoxKeepText(MoxWideText(lpszAppName).str()) : static_cast<LPCSTR>(nullptr))
    {
    }
#endif
    ~CWinApp() override;

    /// The application's name (UTF-8 in every build).
    LPCSTR m_pszAppName = nullptr;
    /// The program's instance handle.
    HINSTANCE m_hInstance = nullptr;
    /// The arguments after the program name, separated by spaces (UTF-8 in every build).
    LPSTR m_lpCmdLine = nullptr;
    /// How the main window is first shown.
    int m_nCmdShow = SW_SHOWDEFAULT;

    /// Called once before InitInstance.
    virtual BOOL InitApplication();

    // --- Settings ("profile"). Kept in a UTF-8 INI file: with a registry key,
    // <config>/<key>/<m_pszProfileName>.ini, else <config>/<m_pszProfileName>, where <config> is
    // $XDG_CONFIG_HOME (else $HOME/.config) here and %APPDATA% on Windows. An absolute
    // m_pszProfileName is used as it is. Sections and entries match ignoring ASCII case.

    /// The executable's name without its extension.
    LPCSTR m_pszExeName = nullptr;
    /// Fills m_pszAppName (when null), m_pszExeName and m_pszProfileName from the executable's
    /// name; AfxWinMain calls it before InitInstance.
    void SetCurrentHandles();
    /// The settings' name: the application's name once SetRegistryKey was called, else
    /// "<exe name>.INI" (allocated with malloc; a program may free and replace it).
    LPCSTR m_pszProfileName = nullptr;
    /// The key given to SetRegistryKey, or null.
    LPCSTR m_pszRegistryKey = nullptr;

    /// Keeps settings under lpszRegistryKey (usually the maker's name) and the application's name.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    /// The entry's integer; nDefault when absent or not a number.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    /// Stores the integer; FALSE when the settings file cannot be written.
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    /// The entry's text; lpszDefault (or empty) when absent.
    CStringA GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    /// Stores the text (cut at a line break); a null value removes the entry, a null entry the
    /// whole section. FALSE when the file cannot be written or a name holds a line break, '[' or '='.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
#ifdef UNICODE
    void SetRegistryKey(MoxWideText lpszRegistryKey) { SetRegistryKey(static_cast<LPCSTR>(lpszRegistryKey)); }
    UINT GetProfileInt(MoxWideText lpszSection, MoxWideText lpszEntry, int nDefault)
    {
        return GetProfileInt(static_cast<LPCSTR>(lpszSection), static_cast<LPCSTR>(lpszEntry), nDefault);
    }
    BOOL WriteProfileInt(MoxWideText lpszSection, MoxWideText lpszEntry, int nValue)
    {
        return WriteProfileInt(static_cast<LPCSTR>(lpszSection), static_cast<LPCSTR>(lpszEntry), nValue);
    }
    CStringA GetProfileString(MoxWideText lpszSection, MoxWideText lpszEntry,
                              MoxWideText lpszDefault = static_cast<const wchar_t*>(nullptr))
    {
        return GetProfileString(static_cast<LPCSTR>(lpszSection), static_cast<LPCSTR>(lpszEntry),
                                static_cast<LPCSTR>(lpszDefault));
    }
    BOOL WriteProfileString(MoxWideText lpszSection, MoxWideText lpszEntry, MoxWideText lpszValue)
    {
        return WriteProfileString(static_cast<LPCSTR>(lpszSection), static_cast<LPCSTR>(lpszEntry),
                                  static_cast<LPCSTR>(lpszValue));
    }
#endif
    /// The file the settings are kept in (see above).
    CStringA GetProfileFilePath() const;

    // --- The command line and documents.

    /// Splits m_lpCmdLine as Windows' C runtime splits a command line and hands each argument to
    /// rCmdInfo.ParseParam ('/' or '-' marks a flag).
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    /// Does what the command line asks: FileNew makes a new document (OnFileNew), FileOpen
    /// opens m_strFileName, FileNothing nothing. FALSE when the program should end: the command
    /// failed or left no main window, or it asked for what this platform does not do (printing,
    /// registering, DDE).
    virtual BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    /// Adds a document template; the application deletes it at the end.
    void AddDocTemplate(CDocTemplate* pTemplate);
    /// The number of document templates.
    int GetDocTemplateCount() const;
    /// ID_FILE_NEW: a new document from the (first) template, with its frame and view.
    afx_msg void OnFileNew();
    /// Opens lpszFileName with the first template; null when that fails.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    /// Deletes the document templates, then CWinThread::ExitInstance.
    int ExitInstance() override;
    /// ID_APP_EXIT: asks the main window to close (WM_CLOSE), which ends the program.
    afx_msg void OnAppExit();
    /// ID_HELP (F1, a dialog's Help button), when the program maps it: there is no help viewer
    /// on this platform, so the user is told help cannot be shown, as when Windows cannot launch it.
    afx_msg void OnHelp();
    /// Reads the settings of a document program: up to nMaxMRU recently used files (0: none; at
    /// most 16) into m_pRecentFileList.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    /// Writes the recent-file list back (ExitInstance does).
    void SaveStdProfileSettings();
    /// Puts the file first in the recent-file list (nothing without LoadStdProfileSettings).
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
#ifdef UNICODE
    void AddToRecentFileList(MoxWideText lpszPathName) { AddToRecentFileList(static_cast<LPCSTR>(lpszPathName)); }
#endif
    /// The recent-file list, or null before LoadStdProfileSettings.
    CRecentFileList* m_pRecentFileList = nullptr;

    /// ID_FILE_PRINT_SETUP: the printer set-up; with no printer (always, here) it tells the user
    /// so in a message box, as Windows' print dialog does when none is installed.
    afx_msg void OnFilePrintSetup();

    /// What the program asks of Windows' restart manager (AFX_RESTART_MANAGER_...). There is no
    /// restart manager here, so nothing registers with one: the value is only kept.
    DWORD m_dwRestartManagerSupportFlags = 0;

    DECLARE_MESSAGE_MAP()

private:
    CDocTemplate* m_templates[16] = {};
    int m_templateCount = 0;
};

/// What the command line asked for, filled by CWinApp::ParseCommandLine.
class MOXPLAT_API CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1,
           RestartByRestartManager = 7 };

    CCommandLineInfo() = default;
    ~CCommandLineInfo() override;

    /// One argument: bFlag when it began with '/' or '-' (removed), bLast for the last one.
    /// Flags: "p" print, "pt" print to, "dde", "Embedding", "Automation", "Register"/"Regserver",
    /// "Unregister"/"Unregserver" (any case); the first other argument is the file to open.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);
    /// The wide form, which ParseCommandLine calls: a Unicode program overrides this one. The
    /// default hands the argument, converted, to the narrow form.
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    BOOL m_bRegisterPerUser = FALSE;
    int m_nShellCommand = FileNew;
    CStringA m_strFileName;
    CStringA m_strPrinterName;
    CStringA m_strDriverName;
    CStringA m_strPortName;
    CStringA m_strRestartIdentifier;

protected:
    void ParseParamFlag(const char* pszParam);
    void ParseParamNotFlag(const char* pszParam);
    void ParseLast(BOOL bLast);
};

MOXPLAT_API CWinApp* AfxGetApp();
/// The application's name (m_pszAppName), or null without an application object.
MOXPLAT_API LPCSTR AfxGetAppName();
#ifdef UNICODE
// A Unicode build gets the name as wide text, kept for the program's life.
inline LPCWSTR MoxAfxGetAppNameW()
{
    LPCSTR name = AfxGetAppName();
    return name ? MoxKeepText(MoxWiden(name)) : nullptr;
}
#define AfxGetAppName MoxAfxGetAppNameW
#endif
/// The program's instance handle (m_hInstance), or null without an application object.
MOXPLAT_API HINSTANCE AfxGetInstanceHandle();
MOXPLAT_API CWnd* AfxGetMainWnd();
MOXPLAT_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
MOXPLAT_API int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
/// The message is the string resource nIDPrompt of the resource module (empty when missing).
MOXPLAT_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
#ifdef UNICODE
inline int AfxMessageBox(MoxWideText lpszText, UINT nType = MB_OK, UINT nIDHelp = 0)
{
    return AfxMessageBox(static_cast<LPCSTR>(lpszText), nType, nIDHelp);
}
#endif

extern "C++" MOXPLAT_API LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                                     HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
#ifdef UNICODE
// A Unicode build gets the class name as wide text, kept for the program's life. It reads as the
// narrow name too, because the CREATESTRUCT of MFC's PreCreateWindow is the narrow one here
// (cs.lpszClass = AfxRegisterWndClass(...), as the wizard writes it).
class MoxRegisteredClassName {
public:
    explicit MoxRegisteredClassName(LPCSTR narrow)
        : narrow_(narrow), wide_(narrow ? MoxKeepText(MoxWiden(narrow)) : nullptr)
    {
    }
    operator LPCWSTR() const { return wide_; }
    operator LPCSTR() const { return narrow_; }

private:
    LPCSTR narrow_;
    LPCWSTR wide_;
};
inline MoxRegisteredClassName MoxAfxRegisterWndClassW(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                                      HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr)
{
    return MoxRegisteredClassName(AfxRegisterWndClass(nClassStyle, hCursor, hbrBackground, hIcon));
}
#define AfxRegisterWndClass MoxAfxRegisterWndClassW
#endif

// --- Device contexts of a window ------------------------------------------------------------------

/// The client area's device context for the life of the object (GetDC, then ReleaseDC).
class MOXPLAT_API CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd = nullptr;
};

// --- Documents and views ---------------------------------------------------------------------------

/// What a frame needs to make its view: the view's class and the document it shows.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

/// A document: the data views show. Its views are listed here; UpdateAllViews tells them of a
/// change. Files are read and written through Serialize (a CArchive over a CFile). There is no
/// file dialog here, so Save As and File Open are absent; ID_FILE_SAVE saves to the document's
/// path.
class MOXPLAT_API CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)

public:
    CDocument() = default;
    /// Tells its views the document is gone.
    ~CDocument() override;

    const CStringA& GetTitle() const { return m_strTitle; }
    /// Sets the title and the titles of the frames showing the document.
    virtual void SetTitle(LPCSTR lpszTitle);
#ifdef UNICODE
    void SetTitle(MoxWideText lpszTitle) { SetTitle(static_cast<LPCSTR>(lpszTitle)); }
#endif
    const CStringA& GetPathName() const { return m_strPathName; }
    /// Sets the path, and the title to the path's file name.
    virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
#ifdef UNICODE
    void SetPathName(MoxWideText lpszPathName, BOOL bAddToMRU = TRUE)
    {
        SetPathName(static_cast<LPCSTR>(lpszPathName), bAddToMRU);
    }
#endif
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    /// Adds pView to the document's views (done when a view is made for it).
    void AddView(CView* pView);
    /// Removes pView from the document's views.
    void RemoveView(CView* pView);
    /// The position of the first view; null when there is none.
    virtual POSITION GetFirstViewPosition() const;
    /// The view at rPosition, moving rPosition on (null after the last).
    virtual CView* GetNextView(POSITION& rPosition) const;
    /// Calls OnUpdate of every view but pSender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);

    /// A new, empty document: DeleteContents, no path, not modified.
    virtual BOOL OnNewDocument();
    /// DeleteContents, then Serialize from the file (load); not modified afterwards. FALSE, after
    /// telling the user why in a message box, when the file cannot be opened or read.
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    /// Serialize into the file (store), made anew; not modified afterwards. FALSE, after telling
    /// the user why, when it cannot be written.
    virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
#ifdef UNICODE
    BOOL OnOpenDocument(MoxWideText lpszPathName) { return OnOpenDocument(static_cast<LPCSTR>(lpszPathName)); }
    BOOL OnSaveDocument(MoxWideText lpszPathName) { return OnSaveDocument(static_cast<LPCSTR>(lpszPathName)); }
#endif
    /// Saves to the document's path; FALSE (with a message) when it has none or saving fails.
    virtual BOOL DoFileSave();
    /// Destroys the frames of the document's views, then the document when m_bAutoDelete.
    virtual void OnCloseDocument();
    /// Empties the document's data; the default has none.
    virtual void DeleteContents();

    /// Deleted with its last view's frame (OnCloseDocument).
    BOOL m_bAutoDelete = TRUE;

    /// ID_FILE_SAVE: DoFileSave.
    afx_msg void OnFileSave();

    DECLARE_MESSAGE_MAP()

protected:
    friend class CDocTemplate;
    friend class CSingleDocTemplate;
    // Narrow in every build: the class's layout is the library's.
    CStringA m_strTitle;
    CStringA m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bModified = FALSE;

private:
    CView* m_views[64] = {};
    int m_viewCount = 0;
};

/// What a print job or a print preview is doing: its pages and where on the page to draw.
/// CView's printing members receive it.
struct MOXPLAT_API CPrintInfo {
    CPrintInfo() = default;
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_nMinPage = nMinPage; }
    void SetMaxPage(UINT nMaxPage) { m_nMaxPage = nMaxPage; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    /// The pages asked for: all of them, as no print dialog narrows the range here.
    UINT GetFromPage() const { return m_nMinPage; }
    UINT GetToPage() const { return m_nMaxPage; }

    /// ID_FILE_PRINT_DIRECT: print without asking.
    BOOL m_bDirect = FALSE;
    /// A print preview rather than a print job.
    BOOL m_bPreview = FALSE;
    /// Cleared by OnPrepareDC to end the job before m_nMaxPage.
    BOOL m_bContinuePrinting = TRUE;
    /// The page being printed.
    UINT m_nCurPage = 1;
    /// Pages shown at once in a preview (1 or 2).
    UINT m_nNumPreviewPages = 1;
    /// The program's own data for the job.
    LPVOID m_lpUserData = nullptr;
    /// The page's printable area, in logical units.
    CRect m_rectDraw;
    /// The preview's page number format.
    CStringA m_strPageDesc;

private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
};

/// A view: a child window that shows a document. OnPaint calls OnDraw with the window's paint
/// device context; a view made by a frame is deleted with its window.
///
/// Printing: this platform has no printers, and behaves as MFC does on a Windows machine where
/// none is installed. DoPreparePrinting tells the user so in a message box and returns FALSE, so
/// ID_FILE_PRINT, ID_FILE_PRINT_DIRECT and ID_FILE_PRINT_PREVIEW (OnFilePrint,
/// OnFilePrintPreview) end after OnPreparePrinting, and OnBeginPrinting, OnPrint and
/// OnEndPrinting are not called by the framework.
class MOXPLAT_API CView : public CWnd {
    DECLARE_DYNAMIC(CView)

public:
    CView() = default;
    /// Leaves its document's list of views.
    ~CView() override;

    /// The document shown, or null.
    CDocument* GetDocument() const { return m_pDocument; }
    /// A child window of pParentWnd; pContext's document gets the view.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, CCreateContext* pContext = nullptr) override;
    /// Last changes to the view's creation parameters; FALSE stops the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    /// The frame the view is in, or null.
    CFrameWnd* GetParentFrame() const;

    /// Draws the view; called by OnPaint.
    virtual void OnDraw(CDC* pDC) = 0;
    /// Called once the frame and document are ready, before the frame is first shown: OnUpdate.
    virtual void OnInitialUpdate();

protected:
    /// The document changed: the default invalidates the whole view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    /// Before OnDraw and OnPrint: a view may set mapping modes or origins on the device context
    /// (pInfo is null when drawing on screen).
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    /// Before a print job or preview: set the pages (SetMaxPage) and call DoPreparePrinting,
    /// whose answer it returns. The default returns TRUE.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    /// Readies the printer for the job; FALSE, after telling the user, when there is no printer
    /// (always, here).
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    /// Around the pages of a job: allocate and free the GDI objects the pages use.
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    /// One page; the default calls OnDraw.
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);

public:
    /// ID_FILE_PRINT and ID_FILE_PRINT_DIRECT: OnPreparePrinting, then the job (see above).
    afx_msg void OnFilePrint();
    /// ID_FILE_PRINT_PREVIEW: OnPreparePrinting with m_bPreview set, then the preview (see above).
    afx_msg void OnFilePrintPreview();

protected:
    /// WM_CREATE: joins the document of the creation's context.
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    /// WM_PAINT: OnPrepareDC and OnDraw with a CPaintDC.
    void OnPaint() override;
    /// Deletes the view object.
    void PostNcDestroy() override;

    CDocument* m_pDocument = nullptr;
    friend class CDocument;
};

/// How documents, frames and views of one kind are made.
class MOXPLAT_API CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)

public:
    ~CDocTemplate() override;

    /// A new document of the template's class, or null.
    virtual CDocument* CreateNewDocument();
    /// A new frame (LoadFrame) with a view of the template's class on pDoc; null on failure.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    /// The frame's views' OnInitialUpdate, then shows it (see CFrameWnd::InitialUpdateFrame).
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    /// A new document (lpszPathName null) or the named one, with its frame and view; null on
    /// failure.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    /// Documents made so far that are still open: first position, next document.
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    /// A document closing leaves the template.
    virtual void RemoveDocument(CDocument* pDoc);

    UINT m_nIDResource = 0;

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    CRuntimeClass* m_pDocClass = nullptr;
    CRuntimeClass* m_pFrameClass = nullptr;
    CRuntimeClass* m_pViewClass = nullptr;
};

/// The template of a program with one document at a time: a new document replaces the old one
/// in the same frame.
class MOXPLAT_API CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)

public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                       CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    void RemoveDocument(CDocument* pDoc) override;

protected:
    CDocument* m_pOnlyDoc = nullptr;
};

// --- The AppWizard's extended classes --------------------------------------------------------------

#define AFX_RESTART_MANAGER_SUPPORT_RESTART 0x01
#define AFX_RESTART_MANAGER_SUPPORT_RECOVERY 0x02
#define AFX_RESTART_MANAGER_AUTOSAVE_AT_RESTART 0x04
#define AFX_RESTART_MANAGER_AUTOSAVE_AT_INTERVAL 0x08
#define AFX_RESTART_MANAGER_REOPEN_PREVIOUS_FILES 0x10
#define AFX_RESTART_MANAGER_RESTORE_AUTOSAVED_FILES 0x20
#define AFX_RESTART_MANAGER_SUPPORT_NO_AUTOSAVE                                                    \
    (AFX_RESTART_MANAGER_SUPPORT_RESTART | AFX_RESTART_MANAGER_SUPPORT_RECOVERY |                  \
     AFX_RESTART_MANAGER_REOPEN_PREVIOUS_FILES)
#define AFX_RESTART_MANAGER_SUPPORT_ALL_ASPECTS                                                    \
    (AFX_RESTART_MANAGER_SUPPORT_NO_AUTOSAVE | AFX_RESTART_MANAGER_AUTOSAVE_AT_RESTART |           \
     AFX_RESTART_MANAGER_AUTOSAVE_AT_INTERVAL | AFX_RESTART_MANAGER_RESTORE_AUTOSAVED_FILES)
#define AFX_RESTART_MANAGER_SUPPORT_RESTART_ASPECTS                                                \
    (AFX_RESTART_MANAGER_SUPPORT_RESTART | AFX_RESTART_MANAGER_AUTOSAVE_AT_RESTART |               \
     AFX_RESTART_MANAGER_REOPEN_PREVIOUS_FILES | AFX_RESTART_MANAGER_RESTORE_AUTOSAVED_FILES)
#define AFX_RESTART_MANAGER_SUPPORT_RECOVERY_ASPECTS                                               \
    (AFX_RESTART_MANAGER_SUPPORT_RECOVERY | AFX_RESTART_MANAGER_AUTOSAVE_AT_INTERVAL |             \
     AFX_RESTART_MANAGER_REOPEN_PREVIOUS_FILES | AFX_RESTART_MANAGER_RESTORE_AUTOSAVED_FILES)

class CContextMenuManager;
class CKeyboardManager;
class CTooltipManager;
class CDockingManager;
class CMFCToolBar;

/// Shows the wait cursor from construction to destruction (Restore shows it again after
/// something else changed the cursor).
class MOXPLAT_API CWaitCursor {
public:
    CWaitCursor() : m_hOld(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor() { ::SetCursor(m_hOld); }
    void Restore() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }

private:
    HCURSOR m_hOld;
};

/// The application object of programs made with the newer AppWizard.
class MOXPLAT_API CWinAppEx : public CWinApp {
    DECLARE_DYNAMIC(CWinAppEx)

public:
    explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE);
    ~CWinAppEx() override;

    // --- The managers (afxcontrolbars.h): made once by their Init call, owned by the application.
    BOOL InitContextMenuManager();
    BOOL InitKeyboardManager();
    BOOL InitTooltipManager();
    /// Null before the Init call.
    CContextMenuManager* GetContextMenuManager() const { return m_pContextMenuManager; }
    CKeyboardManager* GetKeyboardManager() const { return m_pKeyboardManager; }
    CTooltipManager* GetTooltipManager() const { return m_pTooltipManager; }

    // --- Settings under the application's workspace section of the profile (GetProfileInt's
    // store): "Workspace" unless SetRegistryBase names another; a sub-section is appended
    // after a backslash.
    LPCSTR GetRegistryBase() const { return m_strRegSection.GetString(); }
    /// Null: "Workspace". Returns the new base.
    LPCSTR SetRegistryBase(LPCSTR lpszSectionName = nullptr);
    int GetInt(LPCSTR lpszEntry, int nDefault = 0) { return GetSectionInt("", lpszEntry, nDefault); }
    BOOL WriteInt(LPCSTR lpszEntry, int nValue) { return WriteSectionInt("", lpszEntry, nValue); }
    CStringA GetString(LPCSTR lpszEntry, LPCSTR lpszDefault = "")
    {
        return GetSectionString("", lpszEntry, lpszDefault);
    }
    BOOL WriteString(LPCSTR lpszEntry, LPCSTR lpszValue) { return WriteSectionString("", lpszEntry, lpszValue); }
    /// The bytes of the entry in a new[] array the caller deletes; FALSE (and null, 0) when the
    /// entry is absent or not a whole number of bytes in hexadecimal.
    BOOL GetBinary(LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
    {
        return GetSectionBinary("", lpszEntry, ppData, pBytes);
    }
    BOOL WriteBinary(LPCSTR lpszEntry, LPBYTE pData, UINT nBytes)
    {
        return WriteSectionBinary("", lpszEntry, pData, nBytes);
    }
    int GetSectionInt(LPCSTR lpszSubSection, LPCSTR lpszEntry, int nDefault = 0);
    BOOL WriteSectionInt(LPCSTR lpszSubSection, LPCSTR lpszEntry, int nValue);
    CStringA GetSectionString(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPCSTR lpszDefault = "");
    BOOL WriteSectionString(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    BOOL GetSectionBinary(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteSectionBinary(LPCSTR lpszSubSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes);
#ifdef UNICODE
    LPCSTR SetRegistryBase(MoxWideText lpszSectionName) { return SetRegistryBase(static_cast<LPCSTR>(lpszSectionName)); }
    int GetInt(MoxWideText lpszEntry, int nDefault = 0) { return GetInt(static_cast<LPCSTR>(lpszEntry), nDefault); }
    BOOL WriteInt(MoxWideText lpszEntry, int nValue) { return WriteInt(static_cast<LPCSTR>(lpszEntry), nValue); }
    CStringA GetString(MoxWideText lpszEntry, MoxWideText lpszDefault = L"")
    {
        return GetString(static_cast<LPCSTR>(lpszEntry), static_cast<LPCSTR>(lpszDefault));
    }
    BOOL WriteString(MoxWideText lpszEntry, MoxWideText lpszValue)
    {
        return WriteString(static_cast<LPCSTR>(lpszEntry), static_cast<LPCSTR>(lpszValue));
    }
    BOOL GetBinary(MoxWideText lpszEntry, LPBYTE* ppData, UINT* pBytes)
    {
        return GetBinary(static_cast<LPCSTR>(lpszEntry), ppData, pBytes);
    }
    BOOL WriteBinary(MoxWideText lpszEntry, LPBYTE pData, UINT nBytes)
    {
        return WriteBinary(static_cast<LPCSTR>(lpszEntry), pData, nBytes);
    }
#endif

    /// The frame's state: CFrameWndEx::LoadFrame calls LoadState (PreLoadState, then
    /// LoadCustomState); the main frame's closing calls SaveState (SaveCustomState). The three
    /// hooks are the program's to fill; here they do nothing more.
    virtual BOOL LoadState(CFrameWnd* pFrame);
    virtual BOOL SaveState(CFrameWnd* pFrame);
    virtual void PreLoadState() {}
    virtual void LoadCustomState() {}
    virtual void SaveCustomState() {}
    /// The application's user-model id (on Windows it groups the taskbar's buttons).
    void SetAppID(LPCSTR lpszAppID) { m_strAppID = lpszAppID; }
#ifdef UNICODE
    void SetAppID(MoxWideText lpszAppID) { m_strAppID = static_cast<LPCSTR>(lpszAppID); }
#endif
    CStringA m_strAppID;
    /// Whether the main frame's documents get taskbar tabs of their own. Only Windows' taskbar
    /// reads it (it has no meaning here); the setting is kept.
    BOOL EnableTaskbarInteraction(BOOL bEnable = TRUE)
    {
        m_bTaskbarInteraction = bEnable;
        return TRUE;
    }
    BOOL IsTaskbarInteractionEnabled() const { return m_bTaskbarInteraction; }
    BOOL m_bTaskbarInteraction = TRUE;

protected:
    CStringA m_strRegSection = "Workspace";
    CContextMenuManager* m_pContextMenuManager = nullptr;
    CKeyboardManager* m_pKeyboardManager = nullptr;
    CTooltipManager* m_pTooltipManager = nullptr;
};

/// The look of the AppWizard's newer frames. This platform draws one classic look: the manager
/// set is kept and made (GetInstance) so a program reads it back, and drawing does not change.
class MOXPLAT_API CMFCVisualManager : public CObject {
    DECLARE_DYNCREATE(CMFCVisualManager)

public:
    CMFCVisualManager() = default;
    ~CMFCVisualManager() override;
    /// Makes the default manager an object of pRTI's class (a CMFCVisualManager kind; null: the
    /// base class), replacing the one there was.
    static void PASCAL SetDefaultManager(CRuntimeClass* pRTI);
    /// The default manager, made on first use.
    static CMFCVisualManager* PASCAL GetInstance();
};

class MOXPLAT_API CMFCVisualManagerOffice2003 : public CMFCVisualManager {
    DECLARE_DYNCREATE(CMFCVisualManagerOffice2003)
};
class MOXPLAT_API CMFCVisualManagerWindows : public CMFCVisualManagerOffice2003 {
    DECLARE_DYNCREATE(CMFCVisualManagerWindows)

public:
    /// Whether tabs take the themed look; kept for the program (tabs draw one look here).
    static BOOL m_b3DTabsXPTheme;
};
class MOXPLAT_API CMFCVisualManagerOffice2007 : public CMFCVisualManagerOffice2003 {
    DECLARE_DYNCREATE(CMFCVisualManagerOffice2007)

public:
    enum Style { Office2007_LunaBlue, Office2007_ObsidianBlack, Office2007_Aqua, Office2007_Silver };
    static void PASCAL SetStyle(Style style) { s_style = style; }
    static Style PASCAL GetStyle() { return s_style; }

private:
    static Style s_style;
};
class MOXPLAT_API CMFCVisualManagerWindows7 : public CMFCVisualManagerWindows {
    DECLARE_DYNCREATE(CMFCVisualManagerWindows7)
};
class MOXPLAT_API CMFCVisualManagerOfficeXP : public CMFCVisualManager {
    DECLARE_DYNCREATE(CMFCVisualManagerOfficeXP)
};
class MOXPLAT_API CMFCVisualManagerVS2005 : public CMFCVisualManagerOffice2003 {
    DECLARE_DYNCREATE(CMFCVisualManagerVS2005)
};
class MOXPLAT_API CMFCVisualManagerVS2008 : public CMFCVisualManagerVS2005 {
    DECLARE_DYNCREATE(CMFCVisualManagerVS2008)
};

/// The frame window of programs made with the newer AppWizard: its panes (CMFCToolBar,
/// CMFCMenuBar and the other control bars) dock through its docking manager (afxcontrolbars.h).
class MOXPLAT_API CFrameWndEx : public CFrameWnd {
    DECLARE_DYNCREATE(CFrameWndEx)

public:
    CFrameWndEx() = default;
    ~CFrameWndEx() override;

    /// CFrameWnd::LoadFrame, then the application's LoadState (a CWinAppEx's).
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    /// The sides panes may dock at (CBRS_ALIGN_...); TRUE.
    BOOL EnableDocking(DWORD dwDockStyle);
    /// Docks the pane at the top (AFX_IDW_DOCKBAR_TOP, or 0 with a top-aligned pane) or the
    /// bottom; panes at one side are laid out from the frame's edge inwards in the order docked.
    void DockPane(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    /// Shows or hides the pane and lays the frame out again.
    void ShowPane(CControlBar* pBar, BOOL bShow, BOOL bDelay, BOOL bActivate);
    /// The docking manager; made on first use.
    CDockingManager* GetDockingManager();

    /// Lets the user make tool bars (the customize dialog's New, AFX_WM_CREATETOOLBAR) with ids
    /// from uiUserToolbarFirst to uiUserToolbarLast. lpszRegEntry is not used: user tool bars
    /// are not saved. FALSE for an empty range or one outside the control bars' ids.
    BOOL InitUserToolbars(LPCSTR lpszRegEntry, UINT uiUserToolbarFirst, UINT uiUserToolbarLast);
#ifdef UNICODE
    BOOL InitUserToolbars(MoxWideText lpszRegEntry, UINT uiUserToolbarFirst, UINT uiUserToolbarLast)
    {
        return InitUserToolbars(static_cast<LPCSTR>(lpszRegEntry), uiUserToolbarFirst, uiUserToolbarLast);
    }
#endif
    /// The iIndex-th tool bar the user made, or null.
    CMFCToolBar* GetUserToolBarByIndex(int iIndex) const;

    /// Auto-hiding applies to docking windows (CDockablePane), which this platform does not
    /// provide; the sides are kept (GetAutoHidePanes). TRUE.
    BOOL EnableAutoHidePanes(DWORD dwDockStyle)
    {
        m_dwAutoHidePanes = dwDockStyle & 0xF000; // CBRS_ALIGN_ANY
        return TRUE;
    }
    DWORD GetAutoHidePanes() const { return m_dwAutoHidePanes; }
    /// A right click on a pane shows the pane menu (CreatePaneMenu): each named pane, checked
    /// while shown, and uiCustomizeCmd under strCustomizeLabel. The View menu's toolbar entry
    /// is not replaced here.
    void EnablePaneMenu(BOOL bEnable, UINT uiCustomizeCmd, LPCSTR strCustomizeLabel, UINT uiViewToolbarsMenuEntryID,
                        BOOL bContextMenuShowsToolbarsOnly = FALSE, BOOL bViewMenuShowsToolbarsOnly = FALSE);
#ifdef UNICODE
    void EnablePaneMenu(BOOL bEnable, UINT uiCustomizeCmd, MoxWideText strCustomizeLabel,
                        UINT uiViewToolbarsMenuEntryID, BOOL bContextMenuShowsToolbarsOnly = FALSE,
                        BOOL bViewMenuShowsToolbarsOnly = FALSE)
    {
        EnablePaneMenu(bEnable, uiCustomizeCmd, static_cast<LPCSTR>(strCustomizeLabel), uiViewToolbarsMenuEntryID,
                       bContextMenuShowsToolbarsOnly, bViewMenuShowsToolbarsOnly);
    }
#endif
    /// The pane menu: one item a control bar with a name (its window text), in child order,
    /// checked while the bar is shown, with id kPaneMenuFirst + its place; then the customize
    /// item. Null when the pane menu is not enabled. The caller destroys it.
    HMENU CreatePaneMenu();
    static const UINT kPaneMenuFirst = 1;
    /// Tracks the pane menu at the screen point and does what is chosen (shows or hides the
    /// pane, or sends the customize command); FALSE when the pane menu is not enabled.
    BOOL ShowPaneMenu(CPoint ptScreen);

protected:
    /// AFX_WM_CREATETOOLBAR: makes a user tool bar named by lp (UTF-8 text; null: "Custom n"),
    /// docks it at the top and returns it (a CMFCToolBar*); 0 without InitUserToolbars or when
    /// the range is used up.
    afx_msg LRESULT OnToolbarCreateNew(WPARAM wp, LPARAM lp);
    /// The main frame's closing saves the application's state (CWinAppEx::SaveState).
    void OnClose() override;

    CDockingManager* m_pDockManager = nullptr;
    DWORD m_dwAutoHidePanes = 0;
    BOOL m_bPaneMenu = FALSE;
    UINT m_uiPaneMenuCustomizeCmd = 0;
    CStringA m_strPaneMenuCustomize;
    std::vector<HWND> m_paneMenuBars; // the bars of the last CreatePaneMenu, by item
    UINT m_uiUserToolbarFirst = 0;
    UINT m_uiUserToolbarLast = 0;
    std::vector<CMFCToolBar*> m_userToolbars;

    DECLARE_MESSAGE_MAP()
};

// CMenu and CCmdUI.
#include "mox_afxmenu.h"
// Dialogs, the control classes and dialog data exchange.
#include "mox_afxdlg.h"
// CScrollBar and ON_WM_VSCROLL/ON_WM_HSCROLL.
#include "mox_afxscroll.h"
