#pragma once

#include <juce_core/juce_core.h>

#include <vector>

/**
    Listing of a preset folder: the one place that decides which files are presets and in which
    order they come. The catalogue, the flat order and the delete search all go through here, so an
    index reported by the menus always names the file the user clicked.

    Layout: the root's category folders in sorted order, each with its own preset files, then the
    preset files lying directly in the root ("Factory"). Folders nested below a category are not
    listed. Hidden files and folders (leading dot) are skipped: they are editor backups, temporary
    files of an interrupted save, or OS clutter, never presets.
*/
struct PresetFolder
{
    /** Case-insensitive comparison of full paths, code point by code point, with the extension
        included (so "Lead 2.rcp" sorts before "Lead.rcp"). Ties fall back to exact comparison. */
    static bool comesBefore (const juce::File& a, const juce::File& b);

    static juce::Array<juce::File> listCategoryFolders (const juce::File& root);
    static juce::Array<juce::File> listPresetFiles (const juce::File& folder, const juce::String& extension);

    /** Appends the flat order of the preset root to result. */
    static void collectAllPresets (const juce::File& root, const juce::String& extension, std::vector<juce::File>& result);
};
