#include "gui/EditorImages.h"

#include "BinaryData.h"

#define BRIMSTACK3_IMAGE(function, resource) \
    juce::Image EditorImages::function() { return juce::ImageCache::getFromMemory (BinaryData::resource, BinaryData::resource##Size); }

BRIMSTACK3_IMAGE (background, panel_png)
BRIMSTACK3_IMAGE (driveKnob, knob_drive_png)
BRIMSTACK3_IMAGE (outputKnob, knob_output_png)
BRIMSTACK3_IMAGE (mixKnob, knob_mix_png)
BRIMSTACK3_IMAGE (smallKnob, knob_small_png)
BRIMSTACK3_IMAGE (tubeGlow, tube_glow_png)
BRIMSTACK3_IMAGE (overDriveLever, switch_overdrive_png)
BRIMSTACK3_IMAGE (typeTKey, key_T_png)
BRIMSTACK3_IMAGE (typeP1Key, key_P1_png)
BRIMSTACK3_IMAGE (typeP2Key, key_P2_png)
BRIMSTACK3_IMAGE (linkLamp, lamp_link_png)
BRIMSTACK3_IMAGE (ultraLamp, lamp_ultra_png)
BRIMSTACK3_IMAGE (powerLamp, lamp_power_png)
BRIMSTACK3_IMAGE (logo, logo_png)

#undef BRIMSTACK3_IMAGE
