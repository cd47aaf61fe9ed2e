// brimstack3-render: runs the real processor over an audio file (or the built-in demo) and reports
// what it did. The product's command-line face and the main job of `make demo`.

#include "DemoSignal.h"
#include "RenderOptions.h"

#include "engine/GuipluginAudioProcessor.h"
#include "engine/Parameters.h"
#include "presets/ProcessorPresetManager.h"

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_events/juce_events.h>

#include <chrono>
#include <iostream>

namespace
{
    int fail (const juce::String& message)
    {
        std::cerr << "brimstack3-render: " << message << std::endl;
        return 1;
    }

    juce::String levels (const juce::AudioBuffer<float>& b)
    {
        float peak = 0.0f;
        double sumSquares = 0.0;
        for (int ch = 0; ch < b.getNumChannels(); ++ch)
        {
            peak = juce::jmax (peak, b.getMagnitude (ch, 0, b.getNumSamples()));
            const auto rms = b.getRMSLevel (ch, 0, b.getNumSamples());
            sumSquares += (double) rms * rms;
        }
        const auto rms = (float) std::sqrt (sumSquares / juce::jmax (1, b.getNumChannels()));
        auto db = [] (float g) { return juce::String (juce::Decibels::gainToDecibels (g, -150.0f), 1); };
        return "peak " + db (peak) + " dBFS, RMS " + db (rms) + " dBFS";
    }

    void setParameter (GuipluginAudioProcessor& p, const RenderOptions::Setting& s)
    {
        if (auto* param = p.treeState->getParameter (s.id))
            param->setValueNotifyingHost (param->convertTo0to1 (s.value));
    }

    juce::String describeModel (GuipluginAudioProcessor& p, double rate)
    {
        auto on = [&p] (const char* id) { return p.treeState->getRawParameterValue (id)->load() != 0.0f; };
        if (on (Parameters::ID::power))
            return "Power Switch on: audio passes untouched";

        const auto type = on (Parameters::ID::typeT) ? "T" : on (Parameters::ID::typeP1) ? "P1" : on (Parameters::ID::typeP2) ? "P2" : "none";
        const auto ultra = on (Parameters::ID::ultra);
        const auto oversampled = ultra || (int) rate > 44100;
        const auto modelRate = oversampled ? (rate <= 48000.0 ? rate * 2.0 : rate) : rate;
        const bool bypassed = ! oversampled && (int) rate != 44100;

        juce::String s;
        s << "tube " << type << (on (Parameters::ID::overDrive) ? " + OverDrive" : "")
          << (bypassed ? ", network passed by at this rate (enable Ultra)" : ", network at " + juce::String (modelRate / 1000.0, 1) + " kHz")
          << (ultra ? " (Ultra)" : "")
          << ", Drive " << juce::String (p.treeState->getRawParameterValue (Parameters::ID::drive)->load(), 4)
          << ", Dry Mix " << juce::String (p.treeState->getRawParameterValue (Parameters::ID::dryMix)->load(), 1) << " %";
        return s;
    }

    juce::File factoryPresetSource()
    {
        const auto exe = juce::File::getSpecialLocation (juce::File::currentExecutableFile);
        for (auto candidate : { exe.getParentDirectory().getChildFile ("../share/brimstack3/presets"),
                                juce::File (BRIMSTACK3_SOURCE_PRESETS_DIR) })
            if (candidate.isDirectory())
                return candidate;
        return {};
    }

    int installPresets (const RenderOptions& o)
    {
        const auto source = factoryPresetSource();
        if (! source.isDirectory())
            return fail ("factory presets not found next to the program or in the source tree");

        const auto target = o.installPresetsTo != juce::File() ? o.installPresetsTo : ProcessorPresetManager::getDefaultPresetRoot();
        int copied = 0;
        for (const auto& entry : juce::RangedDirectoryIterator (source, true, "*.rcp", juce::File::findFiles))
        {
            const auto dest = target.getChildFile (entry.getFile().getRelativePathFrom (source));
            if (! dest.getParentDirectory().createDirectory() || ! entry.getFile().copyFileTo (dest))
                return fail ("cannot write " + dest.getFullPathName());
            ++copied;
        }
        std::cout << "installed " << copied << " factory presets into " << target.getFullPathName() << std::endl;
        return 0;
    }

