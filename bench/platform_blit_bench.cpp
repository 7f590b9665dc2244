// Cost of the platform's GDI copies against the plain loops they stand for, and of translucent
// GDI+ fills against pixman OVER of the same translucent solid, interleaved in the same
// repetitions on the same memory (blit_bench.h). Counters: speed = baseline time / platform call
// time, the median over repetitions (above 1: the platform call is faster).
#include "blit_bench.h"

#include <gdiplus.h>
#include <pixman.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <vector>

namespace {

constexpr int kW = 640, kH = 480;

BITMAPINFO Header24(LONG width, LONG height)
{
    BITMAPINFO bmi;
    std::memset(&bmi, 0, sizeof bmi);
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

struct Section {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ stock = nullptr;
    BYTE* bits = nullptr;
    Section(int w, int h)
    {
        BITMAPINFO bmi = Header24(w, -h);
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        stock = SelectObject(dc, bitmap);
    }
    ~Section()
    {
        SelectObject(dc, stock);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

// A full-frame BitBlt between two sections against memcpy of the same rows.
void BM_BitBltFrame(benchmark::State& state)
{
    Section src(kW, kH), dst(kW, kH);
    std::memset(src.bits, 0x5A, static_cast<size_t>(((kW * 3 + 3) & ~3) * kH));
    const size_t stride = static_cast<size_t>((kW * 3 + 3) & ~3);
    moxbench::Interleaved(state, [&] { BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, SRCCOPY); },
                          {{"memcpy", [&] {
                                for (int y = 0; y < kH; ++y)
                                    std::memcpy(dst.bits + y * stride, src.bits + y * stride, kW * 3);
                            }}});
}
BENCHMARK(BM_BitBltFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A 2x nearest-pixel zoom of a 320x240 bottom-up DIB to a full frame, against the same
// sampling written as a bare loop with nothing clipped or checked.
void BM_StretchDIBitsZoom(benchmark::State& state)
{
    constexpr int SW = kW / 2, SH = kH / 2;
    const int srcStride = (SW * 3 + 3) & ~3;
    std::vector<BYTE> src(static_cast<size_t>(srcStride * SH));
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<BYTE>(i * 7);
    BITMAPINFO bmi = Header24(SW, SH);
    Section dst(kW, kH);
    SetStretchBltMode(dst.dc, COLORONCOLOR);
    const size_t dstStride = static_cast<size_t>((kW * 3 + 3) & ~3);
    moxbench::Interleaved(
        state, [&] { StretchDIBits(dst.dc, 0, 0, kW, kH, 0, 0, SW, SH, src.data(), &bmi, DIB_RGB_COLORS, SRCCOPY); },
        {{"loop", [&] {
              for (int y = 0; y < kH; ++y) {
                  const BYTE* row = &src[static_cast<size_t>((SH - 1 - y / 2) * srcStride)];
                  BYTE* out = dst.bits + y * dstStride;
                  for (int x = 0; x < kW; ++x) {
                      const BYTE* p = row + (x / 2) * 3;
                      out[x * 3] = p[0];
                      out[x * 3 + 1] = p[1];
                      out[x * 3 + 2] = p[2];
                  }
              }
          }}});
}
BENCHMARK(BM_StretchDIBitsZoom)->UseManualTime()->Unit(benchmark::kMicrosecond);

// FillRectangle over a whole 1024 x 768 frame with a brush of alpha 128: argument 0 a solid
// brush, 1 a DiagonalCross hatch (both colours at alpha 128), against pixman compositing a solid
// of the same translucent colour OVER the same pixels.
void BM_TranslucentFill(benchmark::State& state)
{
    constexpr int FW = 1024, FH = 768;
    const Gdiplus::ARGB fore = 0x803050A0, back = 0x80E0E0F0;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    Section frame(FW, FH);
    const int stride = (FW * 3 + 3) & ~3;
    std::memset(frame.bits, 0x5A, std::size_t(stride) * FH);
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::DllExports::GdipCreateFromHDC(frame.dc, &graphics);
    Gdiplus::GpBrush* brush = nullptr;
    if (state.range(0) == 0) {
        Gdiplus::GpSolidFill* solid = nullptr;
        Gdiplus::DllExports::GdipCreateSolidFill(fore, &solid);
        brush = solid;
    } else {
        Gdiplus::GpHatch* hatch = nullptr;
        Gdiplus::DllExports::GdipCreateHatchBrush(Gdiplus::HatchStyleDiagonalCross, fore, back, &hatch);
        brush = hatch;
    }
    state.SetLabel(state.range(0) == 0 ? "solid" : "hatch");

    pixman_image_t* target =
        pixman_image_create_bits(PIXMAN_r8g8b8, FW, FH, reinterpret_cast<std::uint32_t*>(frame.bits), stride);
    auto premultiplied = [](std::uint32_t c) {
        const std::uint32_t p = (c * 0x80 + 127) / 255;
        return std::uint16_t(p << 8 | p);
    };
    const pixman_color_t colour = {premultiplied((fore >> 16) & 0xFF), premultiplied((fore >> 8) & 0xFF),
                                   premultiplied(fore & 0xFF), 0x8080};
    pixman_image_t* solid = pixman_image_create_solid_fill(&colour);
    moxbench::Interleaved(
        state, [&] { Gdiplus::DllExports::GdipFillRectangleI(graphics, brush, 0, 0, FW, FH); },
        {{"pixman",
          [&] { pixman_image_composite32(PIXMAN_OP_OVER, solid, nullptr, target, 0, 0, 0, 0, 0, 0, FW, FH); }}},
        double(FW) * FH * 3);
    pixman_image_unref(solid);
    pixman_image_unref(target);
    Gdiplus::DllExports::GdipDeleteBrush(brush);
    Gdiplus::DllExports::GdipDeleteGraphics(graphics);
}
BENCHMARK(BM_TranslucentFill)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
