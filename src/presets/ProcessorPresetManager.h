#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <optional>

/**
    Writes and reads preset files (".rcp"): the processor's state tree in JUCE's binary
    value-tree stream, the same bytes as the host's state chunk.

    The preset root is "QuillForge/Presets/Brimstack3/" below the user's documents folder.
    Presets live at two levels: files directly in the root (shown as "Factory") and files in
    one level of category folders ("User" receives saved presets). Deeper folders are ignored.

    Tests and tools must never touch the real documents folder. getDefaultPresetRoot() is where
    the processor takes its root from, and it can be redirected in two ways (first one wins):
      - setDefaultPresetRootForTesting (file) in the same process (a default File clears it);
      - the environment variable BRIMSTACK3_PRESET_DIR, an absolute path.

    Message thread only.
*/
class ProcessorPresetManager
{
public:
    ProcessorPresetManager (juce::AudioProcessor& processor,
                            juce::AudioProcessorValueTreeState& valueTreeState,
                            juce::Identifier modifiedFlagId,
                            juce::Identifier currentPresetId,
                            juce::File presetFolder,
                            juce::String presetExtension);
    ~ProcessorPresetManager();

    /** The preset root the processor should use (see the class comment for the overrides). */
    static juce::File getDefaultPresetRoot();
    /** Returns the previous override, so a test can put it back. */
    static juce::File setDefaultPresetRootForTesting (const juce::File& root);

    /** Creates the preset folder when missing and writes the current state as "Default" when no
        such preset file exists (an existing one is never rewritten). */
    bool ensureDefaultPreset();

    /** Stamps the state with the file's name, then replaces the file atomically with the state
        bytes. On failure the file and the state's two preset properties are left as they were. */
    bool savePresetInternal (const juce::File& file);

    /** Restores the processor's state from a preset file. A missing file opens a file chooser
        when interaction is allowed (see setFileChooserAllowed). Files over maxPresetFileBytes,
        files that are not a complete state tree of the processor's type, and unreadable files
        are refused and change nothing. Returns whether the state was replaced. */
    bool loadPreset (juce::File file);

    /** Saves the current state as <root>/User/<name>.rcp, replacing a preset of that name.
        A name that is not a portable file name (see isValidPresetName) is refused. */
    bool saveUserPreset (const juce::String& name);

    /** Deletes the file of the current preset (first match in the flat order) and clears the
        current name. Does nothing when the name is empty or matches no file. */
    bool deleteCurrentPreset();

    /** True for a name that is a valid file name on Linux, Windows and macOS and that the
        catalogue will list: not empty, no path separators or "..", none of <>:"/\|?*, no control
        characters, no leading dot, no trailing dot or space, no reserved Windows device name,
        at most 200 UTF-8 bytes. */
    static bool isValidPresetName (const juce::String& name);

    /** True when the bytes are one complete value tree of the given type in JUCE's stream
        format, with every count inside the data and nothing left over. Checked before
        ValueTree::readFromStream, which trusts the counts it reads (a corrupt count can make it
        reserve gigabytes or spin for a long time). */
    static bool isWellFormedState (const void* data, size_t numBytes, const juce::Identifier& expectedType);

    /** The file chooser of loadPreset never opens while this is false, or when the process runs
        under the test environment (BRIMSTACK3_TESTING set) or without a display. */
    void setFileChooserAllowed (bool shouldAllow) noexcept { fileChooserAllowed = shouldAllow; }

    juce::String getCurrentPresetName() const;
    bool isPresetModified() const;
    /** The current name, followed by "*" while the modified flag is set. */
    juce::String getDisplayText() const;

    juce::File getUserFolder() const { return presetFolder.getChildFile ("User"); }

    static constexpr juce::int64 maxPresetFileBytes = 1024 * 1024;

    juce::AudioProcessor& processor;
    juce::AudioProcessorValueTreeState& valueTreeState;
    const juce::Identifier modifiedFlagId;
    const juce::Identifier currentPresetId;
    const juce::File presetFolder;
    const juce::String presetExtension;

private:
    bool canAskForFile() const;

    bool fileChooserAllowed = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessorPresetManager)
};
