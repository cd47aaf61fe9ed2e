#pragma once

#include <cmath>

// The de-click sequence of a model change, counted down one processed block at a time:
//   8, 7   fade the outgoing networks out (to 0.25, then 0.067)
//   6      fade to silence, then warm up and exchange the networks
//   5..1   fade the incoming networks in (0.067, 0.25, 0.5, 0.75, 1)
// Each block ramps sample by sample from the gain the previous block ended on to the gain of its
// own step, so the level never jumps at a block boundary.
namespace SwitchSequence
{
    inline constexpr int start = 8;
    inline constexpr int exchangeStep = 6;
    inline constexpr int fadeInFromPreparation = 3;
    inline constexpr int crossfadeLength = 512;

    // The gain a block of step s ends on.
    inline float targetGain (int step) noexcept
    {
        constexpr float pi = 3.1415927f;

        if (step >= 7)
            return (std::cos ((float) (12 - step) / 6.0f * pi) + 1.0f) * 0.5f;
        if (step == exchangeStep)
            return 0.0f;
        if (step >= 2)
            return (1.0f - std::cos ((float) (6 - step) / 6.0f * pi)) * 0.5f;
        return 1.0f;
    }
}
