// The view's printing members and the application's printer set-up. There are no printers on
// this platform, so every print job ends as MFC's do on a Windows machine with none installed:
// the user is told, and nothing is printed.
#include <afxwin.h>

namespace {

// What Windows' print dialog tells the user when no printer is installed.
void ReportNoPrinter()
{
    AfxMessageBox("No printers are installed. Install a printer before printing or setting up a printer.",
                  MB_ICONEXCLAMATION);
}

} // namespace

BOOL CView::OnPreparePrinting(CPrintInfo*)
{
    return TRUE;
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    // MFC asks the print dialog (or, for direct printing and previews, the default printer)
    // for a printer device context; with no printer both fail, and the user is told.
    (void)pInfo;
    ReportNoPrinter();
    return FALSE;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CView::OnFilePrint()
{
    CPrintInfo info;
    if (!OnPreparePrinting(&info))
        return;
    // A view that prepared without DoPreparePrinting still has no printer to print on.
    ReportNoPrinter();
}

void CView::OnFilePrintPreview()
{
    CPrintInfo info;
    info.m_bPreview = TRUE;
    if (!OnPreparePrinting(&info))
        return;
    ReportNoPrinter();
}

void CWinApp::OnFilePrintSetup()
{
    ReportNoPrinter();
}
