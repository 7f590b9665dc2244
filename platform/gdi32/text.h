// GDI text: fonts resolved through fontconfig and laid out by pango, each label (a font and a
// line of text) rendered once into a coverage mask that later draws of the same label reuse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "paint.h"

namespace moxplat {

// A font as drawn: family, em size in pixels and style.
struct FontFace {
    std::string family;
    int em = 16;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool aliased = false; // NONANTIALIASED_QUALITY
    BYTE charSet = DEFAULT_CHARSET;
    BYTE pitchAndFamily = 0;
    int requestedWeight = 0;
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int em = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

// A line of text rendered at a pixel origin: the top left of its character cell.
struct Label {
    int advance = 0;          // the line's width
    int maskX = 0, maskY = 0; // the mask's top left, from the origin
    int maskW = 0, maskH = 0;
    std::vector<std::uint8_t> mask; // coverage, maskW a row
    std::vector<int> charX;         // x of each byte's character from the origin (for prefixes)
};

// Under the registry lock: the face of the font a DC has selected.
FontFace FaceOfLocked(Registry& reg, const DrawState& state);
// Under the registry lock (text work is serialised by it).
FontMetrics MetricsOf(const FontFace& face);
const Label* LabelOf(const FontFace& face, const std::string& utf8);
// A line's width without rendering it.
int AdvanceOf(const FontFace& face, const std::string& utf8);
// Blends a label's coverage in the colour at (x, y) device, inside the target's boxes and the
// optional clip rectangle (device coordinates).
void DrawLabel(const Target& t, const Label& label, std::int64_t x, std::int64_t y, COLORREF color,
               const RECT* clip = nullptr);

std::string Utf8Of(const WCHAR* text, std::size_t count);

} // namespace moxplat
