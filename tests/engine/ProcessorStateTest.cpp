// Parameters, state save/restore, bus layouts and the default preset of the processor.

#include "ProcessorHarness.h"

#include "presets/ProcessorPresetManager.h"

#include <gtest/gtest.h>

#include <random>

using harness::get;
using harness::set;

namespace
{
    juce::MemoryBlock stateOf (GuipluginAudioProcessor& p)
    {
        juce::MemoryBlock m;
        p.getStateInformation (m);
        return m;
    }

    // Non-default values for all fourteen parameters, in their own units.
    const std::vector<std::pair<const char*, float>> nonDefaults {
        { "driveKnob", 0.5123f }, { "outputKnob", 0.3001f }, { "intrimKnob", -4.5f }, { "outtrimKnob", 7.2f },
        { "drymixKnob", 63.25f }, { "lpKnob", 9876.5f }, { "hpKnob", 150.3f }, { "overDriveButton", 0.0f },
        { "typeTbutton", 0.0f }, { "typeP1button", 0.0f }, { "typeP2button", 1.0f }, { "linkOnOfFButton", 0.0f },
        { "ultraButton", 1.0f }, { "powerButton", 1.0f },
    };

    // Snapshot of everything a state carries.
    struct Snapshot
    {
        std::map<juce::String, float> values;
        juce::var presetName, modified;
        bool operator== (const Snapshot& o) const { return values == o.values && presetName == o.presetName && modified == o.modified; }
    };

    Snapshot snapshot (GuipluginAudioProcessor& p)
    {
        Snapshot s;
        for (auto& spec : Parameters::all)
            s.values[spec.id] = get (p, spec.id);
        s.presetName = p.treeState->state.getProperty (GuipluginAudioProcessor::currentPresetProperty);
        s.modified = p.treeState->state.getProperty (GuipluginAudioProcessor::presetModifiedProperty);
        return s;
    }
}

TEST (ProcessorParameters, FreshInstanceHasTheDefaultsAndLabelsAreIds)
{
    struct Expected { const char* id; const char* name; float min, max, defaultValue; };
    const Expected table[] {
        { "driveKnob",       "Drive",        0.0f,     0.7889f,  0.2344f },
        { "outputKnob",      "Output Knob",  0.0f,     0.7889f,  0.5545f },
        { "intrimKnob",      "Input Adj",    -12.0f,   12.0f,    0.0f },
        { "outtrimKnob",     "Output Adj",   -12.0f,   12.0f,    0.0f },
        { "drymixKnob",      "Dry Mix",      0.0f,     100.0f,   100.0f },
        { "lpKnob",          "Low Pass",     8000.0f,  20000.0f, 20000.0f },
        { "hpKnob",          "High Pass",    20.0f,    200.0f,   20.0f },
        { "overDriveButton", "OverDrive",    0.0f,     1.0f,     1.0f },
        { "typeTbutton",     "TypeT",        0.0f,     1.0f,     1.0f },
        { "typeP1button",    "TypeP1",       0.0f,     1.0f,     0.0f },
        { "typeP2button",    "TypeP2",       0.0f,     1.0f,     0.0f },
        { "linkOnOfFButton", "Link",         0.0f,     1.0f,     1.0f },
        { "ultraButton",     "Ultra Mode",   0.0f,     1.0f,     0.0f },
        { "powerButton",     "Power Switch", 0.0f,     1.0f,     0.0f },
    };

    GuipluginAudioProcessor p;
    const auto& params = p.getParameters();
    ASSERT_EQ (params.size(), 14);

    for (size_t i = 0; i < std::size (table); ++i)
    {
        SCOPED_TRACE (table[i].id);
        auto* param = dynamic_cast<juce::RangedAudioParameter*> (params[(int) i]);
        ASSERT_NE (param, nullptr);
        EXPECT_EQ (param->getParameterID(), table[i].id);
        EXPECT_EQ (param->getName (64), table[i].name);
        EXPECT_EQ (param->getLabel(), table[i].id);
        EXPECT_FLOAT_EQ (param->getNormalisableRange().start, table[i].min);
        EXPECT_FLOAT_EQ (param->getNormalisableRange().end, table[i].max);
        EXPECT_NEAR (get (p, table[i].id), table[i].defaultValue, 1e-6f);
    }

    EXPECT_EQ (p.treeState->state.getType().toString(), "Brimstack3");
    EXPECT_EQ (p.treeState->state[GuipluginAudioProcessor::currentPresetProperty].toString(), "Default");
    EXPECT_FALSE ((bool) p.treeState->state[GuipluginAudioProcessor::presetModifiedProperty]);
    EXPECT_EQ (p.getBypassParameter(), nullptr); // the host wrapper adds its own
    EXPECT_EQ (p.getName(), "Brimstack3");
    EXPECT_EQ (p.getNumPrograms(), 1);
}

