// Presenting the dirty rectangles: the window must end up exactly as copying, for every
// rectangle, the box from the canvas origin to its far corner would leave it, while each window
// pixel is copied at most once. BitBlt is wrapped here (this executable's definition takes
// precedence over the platform library's) to record every copy the library makes.
#include <MoxImage2.h>

#include <gtest/gtest.h>

#include "test_support.h"

#include <dlfcn.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

using BitBltFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, DWORD);

BitBltFn RealBitBlt()
{
    static const auto real = reinterpret_cast<BitBltFn>(dlsym(RTLD_NEXT, "BitBlt"));
    return real;
}

struct Copy {
    int x, y, cx, cy;
};
HDC g_recorded = nullptr; // copies to this device context are recorded
std::vector<Copy> g_copies;

} // namespace

extern "C" BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    if (hdc && hdc == g_recorded)
        g_copies.push_back(Copy{x, y, cx, cy});
    return RealBitBlt()(hdc, x, y, cx, cy, hdcSrc, x1, y1, rop);
}

namespace {

constexpr int W = 61, H = 47;

struct Window {
    CWnd wnd;
    std::unique_ptr<CPaintDC> dc;
    Window()
    {
        wnd.CreateEx(0, AfxRegisterWndClass(0), "present", WS_POPUP, 0, 0, W, H, nullptr, nullptr);
        dc = std::make_unique<CPaintDC>(&wnd);
    }
    ~Window()
    {
        dc.reset();
        wnd.DestroyWindow();
    }
    HDC Hdc() const { return dc->GetSafeHdc(); }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> out;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                out.push_back(GetPixel(Hdc(), x, y));
        return out;
    }
};

int WrapAdd(int a, int b)
{
    return int(std::uint32_t(a) + std::uint32_t(b));
}

TEST(DrawDC, LeavesTheOriginAnchoredCopiesPixelsCopyingEachPixelOnce)
{
    CMoxGraphics starter;
    starter.GdiInit();
    Window shown, expected;
    CMoxGraphics canvas, blank;
    ASSERT_TRUE(canvas.Init(W, H));
    ASSERT_TRUE(blank.Init(W, H));
    canvas.InitGraphics(shown.dc.get());
    blank.InitGraphics(static_cast<CPaintDC*>(nullptr));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            canvas.FillRectangle(x, y, 1, 1, std::uint8_t(x * 4), std::uint8_t(y * 5), 200);
    moxtest::Fill(blank, moxtest::Rgb{0, 0, 0});

    std::mt19937 rng(5);
    auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        for (const Window* w : {&shown, &expected})
            RealBitBlt()(w->Hdc(), 0, 0, W, H, blank.GetMemDC()->GetSafeHdc(), 0, 0, SRCCOPY);

        // Any list a host could hold: boxes inside and past the canvas, empty and negative
        // sizes, far corners that wrap around the int range. Every other list is built by
        // adding rectangles, as a frame builds it, so that presenting reads the list's index.
        std::list<CMoxRect>& list = canvas.m_ZangList.m_RectList;
        canvas.m_ZangList.ClearRect();
        const int count = pick(0, 14);
        for (int i = 0; i < count; ++i) {
            if (trial % 2) {
                CMoxRect r(pick(-20, 75), pick(-20, 60), pick(0, 30), pick(0, 30));
                canvas.m_ZangList.AddRect(r);
                continue;
            }
            const int kind = pick(0, 9);
            if (kind == 0)
                list.emplace_back(0, 0, 0, 0);
            else if (kind == 1)
                list.emplace_back(INT_MAX - pick(0, 3), pick(-5, 50), pick(0, 9), pick(0, 9));
            else
                list.emplace_back(pick(-20, 75), pick(-20, 60), pick(-30, 50), pick(-30, 50));
        }

        for (const CMoxRect& r : list) {
            const int cx = WrapAdd(r.X, r.Width), cy = WrapAdd(r.Y, r.Height);
            if (cx != 0 || cy != 0)
                RealBitBlt()(expected.Hdc(), 0, 0, cx, cy, canvas.GetMemDC()->GetSafeHdc(), 0, 0, SRCCOPY);
        }
        g_copies.clear();
        g_recorded = shown.Hdc();
        canvas.DrawDC();
        g_recorded = nullptr;

        ASSERT_EQ(shown.Pixels(), expected.Pixels());
        // How often each window pixel was written, against the union of the boxes.
        std::vector<int> times(size_t(W) * H, 0), wanted(size_t(W) * H, 0);
        for (const Copy& c : g_copies)
            for (int y = std::max(c.y, 0); y < std::min<std::int64_t>(std::int64_t(c.y) + c.cy, H); ++y)
                for (int x = std::max(c.x, 0); x < std::min<std::int64_t>(std::int64_t(c.x) + c.cx, W); ++x)
                    ++times[size_t(y) * W + x];
        for (const CMoxRect& r : list) {
            const int cx = std::min(WrapAdd(r.X, r.Width), W), cy = std::min(WrapAdd(r.Y, r.Height), H);
            for (int y = 0; y < cy; ++y)
                for (int x = 0; x < cx; ++x)
                    wanted[size_t(y) * W + x] = 1;
        }
        ASSERT_EQ(times, wanted);
    }
}

} // namespace
