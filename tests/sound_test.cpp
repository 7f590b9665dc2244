// PlaySound, sndPlaySound and MessageBeep: which sounds are found and accepted, and the flags
// that stop, loop or refuse. The audio goes to SDL2's silent driver, so the tests are the same
// on every machine and make no noise.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

const bool kSilent = [] {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return true;
}();

std::vector<char> Wave(std::uint32_t samples)
{
    std::vector<char> w(44 + samples, char(0x80));
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w[at + i] = char(v >> (8 * i));
    };
    std::memcpy(w.data(), "RIFFxxxxWAVEfmt ", 16);
    put32(4, 36 + samples);
    put32(16, 16);
    put32(20, 1 | 1 << 16);  // PCM, mono
    put32(24, 8000);         // samples a second
    put32(28, 8000);         // bytes a second
    put32(32, 1 | 8 << 16);  // block, bits
    std::memcpy(w.data() + 36, "data", 4);
    put32(40, samples);
    return w;
}

std::string TempFile(const char* name, const std::vector<char>& bytes)
{
    const char* base = std::getenv("MOX_TEST_TMP");
    const std::string dir = base ? base : "/tmp";
    std::system(("mkdir -p '" + dir + "'").c_str());
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

TEST(Sound, WhatIsFoundPlaysAndWhatIsNotIsRefused)
{
    const std::vector<char> wave = Wave(80);
    std::vector<char> noFormat = wave;
    std::memcpy(noFormat.data() + 12, "junk", 4); // the fmt chunk's name
    const std::string file = TempFile("sound_test.wav", wave);
    const std::string notWave = TempFile("sound_test.txt", {'h', 'i'});
    struct Case {
        const char* what;
        LPCSTR sound;
        HMODULE module;
        DWORD flags;
        BOOL expected;
    };
    // Windows: a sound that cannot be found or played is refused with SND_NODEFAULT, and the
    // default sound plays in its place without it (MSDN PlaySound, sndPlaySound).
    const Case cases[] = {
        {"WAV in memory", wave.data(), nullptr, SND_MEMORY | SND_SYNC | SND_NODEFAULT, TRUE},
        {"memory without a format chunk", noFormat.data(), nullptr, SND_MEMORY | SND_NODEFAULT, FALSE},
        {"file", file.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT, TRUE},
        {"file by plain name", file.c_str(), nullptr, SND_NODEFAULT, TRUE},
        {"missing file", "/no/such/sound.wav", nullptr, SND_FILENAME | SND_NODEFAULT, FALSE},
        {"file that is not a WAV", notWave.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT, FALSE},
        {"missing file, default sound instead", "/no/such/sound.wav", nullptr, SND_FILENAME, TRUE},
        {"WAVE resource by number", MAKEINTRESOURCEA(IDR_BEEP), nullptr, SND_RESOURCE | SND_NODEFAULT, TRUE},
        {"missing resource", MAKEINTRESOURCEA(999), nullptr, SND_RESOURCE | SND_NODEFAULT, FALSE},
        {"system sound", "SystemAsterisk", nullptr, SND_ALIAS | SND_NODEFAULT, TRUE},
        {"system sound by number", reinterpret_cast<LPCSTR>(SND_ALIAS_SYSTEMHAND), nullptr, SND_ALIAS_ID | SND_NODEFAULT, TRUE},
        {"unknown alias", "NoSuchEvent", nullptr, SND_ALIAS | SND_NODEFAULT, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PlaySoundA(c.sound, c.module, c.flags | SND_ASYNC), c.expected);
    }
    EXPECT_TRUE(PlaySoundA(wave.data(), nullptr, SND_MEMORY | SND_SYNC));
    EXPECT_TRUE(PlaySoundW(L"SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT));
    EXPECT_TRUE(sndPlaySoundA(file.c_str(), SND_ASYNC | SND_NODEFAULT));
    EXPECT_FALSE(sndPlaySoundA("/no/such/sound.wav", SND_ASYNC | SND_NODEFAULT));
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
}

TEST(Sound, NoStopRefusesWhileALoopPlaysUntilStopped)
{
    const std::vector<char> wave = Wave(800);
    // Windows: SND_NOSTOP returns FALSE at once while a sound plays; NULL or SND_PURGE stops it
    // (MSDN PlaySound).
    ASSERT_TRUE(PlaySoundA(wave.data(), nullptr, SND_MEMORY | SND_ASYNC | SND_LOOP));
    EXPECT_FALSE(PlaySoundA("SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC | SND_NOSTOP));
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
    EXPECT_TRUE(PlaySoundA("SystemAsterisk", nullptr, SND_ALIAS | SND_ASYNC | SND_NOSTOP | SND_NODEFAULT));
    ASSERT_TRUE(PlaySoundA(wave.data(), nullptr, SND_MEMORY | SND_ASYNC | SND_LOOP));
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
    EXPECT_TRUE(PlaySoundA(wave.data(), nullptr, SND_MEMORY | SND_ASYNC | SND_NOSTOP));
    PlaySoundA(nullptr, nullptr, 0);
}

} // namespace
