#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The drawn 60 x 60 icon of a styled dialog: 1 save, 2 delete, 3 and 4 warning, 5 info;
    any other kind draws only the dark disc. */
class DialogIconComponent : public juce::Component
{
public:
    explicit DialogIconComponent (juce::int32 kind) : iconType (kind) {}

    juce::int32 getIconType() const noexcept { return iconType; }

    void paint (juce::Graphics&) override;

private:
    juce::int32 iconType;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogIconComponent)
};
