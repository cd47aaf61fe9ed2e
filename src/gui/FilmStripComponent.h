#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <cstdint>

// Shows a value published by the audio thread as one frame of a vertical film strip.
// The owner assigns image and numFrames, then starts the timer.
class FilmStripComponent : public juce::Component,
                           public juce::Timer
{
public:
    explicit FilmStripComponent (std::atomic<float>& valueToShow);
    ~FilmStripComponent() override;

    void paint (juce::Graphics&) override;
    void timerCallback() override;

    // 0 -> first frame, 1 and above -> last frame, each frame an equal slice of 0..1.
    static int frameIndexFor (float value, std::uint64_t frameCount) noexcept;

    std::atomic<float>& value;
    juce::Image image;
    std::uint64_t numFrames = 0;
    float opacity = 1.0f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilmStripComponent)
};
