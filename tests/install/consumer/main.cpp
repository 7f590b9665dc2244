// Uses an installed MoxImage2 through its one public header: a canvas, a fill and a keyed blit,
// checked through the back buffer's section.
#include <MoxImage2.h>

#include <cstdio>
#include <cstring>

static bool PixelIs(CMoxGraphics& canvas, int x, int y, unsigned char r, unsigned char g, unsigned char b)
{
    DIBSECTION ds;
    std::memset(&ds, 0, sizeof ds);
    if (GetObject(canvas.GetBitmap(), sizeof ds, &ds) != int(sizeof ds) || !ds.dsBm.bmBits)
        return false;
    const unsigned char* p = static_cast<unsigned char*>(ds.dsBm.bmBits) + y * ds.dsBm.bmWidthBytes + 3 * x;
    return p[0] == b && p[1] == g && p[2] == r;
}

int main()
{
    CMoxGraphics canvas;
    canvas.GdiInit();
    if (!canvas.Init(8, 6)) {
        std::puts("consumer: Init failed");
        return 1;
    }
    canvas.FillRectangle(-2, -2, 5, 5, 0x10, 0x20, 0x30);

    // 2 x 1 raw image, bottom row first: a keyed pixel, then a white one.
    unsigned char bytes[6] = {255, 0, 255, 255, 255, 255};
    BITMAPINFO header;
    std::memset(&header, 0, sizeof header);
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = 2;
    header.bmiHeader.biHeight = 1;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    CMoxBitmap image(bytes, 6, header, 255, 0, 255);
    canvas.Draw(&image, 1, 2);

    const bool ok = PixelIs(canvas, 0, 0, 0x10, 0x20, 0x30) && PixelIs(canvas, 3, 3, 0, 0, 0) &&
                    PixelIs(canvas, 1, 2, 0x10, 0x20, 0x30) && PixelIs(canvas, 2, 2, 255, 255, 255);
    std::puts(ok ? "consumer: ok" : "consumer: wrong pixels");
    return ok ? 0 : 1;
}
