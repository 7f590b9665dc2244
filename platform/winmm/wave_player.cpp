// WAV checking and playing through SDL2's audio (see wave_player.h).
#include "wave_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

#if MOXPLAT_HAVE_SDL2
#include <SDL.h>
#endif

#include "diagnostics.h"

namespace moxplat {

std::uint32_t Le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0] | p[1] << 8 | p[2] << 16) | std::uint32_t(p[3]) << 24;
}

double WaveMilliseconds(const std::vector<std::uint8_t>& w)
{
    if (w.size() < 12 || std::memcmp(w.data(), "RIFF", 4) != 0 || std::memcmp(w.data() + 8, "WAVE", 4) != 0)
        return -1;
    std::uint32_t byteRate = 0;
    bool format = false;
    std::size_t at = 12;
    while (at + 8 <= w.size()) {
        const std::uint32_t size = Le32(w.data() + at + 4);
        const std::size_t body = at + 8;
        const std::size_t available = w.size() - body;
        if (std::memcmp(w.data() + at, "fmt ", 4) == 0) {
            if (size < 16 || available < 16)
                return -1;
            const unsigned tag = w[body] | w[body + 1] << 8, channels = w[body + 2] | w[body + 3] << 8;
            byteRate = Le32(w.data() + body + 8);
            // PCM, IEEE float, IMA and MS ADPCM: what SDL's loader decodes.
            if ((tag != 1 && tag != 3 && tag != 2 && tag != 0x11 && tag != 0xFFFE) || channels == 0 || byteRate == 0)
                return -1;
            format = true;
        } else if (std::memcmp(w.data() + at, "data", 4) == 0) {
            if (!format)
                return -1;
            const std::size_t bytes = std::min<std::size_t>(size, available);
            return bytes * 1000.0 / byteRate;
        }
        if (size > available)
            return -1;
        at = body + size + (size & 1);
    }
    return -1;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    f.seekg(0, std::ios::end);
    const std::streamoff size = f.tellg();
    if (size < 0 || size > (std::streamoff(1) << 30))
        return false;
    f.seekg(0);
    out.resize(std::size_t(size));
    return bool(f.read(reinterpret_cast<char*>(out.data()), size));
}

bool AudioOutputAvailable()
{
#if MOXPLAT_HAVE_SDL2
    static const bool available = [] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            Diagnose("no audio device (%s): sounds play silently", SDL_GetError());
            return false;
        }
        // -1: the driver cannot count its devices, but may still open the default one.
        if (SDL_GetNumAudioDevices(0) == 0) {
            Diagnose("no audio output device: sounds play silently");
            return false;
        }
        return true;
    }();
    return available;
#else
    return false;
#endif
}

bool WavePlayer::Playing()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return active_ && (looping_ || Clock::now() < endsAt_);
}

bool WavePlayer::Stop()
{
    std::thread worker;
    bool was = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        was = active_ && (looping_ || Clock::now() < endsAt_);
        stop_ = true;
        active_ = false;
        worker.swap(worker_);
    }
    wake_.notify_all();
    if (worker.joinable())
        worker.join();
    return was;
}

double WavePlayer::Position()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - startedAt_).count();
    if (!active_)
        return stop_ ? from_ : to_; // stopped, or ended by itself
    if (looping_ && to_ > from_)
        return from_ + std::fmod(elapsed, to_ - from_);
    return std::min(to_, from_ + elapsed);
}

void WavePlayer::Play(std::vector<std::uint8_t> wave, double milliseconds, bool async, bool loop, double from, double to,
                      std::function<void()> finished)
{
    Stop();
    from = std::clamp(from, 0.0, milliseconds);
    to = to < 0 ? milliseconds : std::clamp(to, from, milliseconds);
    std::unique_lock<std::mutex> lock(mutex_);
    stop_ = false;
    active_ = true;
    looping_ = async && loop;
    from_ = from;
    to_ = to;
    startedAt_ = Clock::now();
    endsAt_ = startedAt_ + std::chrono::microseconds(std::int64_t((to - from) * 1000));
    if (!async) {
        lock.unlock();
        Run(std::move(wave), false, from, to);
        return;
    }
    worker_ = std::thread([this, w = std::move(wave), l = looping_, from, to, done = std::move(finished)]() mutable {
        Run(std::move(w), l, from, to);
        std::unique_lock<std::mutex> waitLock(mutex_);
        // Silent, or when the device drained early: the sound still lasts its length.
        if (l)
            wake_.wait(waitLock, [&] { return stop_; });
        else
            wake_.wait_until(waitLock, endsAt_, [&] { return stop_; });
        if (stop_)
            return;
        active_ = false;
        waitLock.unlock();
        if (done)
            done();
    });
}

bool WavePlayer::Stopped()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stop_;
}

void WavePlayer::Run(std::vector<std::uint8_t> wave, bool loop, double from, double to)
{
#if MOXPLAT_HAVE_SDL2
    if (!AudioOutputAvailable())
        return;
    SDL_AudioSpec format{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(wave.data(), int(wave.size())), 1, &format, &samples, &length)) {
        Diagnose("sound: the audio library refused the sound (%s)", SDL_GetError());
        return;
    }
    // The part to play, in whole sample frames of the decoded format.
    const Uint32 frame = std::max<Uint32>(1, SDL_AUDIO_BITSIZE(format.format) / 8 * format.channels);
    const double perMs = double(format.freq) * frame / 1000.0;
    const auto at = [&](double ms) {
        return std::min<Uint32>(length, Uint32(ms * perMs) / frame * frame);
    };
    const Uint32 first = at(from), last = at(to);
    format.samples = 512; // a short buffer: a stopped sound goes quiet at once
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &format, nullptr, 0);
    if (!device) {
        Diagnose("sound: no audio device (%s): the sound plays silently", SDL_GetError());
        SDL_FreeWAV(samples);
        return;
    }
    const Uint32 bytes = last > first ? last - first : 0;
    SDL_QueueAudio(device, samples + first, bytes);
    SDL_PauseAudioDevice(device, 0);
    for (;;) {
        if (Stopped())
            break;
        const Uint32 queued = SDL_GetQueuedAudioSize(device);
        if (queued == 0 && !loop)
            break;
        if (loop && queued < bytes / 2 + 1)
            SDL_QueueAudio(device, samples + first, bytes);
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(10), [&] { return stop_; });
    }
    SDL_CloseAudioDevice(device);
    SDL_FreeWAV(samples);
#else
    (void)wave;
    (void)loop;
    (void)from;
    (void)to;
    Diagnose("sound: built without an audio library: the sound plays silently");
#endif
}

} // namespace moxplat
