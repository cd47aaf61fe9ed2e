#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class GuipluginAudioProcessor;

class GuipluginAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit GuipluginAudioProcessorEditor (GuipluginAudioProcessor&);
    ~GuipluginAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    GuipluginAudioProcessor& processorRef;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GuipluginAudioProcessorEditor)
};
