#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** Darkens the editor behind a styled dialog. */
class DimmedOverlay : public juce::Component
{
public:
    DimmedOverlay() = default;

    std::function<void()> onClick;
    float dimAlpha = 0.6f;

    /** The overlay's alpha byte: 0 at or below 0, 255 at or above 1, rounded in between. */
    static juce::uint8 alphaByteFor (float alpha) noexcept;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DimmedOverlay)
};
