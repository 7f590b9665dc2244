// Message maps: the tables' walk from the most derived class up, and the one place where each
// kind of handler has its arguments unpacked from wParam and lParam. Only afxwin.h and USER
// calls are used here, so a Windows build can compile this file as it is.
#include <afxwin.h>

namespace {

using Entry = AFX_MSGMAP_ENTRY;

// The first entry for a window message (not a command), searching the chain from `map` up.
const Entry* FindMessageEntry(const AFX_MSGMAP* map, UINT message)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const Entry* e = map->lpEntries; e && e->nSig != AfxSig_end; ++e)
            if (e->nMessage == message && message != WM_COMMAND && message != AFX_REGISTERED_MESSAGE_ENTRY)
                return e;
    return nullptr;
}

// The entry of a registered message (ON_REGISTERED_MESSAGE) whose variable now holds `message`.
const Entry* FindRegisteredEntry(const AFX_MSGMAP* map, UINT message)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const Entry* e = map->lpEntries; e && e->nSig != AfxSig_end; ++e)
            if (e->nMessage == AFX_REGISTERED_MESSAGE_ENTRY && *reinterpret_cast<const UINT*>(e->nSig) == message)
                return e;
    return nullptr;
}

// The first command entry for id and notification code.
const Entry* FindCommandEntry(const AFX_MSGMAP* map, UINT nID, UINT nCode)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const Entry* e = map->lpEntries; e && e->nSig != AfxSig_end; ++e)
            if (e->nMessage == WM_COMMAND && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
    return nullptr;
}

// The reflected notification entry for a control's notification code.
const Entry* FindReflectedCommand(const AFX_MSGMAP* map, UINT nCode)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const Entry* e = map->lpEntries; e && e->nSig != AfxSig_end; ++e)
            if (e->nMessage == WM_REFLECT_BASE + WM_COMMAND && e->nCode == nCode)
                return e;
    return nullptr;
}

template <class F> F As(AFX_PMSG pfn)
{
    return AfxLoadHandler<F>(pfn);
}

CPoint PointOf(LPARAM lParam)
{
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

} // namespace

CCmdTarget::~CCmdTarget() = default;

// The root of every chain: no entries, no base.
const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    const Entry* e = FindCommandEntry(GetMessageMap(), nID, static_cast<UINT>(nCode));
    if (!e)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pmf = e->pfn;
        return TRUE;
    }
    if (e->nSig == AfxSigCmdUI || e->nSig == AfxSigCmdUI_RANGE) {
        // An update handler; it may pass the question on (CCmdUI::ContinueRouting).
        auto* cmdUI = static_cast<CCmdUI*>(pExtra);
        if (!cmdUI)
            return FALSE;
        cmdUI->m_bContinueRouting = FALSE;
        (this->*As<void (CCmdTarget::*)(CCmdUI*)>(e->pfn))(cmdUI);
        return !cmdUI->m_bContinueRouting;
    }
    if (e->nSig == AfxSigCmd_RANGE)
        (this->*As<void (CCmdTarget::*)(UINT)>(e->pfn))(nID);
    else
        (this->*e->pfn)();
    return TRUE;
}

