// What a frame of the retained scene costs against redrawing everything, on a 1024 x 768 canvas
// presented to a (headless) window.
//
// Each repetition times, interleaved and in alternating order, one incremental frame (InitSprite,
// the AddSprite calls, DrawSprite(true) with its DrawDC) and one full redraw of the same scene
// (background and every sprite drawn whole, then one full-canvas BitBlt to the window), then
// DrawDC again against one full-canvas BitBlt. Reported are medians of the per-repetition ratios:
//   frame_ratio   incremental frame / full redraw          (below 1: the scene pays off)
//   add_ms        the InitSprite + AddSprite phase of the incremental frame
//   drawdc_ratio  DrawDC / one full-canvas BitBlt between the same memory DC and window, so
//                 that both copy between the same memory
//   visits_ratio  three bare passes over the listed sprites, touching what a frame must touch
//                 of each / full redraw: the floor of frame_ratio the public members set
//   blits_ratio   the blits one frame's pass makes (sprites drawn whole, parts inside dirty
//                 rectangles), replayed alone through the public Draw calls with warm caches /
//                 full redraw: what drawing those pixels costs, before any bookkeeping
//   list_ratio    the rectangles one frame's AddSprite calls add, added again alone to an empty
//                 dirty list with warm caches / full redraw: what building that list costs
//   floor_ratio   (three bare visits + building the dirty list + those blits + DrawDC) / full
//                 redraw: work any frame of this scene must do, measured in the same repetition
//   dirty_share   share of the canvas inside the dirty rectangles, and their count (rects)
// After every repetition the incremental canvas must equal the full redraw byte for byte, or the
// benchmark stops with an error.
//
// Scenes: 16-48 px sprites at random places; 2-6 px sprites on a jittered grid; and 16-48 px
// sprites over a background loaded from a PNG with an alpha channel. Half the sprites are
// keyed bitmaps, half TGA images with soft alpha. 1% or 10% of them move each frame.
#include <MoxImage2.h>

#include <benchmark/benchmark.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <time.h>

namespace {

constexpr int kW = 1024, kH = 768;

// Thread CPU time: the machine may be shared, and wall time would charge other processes' work
// to whichever side of the comparison they happened to interrupt.
double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

std::string ScratchPath(const char* name)
{
    return "/tmp/mox_composition_bench_" + std::to_string(std::random_device{}()) + "_" + name;
}

struct RawImage {
    std::vector<unsigned char> bytes;
    BITMAPINFO header{};
    std::unique_ptr<CMoxBitmap> bitmap;
    RawImage(int w, int h, std::uint32_t seed, bool keyed)
    {
        std::mt19937 rng(seed);
        bytes.resize(size_t(w) * h * 3);
        for (size_t i = 0; i < bytes.size(); i += 3) {
            const bool hole = keyed && rng() % 4 == 0;
            bytes[i] = hole ? 255 : std::uint8_t(rng());
            bytes[i + 1] = hole ? 0 : std::uint8_t(rng());
            bytes[i + 2] = hole ? 255 : std::uint8_t(rng() & 0x7F);
        }
        header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        header.bmiHeader.biWidth = w;
        header.bmiHeader.biHeight = h;
        header.bmiHeader.biPlanes = 1;
        header.bmiHeader.biBitCount = 24;
        header.bmiHeader.biCompression = BI_RGB;
        if (keyed)
            bitmap = std::make_unique<CMoxBitmap>(bytes.data(), int(bytes.size()), header, 255, 0, 255);
        else
            bitmap = std::make_unique<CMoxBitmap>(bytes.data(), int(bytes.size()), header, 0);
    }
};

// A 32-bit TGA with a soft alpha ramp, written once to a scratch file.
std::unique_ptr<CMoxTga> MakeTga(int w, int h)
{
    const std::string path = ScratchPath("sprite.tga");
    std::vector<unsigned char> file(18 + size_t(w) * h * 4, 0);
    file[2] = 2;
    file[12] = std::uint8_t(w);
    file[13] = std::uint8_t(w >> 8);
    file[14] = std::uint8_t(h);
    file[15] = std::uint8_t(h >> 8);
    file[16] = 32;
    file[17] = 8;
    for (int i = 0; i < w * h; ++i) {
        unsigned char* p = &file[18 + size_t(i) * 4];
        p[0] = 40;
        p[1] = std::uint8_t(i * 7);
        p[2] = 200;
        p[3] = std::uint8_t(w > 1 ? (i % w) * 255 / (w - 1) : 255);
    }
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    auto tga = std::make_unique<CMoxTga>(path.c_str());
    std::remove(path.c_str());
    return tga;
}

// A canvas-sized background PNG with an alpha channel (held at 32 bits a pixel once loaded).
// A 1024 x 768 background saved as a PNG, with an alpha channel (held at 32 bits a pixel once
// loaded) or without (held at 24 bits), and loaded back as a file-form image.
std::unique_ptr<CMoxBitmap> MakePngBackground(bool withAlpha = true)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, withAlpha, 8, kW, kH);
    if (!pixbuf)
        return nullptr;
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            guchar* p = pixels + size_t(y) * stride + size_t(x) * channels;
            p[0] = guchar(x / 4);
            p[1] = guchar(y / 3);
            p[2] = guchar((x + y) / 8);
            if (withAlpha)
                p[3] = 255;
        }
    const std::string path = ScratchPath(withAlpha ? "background.png" : "background24.png");
    gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, NULL);
    g_object_unref(pixbuf);
    const std::wstring wide(path.begin(), path.end());
    auto image = std::make_unique<CMoxBitmap>(wide.c_str());
    std::remove(path.c_str());
    return image;
}

