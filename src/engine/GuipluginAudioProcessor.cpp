#include "engine/GuipluginAudioProcessor.h"

GuipluginAudioProcessor::GuipluginAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
}

GuipluginAudioProcessor::~GuipluginAudioProcessor() = default;

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new GuipluginAudioProcessor();
}
