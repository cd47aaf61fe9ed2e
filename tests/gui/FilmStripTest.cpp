#include "gui/EditorImages.h"
#include "gui/FilmStripComponent.h"
#include "gui/FilmStripKnobLookAndFeel.h"

#include <gtest/gtest.h>

#include <cmath>

TEST (FilmStrip, GlowFrameFollowsTheValue)
{
    struct Case { float value; int frame; };
    const Case cases[] = {
        { 0.0f, 0 }, { 0.5f, 32 }, { 0.999f, 63 }, { 1.0f, 63 }, { 2.0f, 63 }, { -0.3f, 0 },
        { 1.0f / 64.0f, 1 }, { std::nanf (""), 0 },
    };
    for (auto c : cases)
        EXPECT_EQ (FilmStripComponent::frameIndexFor (c.value, 64), c.frame) << c.value;

    EXPECT_EQ (FilmStripComponent::frameIndexFor (0.7f, 0), 0);
}

TEST (FilmStrip, PaintsTheFrameOfTheCurrentValue)
{
    // A 4-frame strip whose frames are flat grey levels; the component shows exactly one of them.
    juce::Image strip (juce::Image::ARGB, 2, 8, false);
    for (int frame = 0; frame < 4; ++frame)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                strip.setPixelAt (x, frame * 2 + y, juce::Colour::greyLevel (0.25f * float (frame)));

    std::atomic<float> level { 0.0f };
    FilmStripComponent glow (level);
    glow.image = strip;
    glow.numFrames = 4;
    glow.setSize (2, 2);

    for (auto [value, frame] : { std::pair { 0.0f, 0 }, { 0.6f, 2 }, { 5.0f, 3 } })
    {
        level = value;
        juce::Image out (juce::Image::ARGB, 2, 2, true);
        juce::Graphics g (out);
        glow.paintEntireComponent (g, false);
        EXPECT_EQ (out.getPixelAt (1, 1), strip.getPixelAt (1, frame * 2 + 1)) << value;
    }
}

TEST (FilmStrip, KnobFrameIsRoundedUpFromTheValue)
{
    struct Case { double value, min, max; int frame; };
    const Case cases[] = {
        { 0.0, 0.0, 0.7889, 0 },                       // bottom
        { 0.0001, 0.0, 0.7889, 1 },                    // one interval above the bottom
        { 0.7889 / 2, 0.0, 0.7889, 32 },               // middle: ceil (31.5)
        { 0.7889, 0.0, 0.7889, 63 },                   // top
        { -12.0, -12.0, 12.0, 0 }, { 12.0, -12.0, 12.0, 63 }, { 0.0, -12.0, 12.0, 32 },
        { 20000.0, 8000.0, 20000.0, 63 },
        { 50.0, 100.0, 100.0, 0 },                     // empty range draws the first frame
    };
    for (auto c : cases)
        EXPECT_EQ (FilmStripKnobLookAndFeel::frameIndexFor (c.value, c.min, c.max), c.frame) << c.value;
}

TEST (FilmStrip, KnobDrawsOneFrameOfItsStrip)
{
    // 64 one-pixel frames, frame n painted with level n: the drawn pixel names the frame.
    juce::Image strip (juce::Image::RGB, 1, 64, false);
    for (int frame = 0; frame < 64; ++frame)
        strip.setPixelAt (0, frame, juce::Colour ((juce::uint8) frame, 0, 0));

    CustomLookAndFeel2A lookAndFeel;
    lookAndFeel.image = strip;
    juce::Slider knob (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
    knob.setRange (0.0, 0.7889, 0.0001);
    knob.setLookAndFeel (&lookAndFeel);
    knob.setSize (1, 1);

    for (auto [value, frame] : { std::pair { 0.0, 0 }, { 0.0001, 1 }, { 0.39445, 32 }, { 0.7889, 63 } })
    {
        knob.setValue (value, juce::dontSendNotification);
        juce::Image out (juce::Image::RGB, 1, 1, true);
        juce::Graphics g (out);
        knob.paintEntireComponent (g, false);
        EXPECT_EQ (out.getPixelAt (0, 0).getRed(), frame) << value;
    }
    knob.setLookAndFeel (nullptr);
}

TEST (FilmStrip, EmbeddedPicturesHaveTheirSizesAndWholeFrames)
{
    for (auto& entry : EditorImages::all)
    {
        const auto image = entry.load();
        ASSERT_TRUE (image.isValid()) << entry.name;
        EXPECT_EQ (image.getWidth(), entry.width) << entry.name;
        EXPECT_EQ (image.getHeight(), entry.height) << entry.name;
        EXPECT_EQ (image.getHeight() % entry.frames, 0) << entry.name;
    }
}

namespace
{
    float meanBrightness (const juce::Image& image, juce::Rectangle<int> area)
    {
        double sum = 0.0;
        for (int y = area.getY(); y < area.getBottom(); y += 2)
            for (int x = area.getX(); x < area.getRight(); x += 2)
            {
                const auto c = image.getPixelAt (x, y);
                sum += c.getBrightness() * c.getFloatAlpha();
            }
        return float (sum / (area.getWidth() / 2.0 * area.getHeight() / 2.0));
    }
}

TEST (FilmStrip, ArtworkStatesAreInTheHalvesTheSwitchesExpect)
{
    // Retro switches show "on" from the upper half, Machine keys from the lower half. Power's
    // lamp is lit while its parameter is off (processing), so its upper half is the dark one.
    struct Case { const char* name; juce::Image image; bool upperIsLit; };
    const Case cases[] = {
        { "link", EditorImages::linkLamp(), true },
        { "ultra", EditorImages::ultraLamp(), true },
        { "power", EditorImages::powerLamp(), false },
        { "typeT", EditorImages::typeTKey(), false },
        { "typeP1", EditorImages::typeP1Key(), false },
        { "typeP2", EditorImages::typeP2Key(), false },
    };
    for (auto& c : cases)
    {
        const auto half = c.image.getHeight() / 2;
        const auto upper = meanBrightness (c.image, { 0, 0, c.image.getWidth(), half });
        const auto lower = meanBrightness (c.image, { 0, half, c.image.getWidth(), half });
        EXPECT_EQ (upper > lower, c.upperIsLit) << c.name << " upper " << upper << " lower " << lower;
    }

    // The tube warms up frame by frame.
    const auto glow = EditorImages::tubeGlow();
    float previous = -1.0f;
    for (int frame = 0; frame < 64; frame += 9)
    {
        const auto level = meanBrightness (glow, { 0, frame * 438, 302, 438 });
        EXPECT_GT (level, previous) << frame;
        previous = level;
    }
}
