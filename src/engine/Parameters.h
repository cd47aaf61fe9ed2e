#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

// The one place that declares the plug-in's fourteen parameters. The processor's layout, the
// renderer's "--set ID=VALUE", the factory presets and the tests all read this table.
namespace Parameters
{
    namespace ID
    {
        inline constexpr const char* drive      = "driveKnob";
        inline constexpr const char* output     = "outputKnob";
        inline constexpr const char* inputTrim  = "intrimKnob";
        inline constexpr const char* outputTrim = "outtrimKnob";
        inline constexpr const char* dryMix     = "drymixKnob";
        inline constexpr const char* lowPass    = "lpKnob";
        inline constexpr const char* highPass   = "hpKnob";
        inline constexpr const char* overDrive  = "overDriveButton";
        inline constexpr const char* typeT      = "typeTbutton";
        inline constexpr const char* typeP1     = "typeP1button";
        inline constexpr const char* typeP2     = "typeP2button";
        inline constexpr const char* link       = "linkOnOfFButton";
        inline constexpr const char* ultra      = "ultraButton";
        inline constexpr const char* power      = "powerButton";
    }

    struct Spec
    {
        const char* id;
        const char* name;
        bool isSwitch;
        float start, end, interval, defaultValue;
    };

    // In the order the host sees them.
    inline constexpr std::array<Spec, 14> all {{
        { ID::drive,      "Drive",        false, 0.0f,     0.7889f,  0.0001f, 0.2344f },
        { ID::output,     "Output Knob",  false, 0.0f,     0.7889f,  0.0001f, 0.5545f },
        { ID::inputTrim,  "Input Adj",    false, -12.0f,   12.0f,    0.1f,    0.0f },
        { ID::outputTrim, "Output Adj",   false, -12.0f,   12.0f,    0.1f,    0.0f },
        { ID::dryMix,     "Dry Mix",      false, 0.0f,     100.0f,   0.001f,  100.0f },
        { ID::lowPass,    "Low Pass",     false, 8000.0f,  20000.0f, 0.1f,    20000.0f },
        { ID::highPass,   "High Pass",    false, 20.0f,    200.0f,   0.1f,    20.0f },
        { ID::overDrive,  "OverDrive",    true,  0.0f,     1.0f,     1.0f,    1.0f },
        { ID::typeT,      "TypeT",        true,  0.0f,     1.0f,     1.0f,    1.0f },
        { ID::typeP1,     "TypeP1",       true,  0.0f,     1.0f,     1.0f,    0.0f },
        { ID::typeP2,     "TypeP2",       true,  0.0f,     1.0f,     1.0f,    0.0f },
        { ID::link,       "Link",         true,  0.0f,     1.0f,     1.0f,    1.0f },
        { ID::ultra,      "Ultra Mode",   true,  0.0f,     1.0f,     1.0f,    0.0f },
        { ID::power,      "Power Switch", true,  0.0f,     1.0f,     1.0f,    0.0f },
    }};

    // The entry for an ID, or nullptr.
    inline const Spec* find (const juce::String& id) noexcept
    {
        for (auto& p : all)
            if (id == p.id)
                return &p;
        return nullptr;
    }

    inline juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
    {
        juce::AudioProcessorValueTreeState::ParameterLayout layout;

        for (auto& p : all)
        {
            // The unit label is the ID itself, as hosts have always seen it.
            const auto attributes = [&p] (auto a) { return a.withLabel (p.id).withCategory (juce::AudioProcessorParameter::genericParameter); };

            if (p.isSwitch)
                layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { p.id, 0 }, p.name, p.defaultValue > 0.5f,
                                                                        attributes (juce::AudioParameterBoolAttributes())));
            else
                layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { p.id, 0 }, p.name,
                                                                         juce::NormalisableRange<float> (p.start, p.end, p.interval),
                                                                         p.defaultValue,
                                                                         attributes (juce::AudioParameterFloatAttributes())));
        }

        return layout;
    }
}
