#include "presets/DimmedOverlay.h"

juce::uint8 DimmedOverlay::alphaByteFor (float alpha) noexcept
{
    if (! (alpha > 0.0f))
        return 0;

    if (alpha >= 1.0f)
        return 255;

    return (juce::uint8) juce::roundToInt (alpha * 255.0f);
}

void DimmedOverlay::paint (juce::Graphics& g)
{
    if (const auto alpha = alphaByteFor (dimAlpha); alpha != 0)
        g.fillAll (juce::Colours::black.withAlpha (alpha));
}

void DimmedOverlay::mouseDown (const juce::MouseEvent&)
{
    // A copy: the handler may delete this overlay, and its onClick with it.
    if (auto callback = onClick)
        callback();
}
