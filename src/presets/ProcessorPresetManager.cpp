#include "presets/ProcessorPresetManager.h"

#include "presets/PresetFolder.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace
{
juce::File& presetRootOverride()
{
    static juce::File root;
    return root;
}

// A forward-only reader over the raw bytes that never trusts a count it has not checked against
// what is left.
struct StreamCursor
{
    const juce::uint8* data;
    size_t left;

    bool readString (juce::String* result)
    {
        for (size_t i = 0; i < left; ++i)
        {
            if (data[i] == 0)
            {
                if (result != nullptr)
                    *result = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) i);

                skip (i + 1);
                return true;
            }
        }

        return false;
    }

    // A count in the stream: one size byte, then up to four little-endian bytes. Negative
    // values and anything that would not fit what is left are refused by the callers.
    bool readCount (size_t& result)
    {
        if (left < 1)
            return false;

        const auto sizeByte = data[0];
        skip (1);

        const auto numBytes = (size_t) (sizeByte & 0x7f);

        if ((sizeByte & 0x80) != 0 || numBytes > 4 || numBytes > left)
            return false;

        juce::uint32 value = 0;

        for (size_t i = 0; i < numBytes; ++i)
            value |= (juce::uint32) data[i] << (8 * i);

        skip (numBytes);

        if (value > (juce::uint32) std::numeric_limits<int>::max())
            return false;

        result = value;
        return true;
    }

    void skip (size_t n) noexcept
    {
        data += n;
        left -= n;
    }
};

bool isWellFormedValue (StreamCursor& in)
{
    size_t numBytes = 0;

    if (! in.readCount (numBytes) || numBytes > in.left)
        return false;

    if (numBytes == 0)
        return true; // a void var

    const auto marker = in.data[0];
    const auto payload = numBytes - 1;
    in.skip (numBytes);

    switch (marker)
    {
        case 1:  return payload == 4;  // int
        case 2:                        // true
        case 3:  return payload == 0;  // false
        case 4:                        // double
        case 6:  return payload == 8;  // int64
        case 5:                        // string
        case 8:  return true;          // binary
        case 9:  return payload == 0;  // undefined
        default: return false;         // arrays and unknown markers never occur in our state
    }
}

bool isWellFormedTree (StreamCursor& in, int depth, const juce::Identifier* expectedType)
{
    constexpr int maxDepth = 32;

    juce::String type;

    if (depth > maxDepth || ! in.readString (&type) || type.isEmpty())
        return false;

    if (expectedType != nullptr && type != expectedType->toString())
        return false;

    size_t numProperties = 0;

    if (! in.readCount (numProperties) || numProperties > in.left)
        return false;

    for (size_t i = 0; i < numProperties; ++i)
    {
        juce::String name;

        if (! in.readString (&name) || name.isEmpty() || ! isWellFormedValue (in))
            return false;
    }

    size_t numChildren = 0;

    if (! in.readCount (numChildren) || numChildren > in.left)
        return false;

    for (size_t i = 0; i < numChildren; ++i)
        if (! isWellFormedTree (in, depth + 1, nullptr))
            return false;

    return true;
}

// Writes next to the target, then renames over it, so a reader sees either the old preset or the
// new one, never a truncated or mixed file.
bool replaceFileAtomically (const juce::File& target, const juce::MemoryBlock& bytes)
{
    juce::TemporaryFile temp (target, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temp.getFile(), 16384);

        if (out.failedToOpen())
            return false;

        if (! out.write (bytes.getData(), bytes.getSize()))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // std::filesystem::rename replaces the target in one step (rename(2) / MoveFileEx); juce's
    // moveFileTo deletes the target first.
    std::error_code error;
    std::filesystem::rename (std::filesystem::u8path (temp.getFile().getFullPathName().toStdString()),
                             std::filesystem::u8path (target.getFullPathName().toStdString()),
                             error);
    return ! error;
}
} // namespace

ProcessorPresetManager::ProcessorPresetManager (juce::AudioProcessor& processorToUse,
                                                juce::AudioProcessorValueTreeState& stateToUse,
                                                juce::Identifier modifiedFlag,
                                                juce::Identifier currentPreset,
                                                juce::File folder,
                                                juce::String extension)
    : processor (processorToUse),
      valueTreeState (stateToUse),
      modifiedFlagId (std::move (modifiedFlag)),
      currentPresetId (std::move (currentPreset)),
      presetFolder (std::move (folder)),
      presetExtension (std::move (extension))
{
}

ProcessorPresetManager::~ProcessorPresetManager() = default;

juce::File ProcessorPresetManager::getDefaultPresetRoot()
{
    if (presetRootOverride() != juce::File())
        return presetRootOverride();

    const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("BRIMSTACK3_PRESET_DIR", {});

    if (fromEnvironment.isNotEmpty() && juce::File::isAbsolutePath (fromEnvironment))
        return juce::File (fromEnvironment);

    return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory)
        .getChildFile ("QuillForge/Presets/Brimstack3");
}

juce::File ProcessorPresetManager::setDefaultPresetRootForTesting (const juce::File& root)
{
    return std::exchange (presetRootOverride(), root);
}

bool ProcessorPresetManager::ensureDefaultPreset()
{
    if (! presetFolder.isDirectory() && ! presetFolder.createDirectory())
        return false;

    const auto defaultFile = presetFolder.getChildFile ("Default" + presetExtension);
    return defaultFile.existsAsFile() || savePresetInternal (defaultFile);
}

