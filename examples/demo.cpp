// The demo host: a small window program written the way an MFC application uses MoxImage2.
//
// A CWnd subclass owns the canvas, binds it in its paint handler, forwards mouse events to three
// image buttons, handles their WM_COMMAND, takes the keyboard through its message map (Esc or Q
// quits, Space pauses, the arrow keys steer the first ball), and composes a retained sprite scene every frame:
// a background bitmap, colour-keyed clouds, alpha-blended bouncing balls with soft shadows, a
// title with a drop shadow, and a framed panel with a hatch fill, a divider line, a meter and
// the buttons. Every picture it uses is painted by the program itself at start, written to
// DIR/assets as BMP and TGA files, and loaded back through the library's loaders.
//
//   demo [--headless] [--frames N] [--every K] [--out DIR]     (defaults: 120 frames, every 30th, ./out)
//
// With a display (and without --headless) it runs in a visible window until closed. Otherwise
// it plays a scripted mouse path over the buttons, renders N frames, saves every K-th frame
// (DIR/frame_NNNN.png) and the last one (DIR/demo.png) as PNG files through GDI+, read back from
// the window, and prints timing and redraw statistics.
#include <MoxImage2.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr int kFloor = 300;    // where the balls bounce
constexpr int kGrassTop = 297; // where the painted ground starts
constexpr int kFramesPerSecond = 60;
constexpr int kMaxBalls = 6;
constexpr int kStartBalls = 4;
constexpr double kGravity = 0.32;

// Windows keeps no pixels for a hidden window (GetPixel on its DC answers CLR_INVALID), so there
// the scripted run, which reads its frames back from the window, shows the window; the stand-in
// keeps a hidden window's pixels and needs no display.
#ifdef _WIN32
constexpr bool kScriptedRunShowsWindow = true;
#else
constexpr bool kScriptedRunShowsWindow = false;
#endif

// Grows a client rectangle to the outer size CreateEx takes, frame and caption included.
void AdjustOuterSize(RECT* rect, DWORD style)
{
    AdjustWindowRectEx(rect, style, FALSE, 0);
}

enum { kIdPause = 101, kIdAdd = 102, kIdClouds = 103 };

struct Options {
    bool headless = false;
    int frames = 120;
    int every = 30;
    std::string out = "out";
};

// --- Pictures painted at start ----------------------------------------------------------------

struct Px {
    float r = 0, g = 0, b = 0, a = 0; // channels 0..255, alpha 0..1
};

Px Rgb(float r, float g, float b)
{
    return {r, g, b, 1};
}

float Clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

Px Mix(Px a, Px b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Px Scale(Px c, float k)
{
    return {c.r * k, c.g * k, c.b * k, c.a};
}

unsigned char Byte(float v)
{
    return static_cast<unsigned char>(std::lround(std::min(255.0f, std::max(0.0f, v))));
}

struct Picture {
    int width, height;
    std::vector<Px> px;
    Picture(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * h) {}
    Px& At(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }
    const Px& At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
    void Paste(const Picture& p, int ox, int oy)
    {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                At(ox + x, oy + y) = p.At(x, y);
    }
};

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// 32-bit uncompressed TGA, bottom-left origin.
bool WriteTga(const std::string& path, const Picture& p)
{
    std::vector<unsigned char> v(18, 0);
    v[2] = 2;
    v[12] = static_cast<unsigned char>(p.width & 0xFF);
    v[13] = static_cast<unsigned char>(p.width >> 8);
    v[14] = static_cast<unsigned char>(p.height & 0xFF);
    v[15] = static_cast<unsigned char>(p.height >> 8);
    v[16] = 32;
    v[17] = 8;
    for (int y = p.height - 1; y >= 0; --y)
        for (int x = 0; x < p.width; ++x) {
            const Px& c = p.At(x, y);
            v.push_back(Byte(c.b));
            v.push_back(Byte(c.g));
            v.push_back(Byte(c.r));
            v.push_back(Byte(c.a * 255));
        }
    return WriteFile(path, v);
}

// Late-afternoon sky, a low sun with a glow, two ranges of hills and a mown lawn.
Picture PaintBackground()
{
    Picture p(kWidth, kHeight);
    const Px skyStops[3] = {Rgb(36, 84, 164), Rgb(118, 168, 226), Rgb(255, 206, 150)};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float t = Clamp01(y / static_cast<float>(kGrassTop));
            Px c =
                t < 0.6f ? Mix(skyStops[0], skyStops[1], t / 0.6f) : Mix(skyStops[1], skyStops[2], (t - 0.6f) / 0.4f);

            const float dx = x + 0.5f - 500, dy = y + 0.5f - 132;
            const float d = std::sqrt(dx * dx + dy * dy);
            c = Mix(c, Rgb(255, 226, 168), 0.7f * std::exp(-std::max(0.0f, d - 30) / 44));
            c = Mix(c, Rgb(255, 248, 226), Clamp01(30.5f - d));

            const float farHills =
                232 + 15 * std::sin(x * 0.011f + 0.6f) + 8 * std::sin(x * 0.029f + 2.1f) + 3 * std::sin(x * 0.08f + 1);
            c = Mix(c, Mix(Rgb(132, 156, 192), Rgb(100, 126, 164), Clamp01((y - farHills) / 60)),
                    Clamp01(y + 0.5f - farHills));
            const float nearHills = 264 + 11 * std::sin(x * 0.016f + 2.4f) + 6 * std::sin(x * 0.041f + 0.3f);
            c = Mix(c, Mix(Rgb(92, 142, 90), Rgb(62, 112, 68), Clamp01((y - nearHills) / 36)),
                    Clamp01(y + 0.5f - nearHills));

            const float grass = Clamp01(y + 0.5f - kGrassTop);
            if (grass > 0) {
                Px g = Mix(Rgb(104, 164, 76), Rgb(50, 102, 46), Clamp01((y - kGrassTop) / 103.0f));
                const int band = static_cast<int>((x * 0.6f + (y - kGrassTop) * 1.6f) / 28) & 1;
                g = Scale(g, band ? 1.05f : 0.95f);
                c = Mix(c, g, grass);
            }
            c.a = 1;
            p.At(x, y) = c;
        }
    }
    return p;
}

