#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Draws a text button as the logo picture alone: dimmed at rest, full on hover, darker when pressed.
class WebsiteButtonLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ~WebsiteButtonLookAndFeel() override;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& background,
                               bool highlighted, bool down) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool highlighted, bool down) override;

    static float opacityFor (bool highlighted, bool down) noexcept { return down ? 0.6f : (highlighted ? 1.0f : 0.7f); }

    juce::Image image;

private:
    JUCE_LEAK_DETECTOR (WebsiteButtonLookAndFeel)
};
