#include "presets/ModernPresetSelectorWrapper.h"

#include "presets/PresetFolder.h"
#include "presets/ProcessorPresetManager.h"

ModernPresetSelectorWrapper::ModernPresetSelectorWrapper (ProcessorPresetManager& manager,
                                                          std::function<void()> onLoaded)
    : onPresetLoaded (std::move (onLoaded)),
      presetManager (&manager)
{
    addAndMakeVisible (selector);
    selector.onPresetSelected = [this] (int index) { loadPresetAtIndex (index); };
    refresh();
    startTimer (500);
}

ModernPresetSelectorWrapper::~ModernPresetSelectorWrapper()
{
    stopTimer();
}

void ModernPresetSelectorWrapper::collectAllPresets (const juce::File& folder, const juce::String& extension,
                                                     std::vector<juce::File>& result)
{
    PresetFolder::collectAllPresets (folder, extension, result);
}

std::vector<ModernPresetMenu::CategoryItem> ModernPresetSelectorWrapper::buildCatalogue (const juce::File& folder,
                                                                                         const juce::String& extension,
                                                                                         const juce::String& comparisonName,
                                                                                         int& foundIndex)
{
    // Counts in exactly the order of PresetFolder::collectAllPresets, so every index in the
    // catalogue names the file the flat order holds at that position.
    foundIndex = -1;
    int counter = 0;

    const auto fill = [&] (ModernPresetMenu::CategoryItem& category, const juce::File& source)
    {
        for (const auto& file : PresetFolder::listPresetFiles (source, extension))
        {
            const auto name = file.getFileNameWithoutExtension();
            category.presetNames.add (name);
            category.presetIndices.push_back (counter);

            if (name == comparisonName)
                foundIndex = counter; // the last match wins

            ++counter;
        }
    };

    std::vector<ModernPresetMenu::CategoryItem> categories;

    for (const auto& subFolder : PresetFolder::listCategoryFolders (folder))
    {
        ModernPresetMenu::CategoryItem category;
        category.name = subFolder.getFileNameWithoutExtension();
        fill (category, subFolder);

        if (! category.presetNames.isEmpty())
            categories.push_back (std::move (category));
    }

    ModernPresetMenu::CategoryItem factory;
    factory.name = "Factory";
    fill (factory, folder);

    if (! factory.presetNames.isEmpty())
        categories.insert (categories.begin(), std::move (factory));

    return categories;
}

void ModernPresetSelectorWrapper::refresh()
{
    const auto displayText = presetManager->getDisplayText();
    int found = -1;
    auto categories = buildCatalogue (presetManager->presetFolder, presetManager->presetExtension,
                                      displayText.trimCharactersAtEnd ("*"), found);

    selector.categories = std::move (categories);
    selector.currentPresetIndex = found;
    selector.displayText = displayText;
    selector.repaint();
}

int ModernPresetSelectorWrapper::getCurrentPresetIndex() const
{
    std::vector<juce::File> presets;
    collectAllPresets (presetManager->presetFolder, presetManager->presetExtension, presets);

    const auto name = presetManager->getCurrentPresetName();

    for (size_t i = 0; i < presets.size(); ++i)
        if (presets[i].getFileNameWithoutExtension() == name)
            return (int) i;

    return -1;
}

void ModernPresetSelectorWrapper::loadPresetAtIndex (int index)
{
    // The folder may have changed since the menus were filled: scan again and range-check.
    std::vector<juce::File> presets;
    collectAllPresets (presetManager->presetFolder, presetManager->presetExtension, presets);

    if (index >= 0 && index < (int) presets.size())
        presetManager->loadPreset (presets[(size_t) index]);

    const juce::Component::SafePointer<ModernPresetSelectorWrapper> safeThis (this);

    if (onPresetLoaded)
        onPresetLoaded();

    if (safeThis != nullptr)
        refresh();
}

void ModernPresetSelectorWrapper::loadNextPreset()
{
    stepBy (1);
}

void ModernPresetSelectorWrapper::loadPreviousPreset()
{
    stepBy (-1);
}

void ModernPresetSelectorWrapper::stepBy (int direction)
{
    std::vector<juce::File> presets;
    collectAllPresets (presetManager->presetFolder, presetManager->presetExtension, presets);

    if (presets.empty())
        return;

    const auto count = (int) presets.size();
    const auto current = getCurrentPresetIndex();
    const auto target = direction > 0 ? (current + 1) % count
                                      : (current <= 0 ? count - 1 : current - 1);

    presetManager->loadPreset (presets[(size_t) target]);
    refresh();
}

void ModernPresetSelectorWrapper::resized()
{
    selector.setBounds (0, 0, getWidth(), getHeight());
}

void ModernPresetSelectorWrapper::timerCallback()
{
    const auto displayText = presetManager->getDisplayText();

    if (displayText != lastShownText)
    {
        lastShownText = displayText;
        refresh();
    }
}
