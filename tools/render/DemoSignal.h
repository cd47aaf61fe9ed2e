#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// A few seconds of a plucked-string riff (Karplus-Strong), synthesised here so that the demo needs
// no input file: single notes, a power chord and a decaying strum, around -14 dBFS RMS.
namespace DemoSignal
{
    juce::AudioBuffer<float> render (double sampleRate, double seconds = 8.0);
}
