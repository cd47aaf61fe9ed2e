#pragma once

#include <juce_graphics/juce_graphics.h>

// The editor's embedded pictures, decoded through the image cache (editors share them).
namespace EditorImages
{
    juce::Image background();
    juce::Image driveKnob();
    juce::Image outputKnob();
    juce::Image mixKnob();
    juce::Image smallKnob();
    juce::Image tubeGlow();
    juce::Image overDriveLever();
    juce::Image typeTKey();
    juce::Image typeP1Key();
    juce::Image typeP2Key();
    juce::Image linkLamp();
    juce::Image ultraLamp();
    juce::Image powerLamp();
    juce::Image logo();

    // Decodes every picture not yet in the image cache, several at once: the strips take most of
    // an editor's first opening, and each decodes independently. Message thread.
    void decodeAll();

    struct Entry
    {
        const char* name;
        juce::Image (*load)();
        int width, height, frames;
    };

    // Every picture with the size and frame count the editor relies on.
    inline constexpr Entry all[] = {
        { "background", background, 2551, 1028, 1 },
        { "driveKnob", driveKnob, 399, 24512, 64 },
        { "outputKnob", outputKnob, 371, 24384, 64 },
        { "mixKnob", mixKnob, 371, 24384, 64 },
        { "smallKnob", smallKnob, 192, 11392, 64 },
        { "tubeGlow", tubeGlow, 302, 28032, 64 },
        { "overDriveLever", overDriveLever, 220, 558, 2 },
        { "typeTKey", typeTKey, 203, 384, 2 },
        { "typeP1Key", typeP1Key, 203, 384, 2 },
        { "typeP2Key", typeP2Key, 203, 384, 2 },
        { "linkLamp", linkLamp, 145, 282, 2 },
        { "ultraLamp", ultraLamp, 145, 282, 2 },
        { "powerLamp", powerLamp, 206, 412, 2 },
        { "logo", logo, 92, 86, 1 },
    };
}
