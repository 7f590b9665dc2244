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

#include <windows.h>

#include <cstring>

#define afx_msg
#ifndef PASCAL
#define PASCAL
#endif

class CCmdTarget;
class CWnd;
class CDC;
struct CCreateContext;

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

#define ON_MESSAGE(message, memberFxn) \
    {message, 0, 0, 0, AfxSig_lwl, AFX_WND_HANDLER(LRESULT(WPARAM, LPARAM), memberFxn)},
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                \
    {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSigCmd_RANGE,                       \
     AfxStoreHandler(static_cast<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn))},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSigCmd_v, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// --- Points and rectangles ----------------------------------------------------------------------

/// A point (x, y) in client pixels, as mouse handlers receive it.
class MOXPLAT_API CPoint : public tagPOINT {
public:
    /// The point (0, 0).
    CPoint() noexcept { x = 0; y = 0; }
    /// The point (initX, initY).
    CPoint(int initX, int initY) noexcept { x = initX; y = initY; }
    /// A copy of initPt.
    CPoint(POINT initPt) noexcept { x = initPt.x; y = initPt.y; }
    /// The point as a POINT pointer.
    operator LPPOINT() noexcept { return this; }
};

/// A rectangle given by its edges; right and bottom lie just outside it.
class MOXPLAT_API CRect : public tagRECT {
public:
    /// The empty rectangle (0, 0, 0, 0).
    CRect() noexcept { left = top = right = bottom = 0; }
    /// The rectangle with left l, top t, right r and bottom b.
    CRect(int l, int t, int r, int b) noexcept { left = l; top = t; right = r; bottom = b; }
    /// A copy of srcRect.
    CRect(const RECT& srcRect) noexcept
    {
        left = srcRect.left;
        top = srcRect.top;
        right = srcRect.right;
        bottom = srcRect.bottom;
    }
    /// right - left.
    int Width() const noexcept { return right - left; }
    /// bottom - top.
    int Height() const noexcept { return bottom - top; }
    /// The rectangle as a RECT pointer, for calls that fill one.
    operator LPRECT() noexcept { return this; }
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
};

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

// --- Command targets and windows ---------------------------------------------------------------

/// Base of the classes that have message maps; routes commands to their handlers.
class MOXPLAT_API CCmdTarget {
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
public:
    /// The window's handle; null before CreateEx and after it is destroyed.
    HWND m_hWnd = nullptr;

    /// A CWnd with no window yet.
    CWnd() = default;
    ~CWnd() override;

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
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    /// CreateEx with the position and size given as a rectangle.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    /// A child window: CreateEx with no extended style, the rectangle and the parent.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
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
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Queues the message for the message loop; FALSE without a window.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    /// Asks for a WM_PAINT, delivered by the message loop.
    void Invalidate(BOOL bErase = TRUE);
    /// Sends a pending WM_PAINT now.
    void UpdateWindow();
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
    /// Sets the title (UTF-8).
    void SetWindowText(LPCTSTR lpszString);
    /// Copies the title (UTF-8, cut to nMaxCount - 1 bytes, zero-terminated); returns its length.
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    /// Shows a message box when a display is available; otherwise writes "caption: text" to standard
    /// error and returns the default answer of nType.
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    /// Sends WM_TIMER (OnTimer) every nElapse milliseconds through the message loop; returns nIDEvent, 0 on failure.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    /// Stops the timer; FALSE when there is none of that identifier.
    BOOL KillTimer(UINT_PTR nIDEvent);

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
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
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
    /// The user asked to close the window; the default destroys it.
    virtual void OnClose();
    /// The window is being destroyed.
    virtual void OnDestroy();
    /// The last call a window receives, after its handle is gone.
    virtual void PostNcDestroy();
};

/// A top-level window with a title. Like MFC's, it deletes itself once its window is destroyed,
/// so it is made with new; as the application's main window, its end ends the message loop.
class MOXPLAT_API CFrameWnd : public CWnd {
public:
    /// CW_USEDEFAULT position and size.
    static const CRect rectDefault;

    CFrameWnd() = default;

    /// Creates the window (class name null: a default class), titled lpszWindowName, at rect;
    /// the menu and context are accepted and ignored. FALSE when it cannot be made.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // The frame first, then the application object.
    /// Routes a command to the frame first, then to the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    /// Deletes the frame object.
    void PostNcDestroy() override;
};

// --- The application object ---------------------------------------------------------------------

/// The message loop of the application's thread.
class MOXPLAT_API CWinThread : public CCmdTarget {
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

/// The application object: one global object of a class derived from it. With MoxPlatformMain
/// linked, main calls AfxWinMain, which runs InitApplication, InitInstance (create the main window
/// there) and Run, the message loop, then ExitInstance.
class MOXPLAT_API CWinApp : public CWinThread {
public:
    /// Registers this object as the application (the first one made); there should be exactly one.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    /// The application's name.
    LPCTSTR m_pszAppName = nullptr;
    /// The program's instance handle.
    HINSTANCE m_hInstance = nullptr;
    /// The arguments after the program name, separated by spaces.
    LPTSTR m_lpCmdLine = nullptr;
    /// How the main window is first shown.
    int m_nCmdShow = SW_SHOWDEFAULT;

    /// Called once before InitInstance.
    virtual BOOL InitApplication();
};

MOXPLAT_API CWinApp* AfxGetApp();
MOXPLAT_API CWnd* AfxGetMainWnd();
MOXPLAT_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
MOXPLAT_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

extern "C++" MOXPLAT_API LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                                     HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
