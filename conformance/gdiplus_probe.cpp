// Draws a fixed set of small scenes through GDI and GDI+ into 24-bit DIB sections and prints one
// line per scene: "name<TAB>value". Built against the stand-in on Linux and against the Windows
// SDK with MinGW-w64 (run under Wine), so that scripts/gdiplus-conformance.sh can compare the two
// outputs scene by scene. Values are the pixels themselves where they are few, a digest where
// they are many, and the ink's aligned edge for text (fonts differ between systems; where the
// text sits does not).
#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace Gdiplus;

namespace {

// A white (or given) 24-bit top-down section selected into a memory DC.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        section_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, section_);
        stride_ = (width * 3 + 3) & ~3;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(x, y, fill);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(section_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP section() const { return section_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // 0xRRGGBB of a pixel.
    std::uint32_t At(int x, int y) const
    {
        GdiFlush();
        const auto* p = static_cast<const std::uint8_t*>(bits_) + y * stride_ + x * 3;
        return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
    }

    // FNV-1a over every pixel, with the count of pixels that differ from `background`.
    std::string Digest(std::uint32_t background = 0xFFFFFF) const
    {
        std::uint64_t hash = 1469598103934665603ull;
        int inked = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const std::uint32_t c = At(x, y);
                inked += c != background;
                for (int shift : {16, 8, 0}) {
                    hash ^= (c >> shift) & 0xFF;
                    hash *= 1099511628211ull;
                }
            }
        char out[48];
        std::snprintf(out, sizeof out, "%d:%016llx", inked, static_cast<unsigned long long>(hash));
        return out;
    }

    // The blue channel of every pixel of a row, in hex.
    std::string Row(int y) const
    {
        std::string out;
        char byte[4];
        for (int x = 0; x < width_; ++x) {
            std::snprintf(byte, sizeof byte, "%02x", unsigned(At(x, y) & 0xFF));
            out += byte;
        }
        return out;
    }

    // [x0, x1) x [y0, y1) of the pixels that differ from white, or "none".
    bool Ink(int* x0, int* y0, int* x1, int* y1) const
    {
        *x0 = width_, *y0 = height_, *x1 = -1, *y1 = -1;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) != 0xFFFFFF) {
                    *x0 = x < *x0 ? x : *x0;
                    *y0 = y < *y0 ? y : *y0;
                    *x1 = x + 1 > *x1 ? x + 1 : *x1;
                    *y1 = y + 1 > *y1 ? y + 1 : *y1;
                }
        return *x1 > 0;
    }

private:
    void Set(int x, int y, COLORREF c)
    {
        auto* p = static_cast<std::uint8_t*>(bits_) + y * stride_ + x * 3;
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
    }

    int width_, height_, stride_ = 0;
    void* bits_ = nullptr;
    HBITMAP section_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

void Print(const std::string& name, const std::string& value)
{
    std::printf("%s\t%s\n", name.c_str(), value.c_str());
}

void Hatches()
{
    static const char* const kNames[] = {"Horizontal",
                                         "Vertical",
                                         "ForwardDiagonal",
                                         "BackwardDiagonal",
                                         "Cross",
                                         "DiagonalCross",
                                         "05Percent",
                                         "10Percent",
                                         "20Percent",
                                         "25Percent",
                                         "30Percent",
                                         "40Percent",
                                         "50Percent",
                                         "60Percent",
                                         "70Percent",
                                         "75Percent",
                                         "80Percent",
                                         "90Percent",
                                         "LightDownwardDiagonal",
                                         "LightUpwardDiagonal",
                                         "DarkDownwardDiagonal",
                                         "DarkUpwardDiagonal",
                                         "WideDownwardDiagonal",
                                         "WideUpwardDiagonal",
                                         "LightVertical",
                                         "LightHorizontal",
                                         "NarrowVertical",
                                         "NarrowHorizontal",
                                         "DarkVertical",
                                         "DarkHorizontal",
                                         "DashedDownwardDiagonal",
                                         "DashedUpwardDiagonal",
                                         "DashedHorizontal",
                                         "DashedVertical",
                                         "SmallConfetti",
                                         "LargeConfetti",
                                         "ZigZag",
                                         "Wave",
                                         "DiagonalBrick",
                                         "HorizontalBrick",
                                         "Weave",
                                         "Plaid",
                                         "Divot",
                                         "DottedGrid",
                                         "DottedDiamond",
                                         "Shingle",
                                         "Trellis",
                                         "Sphere",
                                         "SmallGrid",
                                         "SmallCheckerBoard",
                                         "LargeCheckerBoard",
                                         "OutlinedDiamond",
                                         "SolidDiamond"};
    for (int style = HatchStyleMin; style <= HatchStyleMax; ++style) {
        // Off the tile grid, to see the anchoring too: the printed tile is the surface's (8, 8).
        Canvas canvas(19, 19);
        {
            Graphics g(canvas.dc());
            HatchBrush brush(HatchStyle(style), Color(255, 255, 255), Color(0, 0, 0));
            g.FillRectangle(&brush, 3, 5, 16, 14);
        }
        std::string tile;
        for (int y = 8; y < 16; ++y)
            tile += canvas.Row(y).substr(16, 16);
        Print(std::string("hatch/") + kNames[style], tile);
    }
}

