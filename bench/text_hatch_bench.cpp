// A frame's worth of GDI+ drawing on a 1024 x 768 canvas: 50 hatch-filled panels, each with a
// short label drawn in a box. The baseline, measured in the same loop, is a plain pixman solid
// fill of the same areas into the same back buffer; the counters report how many baseline frames
// one drawn frame costs.
#include <MoxImage2.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 1024, kHeight = 768, kPanels = 50;

struct Panel {
    int x, y, w, h;
    wchar_t label[32];
};

std::vector<Panel> Panels()
{
    std::vector<Panel> panels;
    for (int i = 0; i < kPanels; ++i) {
        Panel p{(i % 5) * 200 + 8, (i / 5) * 76 + 6, 180, 28, {}};
        std::swprintf(p.label, 32, L"Score %05d", i * 137);
        panels.push_back(p);
    }
    return panels;
}

class Frame {
public:
    Frame()
    {
        canvas_.GdiInit();
        canvas_.Init(kWidth, kHeight);
        canvas_.InitGraphics(static_cast<CPaintDC*>(nullptr));
        brush_.Init(Gdiplus::HatchStyleDiagonalCross, Gdiplus::Color(0xFF3050A0), Gdiplus::Color(0xFFE0E0F0));
        font_.Init(12, L"DejaVu Sans", Gdiplus::FontStyleBold);
        text_ = new Gdiplus::SolidBrush(Gdiplus::Color(0xFF101010));
        target_ = pixman_image_create_bits(PIXMAN_r8g8b8, kWidth, kHeight,
                                           reinterpret_cast<uint32_t*>(canvas_.m_pDIBBits), canvas_.m_nStride);
        const pixman_color_t colour{0x3000, 0x5000, 0xA000, 0xFFFF};
        solid_ = pixman_image_create_solid_fill(&colour);
    }
    ~Frame()
    {
        pixman_image_unref(solid_);
        pixman_image_unref(target_);
        delete text_;
    }

    void Hatch()
    {
        for (const Panel& p : panels_)
            canvas_.FillRectangle(&brush_, p.x, p.y, p.w, p.h);
    }
    void Text()
    {
        for (const Panel& p : panels_)
            canvas_.Draw(p.label, p.x, p.y + 4, p.w, p.h - 4, &font_, text_, Gdiplus::StringAlignmentCenter);
    }
    // The same areas filled with one colour by pixman directly: once for the hatch panels, once
    // for the label boxes.
    void Baseline(int passes)
    {
        for (int pass = 0; pass < passes; ++pass)
            for (const Panel& p : panels_)
                pixman_image_composite32(PIXMAN_OP_OVER, solid_, nullptr, target_, 0, 0, 0, 0, p.x, p.y, p.w, p.h);
    }

private:
    CMoxGraphics canvas_;
    CMoxBrush brush_;
    CMoxFont font_;
    Gdiplus::SolidBrush* text_ = nullptr;
    pixman_image_t* target_ = nullptr;
    pixman_image_t* solid_ = nullptr;
    std::vector<Panel> panels_ = Panels();
};

Frame& TheFrame()
{
    static Frame frame;
    return frame;
}

template <typename Work> void Measure(benchmark::State& state, Work work, int baselinePasses)
{
    using Clock = std::chrono::steady_clock;
    Frame& frame = TheFrame();
    double drawn = 0, baseline = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        frame.Baseline(baselinePasses);
        const auto t1 = Clock::now();
        work(frame);
        const auto t2 = Clock::now();
        baseline += std::chrono::duration<double>(t1 - t0).count();
        drawn += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = double(state.iterations());
    state.counters["frame_us"] = drawn / n * 1e6;
    state.counters["baseline_us"] = baseline / n * 1e6;
    state.counters["ratio"] = baseline > 0 ? drawn / baseline : 0;
}

void BM_HatchFills(benchmark::State& state)
{
    Measure(
        state, [](Frame& f) { f.Hatch(); }, 1);
}

void BM_TextBoxes(benchmark::State& state)
{
    Measure(
        state, [](Frame& f) { f.Text(); }, 1);
}

void BM_WholeFrame(benchmark::State& state)
{
    Measure(
        state,
        [](Frame& f) {
            f.Hatch();
            f.Text();
        },
        2);
}

} // namespace

BENCHMARK(BM_HatchFills)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextBoxes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
