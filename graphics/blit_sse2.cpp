// The blit kernels for SSE2, which every x86-64 CPU has.
#include "graphics/blit_kernels.h"

#if defined(__x86_64__) || defined(_M_X64)
#include "graphics/blit_vector.h"

namespace mox::blit {

const Kernels kSse2Kernels = {"sse2", Rows<V128>::Bgr, Rows<V128>::Tga, Rows<V128>::kMinWidth};

void Sse2KeyedCopyShortRows(const BgrJob& job)
{
    KeyedCopyShortRows(job);
}

} // namespace mox::blit
#endif