enum class Layout { Large, TinyGrid, LargeOverPng, Fills };

struct Scene {
    RawImage backdrop{kW, kH, 1, false};
    std::unique_ptr<CMoxBitmap> png;
    CMoxBitmap* background = backdrop.bitmap.get();
    std::vector<std::unique_ptr<RawImage>> bitmaps;
    std::vector<std::unique_ptr<CMoxTga>> tgas;
    std::vector<CMoxColor> colors;
    CMoxSprite backgroundSprite;
    std::vector<CMoxSprite> sprites;
    std::vector<int> x, y, w, h, dx, dy;
    std::vector<size_t> moving;

    Scene(Layout layout, int count, int movingPercent) : sprites(size_t(count))
    {
        std::mt19937 rng(7);
        auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
        if (layout == Layout::LargeOverPng) {
            png = MakePngBackground();
            background = png.get();
        }
        if (layout == Layout::Fills) {
            MakeFills(count, rng);
        } else {
            MakeImages(layout, count, rng);
        }
        const int every = std::max(1, 100 / movingPercent);
        for (int i = 0; i < count; i += every) {
            moving.push_back(size_t(i));
            dx[size_t(i)] = pick(1, 3) * (pick(0, 1) ? 1 : -1);
            dy[size_t(i)] = pick(1, 3) * (pick(0, 1) ? 1 : -1);
        }
    }

