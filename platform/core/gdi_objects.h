// Pens, brushes, fonts, regions and palettes as the registry keeps them, and the drawing state a
// device context carries. Shared by the GDI room and by USER's drawing calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace moxplat {

struct GdiObject {
    DWORD type = 0; // OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_REGION, OBJ_PAL, OBJ_EXTPEN
    bool stock = false;
    // Windows lets a program delete an object that is still selected: the handle stays usable
    // by the DCs that hold it and goes when the last of them lets go of it.
    bool deletePending = false;
    int selections = 0; // DCs (and their saved states) holding it

    // Brushes: BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN; the DC brush follows its DC's colour.
    UINT brushStyle = BS_SOLID;
    COLORREF color = 0;
    ULONG_PTR hatch = 0;
    bool dcColored = false;   // DC_BRUSH and DC_PEN
    bool monoPattern = false; // a pattern from a 1-bit bitmap: its bits pick text or background colour
    int patternWidth = 0;
    int patternHeight = 0;
    std::vector<COLORREF> pattern;   // rows top down
    HBITMAP patternBitmap = nullptr; // what GetObject reports for a pattern brush

    // Pens. penStyle is what CreatePen or ExtCreatePen was given (type, style, end cap, join);
    // ExtCreatePen's pens also keep their brush's style and hatch, and user style entries.
    UINT penStyle = 0;
    int penWidth = 0;
    UINT penBrushStyle = BS_SOLID;
    std::vector<DWORD> styleEntries;

    // Fonts.
    LOGFONTW font{};

    // Regions: disjoint rectangles.
    std::vector<RECT> rects;

    // Logical palettes: their entries, flags included.
    std::vector<PALETTEENTRY> paletteEntries;
};

// A device context's drawing state; SaveDC pushes a copy.
struct DrawState {
    HGDIOBJ brush = nullptr; // null until first asked for: WHITE_BRUSH
    HGDIOBJ pen = nullptr;   // BLACK_PEN
    HGDIOBJ font = nullptr;  // SYSTEM_FONT
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    int bkMode = 2;       // OPAQUE
    int rop2 = 13;        // R2_COPYPEN
    int polyFillMode = 1; // ALTERNATE
    UINT textAlign = 0;
    int arcDirection = 1; // AD_COUNTERCLOCKWISE
    POINT position{0, 0};
    POINT viewportOrg{0, 0};
    POINT windowOrg{0, 0};
    POINT brushOrg{0, 0};
    bool clipped = false;
    std::vector<RECT> clip; // device coordinates, disjoint
    HGDIOBJ palette = nullptr; // DEFAULT_PALETTE
};

} // namespace moxplat
