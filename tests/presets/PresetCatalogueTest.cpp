#include "presets/ModernPresetSelectorWrapper.h"
#include "presets/ProcessorPresetManager.h"
#include "PresetTestProcessor.h"

#include <gtest/gtest.h>

namespace
{
struct CatalogueFixture : ::testing::Test
{
    CatalogueFixture()
    {
        manager.setFileChooserAllowed (false);
        root.createDirectory();
    }

    // A real preset file whose stored name is its file name.
    void writePreset (const juce::String& relativePath)
    {
        ASSERT_TRUE (manager.savePresetInternal (root.getChildFile (relativePath))) << relativePath;
    }

    void setCurrent (const juce::String& name, bool modified = false)
    {
        processor.treeState.state.setProperty ("Current_Selected_Preset", name, nullptr);
        processor.treeState.state.setProperty ("Preset_Has_Been_Modified", modified, nullptr);
    }

    juce::StringArray flatOrder() const
    {
        std::vector<juce::File> files;
        ModernPresetSelectorWrapper::collectAllPresets (root, ".rcp", files);
        juce::StringArray names;

        for (const auto& f : files)
            names.add (f.getRelativePathFrom (root));

        return names;
    }

    ScratchFolder scratch;
    juce::File root = scratch.folder.getChildFile ("Presets");
    PresetTestProcessor processor;
    ProcessorPresetManager manager { processor, processor.treeState, "Preset_Has_Been_Modified",
                                     "Current_Selected_Preset", root, ".rcp" };
};

struct Category
{
    const char* name;
    std::vector<const char*> presets;
    std::vector<int> indices;
};
} // namespace

TEST_F (CatalogueFixture, CategoriesAndFlatOrderAgreeOnEveryIndex)
{
    for (const auto* path : { "Warm.rcp", "Bass/Sub.rcp", "Bass/Growl.rcp", "Ambient/Pad.rcp",
                              "Leads.old/Lead.rcp", "Leads.old/Lead 2.rcp", "Mix/apple.rcp", "Mix/Banana.rcp",
                              "Bass/Deep/Nested.rcp", ".hidden/Ghost.rcp", "Ambient/.Pad_temp1234.rcp" })
        writePreset (path);

    scratch.file ("Presets/Empty/readme.txt");
    scratch.file ("Presets/Bass/notes.txt");

    // Categories sorted with Factory first; files sorted case-insensitively with the extension
    // ("Lead 2.rcp" before "Lead.rcp"); nested, hidden and non-preset files are not presets.
    EXPECT_EQ (flatOrder(), juce::StringArray ("Ambient/Pad.rcp", "Bass/Growl.rcp", "Bass/Sub.rcp", "Leads.old/Lead 2.rcp",
                                               "Leads.old/Lead.rcp", "Mix/apple.rcp", "Mix/Banana.rcp", "Warm.rcp"));

    int found = -2;
    const auto catalogue = ModernPresetSelectorWrapper::buildCatalogue (root, ".rcp", "Lead", found);

    const std::vector<Category> expected {
        { "Factory", { "Warm" }, { 7 } },
        { "Ambient", { "Pad" }, { 0 } },
        { "Bass", { "Growl", "Sub" }, { 1, 2 } },
        { "Leads", { "Lead 2", "Lead" }, { 3, 4 } },
        { "Mix", { "apple", "Banana" }, { 5, 6 } },
    };

    ASSERT_EQ (catalogue.size(), expected.size());
    EXPECT_EQ (found, 4);

    std::vector<juce::File> files;
    ModernPresetSelectorWrapper::collectAllPresets (root, ".rcp", files);

    for (size_t c = 0; c < expected.size(); ++c)
    {
        EXPECT_EQ (catalogue[c].name, expected[c].name);
        EXPECT_EQ (catalogue[c].presetNames, juce::StringArray (expected[c].presets.data(), (int) expected[c].presets.size()));
        EXPECT_EQ (catalogue[c].presetIndices, expected[c].indices);

        // The property the menus rely on: the index of a row names the file of that row.
        for (int j = 0; j < catalogue[c].presetNames.size(); ++j)
            EXPECT_EQ (files[(size_t) catalogue[c].presetIndices[(size_t) j]].getFileNameWithoutExtension(),
                       catalogue[c].presetNames[j]);
    }
}

