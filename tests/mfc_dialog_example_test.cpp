// End to end: the dialog-based MFC example runs headless, unchanged, with its dialog captured by
// MOXIMAGE2_CAPTURE and closed by MOXIMAGE2_QUIT_AFTER_MS (WM_CLOSE: the dialog's Cancel). The
// frames show both the game the dialog draws and its controls.
#include "test_support.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <windows.h>

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
    return (self.parent_path() / ".." / "examples" / "mfc_dialog_game").string();
}

COLORREF PixelAt(GdkPixbuf* pb, int x, int y)
{
    const guchar* p = gdk_pixbuf_get_pixels(pb) + y * gdk_pixbuf_get_rowstride(pb) + x * gdk_pixbuf_get_n_channels(pb);
    return RGB(p[0], p[1], p[2]);
}

// How many pixels of the frame have the colour.
int Count(GdkPixbuf* pb, COLORREF colour)
{
    int n = 0;
    for (int y = 0; y < gdk_pixbuf_get_height(pb); ++y)
        for (int x = 0; x < gdk_pixbuf_get_width(pb); ++x)
            n += PixelAt(pb, x, y) == colour;
    return n;
}

} // namespace

TEST(MfcDialogExample, RunsHeadlessAndItsFramesShowTheGameAndTheControls)
{
    const std::string dir = moxtest::TempPath("mfc-dialog-capture");
    fs::remove_all(dir);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY MOXIMAGE2_CAPTURE='" + dir +
                                "' MOXIMAGE2_CAPTURE_MS=300 MOXIMAGE2_QUIT_AFTER_MS=1500 '" + Program() + "'";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0); // InitInstance answered FALSE once DoModal returned

    std::vector<std::string> frames;
    for (const auto& entry : fs::directory_iterator(dir))
        frames.push_back(entry.path().string());
    std::sort(frames.begin(), frames.end());
    ASSERT_GE(frames.size(), 2u);
    GdkPixbuf* last = gdk_pixbuf_new_from_file(frames.back().c_str(), nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_GT(Count(last, RGB(250, 200, 40)), 0);     // the ball
    EXPECT_GT(Count(last, RGB(24, 32, 64)), 10000);   // the game's sky
    EXPECT_GT(Count(last, RGB(240, 240, 240)), 5000); // the dialog's and its buttons' face
    EXPECT_GT(Count(last, RGB(255, 255, 255)), 500);  // the edit controls' fields
    g_object_unref(last);
    fs::remove_all(dir);
}
