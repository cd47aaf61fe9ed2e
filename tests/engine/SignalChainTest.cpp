// Preparation and the per-block chain: rates and Ultra, bypass, dry path, make-up, robustness.

#include "ProcessorHarness.h"

#include <gtest/gtest.h>

using harness::set;

namespace
{
    juce::AudioBuffer<float> sineBlock (int channels, int n, double rate, int64_t offset = 0, float amplitude = 0.3f)
    {
        juce::AudioBuffer<float> b (channels, n);
        harness::fillSine (b, rate, 440.0, amplitude, offset);
        return b;
    }

    float maxAbsDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, int channels, int n)
    {
        float d = 0.0f;
        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < n; ++i)
                d = juce::jmax (d, std::abs (a.getSample (ch, i) - b.getSample (ch, i)));
        return d;
    }
}

TEST (SignalChain, RateAndUltraDecideOversamplingDryDelayBandLimitAndLatency)
{
    struct Case { double rate; bool ultra; int factor, dryDelay; float bandLimit; int latency; };
    const Case cases[] {
        { 44100.0, false, 1, 1, 15000.0f, 0 },
        { 44100.0, true,  1, 2, 20000.0f, 39 },
        { 48000.0, false, 1, 1, 15000.0f, 0 },
        { 48000.0, true,  1, 2, 20000.0f, 39 },
        { 64000.0, false, 0, 1, 15000.0f, 0 },
        { 64000.0, true,  0, 2, 20000.0f, 39 },
        { 88200.0, false, 0, 2, 20000.0f, 0 },
        { 88200.0, true,  0, 2, 20000.0f, 0 },
        { 96000.0, false, 0, 2, 20000.0f, 0 },
        { 96000.0, true,  0, 2, 20000.0f, 0 },
        // Below 44.4 kHz the band limit stays under Nyquist instead of becoming an unstable filter.
        { 32000.0, false, 1, 1, 15000.0f, 0 },
        { 32000.0, true,  1, 2, 15680.0f, 39 },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.rate) + (c.ultra ? " Ultra" : ""));
        auto p = harness::make();
        set (*p, "ultraButton", c.ultra ? 1.0f : 0.0f);
        p->prepareToPlay (c.rate, 512);
        EXPECT_EQ (p->getOversamplingFactor(), c.factor);
        EXPECT_EQ (p->getLatencySamples(), c.latency);

        const auto n = (int) c.rate / 2;
        const auto out = harness::render (*p, c.rate, 512, n);
        EXPECT_EQ (p->getDryDelaySamples(), c.dryDelay);
        EXPECT_FLOAT_EQ (p->getBandLimitFrequency(), c.bandLimit);
        EXPECT_TRUE (harness::allFinite (out));
        EXPECT_GT (out.getRMSLevel (0, n / 2, n / 2), 0.01f);
    }
}

TEST (SignalChain, UnpreparedOrReleasedProcessorLeavesTheBufferAlone)
{
    auto p = harness::make();
    juce::MidiBuffer midi;
    const auto reference = sineBlock (2, 256, 44100.0);

    auto block = reference;
    p->processBlock (block, midi);
    EXPECT_EQ (maxAbsDifference (block, reference, 2, 256), 0.0f);

    p->prepareToPlay (44100.0, 256);
    p->releaseResources();
    block = reference;
    p->processBlock (block, midi);
    EXPECT_EQ (maxAbsDifference (block, reference, 2, 256), 0.0f);
    EXPECT_EQ (p->meterLevel.load(), 0.0f);
}

TEST (SignalChain, PowerSwitchPassesTheInputBitExactly)
{
    for (auto rate : { 44100.0, 48000.0, 96000.0 })
    {
        auto p = harness::make();
        set (*p, "powerButton", 1.0f);
        set (*p, "ultraButton", 1.0f);
        p->prepareToPlay (rate, 333);
        juce::MidiBuffer midi;
        for (int k = 0; k < 20; ++k)
        {
            const auto reference = sineBlock (2, 333, rate, k * 333);
            auto block = reference;
            p->processBlock (block, midi);
            ASSERT_EQ (maxAbsDifference (block, reference, 2, 333), 0.0f) << rate;
        }
    }
}

