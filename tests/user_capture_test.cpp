// Running a window program headless: MOXIMAGE2_CAPTURE saves each top-level window with its
// children drawn in, MOXIMAGE2_QUIT_AFTER_MS closes the windows as a user would. The variables
// are read when the message loop first runs, so they are set before any test starts.
#include <gtest/gtest.h>

#include <windows.h>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const std::string kFolder = [] {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("mox-capture-" + std::to_string(getpid()))).string();
    setenv("MOXIMAGE2_CAPTURE", folder.c_str(), 1);
    setenv("MOXIMAGE2_CAPTURE_PRESENTS", "1", 1);
    setenv("MOXIMAGE2_QUIT_AFTER_MS", "700", 1);
    return folder;
}();

LRESULT CALLBACK TopProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(7);
    if (message == WM_TIMER) {
        // A game drawing with the window's DC over a child, as dialog-based games do: the window
        // does not clip its children, so the drawing shows over the child.
        HDC dc = GetDC(hwnd);
        const RECT over{11, 6, 13, 8};
        HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
        FillRect(dc, &over, yellow);
        DeleteObject(yellow);
        ReleaseDC(hwnd, dc);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

ATOM Register(const char* name, COLORREF colour, WNDPROC proc)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

COLORREF PixelAt(GdkPixbuf* pb, int x, int y)
{
    const guchar* p = gdk_pixbuf_get_pixels(pb) + y * gdk_pixbuf_get_rowstride(pb) + x * gdk_pixbuf_get_n_channels(pb);
    return RGB(p[0], p[1], p[2]);
}

} // namespace

// The program paints with its class brushes, draws with the top-level window's DC on a timer, and
// runs its loop; the frames show the top-level window with both children over it and its own
// drawing over the first child, the first made on top (a new child goes below its
// siblings, as on Windows), and the loop ends by the
// WM_CLOSE that quitting after 700 ms sends.
TEST(HeadlessRun, CapturesComposedFramesAndClosesTheWindows)
{
    ASSERT_TRUE(Register("CaptureTop", RGB(255, 0, 0), TopProc));
    ASSERT_TRUE(Register("CaptureBlue", RGB(0, 0, 255), ChildProc));
    ASSERT_TRUE(Register("CaptureGreen", RGB(0, 255, 0), ChildProc));
    HWND top =
        CreateWindowA("CaptureTop", "top", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(CreateWindowA("CaptureBlue", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 5, 8, 6, top, nullptr,
                            nullptr, nullptr),
              nullptr);
    ASSERT_NE(CreateWindowA("CaptureGreen", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 14, 7, 8, 6, top, nullptr,
                            nullptr, nullptr),
              nullptr);
    SetTimer(top, 1, 20, nullptr);
    // A hidden child does not show.
    ASSERT_NE(CreateWindowA("CaptureBlue", "", WS_CHILD, 30, 20, 5, 5, top, nullptr, nullptr, nullptr), nullptr);

    const auto start = std::chrono::steady_clock::now();
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0)
        DispatchMessageA(&msg);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

    std::string last;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
        ++files;
        if (entry.path().string() > last)
            last = entry.path().string();
    }
    ASSERT_GE(files, 1);
    GError* error = nullptr;
    GdkPixbuf* pb = gdk_pixbuf_new_from_file(last.c_str(), &error);
    ASSERT_NE(pb, nullptr) << (error ? error->message : "");
    EXPECT_EQ(gdk_pixbuf_get_width(pb), 40);
    EXPECT_EQ(gdk_pixbuf_get_height(pb), 30);
    EXPECT_EQ(PixelAt(pb, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(pb, 9, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(pb, 10, 5), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(pb, 12, 7), RGB(255, 255, 0)); // drawn by the window over its child
    EXPECT_EQ(PixelAt(pb, 17, 10), RGB(0, 0, 255)); // the first child is on top
    EXPECT_EQ(PixelAt(pb, 18, 10), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(pb, 14, 11), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(pb, 21, 12), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(pb, 22, 12), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(pb, 31, 21), RGB(255, 0, 0)); // the hidden child
    g_object_unref(pb);
    std::filesystem::remove_all(kFolder);
}
