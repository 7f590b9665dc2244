// PlaySound, sndPlaySound and MessageBeep through SDL2's audio.
//
// One sound plays at a time per process, as with Windows: a new sound stops the one before,
// unless SND_NOSTOP asks to leave it. A sound's data is checked as a WAV (RIFF) before anything
// plays, so the answer is the same with or without an audio device; without one a valid sound
// "plays" silently for its length (said in the log with MOXIMAGE2_LOG=1). The system sounds are
// short tones made here, as this platform has no sound scheme.
#include <mmsystem.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "resource_registry.h"
#include "wave_player.h"

namespace {

// A system sound: a short tone whose pitch tells the kinds apart.
std::vector<std::uint8_t> Tone(double hertz, int milliseconds)
{
    const std::uint32_t rate = 22050, samples = rate * std::uint32_t(milliseconds) / 1000, data = samples * 2;
    std::vector<std::uint8_t> w(44 + data);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w[at + i] = std::uint8_t(v >> (8 * i));
    };
    std::memcpy(w.data(), "RIFF", 4);
    put32(4, 36 + data);
    std::memcpy(w.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put32(20, 1 | 1 << 16); // PCM, mono
    put32(24, rate);
    put32(28, rate * 2);
    put32(32, 2 | 16 << 16); // block, bits
    std::memcpy(w.data() + 36, "data", 4);
    put32(40, data);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double fade = std::min(1.0, std::min(i, samples - i) / 200.0); // no clicks
        const auto s = std::int16_t(std::sin(2 * M_PI * hertz * i / rate) * 8000 * fade);
        w[44 + 2 * i] = std::uint8_t(s);
        w[45 + 2 * i] = std::uint8_t(std::uint16_t(s) >> 8);
    }
    return w;
}

bool SystemSound(const std::string& alias, std::vector<std::uint8_t>& out)
{
    struct Known {
        const char* name;
        double hertz;
    };
    static const Known kSounds[] = {{"SystemDefault", 660}, {".Default", 660}, {"SystemAsterisk", 880},
                                    {"SystemExclamation", 520}, {"SystemHand", 330}, {"SystemQuestion", 740},
                                    {"SystemStart", 990}, {"SystemExit", 440}};
    for (const Known& k : kSounds)
        if (strcasecmp(alias.c_str(), k.name) == 0) {
            out = Tone(k.hertz, 180);
            return true;
        }
    return false;
}

moxplat::WavePlayer& ThePlayer()
{
    static moxplat::WavePlayer player;
    return player;
}

// `name` is UTF-8 text, or for SND_RESOURCE possibly a MAKEINTRESOURCE number (`key`).
BOOL Play(const std::string& name, const moxplat::ResourceKey* key, const void* memory, HMODULE module, DWORD flags)
{
    moxplat::WavePlayer& player = ThePlayer();
    if (flags & SND_PURGE) {
        player.Stop();
        return TRUE;
    }
    if ((flags & SND_NOSTOP) && player.Playing())
        return FALSE;
    std::vector<std::uint8_t> wave;
    bool found = false;
    if ((flags & SND_RESOURCE) == SND_RESOURCE) {
        moxplat::ResourceKey type;
        type.isId = false;
        type.text = u"WAVE";
        const void* data = nullptr;
        DWORD size = 0;
        if (key && moxplat::FindResourceData(module, type, *key, &data, &size)) {
            const auto* p = static_cast<const std::uint8_t*>(data);
            wave.assign(p, p + size);
            found = true;
        }
    } else if (flags & SND_MEMORY) {
        // The caller vouches for the data (MSDN: "must be trusted"); its RIFF header gives its size.
        const auto* p = static_cast<const std::uint8_t*>(memory);
        if (p && std::memcmp(p, "RIFF", 4) == 0) {
            const std::uint32_t size = moxplat::Le32(p + 4);
            if (size <= (1u << 30)) {
                wave.assign(p, p + 8 + size);
                found = true;
            }
        }
    } else if ((flags & SND_ALIAS) == SND_ALIAS || (flags & SND_ALIAS_ID) == SND_ALIAS_ID) {
        found = SystemSound(name, wave);
    } else if (flags & SND_FILENAME) {
        found = moxplat::ReadWholeFile(name, wave);
    } else {
        found = SystemSound(name, wave) || moxplat::ReadWholeFile(name, wave);
    }
    double ms = found ? moxplat::WaveMilliseconds(wave) : -1;
    if (ms < 0) {
        moxplat::Diagnose("PlaySound: '%s' %s", name.c_str(), found ? "is not a WAV sound" : "was not found");
        if (flags & SND_NODEFAULT)
            return FALSE;
        // Windows plays the default sound in its place.
        SystemSound("SystemDefault", wave);
        ms = moxplat::WaveMilliseconds(wave);
    }
    player.Play(std::move(wave), ms, (flags & SND_ASYNC) != 0, (flags & SND_LOOP) != 0);
    return TRUE;
}