TEST (SignalChain, DryMixZeroGivesTheInputDelayedByOneSample)
{
    auto p = harness::make();
    set (*p, "drymixKnob", 0.0f);
    set (*p, "outtrimKnob", 0.0f);
    p->prepareToPlay (44100.0, 512);

    const int n = 44100; // the dry gain ramps in over 0.1 s
    juce::AudioBuffer<float> input (2, n);
    harness::fillSine (input, 44100.0, 440.0, 0.3f, 0);
    const auto out = harness::render (*p, 44100.0, 512, n, 440.0, 0.3f);

    float worst = 0.0f;
    for (int i = n / 2; i < n; ++i)
        worst = juce::jmax (worst, std::abs (out.getSample (0, i) - input.getSample (0, i - 1)));
    EXPECT_LT (worst, 1e-5f);
}

TEST (SignalChain, MakeupTargetFollowsTubeAndOverDrive)
{
    struct Case { bool t, p1, p2, od; float makeupDb; int pair; };
    const Case cases[] {
        { true,  false, false, false, -2.90815f, 3 },
        { false, true,  false, false, -3.9026f,  4 },
        { false, false, true,  false, -4.32681f, 5 },
        { true,  false, false, true,  8.19947f,  0 },
        { false, true,  false, true,  2.56571f,  1 },
        { false, false, true,  true,  2.21342f,  2 },
        { true,  true,  false, false, -2.90815f, 3 }, // T wins over P1
        { false, true,  true,  true,  2.56571f,  1 }, // P1 wins over P2
        { false, false, false, true,  1.0f,     -1 }, // nothing selected
    };

    for (auto& c : cases)
    {
        auto p = harness::make();
        set (*p, "typeTbutton", c.t);
        set (*p, "typeP1button", c.p1);
        set (*p, "typeP2button", c.p2);
        set (*p, "overDriveButton", c.od);
        p->prepareToPlay (48000.0, 512);
        harness::render (*p, 48000.0, 512, 512 * 20);
        EXPECT_NEAR (p->getMakeupTargetDb(), c.makeupDb, 1e-5f);
        EXPECT_EQ (p->getActivePair(), c.pair);
    }
}

TEST (SignalChain, MonoLayoutProcessesChannelZero)
{
    auto p = harness::make (1);
    ASSERT_EQ (p->getTotalNumOutputChannels(), 1);
    set (*p, "drymixKnob", 100.0f);
    p->prepareToPlay (48000.0, 256);
    const auto out = harness::render (*p, 48000.0, 256, 48000);
    EXPECT_TRUE (harness::allFinite (out));
    EXPECT_GT (out.getRMSLevel (0, 24000, 24000), 0.01f);
    EXPECT_GT (p->meterLevel.load(), 0.0f);
}

TEST (SignalChain, FreshInstanceFadesIn)
{
    auto p = harness::make();
    p->prepareToPlay (48000.0, 128);
    const auto out = harness::render (*p, 48000.0, 128, 48000, 220.0, 0.5f);

    // The first samples are close to silence and the level grows from there.
    EXPECT_LT (out.getMagnitude (0, 0, 32), 0.02f);
    EXPECT_LT (out.getRMSLevel (0, 0, 256), out.getRMSLevel (0, 24000, 24000));
}

TEST (SignalChain, NonFiniteInputIsSilencedForOneBlockAndTheChainRecovers)
{
    for (auto poison : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 1.0e38f })
    {
        for (bool ultra : { false, true })
        {
            SCOPED_TRACE (juce::String (poison) + (ultra ? " Ultra" : ""));
            auto p = harness::make();
            set (*p, "ultraButton", ultra);
            set (*p, "intrimKnob", 12.0f);
            p->prepareToPlay (44100.0, 256);
            harness::render (*p, 44100.0, 256, 44100);

            juce::MidiBuffer midi;
            auto block = sineBlock (2, 256, 44100.0);
            block.setSample (0, 100, poison);
            block.setSample (1, 7, poison);
            p->processBlock (block, midi);
            EXPECT_TRUE (harness::allFinite (block));

            // The following blocks are finite and carry signal again.
            const auto after = harness::render (*p, 44100.0, 256, 256 * 40);
            EXPECT_TRUE (harness::allFinite (after));
            EXPECT_GT (after.getRMSLevel (0, 256 * 20, 256 * 20), 0.01f);
            EXPECT_TRUE (std::isfinite (p->meterLevel.load()));
        }
    }
}

