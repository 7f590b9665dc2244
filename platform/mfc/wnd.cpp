// CWnd over Win32 windows, the same on every system: one window procedure for every CWnd, which
// finds the object by its handle and hands each message to the object's virtual WindowProc. The
// object being created is claimed by the first message its window receives, through a
// thread-local hook, so WM_NCCREATE and WM_CREATE already reach its handlers.
#include <afxwin.h>

#include "afx_create.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>

namespace {

// The instance classes are registered with. On Linux a program is one module and classes are
// not told apart by instance.
HINSTANCE ModuleInstance()
{
#ifdef _WIN32
    return ::GetModuleHandleA(nullptr);
#else
    return nullptr;
#endif
}

// What ties a window to its CWnd. A window made from a class this library did not register
// keeps its class's procedure as the default one.
struct Binding {
    CWnd* wnd = nullptr;
    WNDPROC previous = nullptr;
};

std::mutex g_mutex;
std::unordered_map<HWND, Binding> g_bindings;
std::set<std::string> g_classNames; // set nodes never move: the names stay valid

// The CWnd whose CreateEx is running on this thread. The window procedure claims it on the first
// message of the new window (WM_GETMINMAXINFO or WM_NCCREATE), before WM_CREATE.
thread_local CWnd* t_creating = nullptr;

Binding Lookup(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto it = g_bindings.find(hwnd);
    return it == g_bindings.end() ? Binding{} : it->second;
}

void Bind(HWND hwnd, CWnd* wnd, WNDPROC previous)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_bindings[hwnd] = Binding{wnd, previous};
    wnd->m_hWnd = hwnd;
}

void Unbind(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_bindings.erase(hwnd);
}

LRESULT CALLBACK MoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Binding b = Lookup(hwnd);
    if (!b.wnd && t_creating) {
        Bind(hwnd, t_creating, nullptr);
        b.wnd = t_creating;
        t_creating = nullptr;
    }
    if (!b.wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The handle dies with this message: finish it, forget the window, then let the object
        // know (PostNcDestroy may delete it).
        const LRESULT result = b.previous ? ::CallWindowProcA(b.previous, hwnd, message, wParam, lParam)
                                          : ::DefWindowProcA(hwnd, message, wParam, lParam);
        Unbind(hwnd);
        b.wnd->m_hWnd = nullptr;
        b.wnd->WindowProc(message, wParam, lParam);
        return result;
    }
    return b.wnd->WindowProc(message, wParam, lParam);
}

} // namespace

CWnd::~CWnd()
{
    // By now only CWnd's own handlers remain; the window still gets its WM_DESTROY.
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

namespace {
thread_local const CWnd* t_preCreateDone = nullptr;
} // namespace

void afx_create::PreCreateDone(const CWnd* wnd)
{
    t_preCreateDone = wnd;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    const bool asked = t_preCreateDone == this; // by a Create member that asked it already
    t_preCreateDone = nullptr;
    if (m_hWnd && ::IsWindow(m_hWnd))
        return FALSE; // one window per object
    m_hWnd = nullptr;
    // The window's class may change its creation parameters first (MFC's CWnd::CreateEx).
    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = ModuleInstance();
    cs.hMenu = nIDorHMenu;
    cs.hwndParent = hWndParent;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName;
    cs.lpszClass = lpszClassName;
    cs.dwExStyle = dwExStyle;
    if (!asked && !PreCreateWindow(cs))
        return FALSE;
    const LPCTSTR className = cs.lpszClass ? cs.lpszClass : AfxRegisterWndClass(0);
    CWnd* const outer = t_creating; // a window created from inside another's creation
    t_creating = this;
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, className, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, ModuleInstance(), cs.lpCreateParams);
    const bool claimed = t_creating != this;
    t_creating = outer;
    if (!hwnd)
        return FALSE; // a refused WM_CREATE has already destroyed and unbound the window
    if (!claimed) {
        // A class with its own procedure: route its messages through this object from now on.
        Bind(hwnd, this, nullptr);
        const auto previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MoxWindowProc)));
        Bind(hwnd, this, previous);
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

