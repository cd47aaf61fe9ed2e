#include "presets/ProcessorPresetManager.h"
#include "PresetTestProcessor.h"

#include <gtest/gtest.h>

namespace
{
struct ManagerFixture : ::testing::Test
{
    ManagerFixture()
    {
        manager.setFileChooserAllowed (false);
    }

    juce::String name() const { return manager.getCurrentPresetName(); }

    juce::MemoryBlock stateBytes()
    {
        juce::MemoryBlock block;
        processor.getStateInformation (block);
        return block;
    }

    static juce::ValueTree readTree (const juce::File& file)
    {
        juce::FileInputStream in (file);
        return juce::ValueTree::readFromStream (in);
    }

    ScratchFolder scratch;
    PresetTestProcessor processor;
    ProcessorPresetManager manager { processor, processor.treeState, "Preset_Has_Been_Modified",
                                     "Current_Selected_Preset", scratch.folder.getChildFile ("Presets"), ".rcp" };
};
} // namespace

TEST_F (ManagerFixture, SavedUserPresetCarriesItsNameAndLoadsBack)
{
    processor.setDrive (0.5f);
    processor.treeState.state.setProperty ("Preset_Has_Been_Modified", true, nullptr);

    ASSERT_TRUE (manager.saveUserPreset ("Warm"));

    const auto file = manager.presetFolder.getChildFile ("User/Warm.rcp");
    ASSERT_TRUE (file.existsAsFile());
    EXPECT_EQ (name(), "Warm");
    EXPECT_FALSE (manager.isPresetModified());

    const auto stored = readTree (file);
    EXPECT_EQ (stored["Current_Selected_Preset"].toString(), "Warm");
    EXPECT_FALSE (static_cast<bool> (stored["Preset_Has_Been_Modified"]));

    // Renamed on disk, changed in memory: loading restores the values and the stored name.
    const auto renamed = file.getSiblingFile ("Renamed.rcp");
    ASSERT_TRUE (file.moveFileTo (renamed));
    processor.setDrive (0.1f);
    processor.treeState.state.setProperty ("Current_Selected_Preset", "Other", nullptr);

    ASSERT_TRUE (manager.loadPreset (renamed));
    EXPECT_NEAR (processor.drive(), 0.5f, 1e-4f);
    EXPECT_EQ (name(), "Warm");
    EXPECT_EQ (manager.getDisplayText(), "Warm");
}

TEST_F (ManagerFixture, SavingOverAnExistingPresetReplacesItWholeAndLeavesNoTemporaryFile)
{
    const auto target = scratch.file ("Presets/User/Warm.rcp", juce::String::repeatedString ("old state ", 2000));

    ASSERT_TRUE (manager.saveUserPreset ("Warm"));

    juce::MemoryBlock written;
    ASSERT_TRUE (target.loadFileAsData (written));
    EXPECT_EQ (written, stateBytes());

    const auto leftovers = target.getParentDirectory().findChildFiles (juce::File::findFiles, false, "*");
    EXPECT_EQ (leftovers.size(), 1);
}

TEST_F (ManagerFixture, FailedSaveKeepsNameAndFlag)
{
    processor.treeState.state.setProperty ("Preset_Has_Been_Modified", true, nullptr);
    const auto blocker = scratch.file ("NotAFolder");

    EXPECT_FALSE (manager.savePresetInternal (blocker.getChildFile ("Warm.rcp")));
    EXPECT_FALSE (manager.savePresetInternal (scratch.folder)); // a directory, never a preset
    EXPECT_EQ (name(), "Default");
    EXPECT_TRUE (manager.isPresetModified());
}

TEST_F (ManagerFixture, UnportableNamesAreRefusedAndWriteNothing)
{
    const char* refused[] = { "", "a/b", "a\\b", "..", "up..", ".hidden", "Trailing.", "Trailing ", "   ",
                              "Tab\tName", "What?", "A*", "x:y", "<b>", "pipe|", "quote\"", "CON", "con", "nul.txt",
                              "Com1", "LPT9 ", "AUX.rcp" };

    for (const auto* bad : refused)
    {
        EXPECT_FALSE (ProcessorPresetManager::isValidPresetName (bad)) << '"' << bad << '"';
        EXPECT_FALSE (manager.saveUserPreset (bad)) << '"' << bad << '"';
    }

    EXPECT_FALSE (ProcessorPresetManager::isValidPresetName (juce::String::repeatedString ("a", 201)));
    EXPECT_FALSE (manager.getUserFolder().exists());
    EXPECT_EQ (name(), "Default");

    for (const auto* good : { "Warm", "Lead 2", " Leading space", "Con Fuoco", "COM10", "Crème brûlée", "v1.2" })
        EXPECT_TRUE (ProcessorPresetManager::isValidPresetName (juce::CharPointer_UTF8 (good))) << good;
}

