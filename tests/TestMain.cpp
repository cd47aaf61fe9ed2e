#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // Components, timers and image decoding want the message manager; no window is opened.
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