// A cloud made of round puffs over a flat base. Pixels outside it are the colour key, magenta.
Picture PaintCloud(int width, int height, const std::vector<std::array<float, 3>>& puffs)
{
    Picture p(width, height);
    const float base = height - 5.0f;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float depth = -1e9f; // how far inside the nearest puff edge
            for (const auto& puff : puffs) {
                const float dx = x + 0.5f - puff[0], dy = y + 0.5f - puff[1];
                depth = std::max(depth, puff[2] - std::sqrt(dx * dx + dy * dy));
            }
            if (depth <= 0 || y + 0.5f > base) {
                p.At(x, y) = Rgb(255, 0, 255);
                continue;
            }
            Px c = Mix(Rgb(253, 253, 255), Rgb(204, 212, 230), Clamp01((y - height * 0.25f) / (height * 0.75f)));
            if (depth < 1.5f || base - (y + 0.5f) < 1.5f)
                c = Mix(c, Rgb(176, 186, 208), 0.6f);
            p.At(x, y) = c;
        }
    }
    return p;
}

// A shaded ball with a soft edge; a glass ball is mostly see-through apart from rim and highlight.
Picture PaintBall(int radius, Px base, bool glass)
{
    const int size = 2 * radius + 4;
    Picture p(size, size);
    const float c = size / 2.0f;
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    const float ln = std::sqrt(lx * lx + ly * ly + lz * lz);
    float hx = lx / ln, hy = ly / ln, hz = lz / ln + 1;
    const float hn = std::sqrt(hx * hx + hy * hy + hz * hz);
    hx /= hn, hy /= hn, hz /= hn;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float nx = (x + 0.5f - c) / radius, ny = (y + 0.5f - c) / radius;
            const float d2 = nx * nx + ny * ny;
            const float cover = Clamp01((radius - std::sqrt(d2) * radius) / 1.6f + 0.5f);
            if (cover <= 0)
                continue;
            const float nz = std::sqrt(std::max(0.0f, 1 - d2));
            const float diffuse = std::max(0.0f, (nx * lx + ny * ly + nz * lz) / ln);
            const float specular = std::pow(std::max(0.0f, nx * hx + ny * hy + nz * hz), 36.0f);
            const float rim = (1 - nz) * (1 - nz);
            Px col = Scale(base, 0.3f + 0.8f * diffuse + 0.18f * std::max(0.0f, ny));
            col = Mix(col, Rgb(255, 255, 255), Clamp01(specular * 0.85f));
            col.a = glass ? cover * Clamp01(0.3f + 0.6f * rim + specular) : cover;
            p.At(x, y) = col;
        }
    }
    return p;
}

// The soft shadow a ball throws on the lawn.
Picture PaintShadow(int width, int height)
{
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float ex = (x + 0.5f - width / 2.0f) / (width / 2.0f),
                        ey = (y + 0.5f - height / 2.0f) / (height / 2.0f);
            const float e = ex * ex + ey * ey;
            Px c = Rgb(16, 40, 18);
            c.a = e < 1 ? 0.8f * std::pow(1 - e, 1.2f) : 0;
            p.At(x, y) = c;
        }
    return p;
}

// The arrow pointer shown where the scripted mouse is.
Picture PaintPointer()
{
    // clang-format off
    static const char* const art[] = {
        "X           ",
        "XX          ",
        "XoX         ",
        "XooX        ",
        "XoooX       ",
        "XooooX      ",
        "XoooooX     ",
        "XooooooX    ",
        "XoooooooX   ",
        "XooooooooX  ",
        "XoooooXXXXX ",
        "XooXooX     ",
        "XoX XooX    ",
        "XX  XooX    ",
        "X    XooX   ",
        "     XooX   ",
        "      XooX  ",
        "      XooX  ",
        "       XX   ",
    };
    // clang-format on
    const int rows = static_cast<int>(sizeof art / sizeof art[0]);
    Picture p(14, rows + 2);
    auto ink = [&](int x, int y) { return x >= 0 && y >= 0 && y < rows && x < 12 && art[y][x] != ' '; };
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            if (ink(x, y))
                p.At(x, y) = art[y][x] == 'X' ? Rgb(10, 10, 14) : Rgb(255, 255, 255);
            else if (ink(x - 1, y - 1) || ink(x - 2, y - 2))
                p.At(x, y) = Px{0, 0, 0, 0.28f};
        }
    return p;
}

