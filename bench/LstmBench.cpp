// The tube network's hot loop: every kernel the CPU offers against the plain scalar loop, on a
// network with trained-scale weights, in host-sized blocks.
#include "Bench.h"

#include "model/RT_LSTM.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#if defined(__SSE__)
 #include <xmmintrin.h>
#endif

namespace
{
    constexpr int sampleRate = 96000;
    constexpr int blockSize = 512;

    template <int InputSize>
    void fillTrainedScale (LstmNetwork<InputSize>& net, std::mt19937& rng)
    {
        std::uniform_real_distribution<float> recurrent (-0.5f, 0.5f), gain (-3.0f, 3.0f), bias (-1.0f, 1.0f), dense (-0.5f, 0.5f);
        for (auto& row : net.recurrent)
            for (auto& w : row)
                w = recurrent (rng);
        for (auto& row : net.input)
            for (auto& w : row)
                w = gain (rng);
        for (auto& b : net.bias)
            b = bias (rng);
        for (auto& w : net.denseWeights)
            w = dense (rng);
        net.denseBias = 0.01f;
    }

    std::unique_ptr<RT_LSTM> makeStage (int inputSize)
    {
        auto stage = std::make_unique<RT_LSTM>();
        std::mt19937 rng (1234);
        stage->input_size = inputSize;
        if (inputSize == 1)
            fillTrainedScale (stage->plain_model, rng);
        else
            fillTrainedScale (stage->conditioned_model, rng);
        return stage;
    }

    std::vector<float> guitarLike (int length)
    {
        std::vector<float> x (std::size_t (length), 0.0f);
        std::mt19937 rng (7);
        std::normal_distribution<float> noise (0.0f, 0.01f);
        for (int n = 0; n < length; ++n)
            x[std::size_t (n)] = 0.5f * std::sin (2.0f * 3.14159265f * 110.0f * float (n) / float (sampleRate)) + noise (rng);
        return x;
    }

    struct Timing
    {
        double bestNs, medianNs;
    };

    // Nanoseconds per sample for one channel, timed over many short runs of host-sized blocks: on a
    // shared machine the best run is the kernel's own speed, the median shows the disturbance.
    Timing nsPerSample (RT_LSTM& stage, const std::vector<float>& input, bool conditioned, int runs)
    {
        constexpr int samplesPerRun = 4 * blockSize;
        std::vector<float> out (samplesPerRun);
        std::size_t offset = 0;

        const auto body = [&]
        {
            for (int at = 0; at < samplesPerRun; at += blockSize)
            {
                const float* in = input.data() + (offset + std::size_t (at)) % (input.size() - blockSize);
                if (conditioned)
                    stage.process (in, 0.5f + 0.001f * float (at % 7), out.data() + at, blockSize);
                else
                    stage.process (in, out.data() + at, blockSize);
            }
            offset += samplesPerRun;
            bench::keep (out.data());
        };

        return { 1e9 * bench::bestSeconds (body, runs) / samplesPerRun, 1e9 * bench::medianSeconds (body, runs) / samplesPerRun };
    }

    void lstmKernels()
    {
#if defined(__SSE__)
        // As in the processor: denormals flushed while audio runs.
        const auto savedCsr = _mm_getcsr();
        _mm_setcsr (savedCsr | 0x8040);
#endif
        const auto input = guitarLike (sampleRate);
        auto plain = makeStage (1);
        auto conditioned = makeStage (2);
        const auto active = RT_LSTM::activeKernel();

        std::printf ("LSTM(1 -> 40) + Dense(40 -> 1), ns per sample per channel, %d-sample blocks\n", blockSize);
        std::printf ("best = fastest of many %d-sample runs (thread CPU time), median in brackets; share = stereo at 96 kHz\n"
                     "(2 channels x 96000 samples/s x best ns) as a part of one core\n\n", 4 * blockSize);
        std::printf ("%-18s %22s %22s %10s %8s\n", "kernel", "plain best (median)", "cond. best (median)", "vs scalar", "share");

        double scalar = 0.0;
        for (auto kernel : RT_LSTM::availableKernels())
        {
            RT_LSTM::setKernel (kernel);
            const bool slow = kernel == LstmKernel::reference;
            const auto plainNs = nsPerSample (*plain, input, false, slow ? 12 : 150);
            const auto condNs = nsPerSample (*conditioned, input, true, slow ? 12 : 150);
            if (slow)
                scalar = plainNs.bestNs;

            const double share = 2.0 * sampleRate * plainNs.bestNs * 1e-9 * 100.0;
            std::printf ("%-18s %10.1f (%9.1f) %10.1f (%9.1f) %9.1fx %7.1f%%%s\n", RT_LSTM::kernelName (kernel),
                         plainNs.bestNs, plainNs.medianNs, condNs.bestNs, condNs.medianNs,
                         scalar > 0.0 ? scalar / plainNs.bestNs : 0.0, share,
                         kernel == RT_LSTM::bestKernel() ? "  default" : "");
            std::fflush (stdout);
        }
        RT_LSTM::setKernel (active);

#if defined(__SSE__)
        _mm_setcsr (savedCsr);
#endif
    }
}

BRIMSTACK3_BENCH ("lstm kernels", lstmKernels);
