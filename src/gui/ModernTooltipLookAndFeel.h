#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Large white-on-black tooltips, readable on a scaled-down editor.
class ModernTooltipLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ~ModernTooltipLookAndFeel() override;

    juce::Rectangle<int> getTooltipBounds (const juce::String& text, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;

    // The box for a text of the given measured width and line height (font height 50).
    static juce::Rectangle<int> boxFor (int textWidth, float fontHeight, juce::Point<int> screenPos,
                                        juce::Rectangle<int> parentArea) noexcept;

    static juce::Font tooltipFont() { return juce::Font (50.0f, juce::Font::plain); }

private:
    JUCE_LEAK_DETECTOR (ModernTooltipLookAndFeel)
};
