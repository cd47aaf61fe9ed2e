#include "HostSandbox.h"

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // Before JUCE reads HOME: the plug-in writes its default preset into the documents folder.
    HostSandbox::enter();

    int result = 0;

    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    HostSandbox::leave();
    return result;
}