TEST (ProcessorState, RoundTripOntoASecondInstanceIsExact)
{
    GuipluginAudioProcessor a;
    for (auto& [id, value] : nonDefaults)
        set (a, id, value);
    a.treeState->state.setProperty (GuipluginAudioProcessor::currentPresetProperty, "Crunchy Bus", nullptr);
    a.treeState->state.setProperty (GuipluginAudioProcessor::presetModifiedProperty, true, nullptr);

    const auto saved = stateOf (a);
    GuipluginAudioProcessor b;
    b.setStateInformation (saved.getData(), (int) saved.getSize());

    EXPECT_TRUE (snapshot (a) == snapshot (b));
    for (auto& [id, value] : nonDefaults)
        EXPECT_NEAR (get (b, id), value, 0.051f) << id; // values snap to their interval

    EXPECT_EQ (stateOf (b), saved) << "a second save must be byte-identical";
}

TEST (ProcessorState, MalformedBlobsNeverCrashAndKeepTheState)
{
    GuipluginAudioProcessor source;
    for (auto& [id, value] : nonDefaults)
        set (source, id, value);
    const auto valid = stateOf (source);

    std::mt19937 rng (1234);
    auto randomBytes = [&rng] (size_t n)
    {
        juce::MemoryBlock m (n);
        for (size_t i = 0; i < n; ++i)
            m[i] = (char) (rng() & 0xff);
        return m;
    };

    struct Case { const char* what; juce::MemoryBlock bytes; };
    std::vector<Case> cases;
    cases.push_back ({ "empty", {} });
    cases.push_back ({ "one zero byte", juce::MemoryBlock (1, true) });
    for (size_t cut : { (size_t) 1, (size_t) 11, valid.getSize() / 3, valid.getSize() / 2, valid.getSize() - 1 })
        cases.push_back ({ "truncated", juce::MemoryBlock (valid.getData(), cut) });
    for (size_t n : { 4, 64, 4096 })
        cases.push_back ({ "random", randomBytes (n) });
    // A huge child count right after a plausible header: JUCE's reader would reserve gigabytes.
    {
        juce::MemoryOutputStream s;
        s.writeString ("Brimstack3");
        s.writeCompressedInt (0);
        s.writeCompressedInt (0x7ffffff0);
        cases.push_back ({ "absurd child count", s.getMemoryBlock() });
    }

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GuipluginAudioProcessor p;
        set (p, "driveKnob", 0.4321f);
        const auto before = snapshot (p);
        p.setStateInformation (c.bytes.getData(), (int) c.bytes.getSize());
        EXPECT_TRUE (before == snapshot (p));
    }
}

TEST (ProcessorState, AForeignButWellFormedTreeIsTakenAsItIs)
{
    // Any complete value tree replaces the state, whatever its type: parameters named in it follow,
    // the others return to their defaults (a state is a whole, never merged with the previous one).
    juce::ValueTree foreign ("SomethingElse");
    juce::ValueTree param ("PARAM");
    param.setProperty ("id", "driveKnob", nullptr).setProperty ("value", 0.6f, nullptr);
    foreign.appendChild (param, nullptr);
    juce::MemoryOutputStream s;
    foreign.writeToStream (s);

    GuipluginAudioProcessor p;
    set (p, "hpKnob", 99.0f);
    p.setStateInformation (s.getData(), (int) s.getDataSize());

    EXPECT_NEAR (get (p, "driveKnob"), 0.6f, 1e-4f);
    EXPECT_NEAR (get (p, "hpKnob"), 20.0f, 1e-3f);
}

