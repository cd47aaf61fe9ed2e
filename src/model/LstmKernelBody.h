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
    // Activation per column, repeating every 32 columns: sigmoid for input, forget and output
    // gates, tanh for the cell gate as 2 * sigmoid (2x) - 1, so one code path serves both and a
    // 16-wide vector may straddle two gate groups.
    struct alignas (64) GateActivationTable
    {
        float expScale[32];
        float outScale[32];
        float outOffset[32];

        constexpr GateActivationTable() noexcept : expScale(), outScale(), outOffset()
        {
            for (int i = 0; i < 32; ++i)
            {
                const bool cellGate = (i / 8) == 2;
                expScale[i] = cellGate ? -2.0f : -1.0f;
                outScale[i] = cellGate ? 2.0f : 1.0f;
                outOffset[i] = cellGate ? -1.0f : 0.0f;
            }
        }
    };

    constexpr GateActivationTable gateActivation;

    // exp(x) for |x| <= 87 (clamped), relative error ~1e-7: Cody-Waite reduction by ln 2 and a
    // degree-6 polynomial.
    template <class V>
    inline typename V::reg fastExp (typename V::reg x) noexcept
    {
        using reg = typename V::reg;
        x = V::min (V::max (x, V::set1 (-87.0f)), V::set1 (87.0f));
        const reg n = V::round (V::mul (x, V::set1 (1.44269504088896341f)));
        reg r = V::negMulAdd (n, V::set1 (0.693359375f), x);
        r = V::negMulAdd (n, V::set1 (-2.12194440e-4f), r);

        reg p = V::set1 (1.9875691500e-4f);
        p = V::mulAdd (p, r, V::set1 (1.3981999507e-3f));
        p = V::mulAdd (p, r, V::set1 (8.3334519073e-3f));
        p = V::mulAdd (p, r, V::set1 (4.1665795894e-2f));
        p = V::mulAdd (p, r, V::set1 (1.6666665459e-1f));
        p = V::mulAdd (p, r, V::set1 (5.0000001201e-1f));
        const reg e = V::mulAdd (p, V::mul (r, r), V::add (r, V::set1 (1.0f)));
        return V::mul (e, V::pow2 (n));
    }

    // outScale / (1 + exp (expScale * x)) + outOffset
    template <class V>
    inline typename V::reg logisticForm (typename V::reg x, typename V::reg expScale,
                                         typename V::reg outScale, typename V::reg outOffset) noexcept
    {
        const auto e = fastExp<V> (V::mul (x, expScale));
        return V::mulAdd (V::reciprocal (V::add (e, V::set1 (1.0f))), outScale, outOffset);
    }

    template <class V>
    inline typename V::reg fastTanh (typename V::reg x) noexcept
    {
        return logisticForm<V> (x, V::set1 (-2.0f), V::set1 (2.0f), V::set1 (-1.0f));
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

        static_assert (gates % columnsPerPass == 0, "passes must cover the gates exactly");
        static_assert (Narrow::width <= Net::unitsPerBlock && Net::unitsPerBlock % Narrow::width == 0, "narrow set must tile a unit block");

        static float step (Net& net, const float (&x)[InputSize], float* preActivation) noexcept
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
                {
                    const int tableAt = (first + j * Wide::width) % 32;
                    Wide::store (preActivation + first + j * Wide::width,
                                 logisticForm<Wide> (acc[j],
                                                     Wide::load (gateActivation.expScale + tableAt),
                                                     Wide::load (gateActivation.outScale + tableAt),
                                                     Wide::load (gateActivation.outOffset + tableAt)));
                }
            }

            // Cell update; the dense output is gathered from the new h on the way.
            NReg y = Narrow::set1 (0.0f);
#pragma GCC unroll 10
            for (int chunk = 0; chunk < hidden / Narrow::width; ++chunk)
            {
                const int unit = chunk * Narrow::width;
                const float* block = preActivation + (unit / 8) * 32 + unit % 8;
                const NReg i = Narrow::load (block);
                const NReg f = Narrow::load (block + 8);
                const NReg g = Narrow::load (block + 16);
                const NReg o = Narrow::load (block + 24);

                const NReg c = Narrow::mulAdd (f, Narrow::load (net.cell + unit), Narrow::mul (i, g));
                Narrow::store (net.cell + unit, c);
                const NReg h = Narrow::mul (o, fastTanh<Narrow> (c));
                Narrow::store (net.hidden + unit, h);
                y = Narrow::mulAdd (h, Narrow::load (net.denseWeights + unit), y);
            }

            return Narrow::sum (y) + net.denseBias;
        }

        static void plain (LstmNetwork<1>& net, const float* in, float* out, int numSamples) noexcept
        {
            alignas (64) float preActivation[gates];
            for (int n = 0; n < numSamples; ++n)
            {
                const float x[1] = { in[n] };
                out[n] = x[0] + LstmKernelBody<Wide, Narrow, 1>::step (net, x, preActivation);
            }
        }

        static void conditioned (LstmNetwork<2>& net, const float* in, const float* conditioning, float* out, int numSamples) noexcept
        {
            alignas (64) float preActivation[gates];
            for (int n = 0; n < numSamples; ++n)
            {
                const float x[2] = { in[n], conditioning[n] };
                out[n] = x[0] + LstmKernelBody<Wide, Narrow, 2>::step (net, x, preActivation);
            }
        }
    };

    template <class Wide, class Narrow>
    constexpr LstmKernelFunctions makeKernelFunctions() noexcept
    {
        return { &LstmKernelBody<Wide, Narrow, 1>::plain, &LstmKernelBody<Wide, Narrow, 2>::conditioned };
    }
}
