#include "gui/Retrotogglebutton.h"

Retrotogglebutton::~Retrotogglebutton() = default;

juce::Rectangle<int> Retrotogglebutton::sourceFor (const juce::Image& strip, bool on) noexcept
{
    const auto half = strip.getHeight() / 2;
    return { 0, on ? 0 : half, strip.getWidth(), half };
}

void Retrotogglebutton::paintButton (juce::Graphics& g, bool, bool)
{
    if (image.isNull())
    {
        const auto colour = findColour (juce::TextButton::buttonColourId);
        if (colour.getAlpha() != 0)
            g.fillAll (colour);
        return;
    }

    const auto src = sourceFor (image, getToggleState());
    g.drawImage (image, 0, 0, getWidth(), getHeight(), src.getX(), src.getY(), src.getWidth(), src.getHeight(), false);
}