TEST_F (ManagerFixture, UnreadableFilesLeaveTheStateUnchanged)
{
    const auto valid = stateBytes();
    juce::MemoryBlock truncated (valid.getData(), valid.getSize() / 2);
    juce::MemoryBlock trailing (valid);
    trailing.append ("junk", 4);

    juce::MemoryOutputStream otherType;
    juce::ValueTree ("SomethingElse").writeToStream (otherType);

    juce::MemoryOutputStream hugeCount; // a child count of 2^31 - 1 with nothing behind it
    hugeCount.write ("Brimstack3", 11);
    hugeCount.writeByte (0);
    hugeCount.writeCompressedInt (std::numeric_limits<int>::max());

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "empty", {} },
        { "text", juce::MemoryBlock ("not a preset", 12) },
        { "truncated", truncated },
        { "trailing bytes", trailing },
        { "other tree type", otherType.getMemoryBlock() },
        { "corrupt count", hugeCount.getMemoryBlock() },
        { "over 1 MiB", juce::MemoryBlock ((size_t) ProcessorPresetManager::maxPresetFileBytes + 1, true) },
    };

    processor.setDrive (0.3f);

    for (const auto& [label, bytes] : cases)
    {
        const auto file = scratch.folder.getChildFile (juce::String (label) + ".rcp");
        ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize())) << label;

        EXPECT_FALSE (manager.loadPreset (file)) << label;
        EXPECT_NEAR (processor.drive(), 0.3f, 1e-4f) << label;
        EXPECT_EQ (name(), "Default") << label;
    }

    EXPECT_FALSE (manager.loadPreset (scratch.folder.getChildFile ("missing.rcp")));
    EXPECT_FALSE (manager.loadPreset ({}));
}

TEST_F (ManagerFixture, DeleteRemovesTheFirstMatchInFlatOrderAndClearsTheName)
{
    const auto inUser = scratch.file ("Presets/User/Warm.rcp");
    const auto inRoot = scratch.file ("Presets/Warm.rcp");
    const auto other = scratch.file ("Presets/Bass/warm.rcp"); // case differs: not a match

    processor.treeState.state.setProperty ("Current_Selected_Preset", "Warm", nullptr);
    processor.treeState.state.setProperty ("Preset_Has_Been_Modified", true, nullptr);

    ASSERT_TRUE (manager.deleteCurrentPreset());
    EXPECT_FALSE (inUser.exists());
    EXPECT_TRUE (inRoot.exists());
    EXPECT_TRUE (other.exists());
    EXPECT_EQ (name(), "");
    EXPECT_FALSE (manager.isPresetModified());

    // Empty name, then a name matching no file: nothing happens.
    EXPECT_FALSE (manager.deleteCurrentPreset());
    processor.treeState.state.setProperty ("Current_Selected_Preset", "Nowhere", nullptr);
    EXPECT_FALSE (manager.deleteCurrentPreset());
    EXPECT_TRUE (inRoot.exists());
    EXPECT_EQ (name(), "Nowhere");
}

TEST_F (ManagerFixture, DefaultPresetIsWrittenOnceAndNeverRewritten)
{
    const auto defaultFile = manager.presetFolder.getChildFile ("Default.rcp");

    ASSERT_TRUE (manager.ensureDefaultPreset());
    ASSERT_TRUE (defaultFile.existsAsFile());
    EXPECT_EQ (readTree (defaultFile)["Current_Selected_Preset"].toString(), "Default");

    defaultFile.replaceWithText ("edited by hand");
    processor.setDrive (0.7f);
    EXPECT_TRUE (manager.ensureDefaultPreset());
    EXPECT_EQ (defaultFile.loadFileAsString(), "edited by hand");

    // A folder squatting on the name is left alone and reported.
    defaultFile.deleteFile();
    defaultFile.createDirectory();
    EXPECT_FALSE (manager.ensureDefaultPreset());
    EXPECT_TRUE (defaultFile.isDirectory());
}

TEST (ProcessorPresetManagerRoot, OverrideAndEnvironmentRedirectTheRoot)
{
    const auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory)
                               .getChildFile ("QuillForge/Presets/Brimstack3");
    const auto previousEnvironment = juce::SystemStats::getEnvironmentVariable ("BRIMSTACK3_PRESET_DIR", {});
    const auto restoreEnvironment = [&]
    {
        if (previousEnvironment.isEmpty())
            unsetenv ("BRIMSTACK3_PRESET_DIR");
        else
            setenv ("BRIMSTACK3_PRESET_DIR", previousEnvironment.toRawUTF8(), 1);
    };

    const auto previousOverride = ProcessorPresetManager::setDefaultPresetRootForTesting ({});
    unsetenv ("BRIMSTACK3_PRESET_DIR");
    EXPECT_EQ (ProcessorPresetManager::getDefaultPresetRoot(), documents);

    setenv ("BRIMSTACK3_PRESET_DIR", "/tmp/from-environment", 1);
    EXPECT_EQ (ProcessorPresetManager::getDefaultPresetRoot(), juce::File ("/tmp/from-environment"));

    setenv ("BRIMSTACK3_PRESET_DIR", "relative/path", 1);
    EXPECT_EQ (ProcessorPresetManager::getDefaultPresetRoot(), documents);

    ProcessorPresetManager::setDefaultPresetRootForTesting (juce::File ("/tmp/from-test"));
    EXPECT_EQ (ProcessorPresetManager::getDefaultPresetRoot(), juce::File ("/tmp/from-test"));

    ProcessorPresetManager::setDefaultPresetRootForTesting (previousOverride);
    restoreEnvironment();
}
