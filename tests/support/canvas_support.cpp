#include "canvas_support.h"

#include <cstring>
#include <stdexcept>

namespace moxcanvas {

void StartGdiplus()
{
    static bool started = [] {
        CMoxGraphics starter;
        starter.GdiInit();
        return true;
    }();
    (void)started;
}

moxtest::Rgb Pattern(int x, int y)
{
    return moxtest::Rgb{std::uint8_t(10 + 17 * x), std::uint8_t(20 + 23 * y), std::uint8_t(x * 7 + y * 3 + 1)};
}

std::unique_ptr<CMoxBitmap> MakeImage(Form form, int width, int height,
                                      const std::function<moxtest::Rgb(int, int)>& pixel)
{
    StartGdiplus();
    if (form == Form::Raw) {
        std::vector<unsigned char> bytes = moxtest::RawBottomUp(width, height, pixel);
        BITMAPINFO header = moxtest::RawHeader(width, height);
        return std::make_unique<CMoxBitmap>(bytes.data(), int(bytes.size()), header, 0);
    }
    const std::string path = moxtest::TempPath(form == Form::File ? "image.bmp" : "image.png");
    if (form == Form::File)
        moxtest::WriteBmp24(path, width, height, pixel);
    else
        moxtest::WritePng(
            path, width, height,
            [&](int x, int y) {
                const moxtest::Rgb c = pixel(x, y);
                return moxtest::Rgba{c.r, c.g, c.b, 255};
            },
            true);
    auto image = std::make_unique<CMoxBitmap>(moxtest::Widen(path).c_str());
    if (image->GetWidth() != width || image->GetHeight() != height)
        throw std::runtime_error("the platform did not load " + path);
    return image;
}

std::vector<unsigned char> Snapshot(CMoxGraphics& canvas)
{
    DIBSECTION ds;
    std::memset(&ds, 0, sizeof ds);
    if (GetObject(canvas.GetBitmap(), sizeof ds, &ds) != int(sizeof ds) || !ds.dsBm.bmBits)
        throw std::runtime_error("canvas has no DIB section");
    std::vector<unsigned char> out;
    for (int y = 0; y < ds.dsBm.bmHeight; ++y) {
        const auto* row = static_cast<unsigned char*>(ds.dsBm.bmBits) + std::ptrdiff_t(y) * ds.dsBm.bmWidthBytes;
        out.insert(out.end(), row, row + 3 * ds.dsBm.bmWidth);
    }
    return out;
}

std::unique_ptr<CMoxGraphics> MakeCanvas(int width, int height, moxtest::Rgb colour)
{
    StartGdiplus();
    auto canvas = std::make_unique<CMoxGraphics>();
    if (!canvas->Init(width, height))
        throw std::runtime_error("canvas Init failed");
    moxtest::Fill(*canvas, colour);
    return canvas;
}

} // namespace moxcanvas
