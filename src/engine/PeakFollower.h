#pragma once

#include <cmath>

// Peak envelope follower of the level meter: instant attack, exponential release.
struct PeakFollower
{
    float sampleRate = 44100.0f;
    float envelope = 0.0f;
    float attack = 1.0f;
    float release = 0.0f;
    float releaseTime = 0.1f;

    void prepare (float newSampleRate) noexcept
    {
        sampleRate = newSampleRate;
        envelope = 0.0f;
        attack = 1.0f;
        release = 1.0f - std::exp (-1.0f / (releaseTime * sampleRate));
    }

    float feed (float input) noexcept
    {
        const auto coefficient = input > envelope ? attack : release;
        envelope += (input - envelope) * coefficient;
        return envelope;
    }
};
