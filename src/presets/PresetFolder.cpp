#include "presets/PresetFolder.h"

#include <algorithm>

namespace
{
juce::Array<juce::File> listSorted (const juce::File& folder, const juce::String& wildcard, int whatToLookFor)
{
    juce::Array<juce::File> found;

    if (! folder.isDirectory())
        return found;

    for (const auto& entry : juce::RangedDirectoryIterator (folder, false, wildcard,
                                                            whatToLookFor | juce::File::ignoreHiddenFiles,
                                                            juce::File::FollowSymlinks::yes))
        found.add (entry.getFile());

    std::sort (found.begin(), found.end(), PresetFolder::comesBefore);
    return found;
}
} // namespace

bool PresetFolder::comesBefore (const juce::File& a, const juce::File& b)
{
    const auto pathA = a.getFullPathName();
    const auto pathB = b.getFullPathName();
    const auto folded = pathA.toUpperCase().compare (pathB.toUpperCase());
    return folded != 0 ? folded < 0 : pathA.compare (pathB) < 0;
}

juce::Array<juce::File> PresetFolder::listCategoryFolders (const juce::File& root)
{
    return listSorted (root, "*", juce::File::findDirectories);
}

juce::Array<juce::File> PresetFolder::listPresetFiles (const juce::File& folder, const juce::String& extension)
{
    return listSorted (folder, "*" + extension, juce::File::findFiles);
}

void PresetFolder::collectAllPresets (const juce::File& root, const juce::String& extension, std::vector<juce::File>& result)
{
    for (const auto& category : listCategoryFolders (root))
        for (const auto& file : listPresetFiles (category, extension))
            result.push_back (file);

    for (const auto& file : listPresetFiles (root, extension))
        result.push_back (file);
}
