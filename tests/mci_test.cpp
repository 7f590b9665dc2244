// mciSendString's command strings on the wave device: what each command answers and returns,
// the error codes of malformed commands, unknown devices and files it cannot play, and a run
// without an audio output, as on a machine with no sound card.
#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// No audio output for this process: SDL finds no driver of this name.
const bool kNoAudio = [] {
    setenv("SDL_AUDIODRIVER", "none", 1);
    return true;
}();

// Half a second of silence: 8000 Hz, 16-bit mono PCM.
void WriteWave(const std::string& path)
{
    const std::uint32_t rate = 8000, bytes = rate; // 0.5 s of 2-byte samples
    std::vector<std::uint8_t> w(44 + bytes, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            w[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    std::copy_n("RIFF", 4, w.begin());
    put(4, 36 + bytes, 4);
    std::copy_n("WAVEfmt ", 8, w.begin() + 8);
    put(16, 16, 4);
    put(20, 1, 2); // PCM
    put(22, 1, 2); // mono
    put(24, rate, 4);
    put(28, rate * 2, 4);
    put(32, 2, 2);
    put(34, 16, 2);
    std::copy_n("data", 4, w.begin() + 36);
    put(40, bytes, 4);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(w.data()), static_cast<std::streamsize>(w.size()));
}

std::string TempDir()
{
    const char* base = std::getenv("MOX_TEST_TMP");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/mci_test_" + std::to_string(getpid());
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/Sounds'").c_str());
    WriteWave(dir + "/Sounds/Tone.wav");
    std::ofstream(dir + "/junk.wav") << "not a sound";
    std::ofstream(dir + "/song.mp3") << "ID3";
    std::ofstream(dir + "/noext") << "";
    return dir;
}

struct Step {
    std::string command;
    MCIERROR error;
    const char* result; // null: not checked
};

void RunSteps(const std::vector<Step>& steps)
{
    for (const Step& s : steps) {
        char buffer[128] = "unchanged";
        EXPECT_EQ(mciSendStringA(s.command.c_str(), buffer, sizeof buffer, nullptr), s.error) << s.command;
        if (s.result) {
            EXPECT_STREQ(buffer, s.result) << s.command;
        }
    }
}

TEST(Mci, WaveDeviceCommandsAnswerAndReturnTheirResults)
{
    const std::string dir = TempDir();
    const std::string tone = "\"" + dir + "/Sounds/Tone.wav\"";
    char previous[4096] = "";
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    RunSteps({
        // Windows: a file is opened by name (its extension picks the device) or with "type", and
        // known by its alias; positions are in milliseconds by default (MSDN open, status, seek).
        {"open " + tone + " type waveaudio alias a", 0, nullptr},
        {"status a mode", 0, "stopped"},
        {"status a length", 0, "500"},
        {"status a position", 0, "0"},
        {"status A ready", 0, "true"},
        {"seek a to 200", 0, ""},
        {"status a position", 0, "200"},
        {"seek a to end", 0, nullptr},
        {"status a position", 0, "500"},
        {"seek a to start wait", 0, nullptr},
        {"status a position", 0, "0"},
        {"set a time format milliseconds", 0, nullptr},
        {"status a time format", 0, "milliseconds"},
        {"pause a", 0, nullptr},
        {"stop a", 0, nullptr},
        {"close a", 0, ""},
        {"status a mode", MCIERR_INVALID_DEVICE_NAME, ""},
        // A file opened without an alias is known by its name; Windows paths work from the
        // current folder in any case.
        {"open Sounds\\tone.WAV", 0, nullptr},
        {"status Sounds\\tone.WAV length", 0, "500"},
        {"open Sounds\\tone.WAV", MCIERR_DEVICE_OPEN, nullptr},
        {"open Sounds\\tone.WAV alias b", 0, nullptr},
        {"close all", 0, nullptr},
        {"status b mode", MCIERR_INVALID_DEVICE_NAME, nullptr},
    });
    // The W form takes and returns wide text.
    ASSERT_EQ(mciSendStringW(L"open Sounds/Tone.wav alias w", nullptr, 0, nullptr), 0u);
    wchar_t wide[32] = L"";
    EXPECT_EQ(mciSendStringW(L"status w mode", wide, 32, nullptr), 0u);
    EXPECT_STREQ(wide, L"stopped");
    EXPECT_EQ(mciSendStringW(L"close w", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(chdir(previous), 0);
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(Mci, MalformedCommandsAndUnplayableFilesAnswerTheirErrorCodes)
{
    const std::string dir = TempDir();
    const std::string tone = "\"" + dir + "/Sounds/Tone.wav\"";
    // Windows: the MCIERR_ codes of mciSendString (MSDN "MCI Error Codes"); "repeat" belongs to
    // the video devices, so the wave device does not know it (MSDN play command).
    RunSteps({
        {"", MCIERR_MISSING_COMMAND_STRING, ""},
        {"frobnicate a", MCIERR_UNRECOGNIZED_COMMAND, nullptr},
        {"play", MCIERR_MISSING_DEVICE_NAME, nullptr},
        {"stop nothing", MCIERR_INVALID_DEVICE_NAME, nullptr},
        {"open \"" + dir + "/missing.wav\" alias m", MCIERR_FILE_NOT_FOUND, nullptr},
        {"open \"" + dir + "/junk.wav\" alias j", MCIERR_INVALID_FILE, nullptr},
        {"open \"" + dir + "/song.mp3\" alias s", MCIERR_DEVICE_NOT_INSTALLED, nullptr},
        {"open \"" + dir + "/song.mp3\" type sequencer alias s", MCIERR_DEVICE_NOT_INSTALLED, nullptr},
        {"open \"" + dir + "/noext\" alias s", MCIERR_EXTENSION_NOT_FOUND, nullptr},
        {"open " + tone + " type flute alias s", MCIERR_INVALID_DEVICE_NAME, nullptr},
        {"open \"" + dir + "/Sounds/Tone.wav alias q", MCIERR_NO_CLOSING_QUOTE, nullptr},
        {"open " + tone + " alias", MCIERR_MISSING_STRING_ARGUMENT, nullptr},
        {"open " + tone + " loudly alias a", MCIERR_UNRECOGNIZED_KEYWORD, nullptr},
        {"open " + tone + " alias a", 0, nullptr},
        {"open " + tone + " alias A", MCIERR_DUPLICATE_ALIAS, nullptr},
        {"play a repeat", MCIERR_UNRECOGNIZED_KEYWORD, nullptr},
        {"play a from 900", MCIERR_OUTOFRANGE, nullptr},
        {"play a from x", MCIERR_BAD_INTEGER, nullptr},
        {"seek a", MCIERR_MISSING_PARAMETER, nullptr},
        {"seek a to 900", MCIERR_OUTOFRANGE, nullptr},
        {"status a volume", MCIERR_UNRECOGNIZED_KEYWORD, nullptr},
        {"set a time format frames", MCIERR_BAD_TIME_FORMAT, nullptr},
        {"record a", MCIERR_UNSUPPORTED_FUNCTION, nullptr},
        // Without an audio output the wave device cannot play (MCIERR_WAVE_OUTPUTSUNSUITABLE),
        // and nothing plays.
        {"play a", MCIERR_WAVE_OUTPUTSUNSUITABLE, nullptr},
        {"status a mode", 0, "stopped"},
    });
    char small[3] = "";
    EXPECT_EQ(mciSendStringA("status a length", small, sizeof small, nullptr), static_cast<MCIERROR>(MCIERR_PARAM_OVERFLOW));
    EXPECT_EQ(mciSendStringA("close a", nullptr, 0, nullptr), 0u);

    char text[128] = "";
    EXPECT_TRUE(mciGetErrorStringA(MCIERR_FILE_NOT_FOUND, text, sizeof text));
    EXPECT_GT(std::string(text).size(), 0u);
    EXPECT_FALSE(mciGetErrorStringA(12345, text, sizeof text));
    std::system(("rm -rf '" + dir + "'").c_str());
}

} // namespace
