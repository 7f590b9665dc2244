// Control bars: the frame's layout of its bars, the tool bar and the status bar, drawn with GDI
// in the plain classic style. Only afxext.h and Win32 calls are used here, so a Windows build
// compiles this file as it is.
#include <afxext.h>

#include <cstring>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {

// The window class of every bar: the button face behind it, repainted whole when resized.
LPCSTR BarClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

void Fill(HDC hdc, int l, int t, int r, int b, COLORREF colour)
{
    if (r <= l || b <= t)
        return;
    HBRUSH brush = ::CreateSolidBrush(colour);
    const RECT rc{l, t, r, b};
    ::FillRect(hdc, &rc, brush);
    ::DeleteObject(brush);
}

// A one-pixel 3-D edge: topLeft along the top and left sides, bottomRight along the others.
void Edge(HDC hdc, const RECT& rc, COLORREF topLeft, COLORREF bottomRight)
{
    Fill(hdc, rc.left, rc.top, rc.right - 1, rc.top + 1, topLeft);
    Fill(hdc, rc.left, rc.top, rc.left + 1, rc.bottom - 1, topLeft);
    Fill(hdc, rc.left, rc.bottom - 1, rc.right, rc.bottom, bottomRight);
    Fill(hdc, rc.right - 1, rc.top, rc.right, rc.bottom, bottomRight);
}

COLORREF Sys(int index)
{
    return ::GetSysColor(index);
}

// The text the framework's own resources give the standard indicators, for programs whose
// string tables leave them out.
const char* StandardIndicatorText(UINT id)
{
    switch (id) {
    case ID_INDICATOR_EXT:
        return "EXT";
    case ID_INDICATOR_CAPS:
        return "CAP";
    case ID_INDICATOR_NUM:
        return "NUM";
    case ID_INDICATOR_SCRL:
        return "SCRL";
    case ID_INDICATOR_OVR:
        return "OVR";
    case ID_INDICATOR_REC:
        return "REC";
    case AFX_IDS_IDLEMESSAGE:
        return "Ready";
    default:
        return nullptr;
    }
}

// The string nID from the program's resources, else the framework's standard one; FALSE when
// neither has it.
BOOL LoadFrameworkString(UINT nID, CStringA& text)
{
    char buffer[512];
    const int n = ::LoadStringA(AfxGetResourceHandle(), nID, buffer, sizeof buffer);
    if (n > 0) {
        text = CStringA(buffer, n);
        return TRUE;
    }
    if (const char* standard = StandardIndicatorText(nID)) {
        text = standard;
        return TRUE;
    }
    return FALSE;
}

} // namespace

// --- The frame's side -------------------------------------------------------------------------

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    if (!m_hWnd)
        return;
    CRect left;
    if (lpRectClient)
        left = *lpRectClient;
    else
        GetClientRect(&left);
    const bool query = (nFlag & reposQuery) != 0;
    HWND leftOver = nullptr;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == nIDLeftOver)
            leftOver = child;
        // The bar's own WS_VISIBLE counts, not its frame's: a hidden frame lays out too.
        if (id < nIDFirst || id > nIDLast || !(::GetWindowLongPtrA(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        CWnd* wnd = CWnd::FromHandlePermanent(child);
        if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CControlBar)))
            continue;
        CControlBar* bar = static_cast<CControlBar*>(wnd);
        const CSize size = bar->CalcFixedLayout(bStretch, TRUE);
        const int height = size.cy < left.Height() ? size.cy : left.Height();
        CRect place = left;
        if (bar->GetBarStyle() & CBRS_ALIGN_BOTTOM) {
            place.top = left.bottom - height;
            left.bottom = place.top;
        } else {
            place.bottom = left.top + height;
            left.top = place.bottom;
        }
        if (!query)
            ::MoveWindow(child, place.left, place.top, place.Width(), place.Height(), TRUE);
    }
    if (query) {
        if (lpRectParam)
            *lpRectParam = left;
        return;
    }
    if (leftOver && !(nFlag & reposNoPosLeftOver))
        ::MoveWindow(leftOver, left.left, left.top, left.Width(), left.Height(), TRUE);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!bOnlyPerm || CWnd::FromHandlePermanent(child))
            ::SendMessageA(child, message, wParam, lParam);
        if (bDeep && ::GetWindow(child, GW_CHILD)) {
            CWnd wrapper;
            wrapper.m_hWnd = child;
            wrapper.SendMessageToDescendants(message, wParam, lParam, TRUE, bOnlyPerm);
            wrapper.m_hWnd = nullptr;
        }
    }
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (!m_hWnd)
        return;
    RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    DWORD style = pBar->GetBarStyle() & ~CBRS_ALIGN_ANY;
    if (nDockBarID == AFX_IDW_DOCKBAR_BOTTOM)
        style |= CBRS_ALIGN_BOTTOM;
    else if (nDockBarID == AFX_IDW_DOCKBAR_TOP || !(pBar->GetBarStyle() & CBRS_ALIGN_BOTTOM))
        style |= CBRS_ALIGN_TOP; // the left and right sites are not provided: the top takes them
    else
        style |= CBRS_ALIGN_BOTTOM;
    pBar->SetBarStyle(style);
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    pBar->ShowWindow(bShow ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    CWnd* wnd = CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(nID)));
    return wnd && wnd->IsKindOf(RUNTIME_CLASS(CControlBar)) ? static_cast<CControlBar*>(wnd) : nullptr;
}

