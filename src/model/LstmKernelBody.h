#pragma once

// The vector LSTM step, written once over the wrappers of LstmSimd.h and instantiated per
// instruction set by each kernel file (internal linkage throughout).
//
// Per sample: the 160 gate pre-activations start from bias + W.x (input size 1 or 2, so W.x is a
// scaled vector or two), then h (40) times U (40 x 160) as 40 broadcasts x 160-wide multiply-adds
// in register-held accumulators; then the gate non-linearities and the cell update, and the dense
// output from the fresh h.

#include "model/LstmNetwork.h"
#include "model/LstmSimd.h"

namespace
{
    constexpr float log2e = 1.44269504088896341f;

    // Exponent scale per column, repeating every 32 columns. Every gate goes through the logistic
    // function sigmoid (x) = 1 / (1 + 2^(-x log2 e)); the cell gate as sigmoid (2x), which the cell
    // update turns into tanh (x) = 2 sigmoid (2x) - 1. So one code path serves all columns and a
    // 16-wide vector may straddle two gate groups.
    struct alignas (64) GateExponentScale
    {
        float scale[32];

        constexpr GateExponentScale() noexcept : scale()
        {
            for (int i = 0; i < 32; ++i)
                scale[i] = (i / 8) == 2 ? -2.0f * log2e : -log2e;
        }
    };

    constexpr GateExponentScale gateExponentScale;

    // 1 / (1 + 2^(v * exponentScale)) for G independent vectors in lockstep, so that their long
    // dependency chains overlap instead of running one after another.
    // 2^y: y clamped to keep 2^y a finite float, split into n + f with |f| <= 1/2, a degree-5
    // polynomial for 2^f and the exponent applied directly.
    template <class V, int G>
    inline void logisticGroup (typename V::reg (&v)[G], const typename V::reg (&exponentScale)[G]) noexcept
    {
        using reg = typename V::reg;
        reg y[G], n[G], p[G];

#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
        {
            V::split (V::clampExponent (V::mul (v[g], exponentScale[g])), y[g], n[g]);
        }

        // 2^f = 1 + f P(f), P fitted for least maximum relative error on |f| <= 1/2 (1.1e-7).
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            p[g] = V::mulAdd (V::set1 (1.3302209606e-3f), y[g], V::set1 (9.6729326999e-3f));
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            p[g] = V::mulAdd (p[g], y[g], V::set1 (5.5506152712e-2f));
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            p[g] = V::mulAdd (p[g], y[g], V::set1 (2.4022216504e-1f));
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            p[g] = V::mulAdd (p[g], y[g], V::set1 (6.9314706178e-1f));
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            p[g] = V::mulAdd (p[g], y[g], V::set1 (1.0f));

#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
        {
            const reg e = V::scaleByPow2 (p[g], n[g]);
            v[g] = V::reciprocal (V::add (e, V::set1 (1.0f)));
        }
    }

    // Wide: the set for the gate products; Narrow (at most 8 wide) for the per-unit cell update.
    template <class Wide, class Narrow, int InputSize>
    struct LstmKernelBody
    {
        using Net = LstmNetwork<InputSize>;
        using WReg = typename Wide::reg;
        using NReg = typename Narrow::reg;

        static constexpr int hidden = Net::hiddenSize;
        static constexpr int gates = Net::gateCount;
        static constexpr int accumulators = 10; // leaves room for the broadcast in 16 registers
        static constexpr int columnsPerPass = accumulators * Wide::width;
        static constexpr int passes = gates / columnsPerPass;
        static constexpr int wideVectors = gates / Wide::width;
        static constexpr int narrowChunks = hidden / Narrow::width;

        // Vectors per lockstep group: as many chains as the register file holds.
        static constexpr int wideGroup = Wide::width == 16 ? 5 : 4;
        static constexpr int narrowGroup = narrowChunks % 5 == 0 ? 5 : 4;

        static_assert (gates % columnsPerPass == 0, "passes must cover the gates exactly");
        static_assert (wideVectors % wideGroup == 0 && narrowChunks % narrowGroup == 0, "groups must tile the vectors");
        static_assert (Narrow::width <= Net::unitsPerBlock && Net::unitsPerBlock % Narrow::width == 0, "narrow set must tile a unit block");

