// Compiled with -mavx2 -mfma; reached only through LstmKernels.cpp after the CPU check.
#include "model/LstmKernels.h"

#if defined(__x86_64__) && defined(__AVX2__) && defined(__FMA__)
 #include "model/LstmKernelBody.h"

namespace
{
    constexpr auto functions = makeKernelFunctions<SimdAvx2, SimdAvx2>();
}

const LstmKernelFunctions* const lstm_kernels::avx2Table = &functions;
#else
const LstmKernelFunctions* const lstm_kernels::avx2Table = nullptr;
#endif
