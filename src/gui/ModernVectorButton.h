#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A dark rounded tile with an icon drawn in code; the preset bar's save, delete and step buttons.
class ModernVectorButton : public juce::Button
{
public:
    explicit ModernVectorButton (const juce::String& buttonName);
    ~ModernVectorButton() override;

    void paintButton (juce::Graphics&, bool highlighted, bool down) override;
    virtual void drawIcon (juce::Graphics&, juce::Rectangle<float> area, bool isDown) = 0;

    static constexpr float cornerSize = 8.0f;

    // Where the icon goes on a w x h tile; a pressed tile moves its icon one pixel down.
    static juce::Rectangle<float> iconAreaFor (float w, float h, bool down) noexcept;

    // Tile colour: hover lighter, pressed darkest.
    static juce::Colour fillFor (bool mouseOver, bool down) noexcept;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModernVectorButton)
};

class ModernNavButton : public ModernVectorButton
{
public:
    using ModernVectorButton::ModernVectorButton;
    ~ModernNavButton() override;
    void drawIcon (juce::Graphics&, juce::Rectangle<float> area, bool isDown) override;

    bool isNext = false;
};

class ModernSaveButton : public ModernVectorButton
{
public:
    using ModernVectorButton::ModernVectorButton;
    ~ModernSaveButton() override;
    void drawIcon (juce::Graphics&, juce::Rectangle<float> area, bool isDown) override;
};

class ModernDeleteButton : public ModernVectorButton
{
public:
    using ModernVectorButton::ModernVectorButton;
    ~ModernDeleteButton() override;
    void drawIcon (juce::Graphics&, juce::Rectangle<float> area, bool isDown) override;
};
