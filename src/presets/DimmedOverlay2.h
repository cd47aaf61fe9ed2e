#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** Darkens the editor behind the open preset browser; a press on it closes the browser. */
class DimmedOverlay2 : public juce::Component
{
public:
    DimmedOverlay2() = default;

    std::function<void()> onClick;
    float dimAlpha = 0.6f;

    void paint (juce::Graphics&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DimmedOverlay2)
};