void Lines()
{
    struct Segment {
        const char* name;
        int x1, y1, x2, y2;
    } const segments[] = {{"horizontal", 2, 3, 12, 3}, {"vertical", 4, 1, 4, 13}, {"diagonal45", 1, 1, 11, 11},
                          {"shallow", 1, 2, 14, 7},    {"steep", 3, 1, 8, 14},    {"reversed", 12, 9, 2, 4},
                          {"zero-length", 6, 6, 6, 6}, {"half-step", 1, 1, 14, 2}};
    for (const Segment& s : segments) {
        Canvas canvas(16, 16);
        {
            Graphics g(canvas.dc());
            Pen pen(Color(0, 0, 0), 1);
            g.DrawLine(&pen, s.x1, s.y1, s.x2, s.y2);
        }
        Print(std::string("line/") + s.name, canvas.Digest());
    }
    const struct {
        const char* name;
        DashStyle dash;
    } dashes[] = {{"dash", DashStyleDash}, {"dot", DashStyleDot}, {"dashdot", DashStyleDashDot}};
    for (const auto& d : dashes) {
        Canvas canvas(40, 4);
        {
            Graphics g(canvas.dc());
            Pen pen(Color(0, 0, 0), 1);
            pen.SetDashStyle(d.dash);
            g.DrawLine(&pen, 1, 1, 38, 1);
        }
        Print(std::string("dash/") + d.name, canvas.Row(1));
    }
    for (int width : {3, 5}) {
        Canvas canvas(24, 24);
        {
            Graphics g(canvas.dc());
            Pen pen(Color(0, 0, 0), REAL(width));
            g.DrawLine(&pen, 2, 12, 21, 12);
        }
        int x0, y0, x1, y1;
        canvas.Ink(&x0, &y0, &x1, &y1);
        Print("pen/wide" + std::to_string(width), std::to_string(y1 - y0));
    }
}

void Rectangles()
{
    Canvas fill(16, 16);
    {
        Graphics g(fill.dc());
        SolidBrush brush(Color(0, 0, 255));
        g.FillRectangle(&brush, 2, 3, 9, 7);
    }
    Print("rect/fill", fill.Digest());
    Canvas outline(16, 16);
    {
        Graphics g(outline.dc());
        Pen pen(Color(0, 0, 0), 1);
        g.DrawRectangle(&pen, 2, 3, 9, 7);
    }
    Print("rect/outline", outline.Digest());
}

void Texts()
{
    FontFamily missing(L"No Such Family At All");
    Print("text/missing-family-status", std::to_string(int(missing.GetLastStatus())));

    const struct {
        const char* name;
        REAL points;
        StringAlignment align;
        bool box;
    } cases[] = {{"point-12", 12, StringAlignmentNear, false},   {"point-24", 24, StringAlignmentNear, false},
                 {"near-12", 12, StringAlignmentNear, true},     {"near-24", 24, StringAlignmentNear, true},
                 {"centre-12", 12, StringAlignmentCenter, true}, {"far-12", 12, StringAlignmentFar, true},
                 {"far-24", 24, StringAlignmentFar, true}};
    FontFamily family(L"DejaVu Sans");
    FontFamily fallback(L"Arial");
    const FontFamily* use = family.IsAvailable() ? &family : &fallback;
    for (const auto& c : cases) {
        Canvas canvas(320, 80);
        {
            Graphics g(canvas.dc());
            Font font(use, c.points, FontStyleRegular, UnitPoint);
            SolidBrush black(Color(0, 0, 0));
            StringFormat format;
            format.SetAlignment(c.align);
            const WCHAR text[] = L"Hillo";
            if (c.box)
                g.DrawString(text, -1, &font, RectF(20, 10, 280, 60), &format, &black);
            else
                g.DrawString(text, -1, &font, PointF(20, 10), &black);
        }
        // The edge the alignment fixes, relative to the box's or point's x.
        int x0, y0, x1, y1;
        std::string value = "none";
        if (canvas.Ink(&x0, &y0, &x1, &y1))
            value = std::to_string(c.align == StringAlignmentNear  ? x0 - 20
                                   : c.align == StringAlignmentFar ? 300 - x1
                                                                   : (x0 + x1) / 2 - 160);
        Print(std::string("text/") + c.name, value);
    }
}