CWnd* CFrameWnd::GetMessageBar()
{
    return GetControlBar(AFX_IDW_STATUS_BAR);
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    CWnd* bar = GetMessageBar();
    if (bar && bar->IsKindOf(RUNTIME_CLASS(CStatusBar)))
        static_cast<CStatusBar*>(bar)->SetPaneText(0, lpszText ? lpszText : "");
}

void CFrameWnd::SetMessageText(UINT nID)
{
    CStringA text;
    LoadFrameworkString(nID, text);
    SetMessageText(text.GetString());
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    const int key = pCmdUI->m_nID == ID_INDICATOR_CAPS  ? VK_CAPITAL
                    : pCmdUI->m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK
                                                        : VK_SCROLL;
    pCmdUI->Enable((::GetKeyState(key) & 1) != 0);
}

void CFrameWnd::OnBarCheck(UINT nID)
{
    if (CControlBar* bar = GetControlBar(nID))
        ShowControlBar(bar, (bar->GetStyle() & WS_VISIBLE) == 0, FALSE);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && (bar->GetStyle() & WS_VISIBLE) ? 1 : 0);
}

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, &ThisClass::OnUpdateKeyIndicator)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, &ThisClass::OnUpdateKeyIndicator)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, &ThisClass::OnUpdateKeyIndicator)
ON_COMMAND_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, &ThisClass::OnBarCheck)
ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, &ThisClass::OnUpdateControlBarMenu)
END_MESSAGE_MAP()

// --- CControlBar ------------------------------------------------------------------------------

CControlBar::~CControlBar()
{
    DestroyWindow();
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle != dwStyle) {
        m_dwStyle = dwStyle;
        if (m_hWnd)
            Invalidate();
    }
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    CWnd* parent = GetParent();
    return parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(parent) : nullptr;
}

BOOL CControlBar::CreateBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd || m_hWnd)
        return FALSE;
    // The low word holds the bar's CBRS_ styles, which are no window styles.
    m_dwStyle = dwStyle & CBRS_ALL;
    const DWORD windowStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD | WS_CLIPSIBLINGS;
    if (!CreateEx(0, BarClass(), nullptr, windowStyle, 0, 0, 0, 0, pParentWnd->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID))))
        return FALSE;
    return TRUE;
}

void CControlBar::RecalcParentLayout()
{
    if (CFrameWnd* frame = GetDockingFrame())
        frame->RecalcLayout();
}