    // Solid fills of 6-12 px in rows 8 px apart, each overlapping the next: a fill cannot be
    // drawn in part, so one touched by a dirty rectangle becomes dirty whole and touches its
    // neighbours in turn.
    void MakeFills(int count, std::mt19937& rng)
    {
        auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
        backgroundSprite.Init(background);
        colors.reserve(size_t(count));
        const int columns = kW / 8;
        for (int i = 0; i < count; ++i) {
            colors.emplace_back(std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()));
            sprites[i].Init(&colors.back());
            const int side = pick(6, 12);
            w.push_back(side);
            h.push_back(side);
            x.push_back(std::min((i % columns) * 8, kW - side));
            y.push_back(std::min((i / columns) * 16 % (kH - 12), kH - side));
            dx.push_back(0);
            dy.push_back(0);
        }
    }

    void MakeImages(Layout layout, int count, std::mt19937& rng)
    {
        auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
        const bool tiny = layout == Layout::TinyGrid;
        const int minSide = tiny ? 2 : 16, maxSide = tiny ? 6 : 48;
        for (int side = minSide; side <= maxSide; ++side) {
            bitmaps.push_back(std::make_unique<RawImage>(side, side, std::uint32_t(side), true));
            tgas.push_back(MakeTga(side, side));
        }
        backgroundSprite.Init(background);
        const double spacing = std::sqrt(double(kW) * kH / count);
        const int columns = std::max(1, int(kW / spacing));
        for (int i = 0; i < count; ++i) {
            const int side = pick(minSide, maxSide);
            if (i % 2)
                sprites[i].Init(tgas[size_t(side - minSide)].get());
            else
                sprites[i].Init(bitmaps[size_t(side - minSide)]->bitmap.get());
            w.push_back(side);
            h.push_back(side);
            if (tiny) { // a grid cell per sprite, jittered within it
                const int cx = int((i % columns) * spacing), cy = int((i / columns) * spacing);
                x.push_back(std::clamp(cx + pick(0, std::max(0, int(spacing) - side)), 0, kW - side));
                y.push_back(std::clamp(cy + pick(0, std::max(0, int(spacing) - side)), 0, kH - side));
            } else {
                x.push_back(pick(0, kW - side));
                y.push_back(pick(0, kH - side));
            }
            dx.push_back(0);
            dy.push_back(0);
        }
    }

    void Step()
    {
        for (size_t i : moving) {
            if (x[i] + dx[i] < 0 || x[i] + dx[i] > kW - w[i])
                dx[i] = -dx[i];
            if (y[i] + dy[i] < 0 || y[i] + dy[i] > kH - h[i])
                dy[i] = -dy[i];
            x[i] += dx[i];
            y[i] += dy[i];
        }
    }

    void Add(CMoxGraphics& canvas)
    {
        canvas.InitSprite();
        canvas.AddSprite(&backgroundSprite, 0, 0, 255);
        for (size_t i = 0; i < sprites.size(); ++i) {
            if (sprites[i].GetColor())
                canvas.AddSprite(&sprites[i], x[i], y[i], w[i], h[i], 0, 0, 255);
            else
                canvas.AddSprite(&sprites[i], x[i], y[i], 255);
        }
    }

    void Redraw(CMoxGraphics& canvas)
    {
        canvas.Draw(background, 0, 0, 0, 0, kW, kH);
        for (size_t i = 0; i < sprites.size(); ++i) {
            if (CMoxColor* color = sprites[i].GetColor())
                canvas.FillRectangle(x[i], y[i], w[i], h[i], color->GetR(), color->GetG(), color->GetB());
            else if (CMoxTga* tga = sprites[i].GetTga())
                canvas.Draw(tga, x[i], y[i], 0, 0, w[i], h[i]);
            else
                canvas.Draw(sprites[i].GetBitmap(), x[i], y[i], 0, 0, w[i], h[i]);
        }
    }
};

// Three passes over the listed sprites in list order, touching what a frame must touch of each
// (InitSprite: the update flag; AddSprite: the placement and the sort key; DrawSprite: the
// flags, placement, key and references) and storing back what they read, so the scene is left
// as it was. No frame can cost less than this; asking for sprites ahead as the library does.
std::uintptr_t VisitThreeTimes(const std::vector<CMoxSprite*>& list)
{
    const size_t n = list.size();
    auto ahead = [&](size_t i) {
#if defined(__GNUC__) || defined(__clang__)
        if (i + 8 < n)
            __builtin_prefetch(list[i + 8], 1);
#endif
    };
    std::uintptr_t sink = 0;
    for (size_t i = 0; i < n; ++i) {
        ahead(i);
        volatile int& update = list[i]->m_Update;
        update = update;
    }
    for (size_t i = 0; i < n; ++i) {
        ahead(i);
        volatile int& sort = list[i]->m_Sort;
        sink += std::uintptr_t(list[i]->m_NewRect.X);
        sort = sort;
    }
    for (size_t i = 0; i < n; ++i) {
        ahead(i);
        const CMoxSprite& sprite = *list[i];
        sink += std::uintptr_t(sprite.m_Update + sprite.m_Sort + sprite.m_Zang + sprite.m_NewRect.Width) +
                reinterpret_cast<std::uintptr_t>(sprite.m_Font) + reinterpret_cast<std::uintptr_t>(sprite.m_Pen) +
                reinterpret_cast<std::uintptr_t>(sprite.m_Brush) + reinterpret_cast<std::uintptr_t>(sprite.m_Color) +
                reinterpret_cast<std::uintptr_t>(sprite.m_Tga) + reinterpret_cast<std::uintptr_t>(sprite.m_Bitmap);
    }
    return sink;
}

// One blit a composition pass makes: a whole sprite or the part of one inside a dirty rectangle.
struct Piece {
    const CMoxSprite* sprite;
    int x, y, srcX, srcY, width, height;
};

