// Every kernel the CPU supports against float64 PyTorch, on seeded trained-scale networks
// (fixtures made by tests/fixtures/model/make_golden.py) and on the shipped networks' golden pairs.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>

using namespace model_test;

namespace
{
    constexpr double tolerance = 1e-4;

    // Host-like block sizes, including single samples and blocks longer than any internal chunk.
    constexpr int blockSizes[] = { 1, 7, 64, 100, 333, 512, 65, 2 };

    double plainMaxError (RT_LSTM& lstm, const std::vector<float>& input, const std::vector<double>& expected)
    {
        auto out = input;
        std::size_t at = 0;
        for (int b = 0; at < out.size(); ++b)
        {
            const auto count = std::min (out.size() - at, std::size_t (blockSizes[b % std::size (blockSizes)]));
            lstm.process (out.data() + at, out.data() + at, int (count));
            at += count;
        }

        double worst = 0.0;
        for (std::size_t n = 0; n < out.size(); ++n)
            worst = std::max (worst, std::abs (double (out[n]) - expected[n])); // NaN fails below
        for (auto v : out)
            if (! std::isfinite (v))
                return INFINITY;
        return worst;
    }

    double goldenMaxError (const juce::File& modelFile, const juce::File& goldenFile)
    {
        auto lstm = std::make_unique<RT_LSTM>();
        lstm->load_json (readBlock (modelFile));
        const auto golden = readJson (goldenFile);
        return plainMaxError (*lstm, floats (golden.at ("input")), golden.at ("output").get<std::vector<double>>());
    }

    class LstmParity : public ::testing::TestWithParam<LstmKernel>
    {
    protected:
        void SetUp() override
        {
            if (! RT_LSTM::setKernel (GetParam()))
                GTEST_SKIP() << RT_LSTM::kernelName (GetParam()) << " is not available on this CPU";
        }

        void TearDown() override { RT_LSTM::setKernel (RT_LSTM::bestKernel()); }

        void report (const std::string& what, double worst)
        {
            RecordProperty (what + "_max_abs_error", std::to_string (worst));
            std::cout << "[ parity   ] " << RT_LSTM::kernelName (GetParam()) << ", " << what << ": max |error| " << worst << "\n";
        }
    };
}

TEST_P (LstmParity, PlainNetworkMatchesTorch)
{
    const auto worst = goldenMaxError (fixture ("plain.json"), fixture ("plain.golden.json"));
    report ("plain", worst);
    EXPECT_LE (worst, tolerance);
}

TEST_P (LstmParity, ConditionedNetworkWithRampedParamMatchesTorch)
{
    auto lstm = std::make_unique<RT_LSTM>();
    lstm->load_json (readBlock (fixture ("conditioned.json")));
    ASSERT_EQ (lstm->input_size, 2);

    double worst = 0.0;
    const auto golden = readJson (fixture ("conditioned.golden.json"));
    for (const auto& block : golden.at ("blocks"))
    {
        auto io = floats (block.at ("input"));
        const auto expected = block.at ("output").get<std::vector<double>>();
        lstm->process (io.data(), block.at ("param").get<float>(), io.data(), int (io.size()));
        for (std::size_t n = 0; n < io.size(); ++n)
            worst = std::max (worst, std::isfinite (io[n]) ? std::abs (double (io[n]) - expected[n]) : INFINITY);
    }
    report ("conditioned", worst);
    EXPECT_LE (worst, tolerance);
}

// The training run writes models/golden/<name>.golden.json next to each shipped network.
TEST_P (LstmParity, ShippedNetworksMatchTheirGoldenPairs)
{
    const auto models = juce::File (BRIMSTACK3_MODELS_DIR);
    int checked = 0;
    for (const auto* name : { "tube_T", "tube_P1", "tube_P2", "tube_T_od", "tube_P1_od", "tube_P2_od" })
    {
        const auto golden = models.getChildFile ("golden").getChildFile (std::string (name) + ".golden.json");
        if (! golden.existsAsFile())
            continue;
        const auto worst = goldenMaxError (models.getChildFile (std::string (name) + ".json"), golden);
        report (name, worst);
        EXPECT_LE (worst, tolerance) << name;
        ++checked;
    }
    if (checked == 0)
        GTEST_SKIP() << "no golden pairs in " << models.getChildFile ("golden").getFullPathName();
}

// Longer pairs (make_golden.py --long DIR writes one second at 96 kHz) when pointed at them.
TEST_P (LstmParity, ExtraGoldenPairsFromEnvironment)
{
    const char* dir = std::getenv ("BRIMSTACK3_EXTRA_GOLDEN_DIR");
    if (dir == nullptr)
        GTEST_SKIP() << "BRIMSTACK3_EXTRA_GOLDEN_DIR not set";

    int checked = 0;
    for (const auto& golden : juce::File (dir).findChildFiles (juce::File::findFiles, false, "*.golden.json"))
    {
        const auto model = golden.getSiblingFile (golden.getFileName().upToFirstOccurrenceOf (".golden.json", false, false) + ".json");
        const auto worst = goldenMaxError (model, golden);
        report (golden.getFileName().toStdString(), worst);
        EXPECT_LE (worst, tolerance) << golden.getFullPathName();
        ++checked;
    }
    EXPECT_GT (checked, 0) << "no *.golden.json in " << dir;
}

INSTANTIATE_TEST_SUITE_P (Kernels, LstmParity,
                          ::testing::Values (LstmKernel::reference, LstmKernel::sse2, LstmKernel::avx2, LstmKernel::avx512),
                          [] (const auto& kernelParam)
                          {
                              switch (kernelParam.param)
                              {
                                  case LstmKernel::reference: return std::string ("Reference");
                                  case LstmKernel::sse2:      return std::string ("Sse2");
                                  case LstmKernel::avx2:      return std::string ("Avx2");
                                  case LstmKernel::avx512:    return std::string ("Avx512");
                              }
                              return std::string ("Unknown");
                          });
