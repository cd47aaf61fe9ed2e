#include "DemoSignal.h"

#include <cmath>
#include <vector>

namespace
{
    // One plucked string: a noise burst circulating in a damped, slightly low-passed delay loop.
    void addPluck (juce::AudioBuffer<float>& out, double sampleRate, double startSeconds, double frequency,
                   float amplitude, float pan, float decay, juce::Random& random)
    {
        const auto period = juce::jmax (2, (int) std::lround (sampleRate / frequency));
        std::vector<float> loop ((size_t) period);

        // A softened pick: filtered noise, so the attack is bright but not harsh.
        float smooth = 0.0f;
        for (auto& s : loop)
        {
            smooth += 0.5f * ((random.nextFloat() * 2.0f - 1.0f) - smooth);
            s = smooth;
        }

        const auto start = (int) (startSeconds * sampleRate);
        const auto gains = std::array<float, 2> { amplitude * std::sqrt (1.0f - pan), amplitude * std::sqrt (pan) };
        size_t index = 0;
        float previous = 0.0f;

        for (int i = start; i < out.getNumSamples(); ++i)
        {
            const auto current = loop[index];
            const auto next = decay * 0.5f * (current + previous);
            previous = current;
            loop[index] = next;
            index = (index + 1) % loop.size();

            for (int ch = 0; ch < out.getNumChannels(); ++ch)
                out.addSample (ch, i, current * gains[(size_t) juce::jmin (ch, 1)]);
        }
    }

    double midiToHz (int note) { return 440.0 * std::pow (2.0, (note - 69) / 12.0); }
}

juce::AudioBuffer<float> DemoSignal::render (double sampleRate, double seconds)
{
    juce::AudioBuffer<float> out (2, (int) (sampleRate * seconds));
    out.clear();
    juce::Random random (0x6272696dLL);

    struct Note { double time; int midi; float amplitude; float pan; };
    const Note riff[] = {
        { 0.00, 40, 0.55f, 0.45f }, { 0.30, 47, 0.40f, 0.55f }, { 0.60, 52, 0.40f, 0.50f },
        { 0.90, 55, 0.35f, 0.60f }, { 1.20, 52, 0.35f, 0.40f }, { 1.50, 47, 0.40f, 0.50f },
        { 2.00, 45, 0.50f, 0.45f }, { 2.30, 52, 0.40f, 0.55f }, { 2.60, 57, 0.40f, 0.50f },
        { 2.90, 60, 0.35f, 0.60f }, { 3.20, 57, 0.35f, 0.40f }, { 3.50, 52, 0.40f, 0.50f },
    };
    for (auto& n : riff)
        addPluck (out, sampleRate, n.time, midiToHz (n.midi), n.amplitude, n.pan, 0.996f, random);

    // Power chords, then a slow strum of an open E major that rings out.
    for (auto root : { 40, 43, 45 })
    {
        const auto t = 4.0 + (root - 40) * 0.25;
        for (auto interval : { 0, 7, 12 })
            addPluck (out, sampleRate, t, midiToHz (root + interval), 0.35f, 0.5f, 0.995f, random);
    }

    int strum = 0;
    for (auto note : { 40, 47, 52, 56, 59, 64 })
        addPluck (out, sampleRate, 5.5 + 0.035 * strum++, midiToHz (note), 0.30f, 0.3f + 0.08f * (float) strum, 0.9985f, random);

    // Normalise to a -3 dBFS peak.
    const auto peak = out.getMagnitude (0, out.getNumSamples());
    if (peak > 0.0f)
        out.applyGain (juce::Decibels::decibelsToGain (-3.0f) / peak);

    // Short fade-out so the file ends in silence.
    const auto fade = (int) (0.05 * sampleRate);
    out.applyGainRamp (out.getNumSamples() - fade, fade, 1.0f, 0.0f);
    return out;
}