// CWnd's own table names its virtual handlers, so overriding one works without a map.
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_TIMER()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONUP()
ON_WM_MBUTTONDBLCLK()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_KEYUP()
ON_WM_SYSKEYDOWN()
ON_WM_SYSKEYUP()
ON_WM_CHAR()
ON_WM_SYSCHAR()
ON_WM_INITMENUPOPUP()
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        result = 1;
    } else if (message == WM_NCDESTROY) {
        // The end of the main window ends the application's message loop.
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) {
            app->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
        if (pResult)
            *pResult = 0;
        PostNcDestroy(); // may delete this
        return TRUE;
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // Every control colour message reaches the one ON_WM_CTLCOLOR handler, told apart by
        // nCtlColor (the messages are numbered in CTLCOLOR_ order). Without one, the control's
        // own class may answer (ON_WM_CTLCOLOR_REFLECT).
        const Entry* e = FindMessageEntry(GetMessageMap(), WM_CTLCOLOR);
        if (!e || e->nSig != AfxSig_hDWw) {
            CWnd* control = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
            if (!control || control == this || !control->OnChildNotify(message, wParam, lParam, &result))
                return FALSE;
        } else {
            CDC dc; // borrows the device context in wParam
            dc.m_hDC = reinterpret_cast<HDC>(wParam);
            const HBRUSH brush = (this->*As<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(e->pfn))(
                &dc, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX);
            dc.m_hDC = nullptr;
            result = reinterpret_cast<LRESULT>(brush);
        }
    } else if (message == WM_CTLCOLOR) {
        return FALSE; // the 16-bit message: its arguments are not the handler's
    } else {
        const Entry* e = FindMessageEntry(GetMessageMap(), message);
        if (!e && message >= 0xC000 && message <= 0xFFFF) {
            if (const Entry* r = FindRegisteredEntry(GetMessageMap(), message)) {
                result = (this->*As<LRESULT (CWnd::*)(WPARAM, LPARAM)>(r->pfn))(wParam, lParam);
                if (pResult)
                    *pResult = result;
                return TRUE;
            }
        }
        if (!e)
            return FALSE;
        const AFX_PMSG pfn = e->pfn;
        switch (e->nSig) {
        case AfxSig_vv:
            (this->*As<void (CWnd::*)()>(pfn))();
            break;
        case AfxSig_is:
            result = (this->*As<int (CWnd::*)(LPCREATESTRUCT)>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
            break;
        case AfxSig_bD: {
            CDC dc; // borrows the device context in wParam
            dc.m_hDC = reinterpret_cast<HDC>(wParam);
            result = (this->*As<BOOL (CWnd::*)(CDC*)>(pfn))(&dc);
            dc.m_hDC = nullptr;
            break;
        }
        case AfxSig_vwp:
            (this->*As<void (CWnd::*)(UINT, CPoint)>(pfn))(static_cast<UINT>(wParam), PointOf(lParam));
            break;
        case AfxSig_bwsp:
            result = (this->*As<BOOL (CWnd::*)(UINT, short, CPoint)>(pfn))(
                LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointOf(lParam));
            break;
        case AfxSig_vwww:
            (this->*As<void (CWnd::*)(UINT, UINT, UINT)>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam),
                                                               HIWORD(lParam));
            break;
        case AfxSig_vwii:
            (this->*As<void (CWnd::*)(UINT, int, int)>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            break;
        case AfxSig_vW:
            (this->*As<void (CWnd::*)(CWnd*)>(pfn))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
            break;
        case AfxSig_v_up_v:
            (this->*As<void (CWnd::*)(UINT_PTR)>(pfn))(wParam);
            break;
        case AfxSig_hv:
            result = reinterpret_cast<LRESULT>((this->*As<HCURSOR (CWnd::*)()>(pfn))());
            break;
        case AfxSig_vwl:
            (this->*As<void (CWnd::*)(UINT, LPARAM)>(pfn))(static_cast<UINT>(wParam), lParam);
            break;
        case AfxSig_lwl:
            result = (this->*As<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
            break;
        case AfxSig_vOWNER:
            (this->*As<void (CWnd::*)(int, LPDRAWITEMSTRUCT)>(pfn))(static_cast<int>(wParam),
                                                                    reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
            result = TRUE;
            break;
        case AfxSig_vwwW: {
            // lParam is the scroll bar control, null for the window's own bar.
            HWND bar = reinterpret_cast<HWND>(lParam);
            (this->*As<void (CWnd::*)(UINT, UINT, CScrollBar*)>(pfn))(
                LOWORD(wParam), HIWORD(wParam), bar ? static_cast<CScrollBar*>(CWnd::FromHandle(bar)) : nullptr);
            break;
        }
        case AfxSig_vPOS:
            (this->*As<void (CWnd::*)(WINDOWPOS*)>(pfn))(reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case AfxSig_vMMI:
            (this->*As<void (CWnd::*)(MINMAXINFO*)>(pfn))(reinterpret_cast<MINMAXINFO*>(lParam));
            break;
        case AfxSig_vMwb:
            (this->*As<void (CWnd::*)(CMenu*, UINT, BOOL)>(pfn))(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)),
                                                                 LOWORD(lParam), HIWORD(lParam));
            break;
        default:
            return FALSE;
        }
    }
    if (pResult)
        *pResult = result;
    return TRUE;
}

// The control's half of message reflection: its own map's reflected entries answer the
// notifications and colour questions it sent its parent.
BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        const Entry* e = FindReflectedCommand(GetMessageMap(), HIWORD(wParam));
        if (!e)
            return FALSE;
        if (e->nSig == AfxSigCmd_b) // _EX: FALSE lets the parent hear it too
            return (this->*As<BOOL (CCmdTarget::*)()>(e->pfn))();
        (this->*e->pfn)();
        return TRUE;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const Entry* e = FindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_CTLCOLOR);
        if (!e || e->nSig != AfxSig_hDw)
            return FALSE;
        CDC dc; // borrows the device context in wParam
        dc.m_hDC = reinterpret_cast<HDC>(wParam);
        const HBRUSH brush = (this->*As<HBRUSH (CWnd::*)(CDC*, UINT)>(e->pfn))(&dc, message - WM_CTLCOLORMSGBOX);
        dc.m_hDC = nullptr;
        if (!brush)
            return FALSE;
        if (pResult)
            *pResult = reinterpret_cast<LRESULT>(brush);
        return TRUE;
    }
    return FALSE;
}