// The blits a pass over this scene makes, found with the rectangle calls a pass is described
// with (every sprite against every dirty rectangle), for image sprites listed in drawing order:
// the sprites in `whole` whole, the others inside each dirty rectangle they meet.
std::vector<Piece> PiecesOfPass(CMoxGraphics& canvas, const std::vector<const CMoxSprite*>& whole)
{
    std::vector<Piece> pieces;
    for (CMoxSprite* sprite : canvas.m_SpriteList) {
        const Gdiplus::Rect& r = sprite->m_NewRect;
        if (std::find(whole.begin(), whole.end(), sprite) != whole.end()) {
            pieces.push_back(Piece{sprite, r.X, r.Y, sprite->m_SrcX, sprite->m_SrcY, r.Width, r.Height});
            continue;
        }
        CMoxRect placement(r.X, r.Y, r.Width, r.Height);
        for (CMoxRect& dirty : canvas.m_ZangList.m_RectList) {
            if (dirty.CheckSuperpose(placement) != 1)
                continue;
            const CMoxRect o = dirty.GetSuperpose(placement);
            if (o.Width > 0 && o.Height > 0)
                pieces.push_back(Piece{sprite, r.X + o.X, r.Y + o.Y, sprite->m_SrcX + o.X, sprite->m_SrcY + o.Y,
                                       o.Width, o.Height});
        }
    }
    return pieces;
}

void DrawPieces(CMoxGraphics& canvas, const std::vector<Piece>& pieces)
{
    for (const Piece& p : pieces) {
        const unsigned char alpha = p.sprite->m_Alpha;
        if (p.sprite->m_Tga && alpha == 255)
            canvas.Draw(p.sprite->m_Tga, p.x, p.y, p.srcX, p.srcY, p.width, p.height);
        else if (p.sprite->m_Tga)
            canvas.Draw(p.sprite->m_Tga, p.x, p.y, p.srcX, p.srcY, p.width, p.height, alpha);
        else if (alpha == 255)
            canvas.Draw(p.sprite->m_Bitmap, p.x, p.y, p.srcX, p.srcY, p.width, p.height);
        else
            canvas.Draw(p.sprite->m_Bitmap, p.x, p.y, p.srcX, p.srcY, p.width, p.height, alpha);
    }
}

// The rectangles a frame's AddSprite calls add for the sprites that moved, in the order they
// add them: each one's new placement, then its old one.
std::vector<CMoxRect> RectsOfFrame(const std::vector<const CMoxSprite*>& moved)
{
    std::vector<CMoxRect> rects;
    for (const CMoxSprite* sprite : moved) {
        rects.push_back(sprite->m_NewRect);
        rects.push_back(sprite->m_OldRect);
    }
    return rects;
}

double AddAll(CMoxZang& zang, std::vector<CMoxRect>& rects)
{
    zang.ClearRect();
    const double t0 = CpuSeconds();
    for (CMoxRect& r : rects)
        zang.AddRect(r);
    return CpuSeconds() - t0;
}

// A headless window and its paint device context.
struct Window {
    CWnd wnd;
    std::unique_ptr<CPaintDC> dc;
    Window()
    {
        wnd.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP, 0, 0, kW, kH, nullptr, nullptr);
        dc = std::make_unique<CPaintDC>(&wnd);
    }
    ~Window()
    {
        dc.reset();
        wnd.DestroyWindow();
    }
};

double DirtyShare(CMoxGraphics& canvas)
{
    std::int64_t area = 0;
    for (const CMoxRect& r : canvas.m_ZangList.m_RectList) {
        const std::int64_t x0 = std::max(r.X, 0), y0 = std::max(r.Y, 0);
        const std::int64_t x1 = std::min<std::int64_t>(std::int64_t(r.X) + r.Width, kW);
        const std::int64_t y1 = std::min<std::int64_t>(std::int64_t(r.Y) + r.Height, kH);
        if (x1 > x0 && y1 > y0)
            area += (x1 - x0) * (y1 - y0);
    }
    return double(area) / (double(kW) * kH);
}

bool SameCanvas(CMoxGraphics& a, CMoxGraphics& b)
{
    return std::memcmp(a.m_pDIBBits, b.m_pDIBBits, size_t(a.m_nStride) * kH) == 0;
}

