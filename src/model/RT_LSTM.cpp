#include "model/RT_LSTM.h"

#include "model/ModelLoader.h"

#include <juce_core/juce_core.h>

#include <cmath>

std::atomic<const LstmKernelFunctions*> RT_LSTM::activeFunctions { nullptr };
std::atomic<LstmKernel> RT_LSTM::activeKind { LstmKernel::reference };

namespace
{
    // Conditioning values are staged in short chunks so that the ramp is computed here, in plain
    // float arithmetic, and the kernels stay free of per-sample bookkeeping.
    constexpr int conditioningChunk = 64;

    template <int InputSize>
    void applyWeights (LstmNetwork<InputSize>& net, const LstmModelWeights& w) noexcept
    {
        using Net = LstmNetwork<InputSize>;
        net.clear();

        for (int gate = 0; gate < 4; ++gate)
            for (int unit = 0; unit < Net::hiddenSize; ++unit)
            {
                const int row = gate * Net::hiddenSize + unit; // PyTorch's row
                const int col = Net::column (gate, unit);

                for (int j = 0; j < InputSize; ++j)
                    net.input[j][col] = w.inputWeights[std::size_t (row * InputSize + j)];
                for (int k = 0; k < Net::hiddenSize; ++k)
                    net.recurrent[k][col] = w.recurrentWeights[std::size_t (row * Net::hiddenSize + k)];
                net.bias[col] = w.bias[std::size_t (row)];
            }

        for (int u = 0; u < Net::hiddenSize; ++u)
            net.denseWeights[u] = w.denseWeights[std::size_t (u)];
        net.denseBias = w.denseBias;
    }
}

RT_LSTM::RT_LSTM() noexcept
{
    // Choose the kernel here, on the constructing thread, rather than on the first audio block.
    if (activeFunctions.load (std::memory_order_relaxed) == nullptr)
        setKernel (bestKernel());
}

void RT_LSTM::load_json (const juce::MemoryBlock& jsonBlock)
{
    try
    {
        const auto weights = ModelLoader::parse (jsonBlock.getData(), jsonBlock.getSize());

        // Only the selected network carries weights; the other stays silent.
        plain_model.clear();
        conditioned_model.clear();
        input_size = weights.inputSize;

        if (weights.hasWeights && input_size == 1)
            applyWeights (plain_model, weights);
        else if (weights.hasWeights && input_size == 2)
            applyWeights (conditioned_model, weights);
    }
    catch (...)
    {
        // Never half-loaded: back to the constructed, pass-through state.
        plain_model.clear();
        conditioned_model.clear();
        input_size = 1;
        throw;
    }
}

void RT_LSTM::reset() noexcept
{
    if (input_size == 1)
        plain_model.resetState();
    else
        conditioned_model.resetState();
}

void RT_LSTM::process (const float* in, float* out, int numSamples) noexcept
{
    if (numSamples < 1)
        return;

    auto* functions = activeFunctions.load (std::memory_order_relaxed);
    if (functions == nullptr)
    {
        setKernel (bestKernel());
        functions = activeFunctions.load (std::memory_order_relaxed);
    }
    functions->plain (plain_model, in, out, numSamples);
}

void RT_LSTM::process (const float* in, float param, float* out, int numSamples) noexcept
{
    if (numSamples < 1)
    {
        last_param = param; // the next block starts from here, without a ramp
        return;
    }

    // A non-finite value would poison the recurrent state until the next reset; hold the last one.
    if (! std::isfinite (param))
        param = last_param;

    if (param != last_param)
    {
        param_step = (param - last_param) / static_cast<float> (numSamples);
        param_ramping = true;
    }
    else
    {
        param_ramping = false;
    }

    auto* functions = activeFunctions.load (std::memory_order_relaxed);
    if (functions == nullptr)
    {
        setKernel (bestKernel());
        functions = activeFunctions.load (std::memory_order_relaxed);
    }

    alignas (16) float conditioning[conditioningChunk];

    for (int start = 0; start < numSamples; start += conditioningChunk)
    {
        const int count = juce::jmin (conditioningChunk, numSamples - start);

        for (int n = 0; n < count; ++n)
            conditioning[n] = param_ramping ? last_param + param_step * static_cast<float> (start + n + 1) : param;

        cond_input[0] = in[start + count - 1];
        cond_input[1] = conditioning[count - 1];
        functions->conditioned (conditioned_model, in + start, conditioning, out + start, count);
    }

    last_param = param;
}

std::vector<LstmKernel> RT_LSTM::availableKernels()
{
    std::vector<LstmKernel> kernels;
    for (auto k : { LstmKernel::reference, LstmKernel::sse2, LstmKernel::avx2, LstmKernel::avx512 })
        if (lstm_kernels::functionsFor (k) != nullptr)
            kernels.push_back (k);
    return kernels;
}

LstmKernel RT_LSTM::bestKernel() noexcept
{
    for (auto k : { LstmKernel::avx512, LstmKernel::avx2, LstmKernel::sse2 })
        if (lstm_kernels::functionsFor (k) != nullptr)
            return k;
    return LstmKernel::reference;
}

LstmKernel RT_LSTM::activeKernel() noexcept
{
    if (activeFunctions.load (std::memory_order_relaxed) == nullptr)
        setKernel (bestKernel());
    return activeKind.load (std::memory_order_relaxed);
}

bool RT_LSTM::setKernel (LstmKernel kernel) noexcept
{
    const auto* functions = lstm_kernels::functionsFor (kernel);
    if (functions == nullptr)
        return false;
    activeKind.store (kernel, std::memory_order_relaxed);
    activeFunctions.store (functions, std::memory_order_relaxed);
    return true;
}

const char* RT_LSTM::kernelName (LstmKernel kernel) noexcept
{
    return lstm_kernels::nameOf (kernel);
}
