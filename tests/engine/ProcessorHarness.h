#pragma once

#include "engine/GuipluginAudioProcessor.h"
#include "engine/Parameters.h"

#include <cmath>
#include <functional>
#include <memory>

// Small helpers for driving the real processor in tests.
namespace harness
{
    inline void set (GuipluginAudioProcessor& p, const char* id, float value)
    {
        auto* param = p.treeState->getParameter (id);
        param->setValueNotifyingHost (param->convertTo0to1 (value));
    }

    inline float get (GuipluginAudioProcessor& p, const char* id)
    {
        return p.treeState->getRawParameterValue (id)->load();
    }

    inline std::unique_ptr<GuipluginAudioProcessor> make (int numChannels = 2)
    {
        auto p = std::make_unique<GuipluginAudioProcessor>();
        if (numChannels == 1)
            p->setBusesLayout ({ { juce::AudioChannelSet::mono() }, { juce::AudioChannelSet::mono() } });
        return p;
    }

    // A sine of `frequency` at `amplitude` on every channel, continuing from sample `offset`.
    inline void fillSine (juce::AudioBuffer<float>& b, double rate, double frequency, float amplitude, int64_t offset)
    {
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            for (int i = 0; i < b.getNumSamples(); ++i)
                b.setSample (ch, i, amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * frequency * (double) (offset + i) / rate));
    }

    // Processes `numSamples` of a sine in blocks; `beforeBlock(index)` may change parameters.
    // Returns the whole output.
    inline juce::AudioBuffer<float> render (GuipluginAudioProcessor& p, double rate, int blockSize, int numSamples,
                                            double frequency = 220.0, float amplitude = 0.25f,
                                            const std::function<void (int)>& beforeBlock = {})
    {
        const auto channels = p.getTotalNumOutputChannels();
        juce::AudioBuffer<float> out (channels, numSamples), block (channels, blockSize);
        juce::MidiBuffer midi;
        int index = 0;
        for (int pos = 0; pos < numSamples; pos += blockSize, ++index)
        {
            const auto n = juce::jmin (blockSize, numSamples - pos);
            block.setSize (channels, n, false, false, true);
            fillSine (block, rate, frequency, amplitude, pos);
            if (beforeBlock)
                beforeBlock (index);
            p.processBlock (block, midi);
            for (int ch = 0; ch < channels; ++ch)
                out.copyFrom (ch, pos, block, ch, 0, n);
        }
        return out;
    }

    inline bool allFinite (const juce::AudioBuffer<float>& b)
    {
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
            for (int i = 0; i < b.getNumSamples(); ++i)
                if (! std::isfinite (b.getSample (ch, i)))
                    return false;
        return true;
    }
}
