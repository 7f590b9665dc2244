// Shared between CWnd::CreateEx and the Create members that call PreCreateWindow themselves
// (CFrameWnd::Create, CView::Create): they mark the object, so that CreateEx does not ask
// PreCreateWindow a second time.
#pragma once

class CWnd;

namespace afx_create {

/// The next CreateEx of wnd on this thread skips PreCreateWindow.
void PreCreateDone(const CWnd* wnd);

} // namespace afx_create
