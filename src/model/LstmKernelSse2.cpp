// SSE2 is part of x86-64 itself, so this kernel needs no check.
#include "model/LstmKernels.h"

#if defined(__x86_64__) && defined(__SSE2__)
 #include "model/LstmKernelBody.h"

namespace
{
    constexpr auto functions = makeKernelFunctions<SimdSse2, SimdSse2>();
}

const LstmKernelFunctions* const lstm_kernels::sse2Table = &functions;
#else
const LstmKernelFunctions* const lstm_kernels::sse2Table = nullptr;
#endif
