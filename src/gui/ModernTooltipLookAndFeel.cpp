#include "gui/ModernTooltipLookAndFeel.h"

namespace
{
    constexpr int maxTextWidth = 552;
    constexpr int minTextWidth = 152;
    constexpr int padX = 24, padY = 16, pointerGap = 15;
}

ModernTooltipLookAndFeel::~ModernTooltipLookAndFeel() = default;

juce::Rectangle<int> ModernTooltipLookAndFeel::boxFor (int textWidth, float fontHeight, juce::Point<int> screenPos,
                                                       juce::Rectangle<int> parentArea) noexcept
{
    int textHeight = (int) fontHeight;

    if (textWidth > maxTextWidth)
    {
        const auto lines = textWidth / maxTextWidth + 1;
        textHeight = (int) (fontHeight * (float) lines);
        textWidth = maxTextWidth;
    }
    else if (textWidth < minTextWidth)
    {
        textWidth = minTextWidth;
    }

    const auto boxWidth = textWidth + 2 * padX;
    const auto boxHeight = textHeight + 2 * padY;

    auto x = screenPos.x + pointerGap;
    if (x + boxWidth > parentArea.getRight())
        x = screenPos.x - boxWidth - pointerGap;

    auto y = screenPos.y - boxHeight - pointerGap;
    if (y < parentArea.getY())
        y = screenPos.y + pointerGap;

    if (x < parentArea.getX())
        x = parentArea.getX() + 5;

    return { x, y, boxWidth, boxHeight };
}

juce::Rectangle<int> ModernTooltipLookAndFeel::getTooltipBounds (const juce::String& text, juce::Point<int> screenPos,
                                                                 juce::Rectangle<int> parentArea)
{
    const auto font = tooltipFont();
    return boxFor (font.getStringWidth (text), font.getHeight(), screenPos, parentArea);
}

void ModernTooltipLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    g.setColour (juce::Colour (0xFF000000));
    g.fillRect (0, 0, width, height);

    g.setColour (juce::Colour (0xF2FFFFFF));
    g.setFont (tooltipFont());
    g.drawFittedText (text,
                      juce::Rectangle<int> (padX, padY, juce::jmax (width - 2 * padX, 0), juce::jmax (height - 2 * padY, 0)),
                      juce::Justification::centredLeft, 5, 0.0f);
}
