#include "engine/GuipluginAudioProcessor.h"
#include "engine/Parameters.h"
#include "presets/ModernPresetSelectorWrapper.h"
#include "presets/ProcessorPresetManager.h"
#include "PresetTestProcessor.h"

#include <gtest/gtest.h>

namespace
{
juce::File factoryPresetFolder()
{
    return juce::File (BRIMSTACK3_MODELS_DIR).getSiblingFile ("presets");
}
} // namespace

TEST (FactoryPresets, CategoriesOfTheShippedSet)
{
    int found = 0;
    const auto catalogue = ModernPresetSelectorWrapper::buildCatalogue (factoryPresetFolder(), ".rcp", {}, found);

    juce::StringArray names;

    for (const auto& category : catalogue)
    {
        names.add (category.name);
        EXPECT_GE (category.presetNames.size(), 3) << category.name;
    }

    EXPECT_EQ (names, juce::StringArray ("Factory", "Bass", "Drums", "Guitar", "Mix Bus", "Vocals"));
}

// Catches a preset set that no longer matches the processor (renamed or re-ranged parameters,
// a changed state type) and hand edits that break a file.
TEST (FactoryPresets, EveryPresetLoadsIntoTheProcessorUnderItsOwnName)
{
    ScratchFolder scratch;
    const auto previousRoot = ProcessorPresetManager::setDefaultPresetRootForTesting (scratch.folder);

    {
        GuipluginAudioProcessor processor;
        auto& manager = *processor.presetManager;
        manager.setFileChooserAllowed (false);

        std::vector<juce::File> presets;
        ModernPresetSelectorWrapper::collectAllPresets (factoryPresetFolder(), ".rcp", presets);
        ASSERT_GE (presets.size(), 12u);

        const auto value = [&] (const char* id) { return processor.treeState->getRawParameterValue (id)->load(); };

        for (const auto& file : presets)
        {
            const auto label = file.getRelativePathFrom (factoryPresetFolder());
            ASSERT_TRUE (manager.loadPreset (file)) << label;
            EXPECT_EQ (manager.getCurrentPresetName(), file.getFileNameWithoutExtension()) << label;
            EXPECT_FALSE (manager.isPresetModified()) << label;

            const auto tubes = value (Parameters::ID::typeT) + value (Parameters::ID::typeP1) + value (Parameters::ID::typeP2);
            EXPECT_EQ (tubes, 1.0f) << label;
            EXPECT_EQ (value (Parameters::ID::power), 0.0f) << label;

            if (value (Parameters::ID::link) > 0.5f)
            {
                EXPECT_NEAR (value (Parameters::ID::drive) + value (Parameters::ID::output), 0.7889f, 2e-4f) << label;
            }

            for (const auto& spec : Parameters::all)
                EXPECT_TRUE (juce::isPositiveAndNotGreaterThan (value (spec.id) - spec.start, spec.end - spec.start))
                    << label << " " << spec.id;
        }
    }

    ProcessorPresetManager::setDefaultPresetRootForTesting (previousRoot);
}
