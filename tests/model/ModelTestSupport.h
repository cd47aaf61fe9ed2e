#pragma once

#include "model/RT_LSTM.h"

#include <juce_core/juce_core.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// Shared by the model tests: fixture files, golden pairs and hand-built model files.
namespace model_test
{
    inline juce::File fixture (const std::string& name)
    {
        return juce::File (BRIMSTACK3_FIXTURES_DIR).getChildFile ("model").getChildFile (name);
    }

    inline juce::MemoryBlock blockOf (const std::string& text) { return { text.data(), text.size() }; }

    inline juce::MemoryBlock readBlock (const juce::File& file)
    {
        juce::MemoryBlock block;
        file.loadFileAsData (block);
        return block;
    }

    inline nlohmann::json readJson (const juce::File& file)
    {
        return nlohmann::json::parse (file.loadFileAsString().toStdString());
    }

    inline std::vector<float> floats (const nlohmann::json& array) { return array.get<std::vector<float>>(); }

    // A well-formed model file with every weight set to `fill` (the dense bias too).
    inline nlohmann::json modelJson (int inputSize, float fill = 0.0f)
    {
        using nlohmann::json;
        const auto rows = [] (int count, json row) { return json (std::vector<json> (std::size_t (count), row)); };
        return {
            { "model_data", { { "model", "SimpleRNN" }, { "input_size", inputSize }, { "skip", 1 }, { "output_size", 1 },
                              { "unit_type", "LSTM" }, { "num_layers", 1 }, { "hidden_size", 40 }, { "bias_fl", true } } },
            { "state_dict", { { "rec.weight_ih_l0", rows (160, rows (inputSize, fill)) },
                              { "rec.weight_hh_l0", rows (160, rows (40, fill)) },
                              { "rec.bias_ih_l0", rows (160, fill) },
                              { "rec.bias_hh_l0", rows (160, fill) },
                              { "lin.weight", rows (1, rows (40, fill)) },
                              { "lin.bias", rows (1, fill) } } }
        };
    }

    inline void load (RT_LSTM& lstm, const nlohmann::json& model) { lstm.load_json (blockOf (model.dump())); }

    // Forces one kernel for the life of the object, then goes back to the CPU's best.
    struct ScopedKernel
    {
        explicit ScopedKernel (LstmKernel k) : ok (RT_LSTM::setKernel (k)) {}
        ~ScopedKernel() { RT_LSTM::setKernel (RT_LSTM::bestKernel()); }
        const bool ok;
    };

    // A test signal: a few partials, loud enough to drive a tube net into its curve.
    inline std::vector<float> testSignal (int length, float peak = 0.8f)
    {
        std::vector<float> x (std::size_t (length), 0.0f);
        for (int n = 0; n < length; ++n)
            x[std::size_t (n)] = peak * (0.7f * std::sin (0.031f * float (n)) + 0.3f * std::sin (0.173f * float (n) + 1.0f));
        return x;
    }
}
