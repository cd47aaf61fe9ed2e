#include "presets/DialogIconComponent.h"

void DialogIconComponent::paint (juce::Graphics& g)
{
    const auto s = juce::jmax (0.0f, (float) getWidth() - 20.0f);
    const auto t = juce::jmax (0.0f, (float) getHeight() - 20.0f);
    const auto cx = 10.0f + s / 2.0f;
    const auto cy = 10.0f + t / 2.0f;

    g.setColour (juce::Colour (0xFF1A1A1A));
    g.fillEllipse (10.0f, 10.0f, s, t);

    const auto exclamation = [&]
    {
        g.drawRoundedRectangle (10.0f + 0.15f * s, 10.0f + 0.15f * s, s - 0.3f * s, t - 0.3f * s, 6.0f, 2.5f);
        const auto r = 0.7f * s;
        g.fillRoundedRectangle (cx - 2.5f, cy - 0.25f * r, 5.0f, 0.35f * r, 2.5f);
        g.fillEllipse (cx - 3.0f, cy + 0.15f * r, 6.0f, 6.0f);
    };

    switch (iconType)
    {
        case 1: // save: a downward arrow into a tray
        {
            g.setColour (juce::Colour (0xFFCCCCCC));
            const auto r = 0.4f * s;
            juce::Path arrow;
            arrow.addRectangle (cx - 0.08f * r, cy - 0.5f * r, 0.16f * r, 0.6f * r);
            arrow.addTriangle (cx - 0.25f * r, cy, cx, cy + 0.25f * r, cx + 0.25f * r, cy);
            g.fillPath (arrow);

            juce::Path tray;
            tray.addRectangle (cx - 0.4f * r, cy + 0.15f * r, 0.8f * r, 0.35f * r);
            g.strokePath (tray, juce::PathStrokeType (2.5f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
            break;
        }

        case 2: // delete: a cross
        {
            g.setColour (juce::Colour (0xFFF0F0F0));
            const auto r = s * 0.45f * 0.7f * 0.5f;
            juce::Path cross;
            cross.startNewSubPath (cx - r, cy - r);
            cross.lineTo (cx + r, cy + r);
            cross.startNewSubPath (cx + r, cy - r);
            cross.lineTo (cx - r, cy + r);
            g.strokePath (cross, juce::PathStrokeType (3.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
            break;
        }

        case 3:
            g.setColour (juce::Colour (0xFFE0E0E0));
            exclamation();
            break;

        case 4:
            g.setColour (juce::Colour (0xFFF0F0F0));
            exclamation();
            break;

        case 5: // info: a letter i in a ring
            g.setColour (juce::Colour (0xFFD0D0D0));
            g.drawEllipse (10.0f + 0.15f * s, 10.0f + 0.15f * s, s - 0.3f * s, t - 0.3f * s, 2.5f);
            g.fillEllipse (cx - 3.0f, cy - 0.2f * s, 6.0f, 6.0f);
            g.fillRoundedRectangle (cx - 2.5f, cy - 0.05f * s, 5.0f, 0.25f * s, 2.5f);
            break;

        default:
            break; // unknown kinds keep just the disc
    }
}
