#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A two-state picture switch whose strip shows "on" in its upper half (lamps, the OverDrive lever).
class Retrotogglebutton : public juce::ToggleButton
{
public:
    Retrotogglebutton() = default;
    ~Retrotogglebutton() override;

    void paintButton (juce::Graphics&, bool highlighted, bool down) override;

    // Source rectangle of the strip for a state: upper half when on.
    static juce::Rectangle<int> sourceFor (const juce::Image&, bool on) noexcept;

    juce::Image image;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Retrotogglebutton)
};