// One look of a rounded, glossy button.
Picture PaintButtonLook(int width, int height, Px top, Px bottom, Px border, float opacity, bool pressed)
{
    Picture p(width, height);
    const float radius = 9, hw = width / 2.0f, hh = height / 2.0f;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float qx = std::fabs(x + 0.5f - hw) - (hw - radius), qy = std::fabs(y + 0.5f - hh) - (hh - radius);
            const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
            const float sd = std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
            const float cover = Clamp01(0.5f - sd);
            if (cover <= 0)
                continue;
            Px c = Mix(top, bottom, (y + 0.5f) / height);
            if (!pressed && y < height * 0.48f)
                c = Mix(c, Rgb(255, 255, 255), 0.14f);
            if (!pressed && sd > -3.0f && sd <= -1.6f && y < hh)
                c = Mix(c, Rgb(255, 255, 255), 0.35f);
            c = Mix(c, border, Clamp01(sd + 1.8f));
            c.a = cover * opacity;
            p.At(x, y) = c;
        }
    return p;
}

// Normal, hover, pressed and disabled looks of a button in one colour.
std::array<Picture, 4> PaintButtonLooks(int width, int height, Px base)
{
    const Px light = Mix(base, Rgb(255, 255, 255), 0.35f);
    const Px edge = Scale(base, 0.35f);
    return {PaintButtonLook(width, height, Scale(base, 1.12f), Scale(base, 0.78f), edge, 1, false),
            PaintButtonLook(width, height, light, base, Scale(base, 0.45f), 1, false),
            PaintButtonLook(width, height, Scale(base, 0.55f), Scale(base, 0.85f), Scale(base, 0.25f), 1, true),
            PaintButtonLook(width, height, Rgb(176, 178, 182), Rgb(132, 134, 140), Rgb(96, 98, 104), 0.6f, false)};
}

std::wstring Wide(const std::string& s)
{
    const int length = static_cast<int>(s.size()) + 1; // with the terminating zero
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), length, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), length, &w[0], n);
    w.resize(static_cast<size_t>(n - 1));
    return w;
}

// The encoder for a MIME type ("image/png"), found the way a Windows host finds it.
bool EncoderClsid(const WCHAR* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (std::wcscmp(encoders[i].MimeType, mimeType) == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    return false;
}

// A 24-bit BMP through GDI+'s BMP encoder; alpha is dropped (these pictures are opaque or
// colour-keyed). The rows are handed over as PixelFormat24bppRGB: blue, green, red bytes, each
// row padded to a multiple of four bytes.
bool WriteBmp(const std::string& path, const Picture& p)
{
    const int stride = (p.width * 3 + 3) & ~3;
    std::vector<BYTE> rows(static_cast<size_t>(stride) * p.height, 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Px& c = p.At(x, y);
            BYTE* out = &rows[static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(x)];
            out[0] = Byte(c.b);
            out[1] = Byte(c.g);
            out[2] = Byte(c.r);
        }
    CLSID bmp;
    if (!EncoderClsid(L"image/bmp", &bmp))
        return false;
    Gdiplus::Bitmap bitmap(p.width, p.height, stride, PixelFormat24bppRGB, rows.data());
    return bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.Save(Wide(path).c_str(), &bmp, nullptr) == Gdiplus::Ok;
}

} // namespace

namespace {

// --- The scripted mouse of a run without a display ---------------------------------------------

struct Waypoint {
    int frame, x, y;
};

// Hover Pause, click it; click Add twice (its last ball disables it) and once more while it is
// disabled; click Clouds; press Pause, drag off and back and release (no click); click Pause and
// Clouds again; end hovering over Clouds.
// clang-format off
const Waypoint kPath[] = {
    {0, 190, 214},  {12, 338, 353}, {19, 338, 353}, {30, 452, 353},  {51, 452, 353},  {60, 566, 353},
    {66, 566, 353}, {74, 338, 353}, {76, 338, 353}, {80, 420, 262},  {84, 338, 353},  {95, 338, 353},
    {104, 566, 353}, {109, 566, 353}, {112, 574, 357}, {10000, 574, 357},
};

struct Press {
    int frame;
    bool down;
};

const Press kPresses[] = {
    {14, true}, {18, false}, {32, true},  {35, false}, {40, true},  {43, false}, {48, true},  {50, false},
    {62, true}, {65, false}, {76, true},  {86, false}, {90, true},  {93, false}, {106, true}, {108, false},
};
// clang-format on

// Keys pressed and released through the message queue, as a keyboard would: steer the first
// ball right and up, then pause with Space (Space is held for one auto-repeat, which must not
// toggle twice).
struct KeyStroke {
    int frame;
    UINT key;
    UINT scan;
    bool extended;
    int repeats;
};

const KeyStroke kKeyStrokes[] = {
    {96, VK_RIGHT, 0x4D, true, 0},
    {98, VK_UP, 0x48, true, 0},
    {116, VK_SPACE, 0x39, false, 1},
};

POINT PathAt(int frame)
{
    const int n = static_cast<int>(sizeof kPath / sizeof kPath[0]);
    for (int i = 1; i < n; ++i) {
        const Waypoint& a = kPath[i - 1];
        const Waypoint& b = kPath[i];
        if (frame <= b.frame) {
            const double t = frame <= a.frame ? 0 : double(frame - a.frame) / (b.frame - a.frame);
            return {static_cast<LONG>(std::lround(a.x + (b.x - a.x) * t)),
                    static_cast<LONG>(std::lround(a.y + (b.y - a.y) * t))};
        }
    }
    return {kPath[n - 1].x, kPath[n - 1].y};
}

// --- Scene objects ----------------------------------------------------------------------------

struct Ball {
    double x = 0, y = 0, vx = 0, vy = 0, bounce = 0;
    int size = 0;
    CMoxTga* image = nullptr;
    CMoxSprite sprite, shadow;
};

struct Cloud {
    double x = 0, speed = 0;
    int y = 0;
    CMoxBitmap* image = nullptr;
    CMoxSprite sprite;
};

struct ButtonLabel {
    const char* text = "";
    CMoxSprite face, shadow, greyed;
};

struct FrameStats {
    double ms = 0, share = 0;
    int rects = 0;
};

// Running totals over a span of frames; a long run keeps no per-frame record.
struct StatsTotal {
    size_t frames = 0;
    double ms = 0, worst = 0, share = 0, rects = 0;