TEST (SignalChain, LongerBlocksThanPreparedAreProcessedInPreparedPieces)
{
    auto whole = harness::make();
    auto pieces = harness::make();
    whole->prepareToPlay (48000.0, 256);
    pieces->prepareToPlay (48000.0, 256);

    juce::MidiBuffer midi;
    auto big = sineBlock (2, 1000, 48000.0);
    whole->processBlock (big, midi);

    juce::AudioBuffer<float> joined (2, 1000);
    for (int start = 0; start < 1000; start += 256)
    {
        const auto n = juce::jmin (256, 1000 - start);
        auto piece = sineBlock (2, 1000, 48000.0);
        juce::AudioBuffer<float> part (2, n);
        for (int ch = 0; ch < 2; ++ch)
            part.copyFrom (ch, 0, piece, ch, start, n);
        pieces->processBlock (part, midi);
        for (int ch = 0; ch < 2; ++ch)
            joined.copyFrom (ch, start, part, ch, 0, n);
    }

    EXPECT_EQ (maxAbsDifference (big, joined, 2, 1000), 0.0f);
}

TEST (SignalChain, MoreChannelsThanPreparedAreLeftAlone)
{
    auto p = harness::make();
    p->prepareToPlay (44100.0, 128);
    juce::MidiBuffer midi;
    auto block = sineBlock (4, 128, 44100.0);
    const auto reference = block;
    p->processBlock (block, midi); // must stay inside the prepared buffers (ASan watches)
    for (int ch = 2; ch < 4; ++ch)
        for (int i = 0; i < 128; ++i)
            ASSERT_EQ (block.getSample (ch, i), reference.getSample (ch, i));
}

TEST (SignalChain, OddBlockSizesAndRepeatedPreparation)
{
    auto p = harness::make();
    for (auto [rate, block] : std::vector<std::pair<double, int>> { { 44100.0, 1 }, { 48000.0, 7 }, { 96000.0, 4096 }, { 22050.0, 513 }, { 192000.0, 64 } })
    {
        p->prepareToPlay (rate, block);
        p->prepareToPlay (rate, block); // again, without a release: the pre-roll runs through the chain
        const auto out = harness::render (*p, rate, block, (int) rate / 4);
        EXPECT_TRUE (harness::allFinite (out)) << rate << " / " << block;
    }
    p->prepareToPlay (44100.0, 0); // a host bug: must not hang
    p->releaseResources();
}

TEST (SignalChain, HostBypassKeepsTheReportedLatency)
{
    for (bool ultra : { false, true })
    {
        auto p = harness::make();
        set (*p, "ultraButton", ultra);
        p->prepareToPlay (44100.0, 100);
        const auto latency = p->getLatencySamples();
        ASSERT_EQ (latency, ultra ? 39 : 0);

        juce::MidiBuffer midi;
        juce::AudioBuffer<float> input (2, 1000), output (2, 1000);
        harness::fillSine (input, 44100.0, 440.0, 0.3f, 0);
        for (int start = 0; start < 1000; start += 100)
        {
            juce::AudioBuffer<float> block (2, 100);
            for (int ch = 0; ch < 2; ++ch)
                block.copyFrom (ch, 0, input, ch, start, 100);
            p->processBlockBypassed (block, midi);
            for (int ch = 0; ch < 2; ++ch)
                output.copyFrom (ch, start, block, ch, 0, 100);
        }

        for (int i = 0; i < 1000; ++i)
            ASSERT_EQ (output.getSample (1, i), i >= latency ? input.getSample (1, i - latency) : 0.0f) << i;
    }
}
