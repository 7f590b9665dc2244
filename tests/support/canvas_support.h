// Helpers for the canvas, bitmap and bitmap-blitter tests: GDI+ start-up, patterned images in
// both forms, and whole-buffer snapshots.
#pragma once

#include "test_support.h"

#include <memory>
#include <vector>

#include "gdiplus_session.h"

namespace moxcanvas {

// Starts GDI+ once per process, as a host does before creating any image.
void StartGdiplus();

// A picture whose every pixel differs from its neighbours, so a misplaced pixel shows.
moxtest::Rgb Pattern(int x, int y);

// The same picture in either form: raw bottom-up bytes, or a file loaded through GDI+ (a
// 24-bit BMP, or a PNG with an opaque alpha channel, which GDI+ holds at 32 bits a pixel).
enum class Form { Raw, File, File32 };
std::unique_ptr<CMoxBitmap> MakeImage(Form form, int width, int height,
                                      const std::function<moxtest::Rgb(int, int)>& pixel = Pattern);

// Every byte of the back buffer, stride padding excluded, for whole-canvas comparisons.
std::vector<unsigned char> Snapshot(CMoxGraphics& canvas);

// A canvas of the given size cleared to one colour.
std::unique_ptr<CMoxGraphics> MakeCanvas(int width, int height, moxtest::Rgb colour);

} // namespace moxcanvas
