// The decoder and text libraries underneath stay silent: whatever they would print goes to the
// optional diagnostics (MOXIMAGE2_LOG=1) or nowhere, and a malformed image cannot make the
// decoder raise a critical warning, which a host running with G_DEBUG=fatal-criticals would die
// of.
#include <MoxImage2.h>

#include "test_support.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

using Bytes = std::vector<unsigned char>;

namespace {

// Malformed files that made the decoder print "GdkPixbuf-CRITICAL ... assertion failed": GIF
// frames of no width or no rows, and BMPs of no width or no rows.
std::vector<Bytes> MalformedFiles()
{
    auto gif = [](unsigned char frameW, unsigned char frameH) {
        return Bytes{'G',  'I',  'F', '8', '9', 'a', 2,      0, 1,      0, 0x80, 0, 0, 0xFF, 0,    0, 0,   0,
                     0xFF, 0x2C, 0,   0,   0,   0,   frameW, 0, frameH, 0, 0,    2, 2, 0x44, 0x0A, 0, 0x3B};
    };
    auto bmp = [](unsigned char w, unsigned char h) {
        Bytes b = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, w, 0, 0, 0, h, 0, 0, 0, 1, 0, 24, 0};
        b.resize(62, 0);
        return b;
    };
    return {gif(2, 0), gif(0, 1), gif(0, 0), bmp(1, 0), bmp(0, 1)};
}

void LoadMalformedFiles()
{
    int k = 0;
    for (const Bytes& bytes : MalformedFiles()) {
        const std::string path = moxtest::TempPath("malformed-" + std::to_string(getpid()) + "-" + std::to_string(k++));
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        CMoxBitmap bitmap;
        bitmap.Init(moxtest::Widen(path).c_str());
        EXPECT_EQ(bitmap.GetWidth(), 0);
    }
}

// Runs one test of this program in a child with extra environment; returns its exit status and
// what it wrote to standard error.
int RunSelf(const std::string& test, const std::vector<std::string>& extraEnv, std::string* errors)
{
    std::vector<std::string> env = extraEnv;
    env.push_back("MOX_MESSAGES_CHILD=1");
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(&s[0]);
    envp.push_back(nullptr);
    // The program as started (under valgrind /proc/self/exe is valgrind itself).
    std::string self = program_invocation_name, filter = "--gtest_filter=LibraryMessages." + test;
    char* argv[] = {&self[0], &filter[0], nullptr};

    const std::string errorsPath = moxtest::TempPath("child-stderr-" + test);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream in(errorsPath);
    std::stringstream text;
    text << in.rdbuf();
    *errors = text.str();
    return status;
}

bool InChild()
{
    return std::getenv("MOX_MESSAGES_CHILD") != nullptr;
}

} // namespace

// The child side of the tests below; it does nothing when run on its own.
TEST(LibraryMessages, ChildLoadsMalformedFiles)
{
    if (InChild())
        LoadMalformedFiles();
}

TEST(LibraryMessages, ChildProvokesDecoderCritical)
{
    if (InChild()) {
        EXPECT_EQ(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 0, 0), nullptr);
    }
}

TEST(LibraryMessages, MalformedFilesLoadSilentlyEvenWithFatalCriticals)
{
    if (InChild())
        GTEST_SKIP();
    std::string errors;
    EXPECT_EQ(RunSelf("ChildLoadsMalformedFiles", {"G_DEBUG=fatal-criticals"}, &errors), 0);
    EXPECT_EQ(errors, "");
}

// A decoder message reaches standard error only as a diagnostics line, and only when asked for.
TEST(LibraryMessages, DecoderMessagesGoToDiagnosticsOrNowhere)
{
    if (InChild())
        GTEST_SKIP();
    std::string errors;
    EXPECT_EQ(RunSelf("ChildProvokesDecoderCritical", {"MOXIMAGE2_LOG=0"}, &errors), 0);
    EXPECT_EQ(errors, "");

    EXPECT_EQ(RunSelf("ChildProvokesDecoderCritical", {"MOXIMAGE2_LOG=1"}, &errors), 0);
    EXPECT_EQ(errors.rfind("MoxImage2: GdkPixbuf critical: ", 0), 0u) << errors;
    EXPECT_NE(errors.find("width > 0"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("GdkPixbuf-CRITICAL"), std::string::npos) << errors;
}
