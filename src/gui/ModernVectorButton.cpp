#include "gui/ModernVectorButton.h"

namespace
{
    const juce::Colour iconIdle { 0xE6FFFFFF };
    constexpr float barThickness = 2.5f;
}

ModernVectorButton::ModernVectorButton (const juce::String& buttonName)
    : juce::Button (buttonName)
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

ModernVectorButton::~ModernVectorButton() = default;

juce::Rectangle<float> ModernVectorButton::iconAreaFor (float w, float h, bool down) noexcept
{
    const auto inset = 0.25f * w;
    return { inset, down ? inset + 1.0f : inset, juce::jmax (w - 2.0f * inset, 0.0f), juce::jmax (h - 2.0f * inset, 0.0f) };
}

juce::Colour ModernVectorButton::fillFor (bool mouseOver, bool down) noexcept
{
    if (down)
        return juce::Colour (0xFF232323);
    return mouseOver ? juce::Colour (0xFF454545) : juce::Colour (0xFF2A2A2A);
}

void ModernVectorButton::paintButton (juce::Graphics& g, bool, bool down)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto fill = fillFor (isMouseOver (false), down);

    if (! down)
    {
        g.setColour (juce::Colour (0x33000000));
        g.fillRoundedRectangle (0.0f, 2.0f, w, h, cornerSize);
    }

    g.setColour (fill);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, cornerSize);

    g.setColour (juce::Colour (0x1AFFFFFF));
    g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f), cornerSize, 0.5f);

    drawIcon (g, iconAreaFor (w, h, down), down);
}

//==============================================================================
ModernNavButton::~ModernNavButton() = default;

void ModernNavButton::drawIcon (juce::Graphics& g, juce::Rectangle<float> area, bool)
{
    const auto cx = area.getCentreX(), cy = area.getCentreY();
    const auto hw = area.getWidth() * 0.45f * 0.5f;
    const auto hh = area.getHeight() * 0.8f * 0.5f;

    juce::Path chevron;
    if (isNext)
    {
        chevron.startNewSubPath (cx - hw, cy - hh);
        chevron.lineTo (cx + hw, cy);
        chevron.lineTo (cx - hw, cy + hh);
    }
    else
    {
        chevron.startNewSubPath (cx + hw, cy - hh);
        chevron.lineTo (cx - hw, cy);
        chevron.lineTo (cx + hw, cy + hh);
    }

    g.setColour (isMouseOver (false) ? juce::Colour (0xFF2196F3) : iconIdle);
    g.strokePath (chevron, juce::PathStrokeType (2.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

ModernSaveButton::~ModernSaveButton() = default;

void ModernSaveButton::drawIcon (juce::Graphics& g, juce::Rectangle<float> area, bool)
{
    const auto cx = area.getCentreX(), cy = area.getCentreY();
    const auto length = area.getWidth() * 0.8f;
    const auto half = barThickness * 0.5f;

    g.setColour (isMouseOver (false) ? juce::Colour (0xFF4CAF50) : iconIdle);
    g.fillRoundedRectangle (cx - half, cy - length * 0.5f, barThickness, length, half);
    g.fillRoundedRectangle (cx - length * 0.5f, cy - half, length, barThickness, half);
}

ModernDeleteButton::~ModernDeleteButton() = default;

void ModernDeleteButton::drawIcon (juce::Graphics& g, juce::Rectangle<float> area, bool)
{
    const auto cx = area.getCentreX(), cy = area.getCentreY();
    const auto length = area.getWidth() * 0.8f;
    const auto half = barThickness * 0.5f;

    g.setColour (isMouseOver (false) ? juce::Colour (0xFFF44336) : iconIdle);
    g.fillRoundedRectangle (cx - length * 0.5f, cy - half, length, barThickness, half);
}
