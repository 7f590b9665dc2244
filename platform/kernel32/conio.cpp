// conio.h over a POSIX terminal: keys are read in non-canonical mode without echo, restored
// before each call returns, so the terminal is never left changed.
#include <conio.h>

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

std::mutex g_mutex;
int g_pushed = EOF; // _ungetch's key

// Runs f with the terminal on standard input set to deliver keys at once without echo.
template <class F> int Raw(F f)
{
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios raw = saved;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    const int r = f(terminal);
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    return r;
}

int ReadKey()
{
    unsigned char c = 0;
    return read(STDIN_FILENO, &c, 1) == 1 ? c : EOF;
}

} // namespace

extern "C" {

int _kbhit(void)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_pushed != EOF)
        return 1;
    return Raw([](bool terminal) {
        if (!terminal)
            return 0;
        pollfd p{STDIN_FILENO, POLLIN, 0};
        return poll(&p, 1, 0) > 0 && (p.revents & POLLIN) ? 1 : 0;
    });
}

int _getch(void)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_pushed != EOF) {
        const int c = g_pushed;
        g_pushed = EOF;
        return c;
    }
    std::fflush(stdout);
    return Raw([](bool) { return ReadKey(); });
}

int _getche(void)
{
    const int c = _getch();
    if (c != EOF)
        _putch(c);
    return c;
}

int _ungetch(int c)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_pushed != EOF || c == EOF)
        return EOF;
    g_pushed = c & 0xFF;
    return g_pushed;
}

int _putch(int c)
{
    const int r = std::fputc(c, stdout);
    std::fflush(stdout);
    return r;
}

int _cputs(const char* str)
{
    if (!str)
        return -1;
    const int r = std::fputs(str, stdout);
    std::fflush(stdout);
    return r < 0 ? -1 : 0;
}

int _cprintf(const char* format, ...)
{
    if (!format)
        return -1;
    va_list args;
    va_start(args, format);
    const int r = std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
    return r;
}

} // extern "C"