void Images()
{
    // Wine's own conformance scene: a 2 x 1 grey image at x = s into a 0x40 grey row.
    BYTE grey[8] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0, 0};
    Bitmap two(2, 1, 8, PixelFormat24bppRGB, grey);
    for (REAL scale : {0.8f, 1.0f, 1.2f, 1.5f, 2.0f, 2.5f}) {
        Canvas canvas(8, 1, RGB(0x40, 0x40, 0x40));
        {
            Graphics g(canvas.dc());
            g.DrawImage(&two, RectF(scale, 0, 2 * scale, 1), 0, 0, 2, 1, UnitPixel);
        }
        char name[32];
        std::snprintf(name, sizeof name, "image/scale-%.1f", double(scale));
        Print(name, canvas.Row(0));
    }
    // An enlarged 3 x 3 pattern: its edges show the pixel offset and the clamp.
    BYTE pattern[3 * 12] = {};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                pattern[y * 12 + x * 3 + c] = BYTE((x + y) % 2 ? 0xF0 : 0x10);
    Bitmap checker(3, 3, 12, PixelFormat24bppRGB, pattern);
    Canvas big(12, 12, RGB(0x80, 0x80, 0x80));
    {
        Graphics g(big.dc());
        g.DrawImage(&checker, 1, 1, 9, 9);
    }
    for (int y : {1, 5, 9, 10})
        Print("image/enlarged-row-" + std::to_string(y), big.Row(y));

    // A keyed 2 x 2 image doubled: the key is applied before filtering.
    BYTE keyed[2 * 8] = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0, 0};
    Bitmap twoByTwo(2, 2, 8, PixelFormat24bppRGB, keyed);
    ImageAttributes key;
    key.SetColorKey(Color(255, 0, 255), Color(255, 0, 255));
    Canvas keyedCanvas(6, 6);
    {
        Graphics g(keyedCanvas.dc());
        g.DrawImage(&twoByTwo, RectF(1, 1, 4, 4), 0, 0, 2, 2, UnitPixel, &key);
    }
    for (int y = 1; y < 5; ++y)
        Print("image/keyed-row-" + std::to_string(y), keyedCanvas.Row(y));
}

void DibQueries()
{
    Canvas topDown(5, 3);
    DIBSECTION ds{};
    const int got = GetObject(topDown.section(), sizeof ds, &ds);
    Print("dib/section-size", std::to_string(got == int(sizeof ds)));
    Print("dib/height", std::to_string(ds.dsBmih.biHeight));
    Print("dib/bitmap-height", std::to_string(ds.dsBm.bmHeight));
    BITMAP bm{};
    Print("dib/bitmap-size", std::to_string(GetObject(topDown.section(), sizeof bm, &bm) == int(sizeof bm)));
    Print("dib/null-buffer", std::to_string(GetObject(topDown.section(), 0, nullptr) == int(sizeof(BITMAP))));
    Print("dib/short-buffer", std::to_string(GetObject(topDown.section(), sizeof(BITMAP) - 1, &bm)));
    Print("dib/getpixel-outside", std::to_string(GetPixel(topDown.dc(), 7, 1) == CLR_INVALID));
}

// Path points as "x,y:type" with two decimals, so that the figures' construction is compared.
std::string PathText(GpPath* path)
{
    INT count = 0;
    DllExports::GdipGetPointCount(path, &count);
    if (count <= 0)
        return "empty";
    std::vector<PointF> points(static_cast<std::size_t>(count));
    std::vector<BYTE> types(static_cast<std::size_t>(count));
    DllExports::GdipGetPathPoints(path, points.data(), count);
    DllExports::GdipGetPathTypes(path, types.data(), count);
    std::string out;
    char item[64];
    for (INT i = 0; i < count; ++i) {
        std::snprintf(item, sizeof item, "%s%.2f,%.2f:%x", i ? " " : "", points[i].X, points[i].Y, unsigned(types[i]));
        out += item;
    }
    return out;
}

