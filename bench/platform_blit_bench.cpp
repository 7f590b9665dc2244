// Cost of the platform's GDI copies against the plain loops they stand for, interleaved in the
// same repetitions (blit_bench.h). Counters: speed = baseline time / platform call time, the
// median over repetitions (1.0 = no overhead).
#include "blit_bench.h"

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

} // namespace

BENCHMARK_MAIN();