    void Add(const FrameStats& s)
    {
        ++frames;
        ms += s.ms;
        worst = std::max(worst, s.ms);
        share += s.share;
        rects += s.rects;
    }
};

class DemoWnd : public CWnd {
public:
    explicit DemoWnd(const Options& options) : m_Options(options) {}
    ~DemoWnd() override;

    bool Create(bool visible, bool scripted);
    void Frame();
    void PlayScript(int frame);
    bool CaptureWindow(const std::string& path);
    bool IsClosed() const { return m_Closed; }
    void PrintSummary() const;

protected:
    void OnPaint() override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnDestroy() override;
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

private:
    bool MakeAssets();
    void AddBall();
    void Step();
    void ComposeScene();
    void ReportLooks();
    void RecordFrame(double ms);
    void Steer(UINT key);
    std::string Asset(const char* name) const { return m_Options.out + "/assets/" + name; }

    Options m_Options;
    bool m_Visible = false;
    bool m_Closed = false;
    bool m_Paused = false;
    bool m_ShowClouds = true;
    bool m_DrawPointer = false;
    POINT m_Mouse{-100, -100};
    bool m_MouseDown = false;
    unsigned m_Random = 20240607u;

    // The paint device context lives as long as the window and outlasts the canvas bound to it.
    std::unique_ptr<CPaintDC> m_PaintDC;
    CMoxGraphics m_Canvas;

    CMoxBitmap m_BackImage;
    CMoxBitmap m_CloudImage[2];
    CMoxTga m_BallImage[kMaxBalls];
    CMoxTga m_ShadowImage, m_PointerImage;
    CMoxTga m_PauseLook[3], m_AddLooks, m_CloudsLooks;
    CMoxFont m_TitleFont, m_SmallFont, m_LabelFont;
    CMoxPen m_FramePen, m_DividerPen, m_MeterPen;
    CMoxBrush m_PanelBrush;
    CMoxColor m_MeterColour;

    CMoxSprite m_BackSprite, m_Title, m_TitleShadow, m_Subtitle, m_Status;
    CMoxSprite m_PanelFill, m_PanelFrame, m_Divider, m_MeterFrame, m_MeterFill, m_Pointer;
    std::vector<std::unique_ptr<Ball>> m_Balls;
    Cloud m_Clouds[3];

    CMoxButton m_Pause, m_Add, m_CloudsButton;
    ButtonLabel m_PauseLabel, m_AddLabel, m_CloudsLabel;
    int m_ShownLook[3] = {-2, -2, -2};