void Paths()
{
    struct Case {
        const char* name;
        void (*build)(GpPath*);
    } cases[] = {
        {"ellipse", [](GpPath* p) { DllExports::GdipAddPathEllipse(p, 10, 100, 20, 50.5f); }},
        {"arc-quarters",
         [](GpPath* p) {
             DllExports::GdipAddPathLineI(p, 5, 5, 6, 8);
             DllExports::GdipAddPathArc(p, 100, 100, 500, 700, -80, 100);
         }},
        {"pie", [](GpPath* p) { DllExports::GdipAddPathPie(p, 0, 0, 100, 50, 30, 120); }},
        {"rectangle-then-line",
         [](GpPath* p) {
             DllExports::GdipAddPathRectangleI(p, 1, 2, 3, 4);
             DllExports::GdipAddPathLineI(p, 7, 11, 13, 17);
             DllExports::GdipAddPathLineI(p, 13, 17, 20, 20);
         }},
        {"polygon",
         [](GpPath* p) {
             const Point pts[3] = {Point(0, 0), Point(10, 0), Point(5, 8)};
             DllExports::GdipAddPathPolygonI(p, pts, 3);
         }},
    };
    for (const Case& c : cases) {
        GpPath* path = nullptr;
        DllExports::GdipCreatePath(FillModeAlternate, &path);
        c.build(path);
        Print(std::string("path/") + c.name, PathText(path));
        DllExports::GdipDeletePath(path);
    }
    GpPath* path = nullptr;
    DllExports::GdipCreatePath(FillModeAlternate, &path);
    Print("path/arc-empty-ellipse",
          std::to_string(int(DllExports::GdipAddPathArc(path, 100, 100, 1, 0, 0, 90))));
    DllExports::GdipDeletePath(path);
}

void Matrices()
{
    Matrix m;
    m.Translate(10, 0);
    m.Scale(2, 2);
    m.Rotate(90, MatrixOrderAppend);
    PointF p(1, 1);
    m.TransformPoints(&p);
    char out[64];
    std::snprintf(out, sizeof out, "%.3f,%.3f", p.X, p.Y);
    Print("matrix/translate-scale-rotate", out);
    Matrix singular(1, 2, 2, 4, 5, 6);
    Print("matrix/invert-singular", std::to_string(int(singular.Invert())));
}

// Shapes on a 32-bit ARGB bitmap, read back through GetPixel at points well inside or outside
// them (edges are where rasterisers may differ).
void BitmapGraphics()
{
    auto pixel = [](Bitmap& b, int x, int y) {
        Color c;
        b.GetPixel(x, y, &c);
        char out[16];
        std::snprintf(out, sizeof out, "%08x", unsigned(c.GetValue()));
        return std::string(out);
    };
    Bitmap bitmap(40, 40, PixelFormat32bppARGB);
    {
        Graphics g(&bitmap);
        g.Clear(Color(255, 255, 255, 255));
        SolidBrush red(Color(255, 255, 0, 0));
        g.FillEllipse(&red, 10, 10, 20, 20);
        g.TranslateTransform(25, 0);
        SolidBrush blue(Color(255, 0, 0, 255));
        g.FillRectangle(&blue, 0, 30, 5, 5);
        g.ResetTransform();
        g.SetCompositingMode(CompositingModeSourceCopy);
        SolidBrush half(Color(128, 0, 255, 0));
        g.FillRectangle(&half, 0, 0, 5, 5);
    }
    Print("bitmap/ellipse-centre", pixel(bitmap, 20, 20));
    Print("bitmap/ellipse-corner", pixel(bitmap, 11, 11));
    Print("bitmap/translated-rect", pixel(bitmap, 27, 32));
    Print("bitmap/untranslated-place", pixel(bitmap, 2, 32));
    Print("bitmap/source-copy", pixel(bitmap, 2, 2));

    Bitmap tile(2, 2, PixelFormat32bppARGB);
    tile.SetPixel(0, 0, Color(0xFFFF0000));
    tile.SetPixel(1, 0, Color(0xFF00FF00));
    tile.SetPixel(0, 1, Color(0xFF0000FF));
    tile.SetPixel(1, 1, Color(0xFFFFFF00));
    TextureBrush texture(&tile);
    Bitmap tiled(8, 8, PixelFormat32bppARGB);
    {
        Graphics g(&tiled);
        g.FillRectangle(&texture, 1, 1, 6, 6);
    }
    Print("bitmap/texture-3-2", pixel(tiled, 3, 2));
    Print("bitmap/texture-4-5", pixel(tiled, 4, 5));
}

