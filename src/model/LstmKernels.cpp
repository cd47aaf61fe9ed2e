#include "model/LstmKernels.h"

namespace
{
    struct CpuFeatures
    {
        bool avx2 = false, avx512 = false;

        CpuFeatures() noexcept
        {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
            __builtin_cpu_init();
            avx2 = __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
            avx512 = avx2 && __builtin_cpu_supports ("avx512f") && __builtin_cpu_supports ("avx512vl");
#endif
        }
    };

    const CpuFeatures& cpu() noexcept
    {
        static const CpuFeatures features;
        return features;
    }
}

const LstmKernelFunctions* lstm_kernels::functionsFor (LstmKernel kernel) noexcept
{
    switch (kernel)
    {
        case LstmKernel::reference: return &referenceFunctions;
        case LstmKernel::sse2:      return sse2Table;
        case LstmKernel::avx2:      return cpu().avx2 ? avx2Table : nullptr;
        case LstmKernel::avx512:    return cpu().avx512 ? avx512Table : nullptr;
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
