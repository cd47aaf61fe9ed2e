#pragma once

#include "presets/ModernPresetSelector.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

class ProcessorPresetManager;

/**
    The data side of the preset bar: turns the preset folder into the catalogue the menus show,
    numbers every preset in the flat order (see PresetFolder), keeps the bar's text in step with
    the state's preset name and modified flag (500 ms poll), and loads the preset chosen in the
    menus or stepped to with the editor's arrows.
*/
class ModernPresetSelectorWrapper : public juce::Component,
                                    private juce::Timer
{
public:
    explicit ModernPresetSelectorWrapper (ProcessorPresetManager& manager,
                                          std::function<void()> onPresetLoaded = {});
    ~ModernPresetSelectorWrapper() override;

    /** Called after a preset chosen in the menus was loaded. */
    std::function<void()> onPresetLoaded;

    /** Rescans the preset folder and hands catalogue, current index and text to the selector. */
    void refresh();

    /** Appends the flat order of a preset root to result. */
    static void collectAllPresets (const juce::File& folder, const juce::String& extension,
                                   std::vector<juce::File>& result);

    /** Builds the catalogue: categories in sorted order with "Factory" (the root's own files)
        first; presetIndices count in flat order. foundIndex becomes the flat index of the last
        preset named comparisonName, or -1. */
    static std::vector<ModernPresetMenu::CategoryItem> buildCatalogue (const juce::File& folder,
                                                                       const juce::String& extension,
                                                                       const juce::String& comparisonName,
                                                                       int& foundIndex);

    /** Flat-order index of the first preset named like the current preset, or -1. */
    int getCurrentPresetIndex() const;

    /** Loads the preset at a flat-order index (nothing when out of range), then calls
        onPresetLoaded and refreshes. This is what choosing a preset in the menus does. */
    void loadPresetAtIndex (int index);

    /** The editor's arrow buttons: wrap around, do nothing with an empty folder. */
    void loadNextPreset();
    void loadPreviousPreset();

    ModernPresetSelector& getSelector() noexcept { return selector; }
    ProcessorPresetManager& getPresetManager() const noexcept { return *presetManager; }

    void resized() override;

private:
    void timerCallback() override;
    void stepBy (int direction);

    ModernPresetSelector selector;
    ProcessorPresetManager* presetManager;
    juce::String lastShownText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModernPresetSelectorWrapper)
};