    void progress (int64_t done, int64_t total)
    {
        const int width = 40;
        const auto filled = (int) (width * done / juce::jmax ((int64_t) 1, total));
        std::cerr << "\r[" << std::string ((size_t) filled, '#') << std::string ((size_t) (width - filled), '.') << "] "
                  << (int) (100 * done / juce::jmax ((int64_t) 1, total)) << "%" << std::flush;
    }
}

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juceInit;

    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    juce::String error;
    const auto parsed = RenderOptions::parse (args, error);
    if (! parsed)
        return fail (error + "\n" + RenderOptions::usage());

    const auto& o = *parsed;
    if (o.showHelp)
    {
        std::cout << RenderOptions::usage();
        return 0;
    }
    if (o.installPresets)
        return installPresets (o);

    // Input: a file, or the built-in demo.
    juce::AudioBuffer<float> input;
    double rate = 44100.0;
    juce::String inputName = "built-in demo (plucked guitar, 8 s)";
    const auto outputFile = o.output != juce::File() ? o.output : juce::File::getCurrentWorkingDirectory().getChildFile ("demo.wav");

    if (o.input != juce::File())
    {
        if (! o.input.existsAsFile())
            return fail ("input file not found: " + o.input.getFullPathName());

        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (o.input));
        if (reader == nullptr)
            return fail ("cannot read " + o.input.getFullPathName() + " (not a WAV or AIFF file?)");
        if (reader->numChannels < 1 || reader->numChannels > 2)
            return fail ("only mono and stereo files are supported; this one has " + juce::String (reader->numChannels) + " channels");
        if (reader->lengthInSamples > (juce::int64) std::numeric_limits<int>::max() / 2)
            return fail ("input file is too long");

        rate = reader->sampleRate;
        input.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (&input, 0, input.getNumSamples(), 0, true, true);
        inputName = o.input.getFileName();
    }
    else
        input = DemoSignal::render (rate);

    const auto numChannels = input.getNumChannels();

    auto processor = std::make_unique<GuipluginAudioProcessor>();
    const auto set = numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    if (! processor->setBusesLayout ({ { set }, { set } }))
        return fail ("the processor refused a " + set.getDescription() + " layout");

    if (o.stateFile != juce::File())
    {
        juce::MemoryBlock bytes;
        if (! o.stateFile.loadFileAsData (bytes))
            return fail ("cannot read state file " + o.stateFile.getFullPathName());
        if (! ProcessorPresetManager::isWellFormedState (bytes.getData(), bytes.getSize(), {}))
            return fail ("not a Brimstack3 state: " + o.stateFile.getFullPathName());
        processor->setStateInformation (bytes.getData(), (int) bytes.getSize());
    }
    if (o.presetFile != juce::File())
    {
        processor->presetManager->setFileChooserAllowed (false);
        if (! o.presetFile.existsAsFile() || ! processor->presetManager->loadPreset (o.presetFile))
            return fail ("cannot load preset " + o.presetFile.getFullPathName());
    }

    size_t nextSetting = 0;
    while (nextSetting < o.settings.size() && o.settings[nextSetting].seconds <= 0.0)
        setParameter (*processor, o.settings[nextSetting++]);

    processor->setNonRealtime (true);
    processor->prepareToPlay (rate, o.blockSize);

    const auto latency = processor->getLatencySamples();
    const auto skip = o.compensateLatency ? latency : 0;
    const auto total = (int64_t) input.getNumSamples() + skip;

    juce::AudioBuffer<float> output (numChannels, input.getNumSamples());
    juce::AudioBuffer<float> block (numChannels, o.blockSize);
    juce::MidiBuffer midi;

    std::cout << "brimstack3-render: " << inputName << " -> " << outputFile.getFileName() << std::endl;
    std::cout << "  " << describeModel (*processor, rate) << std::endl;

    const bool showProgress = input.getNumSamples() > rate * 30.0;
    const auto started = std::chrono::steady_clock::now();

    for (int64_t pos = 0; pos < total; pos += o.blockSize)
    {
        const auto length = (int) juce::jmin ((int64_t) o.blockSize, total - pos);

        // Automation lands on the block that contains its time.
        while (nextSetting < o.settings.size() && o.settings[nextSetting].seconds * rate < (double) (pos + length))
            setParameter (*processor, o.settings[nextSetting++]);

        block.setSize (numChannels, length, false, false, true);
        block.clear();
        const auto available = (int) juce::jlimit ((int64_t) 0, (int64_t) length, (int64_t) input.getNumSamples() - pos);
        for (int ch = 0; ch < numChannels && available > 0; ++ch)
            block.copyFrom (ch, 0, input, ch, (int) pos, available);

        processor->processBlock (block, midi);

        // Drop the first `skip` samples so that the output lines up with the input.
        const auto from = juce::jmax ((int64_t) 0, skip - pos);
        const auto to = pos + from - skip;
        const auto count = (int) juce::jmin ((int64_t) length - from, (int64_t) output.getNumSamples() - to);
        for (int ch = 0; ch < numChannels && count > 0; ++ch)
            output.copyFrom (ch, (int) to, block, ch, (int) from, count);

        if (showProgress && (pos / o.blockSize) % 256 == 0)
            progress (pos, total);
    }
    if (showProgress)
        progress (total, total), std::cerr << std::endl;

    const auto seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count();
    const auto audioSeconds = input.getNumSamples() / rate;

    outputFile.deleteFile();
    auto stream = outputFile.createOutputStream();
    if (stream == nullptr)
        return fail ("cannot write " + outputFile.getFullPathName());

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), rate, (unsigned int) numChannels, 32, {}, 0));
    if (writer == nullptr)
        return fail ("cannot write a 32-bit float WAV to " + outputFile.getFullPathName());
    stream.release();
    if (! writer->writeFromAudioSampleBuffer (output, 0, output.getNumSamples()))
        return fail ("writing " + outputFile.getFullPathName() + " failed");
    writer.reset();

    std::cout << "  wrote " << outputFile.getFullPathName() << " (32-bit float)" << std::endl;
    std::cout << "done: " << juce::String (audioSeconds, 2) << " s at " << juce::String (rate / 1000.0, 1) << " kHz, "
              << numChannels << " ch, block " << o.blockSize << ", latency " << processor->getLatencySamples() << " samples"
              << (o.compensateLatency ? " (compensated)" : "") << ", "
              << juce::String (audioSeconds / juce::jmax (1.0e-9, seconds), 1) << "x real-time; in "
              << levels (input) << "; out " << levels (output) << std::endl;
    return 0;
}
