// Documents, views, document templates, and the frame window's side of them: the frame makes
// its view over its client area from the template's classes and keeps it there.
#include <afxwin.h>

#include "afx_create.h"

#include <cstring>

// --- The frame's view ---------------------------------------------------------------------------

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    const HINSTANCE resources = AfxGetResourceHandle();
    // MFC: the title is the first '\n'-separated part of string nIDResource (the document
    // template's string: title, document name, ...).
    char text[1024];
    if (m_strTitle.IsEmpty() && ::LoadStringA(resources, nIDResource, text, sizeof text) > 0) {
        if (char* newline = std::strchr(text, '\n'))
            *newline = '\0';
        m_strTitle = text;
    }
    CWinApp* app = AfxGetApp();
    if (m_strTitle.IsEmpty() && app && app->m_pszAppName)
        m_strTitle = app->m_pszAppName;
    // The icon of nIDResource is the window class's, as MFC registers a class for it.
    LPCSTR className = nullptr;
    if (HICON icon = ::LoadIconA(resources, MAKEINTRESOURCEA(nIDResource)))
        className = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    // The menu of that id too, when the resources have one.
    if (!Create(className, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd, MAKEINTRESOURCEA(nIDResource), 0,
                pContext))
        return FALSE;
    if (!m_hAccelTable)
        m_hAccelTable = ::LoadAcceleratorsA(resources, MAKEINTRESOURCEA(nIDResource));
    return TRUE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg && m_hAccelTable && m_hWnd && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
        ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    // The document's name comes first in the title, as Windows' guidelines ask ("Untitled - App").
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    auto* context = lpCreateStruct ? static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams) : nullptr;
    if (!OnCreateClient(lpCreateStruct, context))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass || !m_hWnd)
        return nullptr;
    CObject* made = pContext->m_pNewViewClass->CreateObject();
    if (!made)
        return nullptr;
    if (!made->IsKindOf(RUNTIME_CLASS(CWnd))) {
        delete made;
        return nullptr;
    }
    CWnd* view = static_cast<CWnd*>(made);
    CRect client;
    GetClientRect(&client);
    if (!view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, client, this, nID, pContext)) {
        // A view whose window failed half-way may already be gone with it (PostNcDestroy), so it
        // is not deleted here, as in MFC.
        return nullptr;
    }
    if (!m_pViewActive && view->IsKindOf(RUNTIME_CLASS(CView)))
        m_pViewActive = static_cast<CView*>(view);
    return view;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

CView* CFrameWnd::GetActiveView() const
{
    return m_pViewActive;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL)
{
    m_pViewActive = pViewNew;
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible)
{
    if (m_pViewActive)
        m_pViewActive->OnInitialUpdate();
    OnUpdateFrameTitle(TRUE);
    if (bMakeVisible) {
        CWinApp* app = AfxGetApp();
        int show = SW_SHOW;
        if (app && app->m_pMainWnd == this && app->m_nCmdShow >= 0) {
            show = app->m_nCmdShow;
            app->m_nCmdShow = -1; // the program's first show only, as MFC does
        }
        ShowWindow(show);
        UpdateWindow();
    }
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!m_hWnd)
        return;
    CString title = m_strTitle;
    CDocument* doc = GetActiveDocument();
    if (bAddToTitle && (m_dwCreateStyle & FWS_ADDTOTITLE) && doc && !doc->GetTitle().IsEmpty()) {
        if (title.IsEmpty())
            title = doc->GetTitle();
        else if (m_dwCreateStyle & FWS_PREFIXTITLE)
            title = doc->GetTitle() + CString(" - ") + title;
        else
            title = title + CString(" - ") + doc->GetTitle();
    }
    SetWindowText(title);
}

// --- Documents ----------------------------------------------------------------------------------