TEST (ProcessorState, SeededMutationFuzzOfSetStateInformation)
{
    GuipluginAudioProcessor source;
    for (auto& [id, value] : nonDefaults)
        set (source, id, value);
    const auto valid = stateOf (source);

    GuipluginAudioProcessor p;
    std::mt19937 rng (42);
    constexpr int runs = 3000;

    for (int run = 0; run < runs; ++run)
    {
        juce::MemoryBlock m (valid);
        const auto mutations = 1 + (int) (rng() % 8);
        for (int k = 0; k < mutations; ++k)
        {
            switch (rng() % 4)
            {
                case 0: m[rng() % m.getSize()] ^= (char) (1 << (rng() % 8)); break;
                case 1: m[rng() % m.getSize()] = (char) (rng() & 0xff); break;
                case 2: m.setSize (1 + rng() % m.getSize()); break;
                default: { const char junk = (char) rng(); m.insert (&junk, 1, rng() % m.getSize()); } break;
            }
        }

        p.setStateInformation (m.getData(), (int) m.getSize());

        for (auto& spec : Parameters::all)
        {
            const auto v = get (p, spec.id);
            ASSERT_TRUE (std::isfinite (v) && v >= spec.start && v <= spec.end) << spec.id << " after run " << run;
        }
    }

    // And it still takes a valid state afterwards.
    p.setStateInformation (valid.getData(), (int) valid.getSize());
    EXPECT_TRUE (snapshot (p) == snapshot (source));
}

TEST (ProcessorBuses, OnlyMonoToMonoAndStereoToStereo)
{
    using CS = juce::AudioChannelSet;
    struct Case { CS in, out; bool accepted; };
    const Case cases[] {
        { CS::stereo(), CS::stereo(), true },
        { CS::mono(), CS::mono(), true },
        { CS::mono(), CS::stereo(), false },
        { CS::stereo(), CS::mono(), false },
        { CS::create5point1(), CS::create5point1(), false },
        { CS::quadraphonic(), CS::quadraphonic(), false },
        { CS::disabled(), CS::stereo(), false },
    };

    GuipluginAudioProcessor p;
    for (auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        EXPECT_EQ (p.checkBusesLayoutSupported (layout), c.accepted) << c.in.getDescription() << " -> " << c.out.getDescription();
    }

    EXPECT_EQ (p.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (p.getBus (false, 0)->getName(), "Output");
    EXPECT_FALSE (p.acceptsMidi() || p.producesMidi() || p.isMidiEffect());
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
}

TEST (ProcessorPresets, DefaultPresetWrittenOnceAndNeverRewritten)
{
    const auto previousRoot = ProcessorPresetManager::getDefaultPresetRoot();
    const auto root = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brimstack3-default-" + juce::Uuid().toString());
    ProcessorPresetManager::setDefaultPresetRootForTesting (root);
    const auto defaultFile = root.getChildFile ("Default.rcp");

    {
        GuipluginAudioProcessor first;
        ASSERT_TRUE (defaultFile.existsAsFile());

        GuipluginAudioProcessor check;
        ASSERT_TRUE (check.presetManager->loadPreset (defaultFile));
        EXPECT_EQ (check.treeState->state[GuipluginAudioProcessor::currentPresetProperty].toString(), "Default");
        EXPECT_FALSE ((bool) check.treeState->state[GuipluginAudioProcessor::presetModifiedProperty]);
    }

    // A user's edited default survives the next start.
    ASSERT_TRUE (defaultFile.replaceWithText ("edited by the user"));
    {
        GuipluginAudioProcessor second;
        EXPECT_EQ (defaultFile.loadFileAsString(), "edited by the user");
    }

    root.deleteRecursively();
    ProcessorPresetManager::setDefaultPresetRootForTesting (previousRoot);
}
