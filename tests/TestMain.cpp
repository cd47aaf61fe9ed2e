#include "presets/ProcessorPresetManager.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // Components, timers and image decoding want the message manager; no window is opened.
    juce::ScopedJuceInitialiser_GUI juce;

    // Every processor a test builds writes its default preset: keep that out of the user's
    // documents folder.
    // Unique per process: CTest runs test cases side by side.
    const auto presetRoot = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                .getChildFile ("brimstack3-tests-presets-" + juce::Uuid().toString());
    ProcessorPresetManager::setDefaultPresetRootForTesting (presetRoot);

    const auto result = RUN_ALL_TESTS();
    presetRoot.deleteRecursively();
    return result;
}
