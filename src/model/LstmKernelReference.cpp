// The plain scalar loop: exact std::exp / std::tanh, one dot product per gate. It is the yardstick
// the vector kernels are measured and checked against, not a production path.
#include "model/LstmKernels.h"

#include <cmath>

namespace
{
    float sigmoid (float x) noexcept { return 1.0f / (1.0f + std::exp (-x)); }

    template <int InputSize>
    float step (LstmNetwork<InputSize>& net, const float (&x)[InputSize]) noexcept
    {
        using Net = LstmNetwork<InputSize>;
        float gates[Net::gateCount];

        for (int col = 0; col < Net::gateCount; ++col)
        {
            float sum = net.bias[col];
            for (int j = 0; j < InputSize; ++j)
                sum += net.input[j][col] * x[j];
            for (int k = 0; k < Net::hiddenSize; ++k)
                sum += net.recurrent[k][col] * net.hidden[k];
            // Like the vector kernels, a NaN or infinite input must not poison the state for good.
            gates[col] = std::fmin (std::fmax (sum, -88.0f), 88.0f);
        }

        float y = net.denseBias;
        for (int u = 0; u < Net::hiddenSize; ++u)
        {
            const float i = sigmoid (gates[Net::column (0, u)]);
            const float f = sigmoid (gates[Net::column (1, u)]);
            const float g = std::tanh (gates[Net::column (2, u)]);
            const float o = sigmoid (gates[Net::column (3, u)]);
            net.cell[u] = f * net.cell[u] + i * g;
            net.hidden[u] = o * std::tanh (net.cell[u]);
            y += net.denseWeights[u] * net.hidden[u];
        }
        return y;
    }

    void plain (LstmNetwork<1>& net, const float* in, float* out, int numSamples) noexcept
    {
        for (int n = 0; n < numSamples; ++n)
        {
            const float x[1] = { in[n] };
            out[n] = x[0] + step (net, x);
        }
    }

    void conditioned (LstmNetwork<2>& net, const float* in, const float* conditioning, float* out, int numSamples) noexcept
    {
        for (int n = 0; n < numSamples; ++n)
        {
            const float x[2] = { in[n], conditioning[n] };
            out[n] = x[0] + step (net, x);
        }
    }
}

const LstmKernelFunctions lstm_kernels::referenceFunctions { plain, conditioned };
