#include "presets/DimmedOverlay2.h"

#include "presets/DimmedOverlay.h"

void DimmedOverlay2::paint (juce::Graphics& g)
{
    if (const auto alpha = DimmedOverlay::alphaByteFor (dimAlpha); alpha != 0)
        g.fillAll (juce::Colours::black.withAlpha (alpha));
}

void DimmedOverlay2::mouseDown (const juce::MouseEvent&)
{
    // A copy: the usual handler closes the browser, which deletes this overlay and its onClick.
    if (auto callback = onClick)
        callback();
}
