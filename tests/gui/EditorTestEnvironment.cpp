#include "EditorTestSupport.h"

#include <gtest/gtest.h>

// Editors built by any test keep their window size in a temporary folder, never in the user's.
namespace
{
    juce::File& folder()
    {
        // Unique per process: CTest runs test cases side by side, and a name that merely does not
        // exist yet is picked by two processes before either creates it.
        static juce::File f = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                  .getChildFile ("brimstack3-tests-settings-" + juce::Uuid().toString());
        return f;
    }

    struct SettingsEnvironment : ::testing::Environment
    {
        void SetUp() override { GuipluginAudioProcessorEditor::setSettingsFolderForTesting (folder()); }

        void TearDown() override { folder().deleteRecursively(); }
    };

    [[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment (new SettingsEnvironment);
}

juce::File editortest::settingsFolder()
{
    return folder();
}
