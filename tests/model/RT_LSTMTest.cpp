#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace model_test;

namespace
{
    // A conditioned network that shows its conditioning input: unit 0 has i = o = 1, f = 0 and
    // g = tanh (cond), so with silent audio out = tanh (tanh (cond)). Every other weight is zero.
    nlohmann::json conditioningProbe()
    {
        auto model = modelJson (2);
        auto& sd = model["state_dict"];
        sd["rec.bias_ih_l0"][0] = 30.0;    // input gate open
        sd["rec.bias_ih_l0"][40] = -30.0;  // forget gate shut: no memory of earlier samples
        sd["rec.weight_ih_l0"][80][1] = 1.0; // cell gate follows the conditioning input
        sd["rec.bias_ih_l0"][120] = 30.0;  // output gate open
        sd["lin.weight"][0][0] = 1.0;
        return model;
    }

    float probeOutput (float cond) { return std::tanh (std::tanh (cond)); }

    std::unique_ptr<RT_LSTM> loaded (const char* fixtureName)
    {
        auto lstm = std::make_unique<RT_LSTM>();
        lstm->load_json (readBlock (fixture (fixtureName)));
        return lstm;
    }
}

TEST (RT_LSTM, ConditioningRampsAcrossEachBlockAndHoldsOtherwise)
{
    struct Step
    {
        const char* what;
        float param;
        int numSamples;
        std::vector<float> conditioning; // expected per sample
    };

    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> longRamp;
    for (int n = 0; n < 130; ++n)
        longRamp.push_back (0.0f + (1.3f / 130.0f) * float (n + 1));

    const Step steps[] = {
        { "0 -> 1 over 4 samples", 1.0f, 4, { 0.25f, 0.5f, 0.75f, 1.0f } },
        { "unchanged param", 1.0f, 3, { 1.0f, 1.0f, 1.0f } },
        { "empty block takes the new value", 0.5f, 0, {} },
        { "so the next block does not ramp", 0.5f, 2, { 0.5f, 0.5f } },
        { "NaN holds the last value", nan, 2, { 0.5f, 0.5f } },
        { "ramp down", 0.0f, 2, { 0.25f, 0.0f } },
        { "ramp longer than the staging chunk", 1.3f, 130, longRamp },
        { "single sample block jumps", -0.4f, 1, { -0.4f } },
    };

    RT_LSTM lstm;
    load (lstm, conditioningProbe());
    ASSERT_EQ (lstm.input_size, 2);

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.what);
        std::vector<float> io (step.conditioning.size(), 0.0f);
        lstm.process (io.data(), step.param, io.data(), step.numSamples);

        for (std::size_t n = 0; n < io.size(); ++n)
            EXPECT_NEAR (io[n], probeOutput (step.conditioning[n]), 2e-6) << "sample " << n;

        EXPECT_EQ (lstm.last_param, std::isnan (step.param) ? 0.5f : step.param);
    }
}

TEST (RT_LSTM, NetworksWithoutWeightsPassAudioThroughUnchanged)
{
    struct Case
    {
        const char* what;
        std::function<void (RT_LSTM&)> prepare;
        int expectedInputSize;
    };

    const Case cases[] = {
        { "never loaded", [] (RT_LSTM&) {}, 1 },
        { "input_size 3 after a real model", [] (RT_LSTM& l)
          {
              l.load_json (readBlock (fixture ("conditioned.json")));
              auto m = modelJson (2, 0.3f);
              m["model_data"]["input_size"] = 3;
              load (l, m);
          }, 3 },
        { "input_size 0", [] (RT_LSTM& l) { auto m = modelJson (1, 0.3f); m["model_data"]["input_size"] = 0; load (l, m); }, 0 },
        { "input_size -2", [] (RT_LSTM& l) { auto m = modelJson (1, 0.3f); m["model_data"]["input_size"] = -2; load (l, m); }, -2 },
    };

    const auto input = testSignal (300);
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto lstm = std::make_unique<RT_LSTM>();
        c.prepare (*lstm);
        EXPECT_EQ (lstm->input_size, c.expectedInputSize);

        for (auto kernel : RT_LSTM::availableKernels())
        {
            ScopedKernel forced (kernel);
            std::vector<float> plainOut (input.size()), conditionedOut (input.size());
            lstm->process (input.data(), plainOut.data(), int (input.size()));
            lstm->process (input.data(), 0.7f, conditionedOut.data(), int (input.size()));
            EXPECT_EQ (plainOut, input) << RT_LSTM::kernelName (kernel);
            EXPECT_EQ (conditionedOut, input) << RT_LSTM::kernelName (kernel);
        }
    }
}

