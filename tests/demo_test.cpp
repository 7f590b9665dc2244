// End to end: the demo host runs headless, plays its scripted mouse path through its own window
// and writes what the window shows.
#include "test_support.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

// MOX_DEMO names the program; otherwise it sits beside the tests in the build tree.
std::string DemoProgram()
{
    if (const char* env = std::getenv("MOX_DEMO"))
        return env;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / ".." / "examples" / "demo").string();
}

struct DemoRun {
    int status = -1;
    std::string output;
};

DemoRun RunDemo(const std::string& args)
{
    DemoRun run;
    const std::string command = "'" + DemoProgram() + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

int Count(const std::string& text, const std::string& line)
{
    int n = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++n;
    return n;
}

std::string FreshDir(const std::string& name)
{
    const std::string dir = moxtest::TempPath(name);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return dir;
}

} // namespace

TEST(Demo, HeadlessRunShowsLooksReachesTheOwnerAndWritesAScene)
{
    if (!fs::exists(DemoProgram()))
        GTEST_SKIP() << "demo program not built: " << DemoProgram();
    const std::string out = FreshDir("demo_short");
    const DemoRun run = RunDemo("--headless --frames 60 --every 20 --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.output;

    // Hover, press and the click on Pause; then two clicks on Add.
    EXPECT_GE(Count(run.output, "look button=101 state=1 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "look button=101 state=2 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "click id=101 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "click id=102 "), 2) << run.output;
    EXPECT_EQ(Count(run.output, "second 1: frames 1-60 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "summary: frames=60 "), 1) << run.output;
    EXPECT_NE(run.output.find("picture: "), std::string::npos);

    EXPECT_TRUE(fs::exists(out + "/frame_0020.png"));
    EXPECT_TRUE(fs::exists(out + "/frame_0040.png"));
    EXPECT_FALSE(fs::exists(out + "/frame_0060.png")); // the last frame is demo.png
    // The pictures the demo paints for itself sit apart from the frames.
    EXPECT_TRUE(fs::exists(out + "/assets/background.bmp"));
    EXPECT_FALSE(fs::exists(out + "/background.bmp"));
    // Frames are compressed: well under the 768,000 bytes of a 640 x 400 frame stored raw.
    EXPECT_LT(fs::file_size(out + "/demo.png"), 640u * 400u * 3u / 2u);

    // demo.png decodes with an independent reader and holds a scene, not a flat fill.
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file((out + "/demo.png").c_str(), &error);
    ASSERT_NE(pixbuf, nullptr) << (error ? error->message : "");
    EXPECT_EQ(gdk_pixbuf_get_width(pixbuf), 640);
    EXPECT_EQ(gdk_pixbuf_get_height(pixbuf), 400);
    const guchar* px = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf), channels = gdk_pixbuf_get_n_channels(pixbuf);
    std::set<unsigned> colours;
    for (int y = 0; y < 400; y += 2)
        for (int x = 0; x < 640; x += 2) {
            const guchar* p = px + y * stride + x * channels;
            colours.insert((unsigned(p[0]) << 16) | (unsigned(p[1]) << 8) | p[2]);
        }
    EXPECT_GT(colours.size(), 500u);
    const guchar* sky = px + 2 * stride + 600 * channels;
    EXPECT_GT(sky[2], sky[0]) << "the top of the sky is blue";
    const guchar* lawn = px + 305 * stride + 3 * channels;
    EXPECT_GT(lawn[1], lawn[0]) << "the lawn is green";
    g_object_unref(pixbuf);
}

TEST(Demo, FullScriptCountsOnlyCompletedClicks)
{
    if (!fs::exists(DemoProgram()))
        GTEST_SKIP() << "demo program not built: " << DemoProgram();
    const std::string out = FreshDir("demo_full");
    const DemoRun run = RunDemo("--headless --out '" + out + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    // Pause is pressed three times, but one press is dragged off and back: two clicks.
    EXPECT_EQ(Count(run.output, "click id=101 "), 2) << run.output;
    // Add disables itself at the sixth ball; the press on it after that sends nothing.
    EXPECT_EQ(Count(run.output, "click id=102 "), 2) << run.output;
    EXPECT_EQ(Count(run.output, "look button=102 state=3 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "click id=103 "), 2) << run.output;
    EXPECT_EQ(Count(run.output, "summary: frames=120 "), 1) << run.output;
    // Keys go through the message queue and the window's message map.
    EXPECT_EQ(Count(run.output, "key steer=39 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "key steer=38 "), 1) << run.output;
    EXPECT_EQ(Count(run.output, "key pause "), 1) << run.output; // the auto-repeat did not toggle again
    EXPECT_TRUE(fs::exists(out + "/demo.png"));
}

TEST(Demo, RefusesBadArguments)
{
    if (!fs::exists(DemoProgram()))
        GTEST_SKIP() << "demo program not built: " << DemoProgram();
    for (const char* args : {"--frames 0", "--frames x", "--every -3", "--out", "--colour"}) {
        const DemoRun run = RunDemo(std::string("--headless ") + args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.output;
        EXPECT_NE(run.output.find("usage:"), std::string::npos) << args;
    }
}
