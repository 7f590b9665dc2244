// The blit kernels for AVX-512 (F and BW), with AVX2 and SSE2 for what is left of a row. This
// unit alone is compiled for AVX-512; the dispatcher calls it only on CPUs that report it.
#include "graphics/blit_kernels.h"

#if defined(__x86_64__) || defined(_M_X64)
#if defined(__GNUC__) && !defined(__clang__)
// GCC's own AVX-512 headers start some intrinsics from a deliberately undefined register.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include "graphics/blit_vector.h"

namespace mox::blit {

#if defined(__AVX512F__) && defined(__AVX512BW__)
namespace {

// Keyed copies are the AVX2 kernel's: on pictures whose keyed areas come in patches, more of
// the narrower registers lie wholly on or off the key and take the shortcuts, which measured
// faster than the wider registers; blends gain from the width.
void Bgr(const BgrJob& job)
{
    if (job.keyed && job.alpha == 255)
        kAvx2Kernels.bgr(job);
    else
        Rows<V512, V256, V128>::Bgr(job);
}

} // namespace

const Kernels kAvx512Kernels = {"avx512", Bgr, Rows<V512, V256, V128>::Tga};
#else
const Kernels kAvx512Kernels = {"avx512", Rows<V128>::Bgr, Rows<V128>::Tga};
#endif

} // namespace mox::blit
#endif
