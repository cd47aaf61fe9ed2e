// The de-click sequence of a model change, block by block, and its audible result.

#include "ProcessorHarness.h"

#include "engine/SwitchSequence.h"

#include <gtest/gtest.h>

using harness::set;

namespace
{
    // Brings a prepared processor to the idle state (sequence finished).
    void settle (GuipluginAudioProcessor& p, double rate, int blockSize)
    {
        harness::render (p, rate, blockSize, blockSize * 40);
        ASSERT_EQ (p.getSwitchState(), 0);
        ASSERT_FALSE (p.isCrossfading());
        ASSERT_FLOAT_EQ (p.getSwitchGain(), 1.0f);
    }

    struct BlockRecord { int stateBefore; float gainAfter; bool crossfading; int activePair; };

    std::vector<BlockRecord> runBlocks (GuipluginAudioProcessor& p, double rate, int blockSize, int count,
                                        const std::function<void (int)>& beforeBlock)
    {
        std::vector<BlockRecord> records;
        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;
        for (int k = 0; k < count; ++k)
        {
            harness::fillSine (block, rate, 220.0, 0.25f, (int64_t) k * blockSize);
            if (beforeBlock)
                beforeBlock (k);
            const auto before = p.getSwitchState();
            p.processBlock (block, midi);
            records.push_back ({ before, p.getSwitchGain(), p.isCrossfading(), p.getActivePair() });
        }
        return records;
    }
}

TEST (ModelSwitch, SequenceReachesTheNominalGainsAtBlockEnds)
{
    const float nominal[] { 0.25f, 0.0669873f, 0.0f, 0.0669873f, 0.25f, 0.5f, 0.75f, 1.0f };

    for (int blockSize : { 128, 1024 })
    {
        SCOPED_TRACE (blockSize);
        auto p = harness::make();
        set (*p, "overDriveButton", 0.0f);
        p->prepareToPlay (48000.0, blockSize);
        settle (*p, 48000.0, blockSize);
        ASSERT_EQ (p->getActivePair(), 3);

        // T -> P1 without OverDrive: pending pair 4.
        const auto records = runBlocks (*p, 48000.0, blockSize, 20, [&] (int k)
        {
            if (k == 0)
            {
                set (*p, "typeTbutton", 0.0f);
                set (*p, "typeP1button", 1.0f);
            }
        });

        // The 512-sample crossfade runs first: four 128-sample blocks, or inside the 1024 block.
        const int crossfadeBlocks = (512 + blockSize - 1) / blockSize;
        for (int k = 0; k < crossfadeBlocks; ++k)
        {
            EXPECT_FLOAT_EQ (records[(size_t) k].gainAfter, 1.0f);
            EXPECT_EQ (records[(size_t) k].activePair, 3);
        }
        EXPECT_EQ (p->getPendingPair(), 4);

        for (int step = 0; step < 8; ++step)
        {
            const auto& r = records[(size_t) (crossfadeBlocks + step)];
            EXPECT_EQ (r.stateBefore, 8 - step);
            EXPECT_NEAR (r.gainAfter, nominal[step], 1e-6f) << "step " << (8 - step);
            // The old pair plays up to and including the silent block, the new one from then on.
            EXPECT_EQ (r.activePair, step < 2 ? 3 : 4);
        }
        EXPECT_EQ (records.back().stateBefore, 0);
        EXPECT_NEAR (p->getMakeupTargetDb(), -3.9026f, 1e-5f); // P1's compensation once P1 plays
    }
}

TEST (ModelSwitch, AChangeMidSequenceRestartsAtEight)
{
    auto p = harness::make();
    p->prepareToPlay (48000.0, 1024);
    settle (*p, 48000.0, 1024);

    std::vector<int> states;
    runBlocks (*p, 48000.0, 1024, 7, [&] (int k)
    {
        if (k == 0) set (*p, "typeP2button", 1.0f), set (*p, "typeTbutton", 0.0f);
        if (k == 6) set (*p, "typeP1button", 1.0f); // the sequence is at 3 here
        states.push_back (p->getSwitchState());
    });
    EXPECT_EQ (states[6], 3);
    EXPECT_EQ (p->getSwitchState(), 8); // the change block crossfades; the countdown restarts at 8
    EXPECT_EQ (p->getPendingPair(), 1);  // P1 + OverDrive (P1 wins over P2)
}

TEST (ModelSwitch, UltraToggleRunsTheSequenceWithTheSamePairAndReReportsLatency)
{
    auto p = harness::make();
    p->prepareToPlay (44100.0, 512);
    settle (*p, 44100.0, 512);
    const auto pair = p->getActivePair();

    runBlocks (*p, 44100.0, 512, 1, [&] (int) { set (*p, "ultraButton", 1.0f); });
    EXPECT_EQ (p->getLatencySamples(), 39);
    EXPECT_EQ (p->getSwitchState(), 8);
    runBlocks (*p, 44100.0, 512, 12, {});
    EXPECT_EQ (p->getActivePair(), pair);

    runBlocks (*p, 44100.0, 512, 1, [&] (int) { set (*p, "ultraButton", 0.0f); });
    EXPECT_EQ (p->getLatencySamples(), 0);
}

