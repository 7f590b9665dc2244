// End to end: the plain Win32 example runs headless, unchanged, with its frames captured by
// MOXIMAGE2_CAPTURE and its window closed by MOXIMAGE2_QUIT_AFTER_MS.
#include "test_support.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Program()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / ".." / "examples" / "win32_sprites").string();
}

COLORREF PixelAt(GdkPixbuf* pb, int x, int y)
{
    const guchar* p = gdk_pixbuf_get_pixels(pb) + y * gdk_pixbuf_get_rowstride(pb) + x * gdk_pixbuf_get_n_channels(pb);
    return RGB(p[0], p[1], p[2]);
}

// Where the ball is in a frame: the first pixel of its colour, or (-1, -1).
std::pair<int, int> Ball(GdkPixbuf* pb)
{
    for (int y = 0; y < gdk_pixbuf_get_height(pb); ++y)
        for (int x = 0; x < gdk_pixbuf_get_width(pb); ++x)
            if (PixelAt(pb, x, y) == RGB(250, 200, 0))
                return {x, y};
    return {-1, -1};
}

} // namespace

TEST(Win32Example, RunsHeadlessAndItsFramesShowTheAnimation)
{
    const std::string dir = moxtest::TempPath("win32-capture");
    fs::remove_all(dir);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY MOXIMAGE2_CAPTURE='" + dir +
                                "' MOXIMAGE2_CAPTURE_MS=200 MOXIMAGE2_QUIT_AFTER_MS=1100 '" + Program() + "'";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0); // WM_QUIT's wParam, after WM_CLOSE destroyed the window

    std::vector<std::string> frames;
    for (const auto& entry : fs::directory_iterator(dir))
        frames.push_back(entry.path().string());
    std::sort(frames.begin(), frames.end());
    ASSERT_GE(frames.size(), 3u); // about five in 1.1 s at 200 ms
    GdkPixbuf* first = gdk_pixbuf_new_from_file(frames.front().c_str(), nullptr);
    GdkPixbuf* last = gdk_pixbuf_new_from_file(frames.back().c_str(), nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    // The client area only, as the program drew it: 320 x 200, sky over ground.
    EXPECT_EQ(gdk_pixbuf_get_width(last), 320);
    EXPECT_EQ(gdk_pixbuf_get_height(last), 200);
    EXPECT_EQ(PixelAt(last, 0, 199), RGB(30, 140, 40));
    // The star sprite of its resource script (LoadBitmap of IDB_STAR) in the sky's top-right
    // corner, the sky's colour around it.
    EXPECT_EQ(PixelAt(last, 296, 24), RGB(255, 220, 60));
    EXPECT_EQ(PixelAt(last, 281, 9), RGB(40, 90, 200));
    EXPECT_NE(Ball(first).first, -1);
    EXPECT_NE(Ball(last).first, -1);
    EXPECT_NE(Ball(first), Ball(last)); // WM_TIMER moved it
    g_object_unref(first);
    g_object_unref(last);
    fs::remove_all(dir);
}