BOOL CControlBar::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    Fill(pDC->m_hDC, rc.left, rc.top, rc.right, rc.bottom, Sys(COLOR_BTNFACE));
    return TRUE;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_IDLEUPDATECMDUI) {
        if (GetStyle() & WS_VISIBLE)
            if (CFrameWnd* frame = GetDockingFrame())
                OnUpdateCmdUI(frame, static_cast<BOOL>(wParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// --- CToolBar ---------------------------------------------------------------------------------

namespace {

// A button's state as a CCmdUI: the update handlers enable and check it.
class CToolCmdUI : public CCmdUI {
public:
    CToolBar* bar = nullptr;
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        const int i = static_cast<int>(m_nIndex);
        const UINT style = bar->GetButtonStyle(i);
        bar->SetButtonStyle(i, bOn ? (style & ~TBBS_DISABLED) : (style | TBBS_DISABLED));
    }
    void SetCheck(int nCheck) override
    {
        const int i = static_cast<int>(m_nIndex);
        UINT style = bar->GetButtonStyle(i) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
        if (nCheck == 1)
            style |= TBBS_CHECKED;
        else if (nCheck == 2)
            style |= TBBS_INDETERMINATE;
        bar->SetButtonStyle(i, style | TBBS_CHECKBOX);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR) override {} // a button has no text here
};

} // namespace

CToolBar::~CToolBar()
{
    DestroyWindow();
    FreeImages();
}

void CToolBar::FreeImages()
{
    if (m_hbmImages)
        ::DeleteObject(m_hbmImages);
    if (m_hbmDisabled)
        ::DeleteObject(m_hbmDisabled);
    m_hbmImages = m_hbmDisabled = nullptr;
    m_nImages = 0;
}

void CToolBar::OnDestroy()
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_iPressed = -1;
    CControlBar::OnDestroy();
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    m_dwCtrlStyle = dwCtrlStyle;
    if (!rcBorders.IsRectNull()) {
        m_cxLeftBorder = rcBorders.left;
        m_cyTopBorder = rcBorders.top;
        m_cxRightBorder = rcBorders.right;
        m_cyBottomBorder = rcBorders.bottom;
    }
    if (!CreateBar(pParentWnd, dwStyle, nID))
        return FALSE;
    RecalcParentLayout();
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    if (sizeButton.cx <= 0 || sizeButton.cy <= 0 || sizeImage.cx <= 0 || sizeImage.cy <= 0)
        return;
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd) {
        Invalidate();
        RecalcParentLayout();
    }
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0)
        return FALSE;
    m_buttons.clear();
    int image = 0;
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray ? lpIDArray[i] : 0;
        if (lpIDArray && id == ID_SEPARATOR)
            m_buttons.push_back({0, TBBS_SEPARATOR, 0});
        else
            m_buttons.push_back({id, TBBS_BUTTON, image++});
    }
    if (m_hWnd) {
        Invalidate();
        RecalcParentLayout();
    }
    return TRUE;
}

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName)
{
    const HINSTANCE module = AfxGetResourceHandle();
    HRSRC info = ::FindResourceA(module, lpszResourceName, MAKEINTRESOURCEA(241)); // RT_TOOLBAR
    HGLOBAL handle = info ? ::LoadResource(module, info) : nullptr;
    const BYTE* data = handle ? static_cast<const BYTE*>(::LockResource(handle)) : nullptr;
    const DWORD size = info ? ::SizeofResource(module, info) : 0;
    if (!data || size < 8)
        return FALSE;
    const auto word = [&](DWORD at) { return static_cast<UINT>(data[at] | (data[at + 1] << 8)); };
    const auto dword = [&](DWORD at) { return word(at) | word(at + 2) << 16; };
    // Two layouts reach us. Microsoft's resource compiler writes 16-bit words: version 1, image
    // width and height, the number of items and their ids. MinGW's windres writes 32-bit words
    // and no version: width, height, count, ids.
    UINT width = 0, height = 0, count = 0;
    std::vector<UINT> ids;
    if (word(0) == 1 && word(2) != 0 && word(4) != 0 && size >= 8 + 2 * static_cast<DWORD>(word(6))) {
        width = word(2), height = word(4), count = word(6);
        for (UINT i = 0; i < count; ++i)
            ids.push_back(word(8 + 2 * i));
    } else if (size >= 12 && dword(8) <= (size - 12) / 4) {
        width = dword(0), height = dword(4), count = dword(8);
        for (UINT i = 0; i < count; ++i)
            ids.push_back(dword(12 + 4 * i));
    }
    if (width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF)
        return FALSE;
    // MFC's buttons are 7 pixels wider and taller than their images. The sizes come first: the
    // bitmap's image count follows the image width.
    SetSizes(CSize(static_cast<int>(width) + 7, static_cast<int>(height) + 7),
             CSize(static_cast<int>(width), static_cast<int>(height)));
    if (!LoadBitmap(lpszResourceName))
        return FALSE;
    return SetButtons(ids.data(), static_cast<int>(count));
}

