#include "gui/GuipluginAudioProcessorEditor.h"
#include "engine/GuipluginAudioProcessor.h"

GuipluginAudioProcessorEditor::GuipluginAudioProcessorEditor (GuipluginAudioProcessor& p)
    : juce::AudioProcessorEditor (p), processorRef (p)
{
    setSize (892, 359);
}

GuipluginAudioProcessorEditor::~GuipluginAudioProcessorEditor() = default;

void GuipluginAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void GuipluginAudioProcessorEditor::resized() {}
