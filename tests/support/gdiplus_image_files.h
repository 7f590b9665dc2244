// Image files for the GDI+ image tests that the shared helpers do not write. Kept apart from
// <windows.h>, whose TRUE and FALSE clash with glib's.
#pragma once

#include <cstdint>
#include <string>

namespace moxtest {

// A JPEG of one colour (0xRRGGBB), at high quality. False when it cannot be written.
bool WriteSolidJpeg(const std::string& path, int width, int height, std::uint32_t rgb);

// An image of one colour in any format the decoder library can save ("png", "bmp", "tiff",
// "ico", "jpeg"). False when it cannot be written.
bool WriteSolidImage(const std::string& path, const char* type, int width, int height, std::uint32_t rgb);

} // namespace moxtest