    StatsTotal m_Total;  // the whole run
    StatsTotal m_Second; // the frames of the current second
};

DemoWnd::~DemoWnd()
{
    // The sprites go before the canvas; take them out of its list first.
    m_Canvas.ClearSprite();
}

bool DemoWnd::MakeAssets()
{
    bool ok = WriteBmp(Asset("background.bmp"), PaintBackground());
    ok &= WriteBmp(
        Asset("cloud_large.bmp"),
        PaintCloud(132, 58, {{{28, 38, 18}}, {{54, 26, 23}}, {{82, 22, 20}}, {{104, 36, 18}}, {{70, 40, 18}}}));
    ok &= WriteBmp(Asset("cloud_small.bmp"), PaintCloud(92, 42, {{{22, 28, 14}}, {{44, 18, 16}}, {{66, 26, 15}}}));

    const Px colours[kMaxBalls] = {Rgb(226, 62, 52),  Rgb(96, 200, 236), Rgb(244, 184, 44),
                                   Rgb(152, 86, 214), Rgb(64, 190, 96),  Rgb(242, 112, 156)};
    const int radii[kMaxBalls] = {22, 18, 24, 16, 20, 19};
    for (int i = 0; i < kMaxBalls; ++i)
        ok &= WriteTga(Asset(("ball_" + std::to_string(i) + ".tga").c_str()), PaintBall(radii[i], colours[i], i == 1));
    ok &= WriteTga(Asset("shadow.tga"), PaintShadow(60, 14));
    ok &= WriteTga(Asset("pointer.tga"), PaintPointer());

    // Three ways of handing a button its looks: separate files, a vertical strip with a
    // disabled look, and a horizontal strip without one.
    const int bw = 108, bh = 34;
    const auto pause = PaintButtonLooks(bw, bh, Rgb(72, 118, 204));
    ok &= WriteTga(Asset("pause_normal.tga"), pause[0]);
    ok &= WriteTga(Asset("pause_hover.tga"), pause[1]);
    ok &= WriteTga(Asset("pause_pressed.tga"), pause[2]);
    const auto add = PaintButtonLooks(bw, bh, Rgb(58, 156, 92));
    Picture stacked(bw, 4 * bh);
    for (int k = 0; k < 4; ++k)
        stacked.Paste(add[k], 0, k * bh);
    ok &= WriteTga(Asset("add_looks.tga"), stacked);
    const auto clouds = PaintButtonLooks(bw, bh, Rgb(214, 128, 52));
    Picture side(3 * bw, bh);
    for (int k = 0; k < 3; ++k)
        side.Paste(clouds[k], k * bw, 0);
    ok &= WriteTga(Asset("clouds_looks.tga"), side);
    if (!ok)
        return false;

    m_BackImage.Init(Wide(Asset("background.bmp")).c_str());
    m_CloudImage[0].Init(Wide(Asset("cloud_large.bmp")).c_str(), 255, 0, 255);
    m_CloudImage[1].Init(Wide(Asset("cloud_small.bmp")).c_str(), 255, 0, 255);
    for (int i = 0; i < kMaxBalls; ++i)
        ok &= m_BallImage[i].Init(Asset(("ball_" + std::to_string(i) + ".tga").c_str()).c_str());
    ok &= m_ShadowImage.Init(Asset("shadow.tga").c_str());
    ok &= m_PointerImage.Init(Asset("pointer.tga").c_str());
    ok &= m_PauseLook[0].Init(Asset("pause_normal.tga").c_str());
    ok &= m_PauseLook[1].Init(Asset("pause_hover.tga").c_str());
    ok &= m_PauseLook[2].Init(Asset("pause_pressed.tga").c_str());
    ok &= m_AddLooks.Init(Asset("add_looks.tga").c_str());
    ok &= m_CloudsLooks.Init(Asset("clouds_looks.tga").c_str());
    return ok && m_BackImage.GetWidth() == kWidth && m_BackImage.GetHeight() == kHeight;
}

bool DemoWnd::Create(bool visible, bool scripted)
{
    m_Visible = visible;
    m_DrawPointer = scripted; // an interactive window has the system's pointer
    m_Canvas.GdiInit();
    if (!m_Canvas.Init(kWidth, kHeight) || !MakeAssets())
        return false;

    m_TitleFont.Init(26, L"DejaVu Sans", Gdiplus::FontStyleBold);
    m_SmallFont.Init(11, L"DejaVu Sans", Gdiplus::FontStyleRegular);
    m_LabelFont.Init(11, L"DejaVu Sans", Gdiplus::FontStyleBold);
    m_FramePen.Init(232, 238, 248, 2.0f, Gdiplus::DashStyleSolid);
    m_DividerPen.Init(200, 212, 232, 1.0f, Gdiplus::DashStyleDot);
    m_MeterPen.Init(226, 232, 242, 1.0f, Gdiplus::DashStyleSolid);
    m_PanelBrush.Init(Gdiplus::HatchStyleWideUpwardDiagonal, Gdiplus::Color(56, 255, 255, 255),
                      Gdiplus::Color(178, 18, 30, 52));
    m_MeterColour.Init(250, 172, 58);

    m_BackSprite.Init(&m_BackImage);
    m_PanelFill.Init(&m_PanelBrush);
    m_PanelFrame.Init(&m_FramePen, 1);
    m_Divider.Init(&m_DividerPen, 0);
    m_MeterFrame.Init(&m_MeterPen, 1);
    m_MeterFill.Init(&m_MeterColour);
    m_Pointer.Init(&m_PointerImage);

    const int cloudY[3] = {64, 108, 40};
    const double cloudX[3] = {80, 330, 520}, cloudSpeed[3] = {-0.45, -0.3, -0.6};
    for (int i = 0; i < 3; ++i) {
        m_Clouds[i].image = &m_CloudImage[i == 1 ? 1 : 0];
        m_Clouds[i].sprite.Init(m_Clouds[i].image);
        m_Clouds[i].x = cloudX[i];
        m_Clouds[i].y = cloudY[i];
        m_Clouds[i].speed = cloudSpeed[i];
    }
    for (int i = 0; i < kStartBalls; ++i)
        AddBall();

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | (visible ? WS_VISIBLE : 0);
    RECT outer{0, 0, kWidth, kHeight};
    AdjustOuterSize(&outer, style);
    if (!CreateEx(0, AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), "MoxImage2 demo", style, 80, 80,
                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr))
        return false;

    const int y = 336;
    m_Pause.Init(this, kIdPause, 284, y, &m_PauseLook[0], &m_PauseLook[1], &m_PauseLook[2], nullptr);
    m_Add.Init(this, kIdAdd, 398, y, &m_AddLooks, 4);
    m_CloudsButton.InitH(this, kIdClouds, 512, y, &m_CloudsLooks, 3);
    m_PauseLabel.text = "Pause";
    m_AddLabel.text = "Add ball";
    m_CloudsLabel.text = "Clouds";

    // Bind the canvas now rather than wait for the first exposure.
    if (!m_PaintDC)
        ::SendMessageA(m_hWnd, WM_PAINT, 0, 0);
    return m_PaintDC != nullptr;
}

BEGIN_MESSAGE_MAP(DemoWnd, CWnd)
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// The first paint binds the canvas to a paint device context kept for the window's life; later
// ones (exposures) copy the whole back buffer again, not just a frame's dirty areas.
void DemoWnd::OnPaint()
{
    if (!m_PaintDC) {
        m_PaintDC = std::make_unique<CPaintDC>(this);
        m_Canvas.InitGraphics(m_PaintDC.get());
        m_Canvas.SetBackBitmap(&m_BackImage);
        m_Canvas.DrawBack();
        ComposeScene();
        return;
    }
    CPaintDC dc(this);
    if (CDC* mem = m_Canvas.GetMemDC())
        dc.BitBlt(0, 0, kWidth, kHeight, mem, 0, 0, SRCCOPY);
}

