// Whole-chain cost: processBlock of the real processor, stereo, 512-sample blocks, printed beside the
// bare cost of its two tube networks at the rate they run at, measured in the same run.

#include "Bench.h"

#include "engine/GuipluginAudioProcessor.h"
#include "model/RT_LSTM.h"
#include "presets/ProcessorPresetManager.h"

#include <juce_events/juce_events.h>

#include <cmath>
#include <cstdio>

namespace
{
    void setParam (GuipluginAudioProcessor& p, const char* id, float v)
    {
        auto* param = p.treeState->getParameter (id);
        param->setValueNotifyingHost (param->convertTo0to1 (v));
    }

    // Seconds of CPU per second of audio for the processor at this rate.
    double chainCost (double rate, bool ultra, int blockSize)
    {
        GuipluginAudioProcessor p;
        setParam (p, "ultraButton", ultra ? 1.0f : 0.0f);
        p.prepareToPlay (rate, blockSize);

        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;
        const int blocks = (int) (rate / blockSize); // one second of audio per timed run
        int64_t offset = 0;

        auto run = [&]
        {
            for (int k = 0; k < blocks; ++k, offset += blockSize)
            {
                for (int ch = 0; ch < 2; ++ch)
                    for (int i = 0; i < blockSize; ++i)
                        block.setSample (ch, i, 0.25f * std::sin (0.0313f * (float) (offset + i)));
                p.processBlock (block, midi);
            }
            bench::keep (block.getReadPointer (0));
        };

        return bench::bestSeconds (run, 5) * rate / (blocks * (double) blockSize);
    }

    // Seconds per second of audio for two bare networks running at modelRate.
    double networksCost (double modelRate)
    {
        RT_LSTM left, right;
        juce::MemoryBlock model;
        juce::File (BRIMSTACK3_BENCH_MODEL).loadFileAsData (model);
        left.load_json (model);
        right.load_json (model);

        constexpr int n = 1024;
        std::vector<float> buffer (n);
        for (int i = 0; i < n; ++i)
            buffer[(size_t) i] = 0.05f * std::sin (0.02f * (float) i);

        const int calls = (int) (modelRate / n);
        auto run = [&]
        {
            for (int k = 0; k < calls; ++k)
            {
                left.process (buffer.data(), buffer.data(), n);
                right.process (buffer.data(), buffer.data(), n);
            }
            bench::keep (buffer.data());
        };
        return bench::bestSeconds (run, 5) * modelRate / (calls * (double) n);
    }

    void chainBenchmark()
    {
        juce::ScopedJuceInitialiser_GUI juceInit;

        // Each processor writes its default preset: keep that out of the user's documents.
        const auto presetRoot = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("brimstack3-bench", "");
        const auto previousRoot = ProcessorPresetManager::setDefaultPresetRootForTesting (presetRoot);

        struct Case { const char* what; double rate; bool ultra; double modelRate; };
        const Case cases[] {
            { "44.1 kHz, host rate",      44100.0, false, 44100.0 },
            { "44.1 kHz, Ultra (x2)",     44100.0, true,  88200.0 },
            { "48 kHz, oversampled (x2)", 48000.0, false, 96000.0 },
            { "96 kHz, no oversampling",  96000.0, false, 96000.0 },
        };

        std::printf ("stereo, 512-sample blocks, default settings (tube T + OverDrive), kernel %s\n",
                     RT_LSTM::kernelName (RT_LSTM::activeKernel()));
        std::printf ("%-26s %12s %10s %14s %8s\n", "case", "real-time x", "% of core", "2 nets % core", "ratio");
        for (auto& c : cases)
        {
            const auto chain = chainCost (c.rate, c.ultra, 512);
            const auto nets = networksCost (c.modelRate);
            std::printf ("%-26s %12.1f %9.2f%% %13.2f%% %8.2f\n", c.what, 1.0 / chain, 100.0 * chain, 100.0 * nets, chain / nets);
        }
        std::printf ("ratio = whole chain / its two networks alone at the rate they run at\n");
        ProcessorPresetManager::setDefaultPresetRootForTesting (previousRoot);
        presetRoot.deleteRecursively();
    }
}

BRIMSTACK3_BENCH ("chain", chainBenchmark);
