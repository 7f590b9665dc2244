// The headless window backend: a window's pixels live in memory only, where BitBlt writes them
// and GetPixel reads them back. Used for every window without a display.
#include "window_backend.h"

namespace moxplat {
namespace {

class HeadlessBackend final : public WindowBackend {
public:
    void Present(const PixelSurface&) override {}
    void SetVisible(bool) override {}
    bool OnScreen() const override { return false; }
    std::uint32_t NativeId() const override { return 0; }
    bool ScreenPosition(int*, int*) const override { return false; }
    void SetTitle(const char*) override {}
};

} // namespace

std::unique_ptr<WindowBackend> CreateHeadlessBackend()
{
    return std::make_unique<HeadlessBackend>();
}

} // namespace moxplat
