#include "gui/Machinetogglebutton.h"

Machinetogglebutton::~Machinetogglebutton() = default;

juce::Rectangle<int> Machinetogglebutton::sourceFor (const juce::Image& strip, bool on) noexcept
{
    const auto half = strip.getHeight() / 2;
    return { 0, on ? half : 0, strip.getWidth(), half };
}

void Machinetogglebutton::paintButton (juce::Graphics& g, bool, bool)
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