// SND_ALIAS_ID: the number is sndAlias('S', c) for the system sound c.
std::string AliasOfId(ULONG_PTR id)
{
    switch ((id >> 8) & 0xFF) {
    case '*':
        return "SystemAsterisk";
    case '?':
        return "SystemQuestion";
    case 'H':
        return "SystemHand";
    case 'E':
        return "SystemExit";
    case 'S':
        return "SystemStart";
    case '!':
        return "SystemExclamation";
    default:
        return "SystemDefault";
    }
}

std::string Narrow(LPCWSTR s)
{
    std::string out;
    for (; *s && out.size() < 4096; ++s) {
        const std::uint32_t c = std::uint32_t(*s);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | ((c >> 18) & 7));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

extern "C" {

BOOL WINAPI PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound)
{
    if ((fdwSound & SND_ALIAS_ID) == SND_ALIAS_ID) // a number, not text
        return Play(AliasOfId(reinterpret_cast<ULONG_PTR>(pszSound)), nullptr, nullptr, hmod, (fdwSound & ~SND_ALIAS_ID) | SND_ALIAS);
    if (!pszSound) {
        ThePlayer().Stop(); // NULL stops the sound playing
        return TRUE;
    }
    const bool resource = (fdwSound & SND_RESOURCE) == SND_RESOURCE;
    if (resource || (fdwSound & SND_MEMORY)) {
        moxplat::ResourceKey key;
        if (resource)
            key = moxplat::ResourceKeyOf(pszSound);
        return Play(resource && IS_INTRESOURCE(pszSound) ? "#" + std::to_string(key.id) : resource ? pszSound : "(memory)",
                    &key, pszSound, hmod, fdwSound);
    }
    return Play(pszSound, nullptr, nullptr, hmod, fdwSound);
}

BOOL WINAPI PlaySoundW(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound)
{
    if ((fdwSound & SND_ALIAS_ID) == SND_ALIAS_ID) // a number, not text
        return Play(AliasOfId(reinterpret_cast<ULONG_PTR>(pszSound)), nullptr, nullptr, hmod, (fdwSound & ~SND_ALIAS_ID) | SND_ALIAS);
    if (!pszSound) {
        ThePlayer().Stop();
        return TRUE;
    }
    const bool resource = (fdwSound & SND_RESOURCE) == SND_RESOURCE;
    if (resource || (fdwSound & SND_MEMORY)) {
        moxplat::ResourceKey key;
        if (resource)
            key = moxplat::ResourceKeyOf(pszSound);
        return Play(resource && !IS_INTRESOURCE(pszSound) ? Narrow(pszSound) : "(resource or memory)", &key, pszSound,
                    hmod, fdwSound);
    }
    return Play(Narrow(pszSound), nullptr, nullptr, hmod, fdwSound);
}

BOOL WINAPI sndPlaySoundA(LPCSTR pszSound, UINT fuSound)
{
    return PlaySoundA(pszSound, nullptr, fuSound & ~DWORD(SND_ALIAS_ID | SND_FILENAME | (SND_RESOURCE & ~SND_MEMORY)));
}

BOOL WINAPI sndPlaySoundW(LPCWSTR pszSound, UINT fuSound)
{
    return PlaySoundW(pszSound, nullptr, fuSound & ~DWORD(SND_ALIAS_ID | SND_FILENAME | (SND_RESOURCE & ~SND_MEMORY)));
}

BOOL WINAPI MessageBeep(UINT uType)
{
    const char* alias = "SystemDefault";
    switch (uType & 0xF0) {
    case MB_ICONHAND:
        alias = "SystemHand";
        break;
    case MB_ICONQUESTION:
        alias = "SystemQuestion";
        break;
    case MB_ICONEXCLAMATION:
        alias = "SystemExclamation";
        break;
    case MB_ICONASTERISK:
        alias = "SystemAsterisk";
        break;
    }
    return PlaySoundA(alias, nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

} // extern "C"
