#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// The smallest processor whose state handling matches the product's: the whole state tree in
// JUCE's binary stream, restored only when it decodes as a valid tree.
class PresetTestProcessor : public juce::AudioProcessor
{
public:
    PresetTestProcessor()
        : treeState (*this, nullptr, "Brimstack3", createLayout())
    {
        treeState.state.setProperty ("Current_Selected_Preset", "Default", nullptr);
        treeState.state.setProperty ("Preset_Has_Been_Modified", false, nullptr);
    }

    static juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
    {
        return { std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "driveKnob", 1 }, "Drive",
                                                              juce::NormalisableRange<float> (0.0f, 0.7889f, 0.0001f), 0.2344f),
                 std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "typeTbutton", 1 }, "TypeT", true) };
    }

    float drive() const { return treeState.getRawParameterValue ("driveKnob")->load(); }
    void setDrive (float value)
    {
        auto* p = treeState.getParameter ("driveKnob");
        p->setValueNotifyingHost (p->convertTo0to1 (value));
    }

    void getStateInformation (juce::MemoryBlock& block) override
    {
        juce::MemoryOutputStream out (block, false);
        treeState.state.writeToStream (out);
    }

    void setStateInformation (const void* data, int size) override
    {
        juce::MemoryInputStream in (data, (size_t) size, false);
        auto tree = juce::ValueTree::readFromStream (in);

        if (tree.isValid())
            treeState.state = tree;
    }

    const juce::String getName() const override { return "PresetTest"; }
    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    juce::AudioProcessorValueTreeState treeState;
};

// A fresh folder under the system temp directory, removed with the fixture.
struct ScratchFolder
{
    ScratchFolder()
        : folder (juce::File::createTempFile ("brimstack3-presets"))
    {
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File file (const juce::String& relativePath, const juce::String& content = "x") const
    {
        auto f = folder.getChildFile (relativePath);
        f.getParentDirectory().createDirectory();
        f.replaceWithText (content);
        return f;
    }

    juce::File folder;
};
