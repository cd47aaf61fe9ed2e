#include "model/LstmKernels.h"

const LstmKernelFunctions* lstm_kernels::functionsFor (LstmKernel kernel) noexcept
{
    switch (kernel)
    {
        case LstmKernel::reference: return &referenceFunctions;
        case LstmKernel::sse2:      return sse2Functions();
        case LstmKernel::avx2:      return avx2Functions();
        case LstmKernel::avx512:    return avx512Functions();
    }
    return nullptr;
}

const char* lstm_kernels::nameOf (LstmKernel kernel) noexcept
{
    switch (kernel)
    {
        case LstmKernel::reference: return "scalar reference";
        case LstmKernel::sse2:      return "SSE2";
        case LstmKernel::avx2:      return "AVX2+FMA";
        case LstmKernel::avx512:    return "AVX-512";
    }
    return "unknown";
}
