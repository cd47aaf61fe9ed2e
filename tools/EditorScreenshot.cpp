// Renders the whole editor offscreen to a PNG, for reviewing the artwork and the layout on a
// machine without a display.
//
//   brimstack3-screenshot --screenshot out.png [--scale 0.35|1.0] [--state file.rcp]
//                         [--set ID=VALUE ...] [--meter 0..1]
//
// --state loads a preset or state file, --set changes parameters afterwards (IDs as in the
// parameter table), --meter forces the tube glow's level. The editor's window size and the
// default preset go to a temporary folder, never to the user's.

#include "engine/GuipluginAudioProcessor.h"
#include "engine/Parameters.h"
#include "gui/EditorLayout.h"
#include "gui/GuipluginAudioProcessorEditor.h"
#include "presets/ProcessorPresetManager.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
int fail (const juce::String& message)
{
    std::cerr << "brimstack3-screenshot: " << message << "\n";
    return 1;
}

void usage()
{
    std::cerr << "usage: brimstack3-screenshot --screenshot out.png [--scale S] [--state file] "
                 "[--set ID=VALUE ...] [--meter LEVEL]\n";
}

int run (const juce::StringArray& args)
{
    juce::File output, stateFile;
    double scale = EditorLayout::defaultRatio;
    float meter = 0.0f;
    juce::StringPairArray sets;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& a = args[i];
        const auto next = [&]() -> juce::String { return i + 1 < args.size() ? args[++i] : juce::String(); };

        if (a == "--screenshot")
            output = juce::File::getCurrentWorkingDirectory().getChildFile (next());
        else if (a == "--scale")
            scale = next().getDoubleValue();
        else if (a == "--state")
            stateFile = juce::File::getCurrentWorkingDirectory().getChildFile (next());
        else if (a == "--meter")
            meter = next().getFloatValue();
        else if (a == "--set")
        {
            const auto pair = next();
            if (! pair.containsChar ('='))
                return fail ("--set wants ID=VALUE, got \"" + pair + "\"");
            sets.set (pair.upToFirstOccurrenceOf ("=", false, false), pair.fromFirstOccurrenceOf ("=", false, false));
        }
        else
        {
            usage();
            return fail ("unknown argument \"" + a + "\"");
        }
    }

    if (output == juce::File())
    {
        usage();
        return fail ("--screenshot is required");
    }
    if (scale < double (EditorLayout::minWidth) / EditorLayout::designWidth || scale > 1.0)
        return fail ("--scale must lie between 0.25 and 1.0");

    const auto scratch = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getNonexistentChildFile ("brimstack3-screenshot", "");
    scratch.createDirectory();
    ProcessorPresetManager::setDefaultPresetRootForTesting (scratch.getChildFile ("presets"));
    GuipluginAudioProcessorEditor::setSettingsFolderForTesting (scratch.getChildFile ("settings"));

    int result = 0;
    {
        GuipluginAudioProcessor processor;

        if (stateFile != juce::File())
        {
            juce::MemoryBlock bytes;
            if (! stateFile.loadFileAsData (bytes))
                return fail ("cannot read " + stateFile.getFullPathName());
            processor.setStateInformation (bytes.getData(), (int) bytes.getSize());
        }

        for (auto& id : sets.getAllKeys())
        {
            auto* parameter = processor.treeState->getParameter (id);
            if (parameter == nullptr)
                return fail ("unknown parameter \"" + id + "\"");
            const auto value = sets[id].getFloatValue();
            const auto range = processor.treeState->getParameterRange (id);
            if (value < range.start || value > range.end)
                return fail (id + " must lie in " + juce::String (range.start) + " .. " + juce::String (range.end));
            parameter->setValueNotifyingHost (range.convertTo0to1 (value));
        }

        processor.meterLevel = juce::jlimit (0.0f, 1.0f, meter);

        GuipluginAudioProcessorEditor editor (processor);
        namespace L = EditorLayout;
        editor.setSize ((int) (scale * L::designWidth), (int) (scale * L::designHeight));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (100); // attachments, preset bar

        juce::Image image (juce::Image::RGB, editor.getWidth(), editor.getHeight(), true);
        {
            juce::Graphics g (image);
            editor.paintEntireComponent (g, true);
        }

        output.deleteFile();
        juce::FileOutputStream out (output);
        if (out.failedToOpen() || ! juce::PNGImageFormat().writeImageToStream (image, out))
            result = fail ("cannot write " + output.getFullPathName());
        else
            std::cout << output.getFullPathName() << " " << image.getWidth() << "x" << image.getHeight() << "\n";
    }

    scratch.deleteRecursively();
    return result;
}
}

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));
    return run (args);
}