void DemoWnd::AddBall()
{
    const int i = static_cast<int>(m_Balls.size());
    if (i >= kMaxBalls)
        return;
    static const double startX[kMaxBalls] = {60, 200, 330, 480, 120, 560};
    static const double apex[kMaxBalls] = {40, 92, 26, 128, 58, 32};
    static const double speedX[kMaxBalls] = {2.1, -1.6, 1.3, -2.4, 2.8, -1.9};
    static const double phase[kMaxBalls] = {0.2, 0.7, 0.45, 0.1, 0.0, 0.0};
    auto b = std::make_unique<Ball>();
    b->image = &m_BallImage[i];
    b->size = static_cast<int>(b->image->GetWidth());
    const double ground = kFloor + 2 - b->size; // the picture has a two-pixel margin
    b->x = startX[i];
    b->y = apex[i] + (ground - apex[i]) * phase[i];
    b->vx = speedX[i];
    b->vy = std::sqrt(2 * kGravity * (b->y - apex[i]));
    b->bounce = std::sqrt(2 * kGravity * (ground - apex[i]));
    b->sprite.Init(b->image);
    b->shadow.Init(&m_ShadowImage);
    m_Balls.push_back(std::move(b));
}

void DemoWnd::Step()
{
    for (auto& b : m_Balls) {
        const double ground = kFloor + 2 - b->size;
        b->vy += kGravity;
        b->y += b->vy;
        if (b->y >= ground) {
            b->y = ground;
            b->vy = -b->bounce; // the same bounce every time keeps each ball's height
        }
        b->x += b->vx;
        if (b->x < 0 || b->x + b->size > kWidth) {
            b->vx = -b->vx;
            b->x = std::max(0.0, std::min<double>(b->x, kWidth - b->size));
        }
    }
    for (auto& c : m_Clouds) {
        c.x += c.speed;
        if (c.x < -static_cast<double>(c.image->GetWidth()))
            c.x = kWidth;
    }
}

void DemoWnd::ComposeScene()
{
    const Gdiplus::Color white(255, 252, 246), ink(230, 20, 30, 62), soft(236, 242, 252);
    CMoxGraphics& g = m_Canvas;
    g.InitSprite();
    g.AddSprite(&m_BackSprite, 0, 0, 255);
    if (m_ShowClouds)
        for (auto& c : m_Clouds)
            g.AddSprite(&c.sprite, static_cast<int>(std::lround(c.x)), c.y, 255);

    g.SetNowFont(&m_TitleFont);
    g.AddSprite(&m_Title, &m_TitleShadow, 22, 10, 420, 48, "MoxImage2", white, ink, Gdiplus::StringAlignmentNear);
    g.SetNowFont(&m_SmallFont);
    g.AddSprite(&m_Subtitle, 25, 56, 460, 22, "sprites \xC2\xB7 dirty rectangles \xC2\xB7 image buttons", soft,
                Gdiplus::StringAlignmentNear);

    for (auto& b : m_Balls) {
        const int cx = static_cast<int>(std::lround(b->x)) + b->size / 2;
        const double height = kFloor + 2 - b->size - b->y;
        const int alpha = std::max(60, std::min(255, static_cast<int>(255 - height * 0.75)));
        g.AddSprite(&b->shadow, cx - 30, kFloor - 6, static_cast<unsigned char>(alpha));
    }
    for (auto& b : m_Balls)
        g.AddSprite(&b->sprite, static_cast<int>(std::lround(b->x)), static_cast<int>(std::lround(b->y)), 255);

    g.AddSprite(&m_PanelFill, 12, 316, 616, 74, 0, 0, 255);
    g.AddSprite(&m_PanelFrame, 12, 316, 616, 74, 0, 0, 255);
    g.AddSprite(&m_Divider, 271, 328, 0, 50, 0, 0, 255);

    char status[96];
    std::snprintf(status, sizeof status, "%d of %d balls \xC2\xB7 %s", static_cast<int>(m_Balls.size()), kMaxBalls,
                  m_Paused ? "paused" : "bouncing");
    g.AddSprite(&m_Status, 26, 328, 236, 20, status, soft, Gdiplus::StringAlignmentNear);
    g.AddSprite(&m_MeterFrame, 26, 356, 232, 16, 0, 0, 255);
    const int fill = 229 * static_cast<int>(m_Balls.size()) / kMaxBalls;
    g.AddSprite(&m_MeterFill, 28, 358, fill, 13, 0, 0, 255);

    m_PauseLabel.text = m_Paused ? "Resume" : "Pause";
    m_CloudsLabel.text = m_ShowClouds ? "Hide clouds" : "Show clouds";
    CMoxButton* buttons[3] = {&m_Pause, &m_Add, &m_CloudsButton};
    ButtonLabel* labels[3] = {&m_PauseLabel, &m_AddLabel, &m_CloudsLabel};
    g.SetNowFont(&m_LabelFont);
    for (int i = 0; i < 3; ++i) {
        CMoxButton& b = *buttons[i];
        g.AddSprite(&b);
        if (!b.GetShow())
            continue;
        if (b.GetEnable()) {
            const int press = b.m_State == 2 ? 1 : 0;
            g.AddSprite(&labels[i]->face, &labels[i]->shadow, b.GetX() + press, b.GetY() + 8 + press, b.GetWidth(), 20,
                        labels[i]->text, white, ink, Gdiplus::StringAlignmentCenter);
        } else {
            g.AddSprite(&labels[i]->greyed, b.GetX(), b.GetY() + 8, b.GetWidth(), 20, labels[i]->text,
                        Gdiplus::Color(236, 238, 242), Gdiplus::StringAlignmentCenter);
        }
    }

    if (m_DrawPointer)
        g.AddSprite(&m_Pointer, m_Mouse.x, m_Mouse.y, 255);
    g.DrawSprite(true);
}

