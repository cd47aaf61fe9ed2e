#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

// The command line of brimstack3-render.
struct RenderOptions
{
    struct Setting
    {
        double seconds = 0.0;   // when it applies; 0 = before the first block
        juce::String id;
        float value = 0.0f;     // in the parameter's own units (dB, Hz, %, linear; switches 0/1)
    };

    juce::File input, output;   // both empty: render the embedded demo to demo.wav
    std::vector<Setting> settings;
    int blockSize = 512;
    juce::File presetFile, stateFile, installPresetsTo;
    bool compensateLatency = false;
    bool installPresets = false;
    bool showHelp = false;

    // Parses argv; on a mistake returns nothing and puts the reason in `error`.
    static std::optional<RenderOptions> parse (const juce::StringArray& args, juce::String& error);

    static juce::String usage();
};
