#include "gui/FilmStripComponent.h"

FilmStripComponent::FilmStripComponent (std::atomic<float>& valueToShow)
    : value (valueToShow)
{
    setInterceptsMouseClicks (false, false);
}

FilmStripComponent::~FilmStripComponent()
{
    stopTimer();
}

int FilmStripComponent::frameIndexFor (float v, std::uint64_t frameCount) noexcept
{
    if (frameCount == 0)
        return 0;

    // NaN from a broken meter shows the cold tube rather than an arbitrary frame.
    if (! (v > 0.0f))
        v = 0.0f;

    const auto last = static_cast<int> (frameCount - 1);
    const auto product = v * static_cast<float> (frameCount);

    if (product >= static_cast<float> (last))
        return last;

    return static_cast<int> (product);
}

void FilmStripComponent::paint (juce::Graphics& g)
{
    if (image.isNull() || numFrames == 0)
        return;

    const auto frameHeight = image.getHeight() / static_cast<int> (numFrames);
    if (frameHeight <= 0)
        return;

    const auto index = frameIndexFor (value.load (std::memory_order_relaxed), numFrames);

    g.setOpacity (opacity);
    g.drawImage (image, 0, 0, getWidth(), getHeight(),
                 0, index * frameHeight, image.getWidth(), frameHeight, false);
}

void FilmStripComponent::timerCallback()
{
    repaint();
}
