// Compiled with -mavx512f -mavx512vl (plus AVX2/FMA for the 8-wide cell update); reached only
// through LstmKernels.cpp after the CPU check.
#include "model/LstmKernels.h"

// GCC 12's own AVX-512 headers trip -Wmaybe-uninitialized through _mm512_undefined_ps().
#if defined(__GNUC__) && ! defined(__clang__)
 #pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#if defined(__x86_64__) && defined(__AVX512F__) && defined(__AVX512VL__) && defined(__AVX2__) && defined(__FMA__)
 #include "model/LstmKernelBody.h"

namespace
{
    constexpr auto functions = makeKernelFunctions<SimdAvx512, SimdAvx2>();
}

const LstmKernelFunctions* const lstm_kernels::avx512Table = &functions;
#else
const LstmKernelFunctions* const lstm_kernels::avx512Table = nullptr;
#endif