TEST (ModelSwitch, AllTypesOffKeepsTheOldPairPlaying)
{
    auto p = harness::make();
    p->prepareToPlay (48000.0, 512);
    settle (*p, 48000.0, 512);
    const auto pair = p->getActivePair();

    const auto makeup = p->getMakeupTargetDb();
    runBlocks (*p, 48000.0, 512, 12, [&] (int k) { if (k == 0) set (*p, "typeTbutton", 0.0f); });
    EXPECT_EQ (p->getActivePair(), pair);
    EXPECT_EQ (p->getSwitchState(), 0);
    EXPECT_FLOAT_EQ (p->getSwitchGain(), 1.0f);
    EXPECT_EQ (p->getMakeupTargetDb(), makeup); // the playing network keeps its level compensation
}

TEST (ModelSwitch, BypassedBlocksDoNotAdvanceTheSequence)
{
    auto p = harness::make();
    p->prepareToPlay (48000.0, 512);
    settle (*p, 48000.0, 512);
    runBlocks (*p, 48000.0, 512, 3, [&] (int k) { if (k == 0) set (*p, "overDriveButton", 0.0f); });
    const auto state = p->getSwitchState();
    runBlocks (*p, 48000.0, 512, 5, [&] (int k) { if (k == 0) set (*p, "powerButton", 1.0f); });
    EXPECT_EQ (p->getSwitchState(), state);
}

// A 220 Hz sine at -12 dBFS with a tube change every 0.5 s: around every change no sample-to-sample
// step may exceed the largest step of the steady output of the outgoing or the incoming network.
TEST (ModelSwitch, SwitchingIsClickFree)
{
    constexpr double rate = 48000.0;
    constexpr int blockSize = 512;
    const float amplitude = juce::Decibels::decibelsToGain (-12.0f);

    struct Type { const char* id; bool od; };
    const Type sequence[] { { "typeTbutton", false }, { "typeP1button", false }, { "typeP2button", true },
                            { "typeTbutton", true }, { "typeP1button", true }, { "typeP2button", false }, { "typeTbutton", false } };

    auto select = [] (GuipluginAudioProcessor& p, const Type& t)
    {
        for (auto* id : { "typeTbutton", "typeP1button", "typeP2button" })
            set (p, id, juce::String (id) == t.id ? 1.0f : 0.0f);
        set (p, "overDriveButton", t.od ? 1.0f : 0.0f);
    };

    auto maxStep = [] (const juce::AudioBuffer<float>& b, int from, int to)
    {
        float m = 0.0f;
        for (int i = juce::jmax (1, from); i < to; ++i)
            m = juce::jmax (m, std::abs (b.getSample (0, i) - b.getSample (0, i - 1)));
        return m;
    };

    // Steady-state step of each network on its own (after its fade-in and make-up ramp).
    std::map<juce::String, float> steadyStep;
    for (auto& t : sequence)
    {
        auto p = harness::make();
        select (*p, t);
        p->prepareToPlay (rate, blockSize);
        const auto out = harness::render (*p, rate, blockSize, (int) rate, 220.0, amplitude);
        steadyStep[juce::String (t.id) + (t.od ? "+od" : "")] = maxStep (out, (int) rate / 2, (int) rate);
    }

    auto p = harness::make();
    select (*p, sequence[0]);
    p->prepareToPlay (rate, blockSize);
    const int switchEvery = (int) (rate * 0.5) / blockSize;
    const int total = switchEvery * (int) std::size (sequence) + switchEvery;
    const auto out = harness::render (*p, rate, blockSize, total * blockSize, 220.0, amplitude, [&] (int k)
    {
        if (k > 0 && k % switchEvery == 0 && k / switchEvery < (int) std::size (sequence))
            select (*p, sequence[k / switchEvery]);
    });

    for (int s = 1; s < (int) std::size (sequence); ++s)
    {
        const auto& outgoing = sequence[s - 1];
        const auto& incoming = sequence[s];
        const auto limit = juce::jmax (steadyStep[juce::String (outgoing.id) + (outgoing.od ? "+od" : "")],
                                       steadyStep[juce::String (incoming.id) + (incoming.od ? "+od" : "")]);
        const auto from = s * switchEvery * blockSize;
        const auto step = maxStep (out, from, from + 16 * blockSize);
        // The incoming network settles from its warm-up over its own time constants (bias and
        // coupling memory of tens of ms), a smooth transient that may steepen the waveform by a
        // percent or two; a click is a step many times the signal's own.
        EXPECT_LE (step, limit * 1.02f) << "switch " << s << " (" << outgoing.id << " -> " << incoming.id << ")";
        std::printf ("switch %d (%s%s -> %s%s): largest step %.3f of the steady one\n", s, outgoing.id, outgoing.od ? "+od" : "",
                     incoming.id, incoming.od ? "+od" : "", step / limit);
    }
}
