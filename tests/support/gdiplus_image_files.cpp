#include "gdiplus_image_files.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

namespace moxtest {

bool WriteSolidJpeg(const std::string& path, int width, int height, std::uint32_t rgb)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    if (!pixbuf)
        return false;
    gdk_pixbuf_fill(pixbuf, (rgb << 8) | 0xFF);
    const bool saved = gdk_pixbuf_save(pixbuf, path.c_str(), "jpeg", nullptr, "quality", "95", nullptr);
    g_object_unref(pixbuf);
    return saved;
}

bool WriteSolidImage(const std::string& path, const char* type, int width, int height, std::uint32_t rgb)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (!pixbuf)
        return false;
    gdk_pixbuf_fill(pixbuf, (rgb << 8) | 0xFF);
    const bool saved = gdk_pixbuf_save(pixbuf, path.c_str(), type, nullptr, nullptr);
    g_object_unref(pixbuf);
    return saved;
}

} // namespace moxtest