void BitmapRules()
{
    alignas(4) static BYTE buffer[400];
    for (INT stride : {12, 10, -8, 0}) {
        GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(buffer);
        const Status status =
            DllExports::GdipCreateBitmapFromScan0(10, 10, stride, PixelFormat24bppRGB, buffer + 200, &bitmap);
        Print("scan0/stride" + std::to_string(stride),
              std::to_string(int(status)) + (bitmap == reinterpret_cast<GpBitmap*>(buffer) ? " untouched" : ""));
        if (status == Ok)
            DllExports::GdipDisposeImage(bitmap);
    }
    BYTE pargb[8] = {0x62, 0x77, 0x99, 0x77, 0x62, 0x77, 0x99, 0};
    GpBitmap* bitmap = nullptr;
    DllExports::GdipCreateBitmapFromScan0(2, 1, 8, PixelFormat32bppPARGB, pargb, &bitmap);
    ARGB a = 0, b = 0;
    DllExports::GdipBitmapGetPixel(bitmap, 0, 0, &a);
    DllExports::GdipBitmapGetPixel(bitmap, 1, 0, &b);
    char out[32];
    std::snprintf(out, sizeof out, "%08x %08x", unsigned(a), unsigned(b));
    Print("pargb/read-as-argb", out);
    DllExports::GdipDisposeImage(bitmap);
    alignas(8) static char notAnImage[256];
    Print("dispose/not-an-image",
          std::to_string(int(DllExports::GdipDisposeImage(reinterpret_cast<GpImage*>(notAnImage)))));
}


// Clipping: rectangles, combined rectangles, a path, a rotated rectangle, Clear, the DC's own
// clip region, and the clip read back through a later transform.
void Clipping()
{
    const struct {
        const char* name;
        void (*clip)(Graphics&);
    } scenes[] = {
        {"clip/rect", [](Graphics& g) { g.SetClip(Rect(3, 3, 6, 6)); }},
        {"clip/exclude",
         [](Graphics& g) {
             g.SetClip(Rect(2, 2, 12, 12));
             g.ExcludeClip(Rect(5, 5, 4, 4));
         }},
        {"clip/xor",
         [](Graphics& g) {
             g.SetClip(Rect(1, 1, 8, 8));
             g.SetClip(Rect(5, 5, 8, 8), CombineModeXor);
         }},
        {"clip/path",
         [](Graphics& g) {
             GraphicsPath path;
             path.AddEllipse(2, 2, 20, 14);
             g.SetClip(&path);
         }},
        {"clip/rotated",
         [](Graphics& g) {
             g.TranslateTransform(12, 12);
             g.RotateTransform(30);
             g.SetClip(RectF(-6, -6, 12, 12));
             g.ResetTransform();
         }},
    };
    for (const auto& scene : scenes) {
        Canvas canvas(24, 24);
        {
            Graphics g(canvas.dc());
            scene.clip(g);
            SolidBrush brush(Color(0, 0, 255));
            g.FillRectangle(&brush, 0, 0, 24, 24);
        }
        Print(scene.name, canvas.Digest());
    }
    Canvas cleared(16, 16);
    {
        Graphics g(cleared.dc());
        g.SetClip(Rect(4, 4, 4, 4));
        g.Clear(Color(255, 0, 0));
    }
    Print("clip/clear", cleared.Digest());
    Canvas dc(16, 16);
    IntersectClipRect(dc.dc(), 0, 0, 5, 5);
    {
        Graphics g(dc.dc());
        SolidBrush brush(Color(0, 128, 0));
        g.FillRectangle(&brush, 2, 2, 10, 10);
    }
    Print("clip/dc-region", dc.Digest());
    Canvas later(8, 8);
    {
        Graphics g(later.dc());
        g.SetClip(RectF(100, 100, 100, 100));
        Matrix m(2, 0, 0, 4, 10, 20);
        g.SetTransform(&m);
        RectF b;
        g.GetClipBounds(&b);
        char text[96];
        std::snprintf(text, sizeof text, "%.3f,%.3f,%.3f,%.3f", b.X, b.Y, b.Width, b.Height);
        Print("clip/bounds-after-transform", text);
    }
    Region ell(Rect(0, 0, 10, 5));
    ell.Union(Rect(0, 5, 4, 4));
    Matrix identity;
    Print("region/scans-count", std::to_string(ell.GetRegionScansCount(&identity)));
}

} // namespace

int main()
{
    // Before start-up, GDI+ refuses to make objects.
    GpPen* early = nullptr;
    Print("startup/pen-before", std::to_string(int(DllExports::GdipCreatePen1(0xFF000000, 1, UnitPixel, &early))));
    if (early)
        DllExports::GdipDeletePen(early);

    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    Hatches();
    Lines();
    Rectangles();
    Texts();
    Images();
    DibQueries();
    Paths();
    Matrices();
    BitmapGraphics();
    BitmapRules();
    Clipping();
    GdiplusShutdown(token);
    return 0;
}
