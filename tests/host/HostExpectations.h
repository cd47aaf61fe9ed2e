#pragma once

#include <array>

// What every host must see of Brimstack3. Written out here, not taken from the build, so that a
// changed identity or parameter shows up as a failing host test.
namespace HostExpectations
{
    constexpr const char* productName = "Brimstack3";
    constexpr const char* companyName = "Quill Forge";
    constexpr const char* version = "1.0.0";
    constexpr const char* vst3Category = "Fx|Distortion";
    constexpr const char* lv2Uri = "urn:quillforge:brimstack3";
    constexpr const char* manufacturerCode = "Manu";
    constexpr const char* pluginCode = "bms3";
    constexpr int ultraLatencySamples = 39;

    struct Parameter
    {
        const char* id;
        const char* name;
        float start, end, defaultValue;
        bool isSwitch;

        float normalisedDefault() const noexcept { return (defaultValue - start) / (end - start); }
    };

    // In the order the processor declares them.
    constexpr std::array<Parameter, 14> parameters {{
        { "driveKnob",       "Drive",        0.0f,     0.7889f,  0.2344f,  false },
        { "outputKnob",      "Output Knob",  0.0f,     0.7889f,  0.5545f,  false },
        { "intrimKnob",      "Input Adj",    -12.0f,   12.0f,    0.0f,     false },
        { "outtrimKnob",     "Output Adj",   -12.0f,   12.0f,    0.0f,     false },
        { "drymixKnob",      "Dry Mix",      0.0f,     100.0f,   100.0f,   false },
        { "lpKnob",          "Low Pass",     8000.0f,  20000.0f, 20000.0f, false },
        { "hpKnob",          "High Pass",    20.0f,    200.0f,   20.0f,    false },
        { "overDriveButton", "OverDrive",    0.0f,     1.0f,     1.0f,     true },
        { "typeTbutton",     "TypeT",        0.0f,     1.0f,     1.0f,     true },
        { "typeP1button",    "TypeP1",       0.0f,     1.0f,     0.0f,     true },
        { "typeP2button",    "TypeP2",       0.0f,     1.0f,     0.0f,     true },
        { "linkOnOfFButton", "Link",         0.0f,     1.0f,     1.0f,     true },
        { "ultraButton",     "Ultra Mode",   0.0f,     1.0f,     0.0f,     true },
        { "powerButton",     "Power Switch", 0.0f,     1.0f,     0.0f,     true },
    }};
}