void DemoWnd::Frame()
{
    if (m_Closed || !m_PaintDC)
        return;
    const auto start = std::chrono::steady_clock::now();
    if (!m_Paused)
        Step();
    ComposeScene();
    const auto end = std::chrono::steady_clock::now();
    RecordFrame(std::chrono::duration<double, std::milli>(end - start).count());
    ReportLooks();
}

void DemoWnd::RecordFrame(double ms)
{
    FrameStats s;
    s.ms = ms;
    long long area = 0;
    for (const CMoxRect& r : m_Canvas.m_ZangList.m_RectList) {
        const long long x0 = std::max(0, r.X), y0 = std::max(0, r.Y);
        const long long x1 = std::min<long long>(kWidth, static_cast<long long>(r.X) + r.Width);
        const long long y1 = std::min<long long>(kHeight, static_cast<long long>(r.Y) + r.Height);
        if (x1 > x0 && y1 > y0)
            area += (x1 - x0) * (y1 - y0);
        ++s.rects;
    }
    s.share = static_cast<double>(area) / (static_cast<double>(kWidth) * kHeight);
    m_Total.Add(s);
    m_Second.Add(s);

    const size_t n = m_Total.frames;
    if (m_Second.frames == kFramesPerSecond) {
        std::printf("second %zu: frames %zu-%zu mean %.3f ms worst %.3f ms redrawn %.1f%% rects %.1f\n",
                    n / kFramesPerSecond, n - kFramesPerSecond + 1, n, m_Second.ms / kFramesPerSecond,
                    m_Second.worst, 100 * m_Second.share / kFramesPerSecond, m_Second.rects / kFramesPerSecond);
        std::fflush(stdout); // an interactive run may be watched through a pipe
        m_Second = StatsTotal();
    }
}

void DemoWnd::PrintSummary() const
{
    const double n = m_Total.frames == 0 ? 1 : static_cast<double>(m_Total.frames);
    std::printf("summary: frames=%zu mean_ms=%.3f worst_ms=%.3f redrawn=%.1f%% rects_per_frame=%.2f\n", m_Total.frames,
                m_Total.ms / n, m_Total.worst, 100 * m_Total.share / n, m_Total.rects / n);
}

// One line whenever the look a button shows changes: 0 normal, 1 hover, 2 pressed, 3 disabled.
void DemoWnd::ReportLooks()
{
    CMoxButton* buttons[3] = {&m_Pause, &m_Add, &m_CloudsButton};
    const int ids[3] = {kIdPause, kIdAdd, kIdClouds};
    for (int i = 0; i < 3; ++i) {
        CMoxButton& b = *buttons[i];
        const int look = !b.GetShow() ? -1 : (!b.GetEnable() ? 3 : b.m_State);
        if (look != m_ShownLook[i]) {
            m_ShownLook[i] = look;
            std::printf("look button=%d state=%d frame=%zu\n", ids[i], look, m_Total.frames);
        }
    }
}

void DemoWnd::PlayScript(int frame)
{
    const POINT p = PathAt(frame);
    if (p.x != m_Mouse.x || p.y != m_Mouse.y)
        ::SendMessageA(m_hWnd, WM_MOUSEMOVE, m_MouseDown ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
    for (const Press& press : kPresses)
        if (press.frame == frame)
            ::SendMessageA(m_hWnd, press.down ? WM_LBUTTONDOWN : WM_LBUTTONUP, press.down ? MK_LBUTTON : 0,
                           MAKELPARAM(p.x, p.y));
    for (const KeyStroke& k : kKeyStrokes) {
        if (k.frame != frame)
            continue;
        const LPARAM down = static_cast<LPARAM>(1 | (k.scan << 16) | (k.extended ? 1u << 24 : 0));
        const LPARAM repeat = down | (1 << 30);
        const LPARAM up = static_cast<LPARAM>(static_cast<std::int32_t>(static_cast<DWORD>(down) | 0xC0000000u));
        ::PostMessageA(m_hWnd, WM_KEYDOWN, k.key, down);
        for (int r = 0; r < k.repeats; ++r)
            ::PostMessageA(m_hWnd, WM_KEYDOWN, k.key, repeat);
        ::PostMessageA(m_hWnd, WM_KEYUP, k.key, up);
    }
    MSG msg;
    while (::PeekMessageA(&msg, m_hWnd, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void DemoWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    m_Mouse = point;
    m_Pause.OnMouseMove(point.x, point.y);
    m_Add.OnMouseMove(point.x, point.y);
    m_CloudsButton.OnMouseMove(point.x, point.y);
}

void DemoWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_MouseDown = true;
    m_Pause.OnMouseDown(point.x, point.y);
    m_Add.OnMouseDown(point.x, point.y);
    m_CloudsButton.OnMouseDown(point.x, point.y);
}

void DemoWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_MouseDown = false;
    m_Pause.OnMouseUp(point.x, point.y);
    m_Add.OnMouseUp(point.x, point.y);
    m_CloudsButton.OnMouseUp(point.x, point.y);
}

// Keys: Esc or Q quits, Space pauses like the Pause button, the arrow keys steer the first ball.
void DemoWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_ESCAPE:
    case 'Q':
        std::printf("key quit frame=%zu\n", m_Total.frames);
        ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return;
    case VK_SPACE:
        if (nFlags & KF_REPEAT)
            return; // held down: one toggle per press
        m_Paused = !m_Paused;
        std::printf("key pause frame=%zu\n", m_Total.frames);
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        Steer(nChar);
        std::printf("key steer=%u frame=%zu\n", nChar, m_Total.frames);
        break;
    default:
        return;
    }
    std::fflush(stdout);
}

