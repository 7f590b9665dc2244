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

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // the window message
    UINT nCode;      // WM_COMMAND: the notification code
    UINT nID;        // WM_COMMAND: the first id
    UINT nLastID;    // WM_COMMAND: the last id
    UINT_PTR nSig;   // an AfxSig
    AFX_PMSG pfn;    // the handler, to be cast back to the type nSig names
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg, instead of calling, when a caller only asks who would handle a command.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
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

class MOXPLAT_API CPoint : public tagPOINT {
public:
    CPoint() noexcept { x = 0; y = 0; }
    CPoint(int initX, int initY) noexcept { x = initX; y = initY; }
    CPoint(POINT initPt) noexcept { x = initPt.x; y = initPt.y; }
    operator LPPOINT() noexcept { return this; }
};

class MOXPLAT_API CRect : public tagRECT {
public:
    CRect() noexcept { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) noexcept { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& srcRect) noexcept
    {
        left = srcRect.left;
        top = srcRect.top;
        right = srcRect.right;
        bottom = srcRect.bottom;
    }
    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    operator LPRECT() noexcept { return this; }
};

// A device context. Deleting a CDC deletes the device context attached to it.
class MOXPLAT_API CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    BOOL Attach(HDC hDC);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, COLORREF crColor);
};

// The device context of a window while it paints. Here it is the window's own device context,
// valid for as long as the window exists.
class MOXPLAT_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd = nullptr;
};

// --- Command targets and windows ---------------------------------------------------------------

// Anything with a message map: windows and the application object.
class MOXPLAT_API CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    // Calls the map entry for command nID with notification code nCode; TRUE when one handled it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class MOXPLAT_API CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;

    // x and y place the client area on screen (CW_USEDEFAULT: the system's choice).
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL DestroyWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hWnd);
    CWnd* GetParent() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    BOOL ShowWindow(int nCmdShow);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // Entry point of every message sent or dispatched to the window: OnWndMsg, else
    // DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Routes WM_COMMAND to OnCommand and every other message through the message map.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called by the application's message loop before a message for this window is translated
    // and dispatched; TRUE keeps it from going further.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    // Unpacks WM_COMMAND and hands it to OnCmdMsg: lParam 0 is a command (CN_COMMAND), else a
    // control's notification with the code in the high word of wParam.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc for the message being handled now.
    LRESULT Default();

    DECLARE_MESSAGE_MAP()

protected:
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnRButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnMButtonDown(UINT nFlags, CPoint point);
    virtual void OnMButtonUp(UINT nFlags, CPoint point);
    virtual void OnMButtonDblClk(UINT nFlags, CPoint point);
    // pt is in screen coordinates, as Windows sends it.
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    // nRepCnt is lParam's low word, nFlags its high word (scan code, KF_EXTENDED, KF_ALTDOWN,
    // KF_REPEAT, KF_UP).
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    // nChar is one wchar_t; see TranslateMessage.
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnClose();
    virtual void OnDestroy();
    virtual void PostNcDestroy();
};

// A top-level window with a title. Like MFC's, it deletes itself once its window is destroyed,
// so it is made with new; as the application's main window, its end ends the message loop.
class MOXPLAT_API CFrameWnd : public CWnd {
public:
    static const CRect rectDefault; // CW_USEDEFAULT position and size

    CFrameWnd() = default;

    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                        const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                        DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // The frame first, then the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    void PostNcDestroy() override;
};

// --- The application object ---------------------------------------------------------------------

class MOXPLAT_API CWinThread : public CCmdTarget {
public:
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance();
    // The message loop: idle work while the queue is empty, then each message through
    // PreTranslateMessage, TranslateMessage and DispatchMessage, until WM_QUIT. Returns
    // ExitInstance().
    virtual int Run();
    virtual BOOL PumpMessage();
    // Asks the target window and its parents; TRUE when one of them took the message.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called while the queue is empty, lCount counting from 0; TRUE asks to be called again.
    virtual BOOL OnIdle(LONG lCount);
    // Returns the exit code: WM_QUIT's wParam.
    virtual int ExitInstance();
    virtual CWnd* GetMainWnd();

protected:
    MSG m_msgCur{};
};

// One global object of a class derived from this is the program: AfxWinMain (called by the
// entry point in MoxPlatformMain) runs its InitInstance, then Run.
class MOXPLAT_API CWinApp : public CWinThread {
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr; // the arguments after the program name, separated by spaces
    int m_nCmdShow = SW_SHOWDEFAULT;

    virtual BOOL InitApplication();
};

MOXPLAT_API CWinApp* AfxGetApp();
MOXPLAT_API CWnd* AfxGetMainWnd();
MOXPLAT_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
MOXPLAT_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

extern "C++" MOXPLAT_API LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                                     HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
