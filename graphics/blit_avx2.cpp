// The blit kernels for AVX2, with SSE2 for what is left of a row. This unit alone is compiled
// for AVX2; the dispatcher calls it only on CPUs that report it.
#include "graphics/blit_kernels.h"

#if defined(__x86_64__) || defined(_M_X64)
#include "graphics/blit_vector.h"

namespace mox::blit {

#if defined(__AVX2__)
namespace {
// Keyed copies too short for a block take the SSE2 level's register path, which measured
// faster built for SSE2 than for AVX2; everything else the AVX2 rows.
void Bgr(const BgrJob& job)
{
    if (IsShortKeyedCopy(job))
        Sse2KeyedCopyShortRows(job);
    else
        Rows<V256, V128>::Bgr(job);
}
} // namespace

const Kernels kAvx2Kernels = {"avx2", Bgr, Rows<V256, V128>::Tga, Rows<V256, V128>::kMinWidth};
#else
// A compiler that cannot target AVX2 here: the dispatcher may still pick this level, so it
// carries the SSE2 loops.
const Kernels kAvx2Kernels = {"avx2", Rows<V128>::Bgr, Rows<V128>::Tga, Rows<V128>::kMinWidth};
#endif

} // namespace mox::blit
#endif