// Left and right push the first ball sideways, up throws it higher than its usual bounce for
// one hop, down pulls it to the ground faster.
void DemoWnd::Steer(UINT key)
{
    if (m_Balls.empty())
        return;
    Ball& b = *m_Balls.front();
    constexpr double kPush = 1.5, kFastest = 8;
    if (key == VK_LEFT)
        b.vx = std::max(-kFastest, b.vx - kPush);
    else if (key == VK_RIGHT)
        b.vx = std::min(kFastest, b.vx + kPush);
    else if (key == VK_UP)
        b.vy = -b.bounce - 3;
    else
        b.vy = std::max(b.vy, 0.0) + 4;
}

BOOL DemoWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    switch (id) {
    case kIdPause:
        m_Paused = !m_Paused;
        break;
    case kIdAdd:
        AddBall();
        if (m_Balls.size() >= static_cast<size_t>(kMaxBalls))
            m_Add.Enable(0);
        break;
    case kIdClouds:
        m_ShowClouds = !m_ShowClouds;
        break;
    default:
        return CWnd::OnCommand(wParam, lParam);
    }
    std::printf("click id=%d frame=%zu\n", id, m_Total.frames + 1);
    std::fflush(stdout);
    return TRUE;
}

void DemoWnd::OnClose()
{
    DestroyWindow();
}

void DemoWnd::OnDestroy()
{
    m_Closed = true;
    CWnd::OnDestroy();
    PostQuitMessage(0);
}

// The window's own pixels, as the user sees them, not the canvas's back buffer: copied with
// BitBlt into a DIB section, which GDI+ turns into a Bitmap and saves as a compressed PNG.
bool DemoWnd::CaptureWindow(const std::string& path)
{
    CLSID png;
    if (!EncoderClsid(L"image/png", &png))
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HDC window = ::GetDC(m_hWnd);
    bool ok = false;
    if (section && memory && window) {
        HGDIOBJ previous = SelectObject(memory, section);
        ok = BitBlt(memory, 0, 0, kWidth, kHeight, window, 0, 0, SRCCOPY) != FALSE;
        SelectObject(memory, previous);
        if (ok) {
            std::unique_ptr<Gdiplus::Bitmap> frame(Gdiplus::Bitmap::FromHBITMAP(section, nullptr));
            ok = frame && frame->GetLastStatus() == Gdiplus::Ok && frame->Save(Wide(path).c_str(), &png, nullptr) == Gdiplus::Ok;
        }
    }
    if (window)
        ::ReleaseDC(m_hWnd, window);
    if (memory)
        DeleteDC(memory);
    if (section)
        DeleteObject(section);
    return ok;
}

bool ParseCount(const char* text, int low, int high, int* out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!text[0] || *end || v < low || v > high)
        return false;
    *out = static_cast<int>(v);
    return true;
}

bool ParseOptions(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--headless")
            o->headless = true;
        else if (arg == "--frames" && hasValue && ParseCount(argv[i + 1], 1, 1000000, &o->frames))
            ++i;
        else if (arg == "--every" && hasValue && ParseCount(argv[i + 1], 1, 1000000, &o->every))
            ++i;
        else if (arg == "--out" && hasValue && argv[i + 1][0])
            o->out = argv[++i];
        else
            return false;
    }
    return true;
}

bool HaveDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

int RunInteractive(DemoWnd& wnd)
{
    const auto period = std::chrono::microseconds(1000000 / kFramesPerSecond);
    auto next = std::chrono::steady_clock::now();
    while (!wnd.IsClosed()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (wnd.IsClosed() || !IsWindow(wnd.m_hWnd))
            break;
        wnd.Frame();
        next += period;
        const auto now = std::chrono::steady_clock::now();
        if (next > now)
            Sleep(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()));
        else
            next = now;
    }
    wnd.PrintSummary();
    return 0;
}

int RunScripted(DemoWnd& wnd, const Options& o)
{
    for (int frame = 1; frame <= o.frames; ++frame) {
        wnd.PlayScript(frame);
        wnd.Frame();
        if (frame % o.every == 0 && frame != o.frames) {
            char name[32];
            std::snprintf(name, sizeof name, "frame_%04d.png", frame);
            if (!wnd.CaptureWindow(o.out + "/" + name))
                std::fprintf(stderr, "demo: could not write %s/%s\n", o.out.c_str(), name);
        }
    }
    wnd.PrintSummary();
    const std::string last = o.out + "/demo.png";
    if (!wnd.CaptureWindow(last)) {
        std::fprintf(stderr, "demo: could not write %s\n", last.c_str());
        return 1;
    }
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(last, ec);
    std::printf("picture: %s\n", ec ? last.c_str() : absolute.string().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: demo [--headless] [--frames N] [--every K] [--out DIR]\n");
        return 2;
    }
    std::error_code ec;
    // The pictures the demo paints for itself go to assets/, apart from the frames.
    std::filesystem::create_directories(options.out + "/assets", ec);
    if (ec) {
        std::fprintf(stderr, "demo: cannot make %s: %s\n", options.out.c_str(), ec.message().c_str());
        return 1;
    }

    const bool interactive = !options.headless && HaveDisplay();
    DemoWnd wnd(options);
    if (!wnd.Create(interactive || kScriptedRunShowsWindow, !interactive)) {
        std::fprintf(stderr, "demo: could not set up the scene in %s\n", options.out.c_str());
        return 1;
    }
    const int rc = interactive ? RunInteractive(wnd) : RunScripted(wnd, options);
    std::fflush(stdout);
    return rc;
}