TEST (RT_LSTM, ResetReproducesTheSameBlock)
{
    const auto input = testSignal (700);

    auto plain = loaded ("plain.json");
    std::vector<float> first (input.size()), second (input.size());
    plain->process (input.data(), first.data(), int (input.size()));
    plain->reset();
    plain->process (input.data(), second.data(), int (input.size()));
    EXPECT_EQ (first, second);
    EXPECT_NE (first, input) << "the fixture network must change the signal";

    // reset leaves the ramp alone, so the conditioned blocks start from the same param.
    auto conditioned = loaded ("conditioned.json");
    conditioned->process (nullptr, 0.7f, nullptr, 0);
    conditioned->process (input.data(), 0.7f, first.data(), int (input.size()));
    conditioned->reset();
    conditioned->process (input.data(), 0.7f, second.data(), int (input.size()));
    EXPECT_EQ (first, second);
}

TEST (RT_LSTM, InPlaceProcessingMatchesSeparateBuffersOnEveryKernel)
{
    const auto input = testSignal (257);
    for (auto kernel : RT_LSTM::availableKernels())
    {
        SCOPED_TRACE (RT_LSTM::kernelName (kernel));
        ScopedKernel forced (kernel);

        auto a = loaded ("plain.json");
        auto b = loaded ("plain.json");
        std::vector<float> separate (input.size()), inPlace = input;
        a->process (input.data(), separate.data(), int (input.size()));
        b->process (inPlace.data(), inPlace.data(), int (input.size()));
        EXPECT_EQ (separate, inPlace);

        auto c = loaded ("conditioned.json");
        auto d = loaded ("conditioned.json");
        inPlace = input;
        c->process (input.data(), 0.9f, separate.data(), int (input.size()));
        d->process (inPlace.data(), 0.9f, inPlace.data(), int (input.size()));
        EXPECT_EQ (separate, inPlace);
    }
}

// A NaN or infinity from upstream comes out as such, but must not poison the recurrent state:
// the samples after it are finite again.
TEST (RT_LSTM, NonFiniteInputDoesNotPoisonTheState)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    const auto normal = testSignal (300);

    for (auto kernel : RT_LSTM::availableKernels())
    {
        SCOPED_TRACE (RT_LSTM::kernelName (kernel));
        ScopedKernel forced (kernel);
        auto lstm = loaded ("plain.json");

        std::vector<float> bad = { std::numeric_limits<float>::quiet_NaN(), inf, -inf };
        lstm->process (bad.data(), bad.data(), int (bad.size()));

        auto out = normal;
        lstm->process (out.data(), out.data(), int (out.size()));
        EXPECT_TRUE (std::all_of (out.begin(), out.end(), [] (float v) { return std::isfinite (v); }));
    }
}

// Huge, tiny and denormal inputs must not overflow the fast exponentials into inf/NaN, which
// would poison the recurrent state for good; afterwards every kernel is back on the reference.
TEST (RT_LSTM, ExtremeInputsLeaveTheStateUsable)
{
    std::vector<float> extreme = { 1.0e30f, -1.0e30f, 3.0e38f, -3.0e38f, 1.0e-40f, -1.0e-42f, 100.0f, -100.0f, 0.0f };
    const auto normal = testSignal (400);

    auto run = [&] (LstmKernel kernel)
    {
        ScopedKernel forced (kernel);
        auto lstm = loaded ("plain.json");
        auto wild = extreme;
        lstm->process (wild.data(), wild.data(), int (wild.size()));
        for (auto v : wild)
            EXPECT_TRUE (std::isfinite (v)) << RT_LSTM::kernelName (kernel);
        auto out = normal;
        lstm->process (out.data(), out.data(), int (out.size()));
        return out;
    };

    const auto reference = run (LstmKernel::reference);
    for (auto kernel : RT_LSTM::availableKernels())
    {
        const auto out = run (kernel);
        for (std::size_t n = 0; n < out.size(); ++n)
            ASSERT_NEAR (out[n], reference[n], 1e-4) << RT_LSTM::kernelName (kernel) << " sample " << n;
    }
}

TEST (RT_LSTM, KernelChoiceFollowsTheCpu)
{
    const auto available = RT_LSTM::availableKernels();
    ASSERT_FALSE (available.empty());
    EXPECT_EQ (available.front(), LstmKernel::reference);
    EXPECT_EQ (available.back(), RT_LSTM::bestKernel()) << "the widest supported kernel is the default";
    EXPECT_EQ (RT_LSTM::activeKernel(), RT_LSTM::bestKernel());

    for (auto kernel : { LstmKernel::reference, LstmKernel::sse2, LstmKernel::avx2, LstmKernel::avx512 })
    {
        const bool supported = std::find (available.begin(), available.end(), kernel) != available.end();
        const auto before = RT_LSTM::activeKernel();
        EXPECT_EQ (RT_LSTM::setKernel (kernel), supported);
        EXPECT_EQ (RT_LSTM::activeKernel(), supported ? kernel : before);
    }
    RT_LSTM::setKernel (RT_LSTM::bestKernel());
}
