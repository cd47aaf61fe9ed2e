#include "gui/FilmStripKnobLookAndFeel.h"

#include <cmath>

FilmStripKnobLookAndFeel::~FilmStripKnobLookAndFeel() = default;

int FilmStripKnobLookAndFeel::frameIndexFor (double value, double minimum, double maximum) noexcept
{
    if (! (maximum > minimum))
        return 0;

    const auto position = (value - minimum) / (maximum - minimum) * double (numFrames - 1);

    // Rounded up, so only the very bottom of the range shows the first frame.
    return juce::jlimit (0, numFrames - 1, static_cast<int> (std::ceil (position)));
}

void FilmStripKnobLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                                 float position, float startAngle, float endAngle,
                                                 juce::Slider& slider)
{
    if (image.isNull())
    {
        juce::LookAndFeel_V4::drawRotarySlider (g, x, y, width, height, position, startAngle, endAngle, slider);
        return;
    }

    const auto index = frameIndexFor (slider.getValue(), slider.getMinimum(), slider.getMaximum());
    const auto stripHeight = image.getHeight();
    const auto sourceY = (index * stripHeight) / numFrames;
    const auto frameHeight = stripHeight / numFrames;

    g.drawImage (image, x, y, width, height, 0, sourceY, image.getWidth(), frameHeight, false);
}