        static float step (Net& net, const float (&x)[InputSize], float* gate) noexcept
        {
            for (int pass = 0; pass < passes; ++pass)
            {
                const int first = pass * columnsPerPass;
                WReg acc[accumulators];

#pragma GCC unroll 16
                for (int j = 0; j < accumulators; ++j)
                {
                    acc[j] = Wide::mulAdd (Wide::set1 (x[0]), Wide::load (net.input[0] + first + j * Wide::width),
                                           Wide::load (net.bias + first + j * Wide::width));
                    if constexpr (InputSize == 2)
                        acc[j] = Wide::mulAdd (Wide::set1 (x[1]), Wide::load (net.input[1] + first + j * Wide::width), acc[j]);
                }

#pragma GCC unroll 40
                for (int k = 0; k < hidden; ++k)
                {
                    // Left alone, the compiler hoists all 40 broadcasts of h to the top (even out
                    // of the passes) and spills them to the stack; broadcasting in place is cheaper.
                    asm volatile ("" ::: "memory");
                    const WReg hk = Wide::broadcast (net.hidden + k);
                    const float* row = net.recurrent[k] + first;
#pragma GCC unroll 16
                    for (int j = 0; j < accumulators; ++j)
                        acc[j] = Wide::mulAdd (hk, Wide::load (row + j * Wide::width), acc[j]);
                }

#pragma GCC unroll 16
                for (int j = 0; j < accumulators; ++j)
                    Wide::store (gate + first + j * Wide::width, acc[j]);
            }

            // Gate non-linearities over all 160 columns.
#pragma GCC unroll 2
            for (int v = 0; v < wideVectors; v += wideGroup)
            {
                WReg values[wideGroup], scale[wideGroup];
#pragma GCC unroll 16
                for (int g = 0; g < wideGroup; ++g)
                {
                    const int column = (v + g) * Wide::width;
                    values[g] = Wide::load (gate + column);
                    scale[g] = Wide::load (gateExponentScale.scale + column % 32);
                }
                logisticGroup<Wide, wideGroup> (values, scale);
#pragma GCC unroll 16
                for (int g = 0; g < wideGroup; ++g)
                    Wide::store (gate + (v + g) * Wide::width, values[g]);
            }

            // Cell update, then h = o * tanh (c), gathering the dense output on the way.
            NReg y = Narrow::set1 (0.0f);
#pragma GCC unroll 2
            for (int chunk = 0; chunk < narrowChunks; chunk += narrowGroup)
            {
                NReg c[narrowGroup], tanhScale[narrowGroup];
#pragma GCC unroll 16
                for (int g = 0; g < narrowGroup; ++g)
                {
                    const int unit = (chunk + g) * Narrow::width;
                    const float* block = gate + (unit / 8) * 32 + unit % 8;
                    const NReg cellGate = Narrow::mulAdd (Narrow::load (block + 16), Narrow::set1 (2.0f), Narrow::set1 (-1.0f));
                    c[g] = Narrow::mulAdd (Narrow::load (block + 8), Narrow::load (net.cell + unit),
                                           Narrow::mul (Narrow::load (block), cellGate));
                    Narrow::store (net.cell + unit, c[g]);
                    tanhScale[g] = Narrow::set1 (-2.0f * log2e);
                }
                logisticGroup<Narrow, narrowGroup> (c, tanhScale);
#pragma GCC unroll 16
                for (int g = 0; g < narrowGroup; ++g)
                {
                    const int unit = (chunk + g) * Narrow::width;
                    const float* block = gate + (unit / 8) * 32 + unit % 8;
                    const NReg tanhC = Narrow::mulAdd (c[g], Narrow::set1 (2.0f), Narrow::set1 (-1.0f));
                    const NReg h = Narrow::mul (Narrow::load (block + 24), tanhC);
                    Narrow::store (net.hidden + unit, h);
                    y = Narrow::mulAdd (h, Narrow::load (net.denseWeights + unit), y);
                }
            }

            return Narrow::sum (y) + net.denseBias;
        }

        static void plain (LstmNetwork<1>& net, const float* in, float* out, int numSamples) noexcept
        {
            alignas (64) float gate[gates];
            for (int n = 0; n < numSamples; ++n)
            {
                const float x[1] = { in[n] };
                out[n] = x[0] + LstmKernelBody<Wide, Narrow, 1>::step (net, x, gate);
            }
        }

        static void conditioned (LstmNetwork<2>& net, const float* in, const float* conditioning, float* out, int numSamples) noexcept
        {
            alignas (64) float gate[gates];
            for (int n = 0; n < numSamples; ++n)
            {
                const float x[2] = { in[n], conditioning[n] };
                out[n] = x[0] + LstmKernelBody<Wide, Narrow, 2>::step (net, x, gate);
            }
        }
    };

    template <class Wide, class Narrow>
    constexpr LstmKernelFunctions makeKernelFunctions() noexcept
    {
        return { &LstmKernelBody<Wide, Narrow, 1>::plain, &LstmKernelBody<Wide, Narrow, 2>::conditioned };
    }
}