void Measure(benchmark::State& state, Layout layout)
{
    static bool started = [] {
        CMoxGraphics starter;
        starter.GdiInit();
        return true;
    }();
    (void)started;
    Scene scene(layout, int(state.range(0)), int(state.range(1)));
    Window window, fullWindow;
    CMoxGraphics incremental, full;
    incremental.Init(kW, kH);
    full.Init(kW, kH);
    incremental.InitGraphics(window.dc.get());
    full.InitGraphics(fullWindow.dc.get());
    HDC fullSource = full.GetMemDC()->GetSafeHdc(), fullTarget = fullWindow.dc->GetSafeHdc();
    HDC ownSource = incremental.GetMemDC()->GetSafeHdc(), ownTarget = window.dc->GetSafeHdc();
    scene.Add(incremental); // the first frame draws everything; not measured
    incremental.DrawSprite(true);

    // The blits of one frame's pass, replayed every repetition on a canvas of their own: their
    // warm-cache time is what drawing alone costs, whatever the pass spends on finding them.
    // Fills are widened first, which this does not follow, so only image scenes have it.
    CMoxGraphics replay;
    replay.Init(kW, kH);
    std::vector<Piece> pieces;
    std::vector<CMoxRect> added;
    CMoxZang replayedList;
    const bool images = layout != Layout::Fills;

    std::vector<double> frameRatio, addMs, frameMs, fullMs, drawdcRatio, visitsRatio, blitsRatio, listRatio, floorRatio,
        share, rects;
    bool flip = false;
    for (auto _ : state) {
        scene.Step();
        double incrementalSeconds = 0, fullSeconds = 0, addSeconds = 0;
        auto runIncremental = [&] {
            const double t0 = CpuSeconds();
            scene.Add(incremental);
            const double t1 = CpuSeconds();
            incremental.DrawSprite(true);
            const double t2 = CpuSeconds();
            addSeconds = t1 - t0;
            incrementalSeconds = t2 - t0;
        };
        auto runFull = [&] {
            const double t0 = CpuSeconds();
            scene.Redraw(full);
            BitBlt(fullTarget, 0, 0, kW, kH, fullSource, 0, 0, SRCCOPY);
            fullSeconds = CpuSeconds() - t0;
        };
        if ((flip = !flip)) {
            runIncremental();
            runFull();
        } else {
            runFull();
            runIncremental();
        }
        double drawdc = 0, blit = 0;
        auto runDrawDC = [&] {
            const double t0 = CpuSeconds();
            incremental.DrawDC();
            drawdc = CpuSeconds() - t0;
        };
        auto runBlit = [&] {
            const double t0 = CpuSeconds();
            BitBlt(ownTarget, 0, 0, kW, kH, ownSource, 0, 0, SRCCOPY);
            blit = CpuSeconds() - t0;
        };
        if (flip) { // the other order from the frames above, alternating as well
            runBlit();
            runDrawDC();
        } else {
            runDrawDC();
            runBlit();
        }

        const double v0 = CpuSeconds();
        benchmark::DoNotOptimize(VisitThreeTimes(incremental.m_SpriteList));
        const double visits = CpuSeconds() - v0;

        if (images && pieces.empty()) { // after the pass, whose list and dirty rectangles stay
            std::vector<const CMoxSprite*> moved;
            for (size_t i : scene.moving)
                moved.push_back(&scene.sprites[i]);
            pieces = PiecesOfPass(incremental, moved);
            added = RectsOfFrame(moved);
            AddAll(replayedList, added);
            if (replayedList.m_RectList != incremental.m_ZangList.m_RectList) {
                state.SkipWithError("the rectangles replayed do not give the frame's dirty list");
                break;
            }
        }
        AddAll(replayedList, added); // warms the caches
        const double list = AddAll(replayedList, added);
        DrawPieces(replay, pieces); // warms the caches
        const double b0 = CpuSeconds();
        DrawPieces(replay, pieces);
        const double blits = CpuSeconds() - b0;

        state.SetIterationTime(incrementalSeconds);
        frameRatio.push_back(incrementalSeconds / fullSeconds);
        frameMs.push_back(incrementalSeconds * 1e3);
        fullMs.push_back(fullSeconds * 1e3);
        addMs.push_back(addSeconds * 1e3);
        drawdcRatio.push_back(blit > 0 ? drawdc / blit : 0);
        visitsRatio.push_back(visits / fullSeconds);
        blitsRatio.push_back(blits / fullSeconds);
        listRatio.push_back(list / fullSeconds);
        floorRatio.push_back((visits + list + blits + drawdc) / fullSeconds);
        share.push_back(DirtyShare(incremental));
        rects.push_back(double(incremental.m_ZangList.m_RectList.size()));
        if (!SameCanvas(incremental, full)) {
            state.SkipWithError("the incremental canvas differs from the full redraw");
            break;
        }
    }
    state.counters["frame_ratio"] = Median(frameRatio);
    state.counters["frame_ms"] = Median(frameMs);
    state.counters["full_ms"] = Median(fullMs);
    state.counters["add_ms"] = Median(addMs);
    state.counters["drawdc_ratio"] = Median(drawdcRatio);
    state.counters["visits_ratio"] = Median(visitsRatio);
    if (images) {
        state.counters["blits_ratio"] = Median(blitsRatio);
        state.counters["list_ratio"] = Median(listRatio);
        state.counters["floor_ratio"] = Median(floorRatio);
    }
    state.counters["dirty_share"] = Median(share);
    state.counters["rects"] = Median(rects);
}