BOOL CToolBar::LoadBitmap(LPCSTR lpszResourceName)
{
    HBITMAP loaded = ::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName);
    if (!loaded)
        return FALSE;
    BITMAP bm{};
    ::GetObjectA(loaded, sizeof bm, &bm);
    const int w = bm.bmWidth, h = bm.bmHeight;
    if (w <= 0 || h <= 0) {
        ::DeleteObject(loaded);
        return FALSE;
    }
    // Two 32-bit copies: the images with light grey turned into the face colour, and the shapes
    // of the disabled images (every pixel that is not light grey or white) in the shadow colour.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    HDC screen = ::GetDC(nullptr);
    const int lines = ::GetDIBits(screen, loaded, 0, static_cast<UINT>(h), pixels.data(), &bi, DIB_RGB_COLORS);
    ::DeleteObject(loaded);
    if (lines != h) {
        ::ReleaseDC(nullptr, screen);
        return FALSE;
    }
    const auto pack = [](COLORREF c) {
        return static_cast<DWORD>(GetRValue(c)) << 16 | static_cast<DWORD>(GetGValue(c)) << 8 | GetBValue(c);
    };
    const DWORD face = pack(Sys(COLOR_BTNFACE)), shadow = pack(Sys(COLOR_BTNSHADOW));
    std::vector<DWORD> normal(pixels.size()), disabled(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const DWORD p = pixels[i] & 0xFFFFFF;
        normal[i] = p == 0xC0C0C0 ? face : p;
        disabled[i] = (p == 0xC0C0C0 || p == 0xFFFFFF) ? face : shadow;
    }
    void* bits = nullptr;
    HBITMAP images = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (images && bits)
        std::memcpy(bits, normal.data(), normal.size() * sizeof(DWORD));
    bits = nullptr;
    HBITMAP grey = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (grey && bits)
        std::memcpy(bits, disabled.data(), disabled.size() * sizeof(DWORD));
    ::ReleaseDC(nullptr, screen);
    if (!images || !grey) {
        if (images)
            ::DeleteObject(images);
        if (grey)
            ::DeleteObject(grey);
        return FALSE;
    }
    FreeImages();
    m_hbmImages = images;
    m_hbmDisabled = grey;
    m_nImages = m_sizeImage.cx > 0 ? w / m_sizeImage.cx : 0;
    if (m_hWnd)
        Invalidate();
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].id == nIDFind && !(m_buttons[i].style & TBBS_SEPARATOR))
            return static_cast<int>(i);
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_buttons[static_cast<std::size_t>(nIndex)].id : 0;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!lpRect)
        return;
    *lpRect = RECT{0, 0, 0, 0};
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    // Separators are 8 pixels wide; the gripper takes the left border's room.
    int x = m_cxLeftBorder + ((m_dwStyle & CBRS_GRIPPER) ? 4 : 0);
    for (int i = 0; i < nIndex; ++i)
        x += (m_buttons[static_cast<std::size_t>(i)].style & TBBS_SEPARATOR) ? 8 : m_sizeButton.cx;
    const bool separator = (m_buttons[static_cast<std::size_t>(nIndex)].style & TBBS_SEPARATOR) != 0;
    *lpRect = RECT{x, m_cyTopBorder, x + (separator ? 8 : m_sizeButton.cx), m_cyTopBorder + m_sizeButton.cy};
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_buttons[static_cast<std::size_t>(nIndex)].style : 0;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Button& b = m_buttons[static_cast<std::size_t>(nIndex)];
    if (b.style == nStyle)
        return;
    const bool widthChanged = ((b.style ^ nStyle) & TBBS_SEPARATOR) != 0;
    b.style = nStyle;
    if (!m_hWnd)
        return;
    if (widthChanged) {
        Invalidate();
        RecalcParentLayout();
    } else {
        CRect rc;
        GetItemRect(nIndex, &rc);
        InvalidateRect(&rc);
    }
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    nID = GetItemID(nIndex);
    nStyle = GetButtonStyle(nIndex);
    iImage = nIndex >= 0 && nIndex < GetCount() ? m_buttons[static_cast<std::size_t>(nIndex)].image : 0;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    m_buttons[static_cast<std::size_t>(nIndex)].id = nID;
    m_buttons[static_cast<std::size_t>(nIndex)].image = iImage;
    m_buttons[static_cast<std::size_t>(nIndex)].style = ~nStyle; // SetButtonStyle sees a change
    SetButtonStyle(nIndex, nStyle);
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL)
{
    int width = m_cxLeftBorder + m_cxRightBorder + ((m_dwStyle & CBRS_GRIPPER) ? 4 : 0);
    for (const Button& b : m_buttons)
        width += (b.style & TBBS_SEPARATOR) ? 8 : m_sizeButton.cx;
    if (bStretch)
        width = 32767;
    return CSize(width, m_sizeButton.cy + m_cyTopBorder + m_cyBottomBorder);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.bar = this;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        const Button& b = m_buttons[state.m_nIndex];
        if (b.style & TBBS_SEPARATOR)
            continue;
        state.m_nID = b.id;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

int CToolBar::HitTest(CPoint point) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (m_buttons[static_cast<std::size_t>(i)].style & (TBBS_SEPARATOR | TBBS_HIDDEN))
            continue;
        CRect rc;
        GetItemRect(i, &rc);
        if (rc.PtInRect(point))
            return i;
    }
    return -1;
}

