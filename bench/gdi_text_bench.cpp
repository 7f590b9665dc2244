// Fifty twelve-point labels drawn with GDI's TextOut and DrawText, and with the library's own
// text drawing, each against a pixman fill of the labels' boxes into the same 1024 x 768 back
// buffer, interleaved in the same repetitions (blit_bench.h). A label is drawn far more often
// than it changes, so after the first frame each TextOut or DrawText blends a coverage mask kept
// from the first time instead of laying the text out again.
#include <MoxImage2.h>

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "blit_bench.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768, kLabels = 50;

struct LabelBox {
    int x, y;
    char text[32];
    wchar_t wide[32];
    SIZE size;
};

class Scene {
public:
    Scene()
    {
        BITMAPINFO bmi;
        std::memset(&bmi, 0, sizeof bmi);
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = kWidth;
        bmi.bmiHeader.biHeight = -kHeight;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        bitmap_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        // Twelve points at 96 DPI.
        font_ = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "DejaVu Sans");
        oldFont_ = SelectObject(dc_, font_);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(16, 16, 16));
        for (int i = 0; i < kLabels; ++i) {
            LabelBox l{(i % 5) * 200 + 8, (i / 5) * 76 + 6, {}, {}, {}};
            std::snprintf(l.text, sizeof l.text, "Score %05d", i * 137);
            for (int k = 0; k < 32; ++k)
                l.wide[k] = static_cast<unsigned char>(l.text[k]);
            GetTextExtentPoint32A(dc_, l.text, static_cast<int>(std::strlen(l.text)), &l.size);
            labels_.push_back(l);
        }
        const int stride = ((kWidth * 3) + 3) & ~3;
        target_ = pixman_image_create_bits(PIXMAN_r8g8b8, kWidth, kHeight, static_cast<uint32_t*>(bits_), stride);
        const pixman_color_t colour{0x3000, 0x5000, 0xA000, 0xFFFF};
        solid_ = pixman_image_create_solid_fill(&colour);

        canvas_.GdiInit();
        canvas_.Init(kWidth, kHeight);
        canvas_.InitGraphics(static_cast<CPaintDC*>(nullptr));
        libraryFont_.Init(12, L"DejaVu Sans", Gdiplus::FontStyleRegular);
        ink_ = new Gdiplus::SolidBrush(Gdiplus::Color(0xFF101010));
        libraryTarget_ = pixman_image_create_bits(PIXMAN_r8g8b8, kWidth, kHeight,
                                                  reinterpret_cast<uint32_t*>(canvas_.m_pDIBBits), canvas_.m_nStride);
    }
    ~Scene()
    {
        delete ink_;
        pixman_image_unref(libraryTarget_);
        pixman_image_unref(solid_);
        pixman_image_unref(target_);
        SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(font_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }

    void TextOuts()
    {
        for (const LabelBox& l : labels_)
            TextOutA(dc_, l.x, l.y, l.text, static_cast<int>(std::strlen(l.text)));
    }
    void DrawTexts()
    {
        for (const LabelBox& l : labels_) {
            RECT r{l.x, l.y, l.x + 180, l.y + 28};
            DrawTextW(dc_, l.wide, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    void LibraryText()
    {
        for (const LabelBox& l : labels_)
            canvas_.Draw(l.wide, l.x, l.y, l.size.cx + 8, l.size.cy, &libraryFont_, ink_, Gdiplus::StringAlignmentNear);
    }
    // The labels' boxes filled with one colour by pixman.
    void Fill(pixman_image_t* target)
    {
        for (const LabelBox& l : labels_)
            pixman_image_composite32(PIXMAN_OP_OVER, solid_, nullptr, target, 0, 0, 0, 0, l.x, l.y, l.size.cx,
                                     l.size.cy);
    }
    pixman_image_t* Target() { return target_; }
    pixman_image_t* LibraryTarget() { return libraryTarget_; }

private:
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr, oldFont_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<LabelBox> labels_;
    pixman_image_t* target_ = nullptr;
    pixman_image_t* solid_ = nullptr;
    CMoxGraphics canvas_;
    CMoxFont libraryFont_;
    Gdiplus::SolidBrush* ink_ = nullptr;
    pixman_image_t* libraryTarget_ = nullptr;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

void BM_TextOut50Labels(benchmark::State& state)
{
    Scene& s = TheScene();
    moxbench::Interleaved(state, [&] { s.TextOuts(); }, {{"pixman_fill", [&] { s.Fill(s.Target()); }}});
}

void BM_DrawText50Labels(benchmark::State& state)
{
    Scene& s = TheScene();
    moxbench::Interleaved(state, [&] { s.DrawTexts(); }, {{"pixman_fill", [&] { s.Fill(s.Target()); }}});
}

void BM_LibraryText50Labels(benchmark::State& state)
{
    Scene& s = TheScene();
    moxbench::Interleaved(state, [&] { s.LibraryText(); }, {{"pixman_fill", [&] { s.Fill(s.LibraryTarget()); }}});
}

} // namespace

BENCHMARK(BM_TextOut50Labels)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawText50Labels)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibraryText50Labels)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
