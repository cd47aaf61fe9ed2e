#pragma once

#include <juce_graphics/juce_graphics.h>

#include <utility>

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
        const char* resource;   // the embedded file's name in BinaryData
        int width, height, frames;
    };

    // Every picture with the size and frame count the editor relies on.
    inline constexpr Entry all[] = {
        { "background", background, "panel_png", 2551, 1028, 1 },
        { "driveKnob", driveKnob, "knob_drive_png", 399, 24512, 64 },
        { "outputKnob", outputKnob, "knob_output_png", 371, 24384, 64 },
        { "mixKnob", mixKnob, "knob_mix_png", 371, 24384, 64 },
        { "smallKnob", smallKnob, "knob_small_png", 192, 11392, 64 },
        { "tubeGlow", tubeGlow, "tube_glow_png", 302, 28032, 64 },
        { "overDriveLever", overDriveLever, "switch_overdrive_png", 220, 558, 2 },
        { "typeTKey", typeTKey, "key_T_png", 203, 384, 2 },
        { "typeP1Key", typeP1Key, "key_P1_png", 203, 384, 2 },
        { "typeP2Key", typeP2Key, "key_P2_png", 203, 384, 2 },
        { "linkLamp", linkLamp, "lamp_link_png", 145, 282, 2 },
        { "ultraLamp", ultraLamp, "lamp_ultra_png", 145, 282, 2 },
        { "powerLamp", powerLamp, "lamp_power_png", 206, 412, 2 },
        { "logo", logo, "logo_png", 92, 86, 1 },
    };

    // The embedded PNG bytes of an entry, for measuring a decode outside the cache.
    std::pair<const void*, size_t> pngData (const Entry&);
}