bool ProcessorPresetManager::savePresetInternal (const juce::File& file)
{
    if (file == juce::File() || file.isDirectory())
        return false;

    const auto folder = file.getParentDirectory();

    if (! folder.isDirectory() && ! folder.createDirectory())
    {
        jassertfalse;
        return false;
    }

    auto state = valueTreeState.state;
    const auto* oldName = state.getPropertyPointer (currentPresetId);
    const auto* oldFlag = state.getPropertyPointer (modifiedFlagId);
    const std::optional<juce::var> previousName = oldName != nullptr ? std::optional<juce::var> (*oldName) : std::nullopt;
    const std::optional<juce::var> previousFlag = oldFlag != nullptr ? std::optional<juce::var> (*oldFlag) : std::nullopt;

    // The name goes in before the bytes are taken, so the file carries its own name.
    state.setProperty (currentPresetId, file.getFileNameWithoutExtension(), nullptr);
    state.setProperty (modifiedFlagId, false, nullptr);

    // The value-tree state copies parameter values into its tree only on its timer; copyState()
    // flushes them, so a change made just before saving is not lost.
    valueTreeState.copyState();

    juce::MemoryBlock bytes;
    processor.getStateInformation (bytes);

    if (bytes.getSize() > 0 && replaceFileAtomically (file, bytes))
        return true;

    jassertfalse;

    const auto restore = [&state] (const juce::Identifier& id, const std::optional<juce::var>& value)
    {
        if (value.has_value())
            state.setProperty (id, *value, nullptr);
        else
            state.removeProperty (id, nullptr);
    };

    restore (currentPresetId, previousName);
    restore (modifiedFlagId, previousFlag);
    return false;
}

bool ProcessorPresetManager::loadPreset (juce::File file)
{
    DBG ("Loading preset " << file.getFileNameWithoutExtension());

    if (file == juce::File() || ! file.existsAsFile())
    {
        // A catalogue entry that vanished after the scan: let the user pick the file.
        if (! canAskForFile())
            return false;

        juce::FileChooser chooser ("Choose preset...", presetFolder, "*" + presetExtension);

        if (! chooser.browseForFileToOpen())
            return false;

        file = chooser.getResult();
    }

    const auto size = file.getSize();

    if (! file.existsAsFile() || size <= 0 || size > maxPresetFileBytes)
        return false;

    juce::MemoryBlock bytes;

    if (! file.loadFileAsData (bytes))
    {
        jassertfalse;
        return false;
    }

    if (bytes.getSize() > (size_t) maxPresetFileBytes
        || ! isWellFormedState (bytes.getData(), bytes.getSize(), valueTreeState.state.getType()))
        return false;

    processor.setStateInformation (bytes.getData(), (int) bytes.getSize());
    return true;
}

bool ProcessorPresetManager::saveUserPreset (const juce::String& name)
{
    if (! isValidPresetName (name))
        return false;

    const auto folder = getUserFolder();

    if (! folder.isDirectory() && ! folder.createDirectory())
    {
        jassertfalse;
        return false;
    }

    return savePresetInternal (folder.getChildFile (name + presetExtension));
}

bool ProcessorPresetManager::deleteCurrentPreset()
{
    const auto name = getCurrentPresetName();

    if (name.isEmpty())
        return false;

    std::vector<juce::File> presets;
    PresetFolder::collectAllPresets (presetFolder, presetExtension, presets);

    for (const auto& file : presets)
    {
        if (file.getFileNameWithoutExtension() != name)
            continue;

        if (! file.deleteFile())
        {
            jassertfalse;
            return false;
        }

        valueTreeState.state.setProperty (currentPresetId, juce::String(), nullptr);
        valueTreeState.state.setProperty (modifiedFlagId, false, nullptr);
        return true;
    }

    return false;
}

bool ProcessorPresetManager::isValidPresetName (const juce::String& name)
{
    if (name.isEmpty() || name.getNumBytesAsUTF8() > 200)
        return false;

    if (name.startsWithChar ('.') || name.contains ("..") || name.endsWithChar ('.') || name.endsWithChar (' '))
        return false;

    for (auto p = name.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (c < 32 || c == 127 || juce::CharPointer_ASCII ("<>:\"/\\|?*").indexOf (c) >= 0)
            return false;
    }

    // Windows refuses these device names with any extension ("CON.rcp", "com1.rcp").
    const auto stem = name.upToFirstOccurrenceOf (".", false, false).trimEnd().toUpperCase();
    static const juce::StringArray reserved { "CON", "PRN", "AUX", "NUL",
                                              "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
                                              "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9" };
    return ! reserved.contains (stem);
}

bool ProcessorPresetManager::isWellFormedState (const void* data, size_t numBytes, const juce::Identifier& expectedType)
{
    if (data == nullptr || numBytes == 0)
        return false;

    StreamCursor in { static_cast<const juce::uint8*> (data), numBytes };
    return isWellFormedTree (in, 0, expectedType.isValid() ? &expectedType : nullptr) && in.left == 0;
}

juce::String ProcessorPresetManager::getCurrentPresetName() const
{
    return valueTreeState.state.getProperty (currentPresetId).toString();
}

bool ProcessorPresetManager::isPresetModified() const
{
    return static_cast<bool> (valueTreeState.state.getProperty (modifiedFlagId));
}

juce::String ProcessorPresetManager::getDisplayText() const
{
    return getCurrentPresetName() + (isPresetModified() ? "*" : "");
}

bool ProcessorPresetManager::canAskForFile() const
{
    if (! fileChooserAllowed || juce::SystemStats::getEnvironmentVariable ("BRIMSTACK3_TESTING", {}).isNotEmpty())
        return false;

    if (! juce::MessageManager::existsAndIsCurrentThread())
        return false;

    return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
}
