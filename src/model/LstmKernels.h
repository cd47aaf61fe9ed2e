#pragma once

#include "model/LstmNetwork.h"

// The per-sample LSTM loop, once per instruction set. Each kernel lives in its own .cpp compiled
// with its own target flags; the product itself is built for baseline x86-64 and picks the best
// kernel the running CPU supports, once.
enum class LstmKernel
{
    reference, // plain scalar loop with std::exp / std::tanh: the yardstick, never chosen by default
    sse2,      // baseline x86-64
    avx2,      // AVX2 + FMA
    avx512     // AVX-512F/VL
};

struct LstmKernelFunctions
{
    // out[n] = in[n] + net(in[n]); in and out may be the same buffer.
    void (*plain) (LstmNetwork<1>&, const float* in, float* out, int numSamples) noexcept;
    // Second input per sample from `conditioning`; in and out may be the same buffer.
    void (*conditioned) (LstmNetwork<2>&, const float* in, const float* conditioning, float* out, int numSamples) noexcept;
};

namespace lstm_kernels
{
    // nullptr when the kernel is not compiled in or the CPU lacks it.
    const LstmKernelFunctions* functionsFor (LstmKernel) noexcept;
    const char* nameOf (LstmKernel) noexcept;

    // Defined in the kernel files as constant data (no code from a wider instruction set runs
    // before the CPU check in LstmKernels.cpp); nullptr where a kernel is not built.
    extern const LstmKernelFunctions referenceFunctions;
    extern const LstmKernelFunctions* const sse2Table;
    extern const LstmKernelFunctions* const avx2Table;
    extern const LstmKernelFunctions* const avx512Table;
}
