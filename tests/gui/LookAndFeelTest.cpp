#include "gui/Machinetogglebutton.h"
#include "gui/ModernTooltipLookAndFeel.h"
#include "gui/ModernVectorButton.h"
#include "gui/Retrotogglebutton.h"
#include "gui/WebsiteButtonLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
    const juce::Rectangle<int> screen { 0, 0, 1920, 1080 };
}

TEST (TooltipLookAndFeel, BoxSizes)
{
    ModernTooltipLookAndFeel lookAndFeel;

    // A short text gets the minimum width of 152 and one 50-pixel line.
    const auto drive = lookAndFeel.getTooltipBounds ("Drive", { 500, 500 }, screen);
    EXPECT_EQ (drive.getWidth(), 200);
    EXPECT_EQ (drive.getHeight(), 82);

    struct Case { int textWidth; int boxW, boxH; };
    const Case cases[] = {
        { 10, 200, 82 }, { 152, 200, 82 }, { 300, 348, 82 }, { 552, 600, 82 },
        { 553, 600, 132 },     // just over one line
        { 1200, 600, 182 },    // three lines
    };
    for (auto c : cases)
    {
        const auto box = ModernTooltipLookAndFeel::boxFor (c.textWidth, 50.0f, { 500, 500 }, screen);
        EXPECT_EQ (box.getWidth(), c.boxW) << c.textWidth;
        EXPECT_EQ (box.getHeight(), c.boxH) << c.textWidth;
    }
}

TEST (TooltipLookAndFeel, BoxStaysBesideThePointerInsideTheScreen)
{
    struct Case { juce::Point<int> pointer; juce::Point<int> expected; };
    const Case cases[] = {
        { { 500, 500 }, { 515, 403 } },     // right of and above the pointer
        { { 1900, 500 }, { 1685, 403 } },   // near the right edge: left of the pointer
        { { 500, 40 }, { 515, 55 } },       // near the top: below the pointer
        { { 100, 500 }, { 115, 403 } },
    };
    for (auto c : cases)
        EXPECT_EQ (ModernTooltipLookAndFeel::boxFor (10, 50.0f, c.pointer, screen).getPosition(), c.expected)
            << c.pointer.toString();

    // Too wide for either side of the pointer: pinned 5 pixels inside the left edge.
    EXPECT_EQ (ModernTooltipLookAndFeel::boxFor (552, 50.0f, { 300, 500 }, { 0, 0, 700, 1080 }).getX(), 5);
}

TEST (VectorButton, PressedTileIsDarkestAndItsIconMovesDown)
{
    const auto rest = ModernVectorButton::iconAreaFor (81.0f, 81.0f, false);
    EXPECT_FLOAT_EQ (rest.getX(), 20.25f);
    EXPECT_FLOAT_EQ (rest.getY(), 20.25f);
    EXPECT_FLOAT_EQ (rest.getWidth(), 40.5f);
    EXPECT_FLOAT_EQ (ModernVectorButton::iconAreaFor (81.0f, 81.0f, true).getY(), 21.25f);

    EXPECT_EQ (ModernVectorButton::fillFor (false, false), juce::Colour (0xFF2A2A2A));
    EXPECT_EQ (ModernVectorButton::fillFor (true, false), juce::Colour (0xFF454545));
    EXPECT_EQ (ModernVectorButton::fillFor (true, true), juce::Colour (0xFF232323));
}

TEST (VectorButton, IconsDrawInsideTheirTile)
{
    ModernNavButton next ("Next Preset");
    next.isNext = true;
    ModernSaveButton save ("Save Preset");
    ModernDeleteButton remove ("Delete Preset");

    for (juce::Button* b : { (juce::Button*) &next, (juce::Button*) &save, (juce::Button*) &remove })
    {
        b->setSize (81, 81);
        juce::Image out (juce::Image::ARGB, 81, 81, true);
        juce::Graphics g (out);
        b->paintEntireComponent (g, false);
        // Tile colour away from the icon, a light icon inside the middle half.
        EXPECT_EQ (out.getPixelAt (10, 70).getRed(), 0x2A) << b->getName();
        float brightest = 0.0f;
        for (int y = 20; y < 61; ++y)
            for (int x = 20; x < 61; ++x)
                brightest = juce::jmax (brightest, out.getPixelAt (x, y).getBrightness());
        EXPECT_GT (brightest, 0.8f) << b->getName();
    }
}

TEST (TwoStateSwitches, PickTheirHalfOfTheStrip)
{
    const juce::Image strip (juce::Image::ARGB, 145, 282, true);
    EXPECT_EQ (Retrotogglebutton::sourceFor (strip, true), juce::Rectangle<int> (0, 0, 145, 141));
    EXPECT_EQ (Retrotogglebutton::sourceFor (strip, false), juce::Rectangle<int> (0, 141, 145, 141));
    EXPECT_EQ (Machinetogglebutton::sourceFor (strip, true), juce::Rectangle<int> (0, 141, 145, 141));
    EXPECT_EQ (Machinetogglebutton::sourceFor (strip, false), juce::Rectangle<int> (0, 0, 145, 141));
}

TEST (TwoStateSwitches, WithoutAPictureTheyFillWithTheButtonColour)
{
    Retrotogglebutton retro;
    retro.setSize (4, 4);
    retro.setColour (juce::TextButton::buttonColourId, juce::Colours::red);
    juce::Image out (juce::Image::ARGB, 4, 4, true);
    {
        juce::Graphics g (out);
        retro.paintEntireComponent (g, false);
    }
    EXPECT_EQ (out.getPixelAt (2, 2), juce::Colours::red);
}

TEST (WebsiteButton, LogoSitsUnscaledInTheMiddle)
{
    WebsiteButtonLookAndFeel lookAndFeel;
    lookAndFeel.image = juce::Image (juce::Image::ARGB, 92, 86, true);
    lookAndFeel.image.clear (lookAndFeel.image.getBounds(), juce::Colours::white);

    juce::TextButton info;
    info.setLookAndFeel (&lookAndFeel);
    info.setSize (130, 130);
    juce::Image out (juce::Image::ARGB, 130, 130, true);
    {
        juce::Graphics g (out);
        info.paintEntireComponent (g, false);
    }
    info.setLookAndFeel (nullptr);

    EXPECT_EQ (out.getPixelAt (10, 65).getAlpha(), 0);           // left of the 92-pixel logo
    EXPECT_NEAR (out.getPixelAt (65, 65).getFloatAlpha(), 0.7f, 0.01f); // resting opacity
}