void BM_Large(benchmark::State& state)
{
    Measure(state, Layout::Large);
}
void BM_TinyGrid(benchmark::State& state)
{
    Measure(state, Layout::TinyGrid);
}
void BM_LargeOverPng(benchmark::State& state)
{
    Measure(state, Layout::LargeOverPng);
}
void BM_Fills(benchmark::State& state)
{
    Measure(state, Layout::Fills);
}

// A 32 x 32 region of a 1024 x 768 background loaded from a PNG with an alpha channel, drawn
// opaque, against the same region of the same picture loaded from a PNG without one (held at
// 24 bits: vs24_ratio) and against a memcpy of the same 32 rows of 96 bytes (region_ratio).
// Medians of interleaved repetitions of 64 draws each. The 32-bit image must not be converted
// again on every draw.
void BM_PngRegion(benchmark::State& state)
{
    static bool started = [] {
        CMoxGraphics starter;
        starter.GdiInit();
        return true;
    }();
    (void)started;
    std::unique_ptr<CMoxBitmap> png = MakePngBackground(true);
    std::unique_ptr<CMoxBitmap> png24 = MakePngBackground(false);
    CMoxGraphics canvas;
    canvas.Init(kW, kH);
    canvas.Draw(png.get(), 0, 0, 0, 0, 32, 32); // the first draw converts once; not measured
    canvas.Draw(png24.get(), 0, 0, 0, 0, 32, 32);
    std::vector<unsigned char> source(size_t(kW) * kH * 3, 7);
    std::vector<double> ratios, ratios24;
    int k = 0;
    auto drawRegions = [&](CMoxBitmap* image) {
        const double t0 = CpuSeconds();
        for (int i = 0; i < 64; ++i, ++k) {
            const int x = (k * 97) % (kW - 32), y = (k * 61) % (kH - 32);
            canvas.Draw(image, x, y, x, y, 32, 32);
        }
        return CpuSeconds() - t0;
    };
    bool flip = false;
    for (auto _ : state) {
        double draws = 0, draws24 = 0;
        if ((flip = !flip)) {
            draws = drawRegions(png.get());
            draws24 = drawRegions(png24.get());
        } else {
            draws24 = drawRegions(png24.get());
            draws = drawRegions(png.get());
        }
        const double t0 = CpuSeconds();
        for (int i = 0; i < 64; ++i, ++k) {
            const int x = (k * 97) % (kW - 32), y = (k * 61) % (kH - 32);
            for (int row = 0; row < 32; ++row)
                std::memcpy(canvas.m_pDIBBits + size_t(y + row) * canvas.m_nStride + size_t(x) * 3,
                            &source[(size_t(y + row) * kW + size_t(x)) * 3], 96);
        }
        const double copies = CpuSeconds() - t0;
        benchmark::ClobberMemory();
        state.SetIterationTime(draws / 64);
        ratios.push_back(copies > 0 ? draws / copies : 0);
        ratios24.push_back(draws24 > 0 ? draws / draws24 : 0);
    }
    state.counters["region_ratio"] = Median(ratios);
    state.counters["vs24_ratio"] = Median(ratios24);
}

// Arguments: sprite count, percent moving each frame.
BENCHMARK(BM_Large)
    ->ArgsProduct({{100, 1000, 10000}, {1, 10}})
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyGrid)
    ->ArgsProduct({{100, 1000, 10000, 30000}, {1, 10}})
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngRegion)->Iterations(400)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Fills)->ArgsProduct({{1000, 10000}, {1}})->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargeOverPng)
    ->ArgsProduct({{100, 1000}, {1, 10}})
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
