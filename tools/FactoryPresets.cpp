// Writes the factory preset set through the real processor and preset manager, so every file holds
// exactly the state tree the plug-in itself would save.
//
//   brimstack3-factory-presets [output folder]
//   brimstack3-factory-presets --check [folder]
//
// Default folder: the presets/ folder of the source tree. --check writes the set to a temporary
// folder and fails when any file of the given folder differs from it (a stale preset set). Presets of the category "Factory" go to
// the folder's root, the others to one sub-folder per category. Files not in the table below are
// left alone; running it twice gives identical bytes.

#include "engine/GuipluginAudioProcessor.h"
#include "engine/Parameters.h"
#include "presets/ProcessorPresetManager.h"

#include <iostream>

namespace
{
enum class Tube { T, P1, P2 };

struct FactoryPreset
{
    const char* category;
    const char* name;
    Tube tube;
    bool overDrive;
    float drive;
    float output;      // < 0: Link on, Output follows Drive as the editor couples them
    float dryMix;      // percent processed
    float highPass;
    float lowPass;
    float inputTrim;
    float outputTrim;
    bool ultra;
};

constexpr float linked = -1.0f;

// Drive is the gain into the tube network, Output its make-up; with Link on the pair sums to 0.7889
// so louder drive comes back down at the output.
const FactoryPreset factoryPresets[] = {
    //  category     name                tube      OD     drive  output  mix    HP     LP       in    out   ultra
    { "Factory",  "Clean Warmth",     Tube::T,  false, 0.18f, linked, 100.0f,  20.0f, 20000.0f, 0.0f,  0.0f, false },
    { "Factory",  "Tube Crunch",      Tube::P1, true,  0.42f, linked, 100.0f,  30.0f, 18000.0f, 0.0f,  0.0f, false },
    { "Factory",  "Full Drive",       Tube::P2, true,  0.70f, linked, 100.0f,  40.0f, 14000.0f, 0.0f, -1.5f, true },

    { "Drums",    "Room Smash",       Tube::P2, true,  0.65f, 0.35f,   45.0f,  40.0f, 18000.0f, 0.0f,  0.0f, false },
    { "Drums",    "Snare Bite",       Tube::P1, true,  0.45f, linked, 100.0f,  80.0f, 16000.0f, 0.0f,  0.0f, false },
    { "Drums",    "Kick Weight",      Tube::T,  false, 0.30f, linked, 100.0f,  20.0f, 12000.0f, 2.0f,  0.0f, false },

    { "Bass",     "DI Growl",         Tube::P1, true,  0.50f, linked,  70.0f,  25.0f, 16000.0f, 0.0f,  0.0f, false },
    { "Bass",     "Round Sub",        Tube::T,  false, 0.22f, linked, 100.0f,  20.0f,  9000.0f, 0.0f,  0.0f, false },
    { "Bass",     "Pick Grit",        Tube::P2, true,  0.55f, linked, 100.0f,  45.0f, 15000.0f, 0.0f, -1.0f, false },

    { "Vocals",   "Gentle Air",       Tube::T,  false, 0.15f, linked, 100.0f,  90.0f, 20000.0f, 0.0f,  0.0f, true },
    { "Vocals",   "Radio Voice",      Tube::P2, true,  0.60f, linked, 100.0f, 200.0f,  8000.0f, 0.0f, -3.0f, false },
    { "Vocals",   "Rock Edge",        Tube::P1, true,  0.38f, linked, 100.0f, 100.0f, 17000.0f, 0.0f,  0.0f, false },

    { "Mix Bus",  "Glue Warmth",      Tube::T,  false, 0.12f, linked,  60.0f,  20.0f, 20000.0f, 0.0f,  0.0f, true },
    { "Mix Bus",  "Tape Glow",        Tube::P1, false, 0.25f, linked, 100.0f,  20.0f, 16000.0f, 0.0f,  0.0f, true },
    { "Mix Bus",  "Parallel Heat",    Tube::P2, true,  0.50f, 0.45f,   30.0f,  25.0f, 18000.0f, 0.0f,  0.0f, true },

    { "Guitar",   "Edge Of Breakup",  Tube::T,  true,  0.32f, linked, 100.0f,  60.0f, 16000.0f, 0.0f,  0.0f, false },
    { "Guitar",   "Crunch Rhythm",    Tube::P1, true,  0.55f, linked, 100.0f,  80.0f, 12000.0f, 0.0f,  0.0f, false },
    { "Guitar",   "Lead Sustain",     Tube::P2, true,  0.78f, linked, 100.0f,  70.0f, 11000.0f, 0.0f, -2.0f, false },
};

void set (juce::AudioProcessorValueTreeState& state, const char* id, float value)
{
    auto* parameter = state.getParameter (id);
    jassert (parameter != nullptr);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

void apply (juce::AudioProcessorValueTreeState& state, const FactoryPreset& preset)
{
    // Everything from the defaults, so nothing carries over from the previous preset.
    for (const auto& spec : Parameters::all)
        set (state, spec.id, spec.defaultValue);

    namespace ID = Parameters::ID;
    const auto maxDrive = Parameters::find (ID::drive)->end;

    set (state, ID::typeT, preset.tube == Tube::T ? 1.0f : 0.0f);
    set (state, ID::typeP1, preset.tube == Tube::P1 ? 1.0f : 0.0f);
    set (state, ID::typeP2, preset.tube == Tube::P2 ? 1.0f : 0.0f);
    set (state, ID::overDrive, preset.overDrive ? 1.0f : 0.0f);
    set (state, ID::drive, preset.drive);
    set (state, ID::link, preset.output < 0.0f ? 1.0f : 0.0f);
    set (state, ID::output, preset.output < 0.0f ? maxDrive - preset.drive : preset.output);
    set (state, ID::dryMix, preset.dryMix);
    set (state, ID::highPass, preset.highPass);
    set (state, ID::lowPass, preset.lowPass);
    set (state, ID::inputTrim, preset.inputTrim);
    set (state, ID::outputTrim, preset.outputTrim);
    set (state, ID::ultra, preset.ultra ? 1.0f : 0.0f);
    set (state, ID::power, 0.0f);
}
} // namespace

namespace
{
// Writes every preset of the table below outputFolder; returns the number of failures.
int writeFactoryPresets (const juce::File& outputFolder, bool verbose)
{
    // The processor writes its default preset into its preset root: keep that out of the user's
    // documents folder.
    const juce::TemporaryFile scratchRoot;
    const auto previousRoot = ProcessorPresetManager::setDefaultPresetRootForTesting (scratchRoot.getFile());
    int failures = 0;

    {
        GuipluginAudioProcessor processor;
        auto& manager = *processor.presetManager;

        for (const auto& preset : factoryPresets)
        {
            apply (*processor.treeState, preset);

            const juce::String category (preset.category);
            const auto folder = category == "Factory" ? outputFolder : outputFolder.getChildFile (category);
            const auto file = folder.getChildFile (juce::String (preset.name) + manager.presetExtension);

            if (ProcessorPresetManager::isValidPresetName (preset.name) && manager.savePresetInternal (file))
            {
                if (verbose)
                    std::cout << file.getRelativePathFrom (outputFolder) << "\n";
            }
            else
            {
                std::cerr << "cannot write " << file.getFullPathName() << "\n";
                ++failures;
            }
        }
    }

    scratchRoot.getFile().deleteRecursively();
    ProcessorPresetManager::setDefaultPresetRootForTesting (previousRoot);
    return failures;
}

int checkFactoryPresets (const juce::File& folder)
{
    const juce::TemporaryFile fresh;

    if (writeFactoryPresets (fresh.getFile(), false) != 0)
        return 1;

    int stale = 0;

    for (const auto& entry : juce::RangedDirectoryIterator (fresh.getFile(), true, "*", juce::File::findFiles))
    {
        const auto relative = entry.getFile().getRelativePathFrom (fresh.getFile());
        const auto committed = folder.getChildFile (relative);

        if (! committed.existsAsFile() || ! committed.hasIdenticalContentTo (entry.getFile()))
        {
            std::cerr << "stale or missing: " << relative << "\n";
            ++stale;
        }
    }

    for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*.rcp", juce::File::findFiles))
    {
        const auto relative = entry.getFile().getRelativePathFrom (folder);

        if (! fresh.getFile().getChildFile (relative).existsAsFile())
        {
            std::cerr << "not in the factory table: " << relative << "\n";
            ++stale;
        }
    }

    fresh.getFile().deleteRecursively();

    if (stale > 0)
        std::cerr << "regenerate with brimstack3-factory-presets\n";

    return stale == 0 ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI gui;

    juce::StringArray args;

    for (int i = 1; i < argc; ++i)
        args.add (argv[i]);

    const auto check = args.contains ("--check");
    args.removeString ("--check");

    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith ("-")))
    {
        std::cerr << "usage: brimstack3-factory-presets [--check] [folder]\n";
        return 2;
    }

    const auto folder = args.isEmpty() ? juce::File (BRIMSTACK3_SOURCE_PRESETS_DIR)
                                       : juce::File::getCurrentWorkingDirectory().getChildFile (args[0]);

    if (check)
        return checkFactoryPresets (folder);

    return writeFactoryPresets (folder, true) == 0 ? 0 : 1;
}