TEST_F (CatalogueFixture, EmptyAndMissingFoldersGiveNoCategories)
{
    for (const auto& folder : { root, scratch.folder.getChildFile ("does-not-exist") })
    {
        int found = 0;
        EXPECT_TRUE (ModernPresetSelectorWrapper::buildCatalogue (folder, ".rcp", "Default", found).empty());
        EXPECT_EQ (found, -1);
    }

    setCurrent ("Default");
    ModernPresetSelectorWrapper bar (manager);
    EXPECT_EQ (bar.getSelector().displayText, "Default");
    EXPECT_EQ (bar.getSelector().currentPresetIndex, -1);
    EXPECT_EQ (bar.getCurrentPresetIndex(), -1);

    // Stepping through an empty folder does nothing.
    bar.loadNextPreset();
    bar.loadPreviousPreset();
    EXPECT_EQ (manager.getCurrentPresetName(), "Default");
}

TEST_F (CatalogueFixture, ModifiedPresetShowsAStarAndStaysCurrent)
{
    writePreset ("Bass/Sub.rcp");
    writePreset ("Warm.rcp");
    setCurrent ("Warm", true);

    ModernPresetSelectorWrapper bar (manager);
    EXPECT_EQ (bar.getSelector().displayText, "Warm*");
    EXPECT_EQ (bar.getSelector().currentPresetIndex, 1);
}

TEST_F (CatalogueFixture, DuplicateNamesMarkTheLastButStepFromTheFirst)
{
    writePreset ("Bass/Warm.rcp");
    writePreset ("Drums/Kick.rcp");
    writePreset ("Warm.rcp");
    setCurrent ("Warm");

    ModernPresetSelectorWrapper bar (manager);
    EXPECT_EQ (bar.getSelector().currentPresetIndex, 2); // the root's Warm, last in flat order
    EXPECT_EQ (bar.getCurrentPresetIndex(), 0);          // Bass/Warm, first in flat order

    bar.loadNextPreset();
    EXPECT_EQ (manager.getCurrentPresetName(), "Kick");
}

TEST_F (CatalogueFixture, SteppingWrapsAroundBothWays)
{
    writePreset ("A/One.rcp");
    writePreset ("B/Two.rcp");
    writePreset ("Three.rcp");

    ModernPresetSelectorWrapper bar (manager);

    struct Step { const char* from; int direction; const char* to; };
    const Step steps[] = {
        { "One", 1, "Two" },    { "Three", 1, "One" },    { "Nowhere", 1, "One" },  { "", 1, "One" },
        { "Two", -1, "One" },   { "One", -1, "Three" },   { "Nowhere", -1, "Three" },
    };

    for (const auto& step : steps)
    {
        setCurrent (step.from);
        step.direction > 0 ? bar.loadNextPreset() : bar.loadPreviousPreset();
        EXPECT_EQ (manager.getCurrentPresetName(), step.to) << step.from << " " << step.direction;
        EXPECT_EQ (bar.getSelector().displayText, step.to);
    }
}

TEST_F (CatalogueFixture, ChosenIndexLoadsThatFileAndOutOfRangeLoadsNothing)
{
    writePreset ("Bass/Sub.rcp");
    processor.setDrive (0.6f);
    writePreset ("Warm.rcp");
    processor.setDrive (0.1f);
    setCurrent ("Sub");

    int loadedCalls = 0;
    ModernPresetSelectorWrapper bar (manager, [&] { ++loadedCalls; });

    // The menus hand their index to the selector's callback.
    bar.getSelector().onPresetSelected (1);
    EXPECT_EQ (manager.getCurrentPresetName(), "Warm");
    EXPECT_NEAR (processor.drive(), 0.6f, 1e-4f);
    EXPECT_EQ (bar.getSelector().displayText, "Warm");
    EXPECT_EQ (bar.getSelector().currentPresetIndex, 1);
    EXPECT_EQ (loadedCalls, 1);

    for (const auto index : { -1, 2, 99 })
    {
        bar.loadPresetAtIndex (index);
        EXPECT_EQ (manager.getCurrentPresetName(), "Warm") << index;
    }

    EXPECT_EQ (loadedCalls, 4); // the callback and the refresh run even when nothing loads
}

TEST_F (CatalogueFixture, BarFollowsAPresetNameChangedFromOutside)
{
    writePreset ("Warm.rcp");
    writePreset ("Cold.rcp");
    setCurrent ("Warm");

    ModernPresetSelectorWrapper bar (manager);
    EXPECT_EQ (bar.getSelector().displayText, "Warm");

    // As a host restoring a project would: the state changes, nobody calls refresh.
    setCurrent ("Cold", true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (700);

    EXPECT_EQ (bar.getSelector().displayText, "Cold*");
    EXPECT_EQ (bar.getSelector().currentPresetIndex, 0);
}
