// The Media Control Interface's command strings (Microsoft's "MCI Command Strings"): open, play,
// pause, resume, stop, seek, status, set and close on the waveaudio device, which plays WAV files
// through the WAV player PlaySound uses. Positions are in milliseconds, the only time format
// here. A device type this platform lacks (MIDI, MP3, video, CD) answers
// MCIERR_DEVICE_NOT_INSTALLED, as a machine without its driver does; with no audio output
// "play" answers MCIERR_WAVE_OUTPUTSUNSUITABLE, as one without a sound card does.
#include <mmsystem.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "wave_player.h"
#include "windows_path.h"

namespace {

struct Device {
    MCIDEVICEID id = 0;
    std::string name; // the alias, else the element as written; matched case-blind
    std::vector<std::uint8_t> wave;
    double length = 0;   // milliseconds
    double position = 0; // while not playing
    bool paused = false;
    double playTo = -1; // the end the paused play had
    bool started = false; // a play was started and not stopped since
    HWND notify = nullptr; // the window told when the current play ends
    std::unique_ptr<moxplat::WavePlayer> player = std::make_unique<moxplat::WavePlayer>();
};

std::mutex g_mutex;
std::vector<std::unique_ptr<Device>> g_devices;
MCIDEVICEID g_nextId = 1;

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Words separated by blanks; a double-quoted word may hold blanks.
MCIERROR Split(const std::string& text, std::vector<std::string>* words)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        if (text[i] == '"') {
            const std::size_t close = text.find('"', i + 1);
            if (close == std::string::npos)
                return MCIERR_NO_CLOSING_QUOTE;
            words->push_back(text.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
            ++end;
        words->push_back(text.substr(i, end - i));
        i = end;
    }
    return 0;
}

Device* Find(const std::string& name)
{
    const std::string key = Lower(name);
    for (auto& d : g_devices)
        if (Lower(d->name) == key)
            return d.get();
    return nullptr;
}

// The device type a file's extension names (the system's [mci extensions] defaults).
std::string TypeOfExtension(const std::string& element)
{
    const std::size_t dot = element.find_last_of('.');
    const std::size_t slash = element.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    const std::string ext = Lower(element.substr(dot + 1));
    if (ext == "wav")
        return "waveaudio";
    if (ext == "mid" || ext == "midi" || ext == "rmi")
        return "sequencer";
    if (ext == "mp3" || ext == "mp2" || ext == "mpa" || ext == "mpg" || ext == "mpeg" || ext == "m1v" || ext == "wma" ||
        ext == "wmv" || ext == "asf")
        return "mpegvideo";
    if (ext == "avi")
        return "avivideo";
    if (ext == "cda")
        return "cdaudio";
    return "";
}

bool KnownDeviceType(const std::string& type)
{
    static const char* const kTypes[] = {"waveaudio", "sequencer", "mpegvideo", "avivideo", "cdaudio", "videodisc",
                                         "vcr",       "digitalvideo", "overlay", "scanner", "dat", "other",
                                         "animation", "mmmovie"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return type == t; });
}

struct Result {
    std::string text;
};