// Temporary objects for live windows no CWnd is bound to (a dialog's controls, another
// program part's windows), as MFC hands out: one per handle, never owning its window. They are
// kept until the table fills, then those of windows gone or since bound are dropped; the rest
// are freed with the program.
namespace {

struct Temporaries {
    std::mutex mutex;
    std::unordered_map<HWND, CWnd*> map;
    ~Temporaries()
    {
        for (auto& entry : map) {
            entry.second->m_hWnd = nullptr; // never destroys the window
            delete entry.second;
        }
    }
};

Temporaries& TheTemporaries()
{
    static Temporaries temporaries;
    return temporaries;
}

} // namespace

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (CWnd* permanent = Lookup(hWnd).wnd)
        return permanent;
    if (!hWnd || !::IsWindow(hWnd))
        return nullptr;
    Temporaries& t = TheTemporaries();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto it = t.map.find(hWnd);
    if (it != t.map.end())
        return it->second;
    if (t.map.size() >= 256) {
        for (auto e = t.map.begin(); e != t.map.end();) {
            if (!::IsWindow(e->first) || Lookup(e->first).wnd) {
                e->second->m_hWnd = nullptr;
                delete e->second;
                e = t.map.erase(e);
            } else {
                ++e;
            }
        }
    }
    CWnd* temporary = new CWnd;
    temporary->m_hWnd = hWnd;
    t.map.emplace(hWnd, temporary);
    return temporary;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return Lookup(hWnd).wnd;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd) || (m_hWnd && ::IsWindow(m_hWnd)) || Lookup(hWnd).wnd)
        return FALSE;
    m_hWnd = hWnd;
    PreSubclassWindow();
    const auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MoxWindowProc)));
    // A window of one of this library's classes already runs MoxWindowProc, whose default is
    // DefWindowProc; calling it again as the previous procedure would come straight back here.
    Bind(hWnd, this, previous == &MoxWindowProc ? nullptr : previous);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent || !pParent->m_hWnd)
        return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    const HWND hwnd = m_hWnd;
    if (!hwnd || Lookup(hwnd).wnd != this)
        return nullptr;
    const WNDPROC previous = Lookup(hwnd).previous;
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(previous ? previous : &MoxWindowProc));
    Unbind(hwnd);
    m_hWnd = nullptr;
    return hwnd;
}

LRESULT CWnd::SendMessageA(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessageA(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_hWnd ? ::PostMessageA(m_hWnd, message, wParam, lParam) : FALSE;
}

void CWnd::Invalidate(BOOL bErase)
{
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    if (lpRect && !::GetClientRect(m_hWnd, lpRect))
        *lpRect = RECT{0, 0, 0, 0};
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    return m_hWnd ? ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer) : 0;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return m_hWnd ? ::KillTimer(m_hWnd, nIDEvent) : FALSE;
}

LRESULT CWnd::DefWindowProcW(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProcA(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_hWnd)
        return 0;
    const WNDPROC previous = Lookup(m_hWnd).previous;
    return previous ? ::CallWindowProcA(previous, m_hWnd, message, wParam, lParam)
                    : ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

// Registers (once) a class whose windows are driven by CWnd, named after its arguments.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    char name[128];
    std::snprintf(name, sizeof name, "Mox:%x:%p:%p:%p", nClassStyle, static_cast<void*>(hCursor),
                  static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    const HINSTANCE instance = ModuleInstance();
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto inserted = g_classNames.insert(name);
    const char* className = inserted.first->c_str();
    WNDCLASSA existing{};
    if (!::GetClassInfoA(instance, className, &existing)) {
        WNDCLASSA wc{};
        wc.style = nClassStyle;
        wc.lpfnWndProc = &MoxWindowProc;
        wc.hInstance = instance;
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = className;
        if (!::RegisterClassA(&wc)) {
            g_classNames.erase(inserted.first);
            return nullptr;
        }
    }
    return className;
}