CDocument::~CDocument()
{
    for (int i = 0; i < m_viewCount; ++i)
        m_views[i]->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    for (int i = 0; i < m_viewCount; ++i)
        if (CFrameWnd* frame = m_views[i]->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    m_strPathName = lpszPathName;
    if (bAddToMRU)
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
    int cut = -1;
    for (int i = 0; i < m_strPathName.GetLength(); ++i)
        if (m_strPathName[i] == '/' || m_strPathName[i] == '\\')
            cut = i;
    SetTitle(m_strPathName.Mid(cut + 1));
}

void CDocument::AddView(CView* pView)
{
    if (!pView || pView->m_pDocument == this)
        return;
    if (pView->m_pDocument)
        pView->m_pDocument->RemoveView(pView);
    if (m_viewCount == static_cast<int>(sizeof m_views / sizeof m_views[0]))
        return; // more views than any frame layout shows: this one stays without a document
    m_views[m_viewCount++] = pView;
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView)
{
    for (int i = 0; i < m_viewCount; ++i)
        if (m_views[i] == pView) {
            for (int j = i + 1; j < m_viewCount; ++j)
                m_views[j - 1] = m_views[j];
            --m_viewCount;
            pView->m_pDocument = nullptr;
            return;
        }
}

// A position is the index of the next view plus one, so that no view is the null position.
POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewCount > 0 ? reinterpret_cast<POSITION>(static_cast<UINT_PTR>(1)) : nullptr;
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    const UINT_PTR at = reinterpret_cast<UINT_PTR>(rPosition);
    if (at == 0 || at > static_cast<UINT_PTR>(m_viewCount)) {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = at < static_cast<UINT_PTR>(m_viewCount) ? reinterpret_cast<POSITION>(at + 1) : nullptr;
    return m_views[at - 1];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (int i = 0; i < m_viewCount; ++i)
        if (m_views[i] != pSender)
            m_views[i]->OnUpdate(pSender, lHint, pHint);
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

namespace {

// Tells the user why a document could not be read or written: the exception's own text when it
// has one (a file's name and cause), else the general sentence.
void ReportSaveLoadException(CException* e, const char* fallback)
{
    char text[1024];
    if (e && e->GetErrorMessage(text, sizeof text))
        AfxMessageBox(text, MB_ICONEXCLAMATION);
    else
        AfxMessageBox(fallback, MB_ICONEXCLAMATION);
}

} // namespace

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_SAVE, &ThisClass::OnFileSave)
END_MESSAGE_MAP()

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    static const char kFailed[] = "Failed to open document.";
    CFileException fileError;
    CFile file;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fileError)) {
        ReportSaveLoadException(&fileError, kFailed);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE); // dirty while it loads, as MFC leaves it when loading fails halfway
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(e, kFailed);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    static const char kFailed[] = "Failed to save document.";
    CFileException fileError;
    CFile file;
    if (!file.Open(lpszPathName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fileError)) {
        ReportSaveLoadException(&fileError, kFailed);
        return FALSE;
    }
    try {
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        file.Abort();
        ReportSaveLoadException(e, kFailed);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    // There is no file dialog here to choose a name with, so a document that has none yet says so.
    if (m_strPathName.IsEmpty()) {
        AfxMessageBox("The document has no file name to save to.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    return OnSaveDocument(m_strPathName);
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnCloseDocument()
{
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE; // not deleted by the frames going away below
    while (m_viewCount > 0) {
        CView* view = m_views[0];
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && frame->m_hWnd)
            frame->DestroyWindow(); // takes the view with it
        else
            RemoveView(view);
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::DeleteContents()
{
}

// --- Views --------------------------------------------------------------------------------------

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                   UINT nID, CCreateContext* pContext)
{
    CREATESTRUCT cs{};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle | WS_CHILD);
    if (!PreCreateWindow(cs))
        return FALSE;
    if (!cs.lpszClass) // frames and views erase to the window colour, as MFC's default class does
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    afx_create::PreCreateDone(this);
    return CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), rect, pParentWnd, nID,
                    pContext);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
#ifdef WS_EX_CLIENTEDGE
    // A view's border is drawn as a sunken edge, as MFC does on every Windows since 95.
    if (cs.style & WS_BORDER) {
        cs.style &= ~static_cast<LONG>(WS_BORDER);
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
    }
#else
    (void)cs;
#endif
    return TRUE;
}

CFrameWnd* CView::GetParentFrame() const
{
    for (CWnd* w = GetParent(); w; w = w->GetParent())
        if (w->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(w);
    return nullptr;
}

int CView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    auto* context = lpCreateStruct ? static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*)
{
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::PostNcDestroy()
{
    delete this;
}

// --- Document templates -------------------------------------------------------------------------

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() = default;

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* made = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    if (!made)
        return nullptr;
    if (!made->IsKindOf(RUNTIME_CLASS(CDocument))) {
        delete made;
        return nullptr;
    }
    auto* doc = static_cast<CDocument*>(made);
    doc->m_pDocTemplate = this;
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CObject* made = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    if (!made)
        return nullptr;
    if (!made->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
        delete made;
        return nullptr;
    }
    auto* frame = static_cast<CFrameWnd*>(made);
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // A frame whose window was never made has no PostNcDestroy to delete it.
        if (!frame->m_hWnd)
            delete frame;
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    if (pFrame)
        pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc && pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (CDocument* doc = m_pOnlyDoc) {
        m_pOnlyDoc = nullptr;
        doc->m_pDocTemplate = nullptr;
        delete doc;
    }
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? reinterpret_cast<POSITION>(m_pOnlyDoc) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* doc = rPos == reinterpret_cast<POSITION>(m_pOnlyDoc) ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return doc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    bool created = false;
    if (doc) {
        // One document at a time: the same document object and frame take the new contents.
        POSITION pos = doc->GetFirstViewPosition();
        if (CView* view = doc->GetNextView(pos))
            frame = view->GetParentFrame();
    } else {
        doc = CreateNewDocument();
        if (!doc)
            return nullptr;
        m_pOnlyDoc = doc;
        frame = CreateNewFrame(doc, nullptr);
        if (!frame) {
            RemoveDocument(doc);
            delete doc;
            return nullptr;
        }
        created = true;
    }

    if (!lpszPathName)
        doc->SetTitle(CString("Untitled"));
    if (!(lpszPathName ? doc->OnOpenDocument(lpszPathName) : doc->OnNewDocument())) {
        if (created) {
            // A new document that failed goes with its new frame.
            frame->DestroyWindow();
            RemoveDocument(doc);
            delete doc;
        }
        return nullptr;
    }
    if (lpszPathName)
        doc->SetPathName(lpszPathName);

    CWinApp* app = AfxGetApp();
    if (created && app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

// --- The AppWizard's extended classes -----------------------------------------------------------

CWinAppEx::CWinAppEx(BOOL) : CWinApp(nullptr)
{
}

// --- Device contexts of a window ----------------------------------------------------------------

CClientDC::CClientDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->m_hWnd : nullptr;
    if (m_hWnd)
        Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach()); // given back, not deleted
}

CDC* CWnd::GetDC()
{
    if (!m_hWnd)
        return nullptr;
    auto* dc = new CClientDC(this);
    if (!dc->m_hDC) {
        delete dc;
        return nullptr;
    }
    return dc;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    auto* dc = dynamic_cast<CClientDC*>(pDC);
    if (!dc)
        return 0;
    delete dc;
    return 1;
}