bool ParseInt(const std::string& word, long long* value)
{
    if (word.empty() || word.size() > 10)
        return false;
    long long v = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

void PostNotify(HWND window, WPARAM code, MCIDEVICEID id)
{
    if (window)
        PostMessageW(window, MM_MCINOTIFY, code, static_cast<LPARAM>(id));
}

// A play that ended by itself leaves the position at its end, and no window waiting.
void Settle(Device& d)
{
    if (d.started && !d.player->Playing()) {
        d.position = d.player->Position();
        d.started = false;
        d.notify = nullptr;
    }
}

// Stops the device's play, keeping where it stopped; the window waiting on it hears `code`.
void Halt(Device& d, WPARAM code)
{
    Settle(d);
    if (d.player->Playing())
        d.position = d.player->Position();
    d.started = false;
    d.player->Stop();
    if (d.notify)
        PostNotify(d.notify, code, d.id);
    d.notify = nullptr;
}

MCIERROR Open(const std::vector<std::string>& w, HWND callback, bool notify, Result* out)
{
    if (w.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    std::string element = w[1], type, alias;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::string k = Lower(w[i]);
        if (k == "type" || k == "alias" || k == "buffer") {
            if (i + 1 >= w.size())
                return MCIERR_MISSING_STRING_ARGUMENT;
            if (k == "type")
                type = Lower(w[i + 1]);
            else if (k == "alias")
                alias = w[i + 1];
            ++i;
        } else if (k != "shareable" && k != "wait" && k != "notify") {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    if (Lower(element) == "new")
        return MCIERR_UNSUPPORTED_FUNCTION; // recording
    // "open waveaudio" names a device and no file; "open a!b" a type and a file.
    const std::size_t bang = element.find('!');
    if (bang != std::string::npos) {
        type = Lower(element.substr(0, bang));
        element = element.substr(bang + 1);
    } else if (type.empty() && KnownDeviceType(Lower(element))) {
        type = Lower(element);
        element.clear();
    }
    if (type.empty())
        type = TypeOfExtension(element);
    if (type.empty())
        return MCIERR_EXTENSION_NOT_FOUND;
    if (!KnownDeviceType(type))
        return MCIERR_INVALID_DEVICE_NAME;
    if (type != "waveaudio") {
        moxplat::Diagnose("mciSendString: no %s device on this platform (only waveaudio plays)", type.c_str());
        return MCIERR_DEVICE_NOT_INSTALLED;
    }
    const std::string name = alias.empty() ? (element.empty() ? type : element) : alias;
    if (Find(name))
        return alias.empty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;
    auto d = std::make_unique<Device>();
    if (!element.empty()) {
        if (!moxplat::ReadWholeFile(moxplat::ResolveWindowsPath(element.c_str()), d->wave))
            return MCIERR_FILE_NOT_FOUND;
        d->length = moxplat::WaveMilliseconds(d->wave);
        if (d->length < 0)
            return MCIERR_INVALID_FILE;
    }
    d->id = g_nextId++;
    d->name = name;
    out->text = std::to_string(d->id);
    g_devices.push_back(std::move(d));
    if (notify)
        PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, g_devices.back()->id);
    return 0;
}

// A position: a number of milliseconds within the sound.
MCIERROR PositionArg(const std::vector<std::string>& w, std::size_t i, const Device& d, double* ms)
{
    if (i >= w.size())
        return MCIERR_MISSING_PARAMETER;
    const std::string v = Lower(w[i]);
    long long n = 0;
    if (!ParseInt(v, &n))
        return MCIERR_BAD_INTEGER;
    if (n > d.length + 0.5)
        return MCIERR_OUTOFRANGE;
    *ms = static_cast<double>(n);
    return 0;
}

MCIERROR Play(Device& d, const std::vector<std::string>& w, HWND callback, bool notify, bool wait)
{
    double from = -1, to = -1;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::string k = Lower(w[i]);
        if (k == "from" || k == "to") {
            double v = 0;
            if (const MCIERROR e = PositionArg(w, i + 1, d, &v))
                return e;
            (k == "from" ? from : to) = v;
            ++i;
        } else if (k != "wait" && k != "notify") {
            return MCIERR_UNRECOGNIZED_KEYWORD; // "repeat" belongs to the video devices
        }
    }
    if (d.wave.empty())
        return MCIERR_UNSUPPORTED_FUNCTION; // a device opened with no file
    if (!moxplat::AudioOutputAvailable())
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    // Without "from" a play starts where the device stands: once at the end it plays nothing
    // until a seek or "from" moves it (MSDN play command: "from the current position").
    if (from < 0)
        from = d.player->Playing() ? d.player->Position() : d.position;
    if (to < 0 && d.paused)
        to = d.playTo;
    if (to >= 0 && to < from)
        return MCIERR_OUTOFRANGE;
    Halt(d, notify ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
    d.paused = false;
    d.playTo = to;
    d.position = from;
    d.notify = notify ? callback : nullptr;
    std::function<void()> finished;
    if (d.notify) {
        const HWND window = d.notify;
        const MCIDEVICEID id = d.id;
        finished = [window, id] { PostNotify(window, MCI_NOTIFY_SUCCESSFUL, id); };
    }
    d.player->Play(d.wave, d.length, !wait, false, from, to, std::move(finished));
    d.started = !wait;
    if (wait) {
        d.position = to >= 0 ? to : d.length;
        if (d.notify)
            PostNotify(d.notify, MCI_NOTIFY_SUCCESSFUL, d.id);
        d.notify = nullptr;
    }
    return 0;
}

MCIERROR Status(Device& d, const std::vector<std::string>& w, Result* out)
{
    if (w.size() < 3)
        return MCIERR_MISSING_PARAMETER;
    std::string item;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::string k = Lower(w[i]);
        if (k == "wait" || k == "notify")
            continue;
        item += (item.empty() ? "" : " ") + k;
    }
    const bool playing = d.player->Playing();
    const double position = playing ? d.player->Position() : d.position;
    if (item == "mode")
        out->text = playing ? "playing" : d.paused ? "paused" : "stopped";
    else if (item == "length")
        out->text = std::to_string(static_cast<long long>(d.length));
    else if (item == "position")
        out->text = std::to_string(static_cast<long long>(position));
    else if (item == "start position")
        out->text = "0";
    else if (item == "ready" || item == "media present")
        out->text = "true";
    else if (item == "time format")
        out->text = "milliseconds";
    else if (item == "number of tracks" || item == "current track")
        out->text = "1";
    else
        return MCIERR_UNRECOGNIZED_KEYWORD;
    return 0;
}

MCIERROR Run(const std::string& command, HWND callback, Result* out)
{
    std::vector<std::string> w;
    if (const MCIERROR e = Split(command, &w))
        return e;
    if (w.empty())
        return MCIERR_MISSING_COMMAND_STRING;
    const std::string verb = Lower(w[0]);
    bool notify = false, wait = false;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::string k = Lower(w[i]);
        notify = notify || k == "notify";
        wait = wait || k == "wait";
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    if (verb == "open")
        return Open(w, callback, notify, out);
    static const char* const kVerbs[] = {"play", "stop", "pause", "resume", "seek", "status", "set", "close"};
    static const char* const kUnsupported[] = {"record", "save", "cue", "capability", "info", "sysinfo", "delete",
                                               "cut", "copy", "paste", "window", "put", "where", "update",
                                               "step", "load", "setaudio", "setvideo", "configure", "escape",
                                               "signal", "spin", "realize", "list", "undo", "monitor", "capture",
                                               "freeze", "unfreeze", "reserve", "restore", "break"};
    const auto is = [&](const char* const* list, std::size_t n) {
        return std::any_of(list, list + n, [&](const char* v) { return verb == v; });
    };
    if (!is(kVerbs, std::size(kVerbs))) {
        if (!is(kUnsupported, std::size(kUnsupported)))
            return MCIERR_UNRECOGNIZED_COMMAND;
        moxplat::Diagnose("mciSendString: \"%s\" is not supported here", verb.c_str());
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
    if (w.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    // "all" reaches every open device for close and stop.
    if (Lower(w[1]) == "all" && (verb == "close" || verb == "stop")) {
        for (auto& d : g_devices) {
            Halt(*d, MCI_NOTIFY_ABORTED);
            d->paused = false;
        }
        if (verb == "close")
            g_devices.clear();
        if (notify)
            PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, 0);
        return 0;
    }
    Device* d = Find(w[1]);
    if (!d)
        return MCIERR_INVALID_DEVICE_NAME;
    Settle(*d);
    MCIERROR e = 0;
    if (verb == "play") {
        return Play(*d, w, callback, notify, wait);
    } else if (verb == "status") {
        e = Status(*d, w, out);
    } else if (verb == "set") {
        // set <device> time format milliseconds|ms
        std::vector<std::string> rest;
        for (std::size_t i = 2; i < w.size(); ++i)
            if (Lower(w[i]) != "wait" && Lower(w[i]) != "notify")
                rest.push_back(Lower(w[i]));
        if (rest.size() != 3 || rest[0] != "time" || rest[1] != "format")
            return rest.empty() ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
        if (rest[2] != "milliseconds" && rest[2] != "ms") {
            moxplat::Diagnose("mciSendString: only milliseconds are supported as a time format");
            return rest[2] == "bytes" || rest[2] == "samples" ? MCIERR_UNSUPPORTED_FUNCTION : MCIERR_BAD_TIME_FORMAT;
        }
    } else {
        // stop, pause, resume, seek and close take no words but these.
        double target = -1;
        for (std::size_t i = 2; i < w.size(); ++i) {
            const std::string k = Lower(w[i]);
            if (k == "wait" || k == "notify")
                continue;
            if (verb == "seek" && k == "to" && i + 1 < w.size()) {
                const std::string v = Lower(w[++i]);
                if (v == "start")
                    target = 0;
                else if (v == "end")
                    target = d->length;
                else if (const MCIERROR pe = PositionArg(w, i, *d, &target))
                    return pe;
                continue;
            }
            return verb == "seek" && k == "to" ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
        }
        if (verb == "seek" && target < 0)
            return MCIERR_MISSING_PARAMETER;
        if (verb == "stop") {
            Halt(*d, MCI_NOTIFY_ABORTED);
            d->paused = false;
        } else if (verb == "pause") {
            if (d->player->Playing()) {
                Halt(*d, MCI_NOTIFY_ABORTED);
                d->paused = true;
            }
        } else if (verb == "resume") {
            if (d->paused) {
                std::vector<std::string> again{"play", d->name};
                return Play(*d, again, callback, notify, false);
            }
        } else if (verb == "seek") {
            Halt(*d, MCI_NOTIFY_ABORTED);
            d->paused = false;
            d->playTo = -1;
            d->position = target;
        } else { // close
            Halt(*d, MCI_NOTIFY_ABORTED);
            g_devices.erase(std::find_if(g_devices.begin(), g_devices.end(),
                                         [&](const std::unique_ptr<Device>& p) { return p.get() == d; }));
            d = nullptr;
        }
    }
    if (e == 0 && notify)
        PostNotify(callback, MCI_NOTIFY_SUCCESSFUL, d ? d->id : 0);
    return e;
}

// Sentences of this platform's own for the codes it answers.
const char* ErrorText(MCIERROR code)
{
    switch (code) {
    case 0:
        return "The command succeeded.";
    case MCIERR_UNRECOGNIZED_KEYWORD:
        return "The command has a word the device does not know.";
    case MCIERR_UNRECOGNIZED_COMMAND:
        return "The command is not one MCI knows.";
    case MCIERR_INVALID_DEVICE_NAME:
        return "No device of that name is open, or MCI does not know the device.";
    case MCIERR_DEVICE_OPEN:
        return "That device is already open; give it an alias to open it again.";
    case MCIERR_MISSING_COMMAND_STRING:
        return "The command string is empty.";
    case MCIERR_PARAM_OVERFLOW:
        return "The result does not fit in the buffer given.";
    case MCIERR_MISSING_STRING_ARGUMENT:
        return "A word that needs a value has none.";
    case MCIERR_BAD_INTEGER:
        return "A value that must be a whole number is not one.";
    case MCIERR_MISSING_PARAMETER:
        return "The command lacks a value it needs.";
    case MCIERR_UNSUPPORTED_FUNCTION:
        return "The device cannot carry out this command.";
    case MCIERR_FILE_NOT_FOUND:
        return "The file cannot be found.";
    case MCIERR_EXTENSION_NOT_FOUND:
        return "No device is known for the file's extension; name one with \"type\".";
    case MCIERR_OUTOFRANGE:
        return "A position lies outside the media.";
    case MCIERR_DUPLICATE_ALIAS:
        return "The alias is already in use.";
    case MCIERR_MISSING_DEVICE_NAME:
        return "The command names no device.";
    case MCIERR_BAD_TIME_FORMAT:
        return "The device has no such time format.";
    case MCIERR_NO_CLOSING_QUOTE:
        return "A quoted word has no closing quote.";
    case MCIERR_INVALID_FILE:
        return "The file is not one this device can play.";
    case MCIERR_DEVICE_NOT_INSTALLED:
        return "That kind of device is not installed.";
    case MCIERR_WAVE_OUTPUTSUNSUITABLE:
        return "There is no audio output that can play the sound.";
    default:
        return nullptr;
    }
}

MCIERROR Answer(const std::string& text, UINT capacity, const std::function<void(const std::string&)>& write,
                std::size_t units)
{
    if (text.empty())
        return 0;
    if (units + 1 > capacity)
        return MCIERR_PARAM_OVERFLOW;
    write(text);
    return 0;
}

} // namespace

extern "C" {

MCIERROR WINAPI mciSendStringA(LPCSTR lpstrCommand, LPSTR lpstrReturnString, UINT uReturnLength, HWND hwndCallback)
{
    if (lpstrReturnString && uReturnLength > 0)
        lpstrReturnString[0] = '\0';
    if (!lpstrCommand)
        return MCIERR_MISSING_COMMAND_STRING;
    Result result;
    const MCIERROR e = Run(lpstrCommand, hwndCallback, &result);
    if (e || !lpstrReturnString)
        return e;
    return Answer(result.text, uReturnLength,
                  [&](const std::string& t) { std::memcpy(lpstrReturnString, t.c_str(), t.size() + 1); },
                  result.text.size());
}

MCIERROR WINAPI mciSendStringW(LPCWSTR lpstrCommand, LPWSTR lpstrReturnString, UINT uReturnLength, HWND hwndCallback)
{
    if (lpstrReturnString && uReturnLength > 0)
        lpstrReturnString[0] = L'\0';
    if (!lpstrCommand)
        return MCIERR_MISSING_COMMAND_STRING;
    const int n = WideCharToMultiByte(CP_UTF8, 0, lpstrCommand, -1, nullptr, 0, nullptr, nullptr);
    std::string command(static_cast<std::size_t>(std::max(n, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, lpstrCommand, -1, command.data(), n, nullptr, nullptr);
    command.resize(std::strlen(command.c_str()));
    Result result;
    const MCIERROR e = Run(command, hwndCallback, &result);
    if (e || !lpstrReturnString)
        return e;
    // Results are ASCII words and numbers.
    return Answer(result.text, uReturnLength,
                  [&](const std::string& t) {
                      std::size_t i = 0;
                      for (; i < t.size(); ++i)
                          lpstrReturnString[i] = static_cast<unsigned char>(t[i]);
                      lpstrReturnString[i] = L'\0';
                  },
                  result.text.size());
}

BOOL WINAPI mciGetErrorStringA(MCIERROR mcierr, LPSTR pszText, UINT cchText)
{
    const char* text = ErrorText(mcierr);
    if (!pszText || cchText == 0)
        return FALSE;
    pszText[0] = '\0';
    if (!text)
        return FALSE;
    const std::size_t n = std::min<std::size_t>(std::strlen(text), cchText - 1);
    std::memcpy(pszText, text, n);
    pszText[n] = '\0';
    return TRUE;
}

BOOL WINAPI mciGetErrorStringW(MCIERROR mcierr, LPWSTR pszText, UINT cchText)
{
    const char* text = ErrorText(mcierr);
    if (!pszText || cchText == 0)
        return FALSE;
    pszText[0] = L'\0';
    if (!text)
        return FALSE;
    const std::size_t n = std::min<std::size_t>(std::strlen(text), cchText - 1);
    for (std::size_t i = 0; i < n; ++i)
        pszText[i] = static_cast<unsigned char>(text[i]);
    pszText[n] = L'\0';
    return TRUE;
}

} // extern "C"
