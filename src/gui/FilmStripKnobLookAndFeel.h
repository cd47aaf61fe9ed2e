#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Draws a rotary slider as one frame of a 64-frame knob strip, picked from the slider's value.
class FilmStripKnobLookAndFeel : public juce::LookAndFeel_V4
{
public:
    static constexpr int numFrames = 64;

    ~FilmStripKnobLookAndFeel() override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float position,
                           float startAngle, float endAngle, juce::Slider&) override;

    // Bottom of the range -> 0, anything above it -> 1 or later, middle -> 32, top -> 63.
    static int frameIndexFor (double value, double minimum, double maximum) noexcept;

    juce::Image image;
};

// One class per strip, so each knob family keeps its own look-and-feel object.
class CustomLookAndFeel2A : public FilmStripKnobLookAndFeel { JUCE_LEAK_DETECTOR (CustomLookAndFeel2A) };
class CustomLookAndFeel2B : public FilmStripKnobLookAndFeel { JUCE_LEAK_DETECTOR (CustomLookAndFeel2B) };
class CustomLookAndFeel2C : public FilmStripKnobLookAndFeel { JUCE_LEAK_DETECTOR (CustomLookAndFeel2C) };
class CustomLookAndFeel2G : public FilmStripKnobLookAndFeel { JUCE_LEAK_DETECTOR (CustomLookAndFeel2G) };