void CToolBar::OnLButtonDown(UINT, CPoint point)
{
    const int i = HitTest(point);
    if (i < 0 || (m_buttons[static_cast<std::size_t>(i)].style & TBBS_DISABLED))
        return;
    m_iPressed = i;
    m_pressedInside = true;
    SetCapture();
    CRect rc;
    GetItemRect(i, &rc);
    InvalidateRect(&rc);
}

void CToolBar::OnMouseMove(UINT, CPoint point)
{
    if (m_iPressed < 0)
        return;
    const bool inside = HitTest(point) == m_iPressed;
    if (inside != m_pressedInside) {
        m_pressedInside = inside;
        CRect rc;
        GetItemRect(m_iPressed, &rc);
        InvalidateRect(&rc);
    }
}

void CToolBar::OnLButtonUp(UINT, CPoint point)
{
    if (m_iPressed < 0)
        return;
    const int i = m_iPressed;
    m_iPressed = -1;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    CRect rc;
    GetItemRect(i, &rc);
    InvalidateRect(&rc);
    if (HitTest(point) != i)
        return;
    Button& b = m_buttons[static_cast<std::size_t>(i)];
    if (b.style & TBBS_CHECKBOX)
        b.style ^= TBBS_CHECKED;
    // The click is a command to the frame, as a menu item's: BN_CLICKED (0) from this bar.
    if (HWND owner = ::GetParent(m_hWnd))
        ::SendMessageA(owner, WM_COMMAND, MAKEWPARAM(b.id, 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CToolBar::DrawButton(HDC hdc, int nIndex)
{
    const Button& b = m_buttons[static_cast<std::size_t>(nIndex)];
    CRect rc;
    GetItemRect(nIndex, &rc);
    if (b.style & TBBS_HIDDEN)
        return;
    if (b.style & TBBS_SEPARATOR) {
        // An etched line in the middle of the gap.
        const int x = rc.left + rc.Width() / 2 - 1;
        Fill(hdc, x, rc.top + 1, x + 1, rc.bottom - 1, Sys(COLOR_BTNSHADOW));
        Fill(hdc, x + 1, rc.top + 1, x + 2, rc.bottom - 1, Sys(COLOR_BTNHIGHLIGHT));
        return;
    }
    const bool pressed = nIndex == m_iPressed && m_pressedInside;
    const bool checked = (b.style & TBBS_CHECKED) != 0;
    const bool disabled = (b.style & TBBS_DISABLED) != 0;
    Fill(hdc, rc.left, rc.top, rc.right, rc.bottom, Sys(COLOR_BTNFACE));
    if (pressed || checked)
        Edge(hdc, rc, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    else if (!(m_dwCtrlStyle & TBSTYLE_FLAT))
        Edge(hdc, rc, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
    HBITMAP images = disabled ? m_hbmDisabled : m_hbmImages;
    if (!images || b.image < 0 || b.image >= m_nImages)
        return;
    HDC memory = ::CreateCompatibleDC(hdc);
    HGDIOBJ old = ::SelectObject(memory, images);
    const int shift = (pressed || checked) ? 1 : 0;
    const int x = rc.left + (rc.Width() - m_sizeImage.cx) / 2 + shift;
    const int y = rc.top + (rc.Height() - m_sizeImage.cy) / 2 + shift;
    ::BitBlt(hdc, x, y, m_sizeImage.cx, m_sizeImage.cy, memory, b.image * m_sizeImage.cx, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

void CToolBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CRect client;
    GetClientRect(&client);
    if (m_dwStyle & CBRS_GRIPPER) {
        // Two raised bars at the left edge.
        const RECT grip{2, m_cyTopBorder + 1, 5, client.bottom - m_cyBottomBorder - 1};
        Edge(hdc, grip, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        Fill(hdc, client.left, client.bottom - 1, client.right, client.bottom, Sys(COLOR_BTNSHADOW));
    if (m_dwStyle & CBRS_BORDER_TOP)
        Fill(hdc, client.left, client.top, client.right, client.top + 1, Sys(COLOR_BTNHIGHLIGHT));
    for (int i = 0; i < GetCount(); ++i)
        DrawButton(hdc, i);
    ::EndPaint(m_hWnd, &ps);
}

// --- CStatusBar -------------------------------------------------------------------------------

namespace {

// A pane's state as a CCmdUI: enabled panes show their text, SetText replaces it.
class CStatusCmdUI : public CCmdUI {
public:
    CStatusBar* bar = nullptr;
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        const int i = static_cast<int>(m_nIndex);
        const UINT style = bar->GetPaneStyle(i);
        bar->SetPaneStyle(i, bOn ? (style & ~SBPS_DISABLED) : (style | SBPS_DISABLED));
    }
    void SetCheck(int nCheck) override
    {
        const int i = static_cast<int>(m_nIndex);
        const UINT style = bar->GetPaneStyle(i);
        bar->SetPaneStyle(i, nCheck ? (style | SBPS_POPOUT) : (style & ~SBPS_POPOUT));
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCSTR lpszText) override { bar->SetPaneText(static_cast<int>(m_nIndex), lpszText); }
};

constexpr int kPaneGap = 2;     // between panes
constexpr int kPaneMargin = 3;  // text inside a pane's edge

HFONT BarFont()
{
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int TextWidth(const CStringA& text)
{
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, BarFont());
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(screen, text.GetString(), text.GetLength(), &size);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    return size.cx;
}

} // namespace

CStatusBar::~CStatusBar()
{
    DestroyWindow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, UINT nID)
{
    m_cxLeftBorder = 0;
    m_cxRightBorder = 0;
    if (!CreateBar(pParentWnd, dwStyle, nID))
        return FALSE;
    RecalcParentLayout();
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    m_panes.clear();
    BOOL ok = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane{lpIDArray[i], SBPS_NORMAL, 0, CStringA()};
        if (pane.id != ID_SEPARATOR) {
            if (!LoadFrameworkString(pane.id, pane.text))
                ok = FALSE; // MFC: a missing string fails, and the pane stays empty
            pane.cxText = TextWidth(pane.text);
        } else if (i == 0) {
            // The message pane: stretches, no edge of its own, "Ready" while idle.
            pane.style = SBPS_NOBORDERS | SBPS_STRETCH;
            LoadFrameworkString(AFX_IDS_IDLEMESSAGE, pane.text);
        }
        m_panes.push_back(pane);
    }
    if (m_hWnd) {
        Invalidate();
        RecalcParentLayout();
    }
    return ok;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].id == nIDFind)
            return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<std::size_t>(nIndex)].id : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!lpRect)
        return;
    *lpRect = RECT{0, 0, 0, 0};
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    CRect client;
    if (m_hWnd)
        GetClientRect(&client);
    // Panes from the right edge leftwards; the stretching one takes the room that is left.
    const int top = m_cyTopBorder, bottom = client.bottom > top ? client.bottom : top;
    int fixed = 0;
    int stretchers = 0;
    for (const Pane& p : m_panes) {
        if (p.style & SBPS_STRETCH)
            ++stretchers;
        else
            fixed += p.cxText + 2 * kPaneMargin;
    }
    const int spare = client.Width() - fixed - kPaneGap * (GetCount() + 1);
    int x = kPaneGap;
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& p = m_panes[static_cast<std::size_t>(i)];
        int width = p.cxText + 2 * kPaneMargin;
        if (p.style & SBPS_STRETCH)
            width = stretchers > 0 && spare > 0 ? spare / stretchers : 0;
        if (i == nIndex) {
            *lpRect = RECT{x, top, x + width, bottom};
            return;
        }
        x += width + kPaneGap;
    }
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    Pane& p = m_panes[static_cast<std::size_t>(nIndex)];
    const CStringA text(lpszNewText ? lpszNewText : "");
    if (p.text == text)
        return TRUE;
    p.text = text;
    if (bUpdate && m_hWnd) {
        CRect rc;
        GetItemRect(nIndex, &rc);
        InvalidateRect(&rc);
    }
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return CString();
    return CString(m_panes[static_cast<std::size_t>(nIndex)].text.GetString());
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = GetItemID(nIndex);
    nStyle = GetPaneStyle(nIndex);
    cxWidth = nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<std::size_t>(nIndex)].cxText : 0;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& p = m_panes[static_cast<std::size_t>(nIndex)];
    p.id = nID;
    p.style = nStyle;
    p.cxText = cxWidth > 0 ? cxWidth : 0;
    if (m_hWnd)
        Invalidate();
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<std::size_t>(nIndex)].style : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& p = m_panes[static_cast<std::size_t>(nIndex)];
    if (p.style == nStyle)
        return;
    const bool widthChanged = ((p.style ^ nStyle) & SBPS_STRETCH) != 0;
    p.style = nStyle;
    if (!m_hWnd)
        return;
    if (widthChanged) {
        Invalidate();
    } else {
        CRect rc;
        GetItemRect(nIndex, &rc);
        InvalidateRect(&rc);
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL)
{
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, BarFont());
    TEXTMETRICA tm{};
    ::GetTextMetricsA(screen, &tm);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    const int height = tm.tmHeight + 2 * kPaneMargin + m_cyTopBorder + m_cyBottomBorder;
    return CSize(32767, height > 20 ? height : 20);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.bar = this;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].id;
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, FALSE);
    }
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CControlBar::OnSize(nType, cx, cy);
    Invalidate(); // the stretching pane's width follows the bar's
}

void CStatusBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    HGDIOBJ oldFont = ::SelectObject(hdc, BarFont());
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(hdc, Sys(COLOR_BTNTEXT));
    for (int i = 0; i < GetCount(); ++i) {
        const Pane& p = m_panes[static_cast<std::size_t>(i)];
        CRect rc;
        GetItemRect(i, &rc);
        if (rc.IsRectEmpty())
            continue;
        if (!(p.style & SBPS_NOBORDERS)) {
            if (p.style & SBPS_POPOUT)
                Edge(hdc, rc, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
            else
                Edge(hdc, rc, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
        }
        if (p.style & SBPS_DISABLED)
            continue; // a disabled pane shows no text (an indicator whose key is off)
        CRect text(rc.left + kPaneMargin, rc.top + 1, rc.right - kPaneMargin, rc.bottom - 1);
        ::DrawTextA(hdc, p.text.GetString(), p.text.GetLength(), &text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::SetTextColor(hdc, oldColour);
    ::SetBkMode(hdc, oldMode);
    ::SelectObject(hdc, oldFont);
    ::EndPaint(m_hWnd, &ps);
}
