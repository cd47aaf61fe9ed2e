#include "presets/DimmedOverlay2.h"

#include "presets/DimmedOverlay.h"

void DimmedOverlay2::paint (juce::Graphics& g)
{
    if (const auto alpha = DimmedOverlay::alphaByteFor (dimAlpha); alpha != 0)
        g.fillAll (juce::Colours::black.withAlpha (alpha));
}

void DimmedOverlay2::mouseDown (const juce::MouseEvent&)
{
    if (onClick)
        onClick();
}
