#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A two-state picture key whose strip shows "off" in its upper half (the tube-type keys).
class Machinetogglebutton : public juce::ToggleButton
{
public:
    Machinetogglebutton() = default;
    ~Machinetogglebutton() override;

    void paintButton (juce::Graphics&, bool highlighted, bool down) override;

    // Source rectangle of the strip for a state: lower half when on.
    static juce::Rectangle<int> sourceFor (const juce::Image&, bool on) noexcept;

    juce::Image image;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Machinetogglebutton)
};
