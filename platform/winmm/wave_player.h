// WAV sounds played through SDL2's audio, shared by PlaySound and the MCI wave device: checking
// a WAV's header, and a player that plays one sound (a part of it, once or looping) on a thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace moxplat {

std::uint32_t Le32(const std::uint8_t* p);

// The length in milliseconds of a WAV's samples, or -1 when the bytes are not a WAV we can play.
double WaveMilliseconds(const std::vector<std::uint8_t>& wave);

// A file's bytes (at most 1 GiB); false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out);

// Whether sound can be heard: the audio library started and has an output device. Asked once.
bool AudioOutputAvailable();

class WavePlayer {
public:
    using Clock = std::chrono::steady_clock;
    ~WavePlayer() { Stop(); }

    bool Playing();
    // Stops the sound; true when one was playing.
    bool Stop();
    // Plays milliseconds [from, to) of the wave (to < 0: to its end) on a thread, or before
    // returning when !async. Without an audio device it "plays" silently for as long.
    // `finished` is called on the player's thread when the sound ends by itself.
    void Play(std::vector<std::uint8_t> wave, double milliseconds, bool async, bool loop, double from = 0,
              double to = -1, std::function<void()> finished = nullptr);
    // Milliseconds from the wave's start to what is heard now (its end once it has ended).
    double Position();

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread worker_;
    bool stop_ = false;
    bool active_ = false;
    bool looping_ = false;
    Clock::time_point startedAt_;
    Clock::time_point endsAt_;
    double from_ = 0, to_ = 0;

    bool Stopped();
    void Run(std::vector<std::uint8_t> wave, bool loop, double from, double to);
};

} // namespace moxplat
