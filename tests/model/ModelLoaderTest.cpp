// Model files as the loader meets them: damaged ones are refused with a message that names the
// problem and leave the stage passing audio through; harmless variations load as usual.
#include "ModelTestSupport.h"

#include "model/ModelLoader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace model_test;
using ::testing::HasSubstr;

namespace
{
    using json = nlohmann::json;

    std::vector<float> runPlain (RT_LSTM& lstm, const std::vector<float>& input)
    {
        std::vector<float> out (input.size());
        lstm.process (input.data(), out.data(), int (input.size()));
        return out;
    }
}

TEST (ModelLoader, DamagedFilesAreRefusedAndLeaveThePassThroughState)
{
    const auto valid = readJson (fixture ("plain.json"));
    const auto validText = valid.dump();

    struct Case
    {
        const char* what;
        std::function<std::string()> text;
        const char* message;
    };

    const auto edited = [&valid] (std::function<void (json&)> edit)
    {
        return [&valid, edit]
        {
            auto j = valid;
            edit (j);
            return j.dump();
        };
    };
    auto& sdKey = "state_dict";

    const Case cases[] = {
        { "empty block", [] { return std::string(); }, "not valid JSON" },
        { "cut off halfway", [&] { return validText.substr (0, validText.size() / 2); }, "not valid JSON" },
        { "text after the object", [&] { return validText + " {}"; }, "not valid JSON" },
        { "comment", [&] { return "// tube\n" + validText; }, "not valid JSON" },
        { "top level array", [] { return std::string ("[1, 2]"); }, "expected a JSON object" },
        { "no model_data", edited ([] (json& j) { j.erase ("model_data"); }), "key 'model_data' not found" },
        { "model_data not an object", edited ([] (json& j) { j["model_data"] = 1; }), "model_data: expected an object" },
        { "no input_size", edited ([] (json& j) { j["model_data"].erase ("input_size"); }), "key 'input_size' not found" },
        { "input_size a string", edited ([] (json& j) { j["model_data"]["input_size"] = "1"; }), "type must be number, but is string" },
        { "input_size null", edited ([] (json& j) { j["model_data"]["input_size"] = nullptr; }), "type must be number, but is null" },
        { "input_size beyond int", edited ([] (json& j) { j["model_data"]["input_size"] = 4294967297LL; }), "input_size: 4294967297 is out of range" },
        { "no state_dict", edited ([] (json& j) { j.erase ("state_dict"); }), "key 'state_dict' not found" },
        { "no recurrent weights", edited ([&] (json& j) { j[sdKey].erase ("rec.weight_hh_l0"); }), "key 'rec.weight_hh_l0' not found" },
        { "no dense bias", edited ([&] (json& j) { j[sdKey].erase ("lin.bias"); }), "key 'lin.bias' not found" },
        { "159 recurrent rows", edited ([&] (json& j) { j[sdKey]["rec.weight_hh_l0"].erase (159); }),
          "state_dict/rec.weight_hh_l0: expected 160 rows of 40 numbers" },
        { "161 recurrent rows", edited ([&] (json& j) { j[sdKey]["rec.weight_hh_l0"].push_back (j[sdKey]["rec.weight_hh_l0"][0]); }),
          "state_dict/rec.weight_hh_l0: expected 160 rows of 40 numbers" },
        { "short recurrent row", edited ([&] (json& j) { j[sdKey]["rec.weight_hh_l0"][77].erase (39); }),
          "state_dict/rec.weight_hh_l0: expected 160 rows of 40 numbers (row 77 has 39 values)" },
        { "string among weights", edited ([&] (json& j) { j[sdKey]["rec.weight_hh_l0"][3][4] = "0.5"; }),
          "state_dict/rec.weight_hh_l0: expected 160 rows of 40 numbers (row 3 value 4" },
        { "boolean weight", edited ([&] (json& j) { j[sdKey]["rec.weight_ih_l0"][0][0] = true; }),
          "state_dict/rec.weight_ih_l0: expected 160 rows of 1 number" },
        { "input weights for two inputs", edited ([&] (json& j) { for (auto& row : j[sdKey]["rec.weight_ih_l0"]) row.push_back (0.1); }),
          "state_dict/rec.weight_ih_l0: expected 160 rows of 1 number" },
        { "two inputs declared, one given", edited ([] (json& j) { j["model_data"]["input_size"] = 2; }),
          "state_dict/rec.weight_ih_l0: expected 160 rows of 2 numbers" },
        { "flat input weights", edited ([&] (json& j) { j[sdKey]["rec.weight_ih_l0"] = json (std::vector<float> (160, 0.1f)); }),
          "state_dict/rec.weight_ih_l0: expected 160 rows of 1 number (row 0 is number)" },
        { "long bias", edited ([&] (json& j) { j[sdKey]["rec.bias_ih_l0"].push_back (0.0); }), "state_dict/rec.bias_ih_l0: expected 160 numbers" },
        { "null in bias", edited ([&] (json& j) { j[sdKey]["rec.bias_hh_l0"][10] = nullptr; }), "state_dict/rec.bias_hh_l0: expected 160 numbers" },
        { "bias an object", edited ([&] (json& j) { j[sdKey]["rec.bias_hh_l0"] = json::object(); }), "state_dict/rec.bias_hh_l0: expected 160 numbers (found object)" },
        { "dense weights not nested", edited ([&] (json& j) { j[sdKey]["lin.weight"] = j[sdKey]["lin.weight"][0]; }),
          "state_dict/lin.weight: expected 1 row of 40 numbers" },
        { "two dense rows", edited ([&] (json& j) { j[sdKey]["lin.weight"].push_back (j[sdKey]["lin.weight"][0]); }),
          "state_dict/lin.weight: expected 1 row of 40 numbers" },
        { "empty dense bias", edited ([&] (json& j) { j[sdKey]["lin.bias"] = json::array(); }), "state_dict/lin.bias: expected 1 number" },
        { "weight beyond float range", edited ([&] (json& j) { j[sdKey]["lin.weight"][0][5] = 1.0e39; }),
          "state_dict/lin.weight: expected 1 row of 40 numbers (row 0 value 5 is not a finite float)" },
        { "biases that overflow when summed", edited ([&] (json& j) { j[sdKey]["rec.bias_ih_l0"][9] = 3.0e38; j[sdKey]["rec.bias_hh_l0"][9] = 3.0e38; }),
          "sum 9 is out of float range" },
    };

    const auto input = testSignal (200);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto lstm = std::make_unique<RT_LSTM>();
        lstm->load_json (readBlock (fixture ("conditioned.json"))); // a working model to lose
        ASSERT_EQ (lstm->input_size, 2);

        try
        {
            lstm->load_json (blockOf (c.text()));
            ADD_FAILURE() << "accepted";
        }
        catch (const std::runtime_error& e)
        {
            EXPECT_THAT (e.what(), HasSubstr (c.message));
        }

        EXPECT_EQ (lstm->input_size, 1);
        EXPECT_EQ (runPlain (*lstm, input), input);
        std::vector<float> out (input.size());
        lstm->process (input.data(), 0.5f, out.data(), int (out.size()));
        EXPECT_EQ (out, input);
    }
}

TEST (ModelLoader, HarmlessVariationsLoadTheSameNetwork)
{
    const auto valid = readJson (fixture ("plain.json"));
    const auto input = testSignal (500);

    RT_LSTM baseline;
    load (baseline, valid);
    const auto expected = runPlain (baseline, input);
    ASSERT_NE (expected, input);

    const std::pair<const char*, std::function<void (json&)>> variations[] = {
        { "no skip", [] (json& j) { j["model_data"].erase ("skip"); } },
        { "skip 0 (the residual is always added)", [] (json& j) { j["model_data"]["skip"] = 0; } },
        { "extra keys everywhere", [] (json& j)
          {
              j["trainer"] = { { "epochs", 300 } };
              j["model_data"]["comment"] = "tube";
              j["state_dict"]["rec.weight_ih_l1"] = json::array();
          } },
        { "input_size true", [] (json& j) { j["model_data"]["input_size"] = true; } },
        { "input_size 1.9 truncates", [] (json& j) { j["model_data"]["input_size"] = 1.9; } },
    };

    for (const auto& [what, change] : variations)
    {
        SCOPED_TRACE (what);
        auto j = valid;
        change (j);
        RT_LSTM lstm;
        load (lstm, j);
        EXPECT_EQ (lstm.input_size, 1);
        EXPECT_EQ (runPlain (lstm, input), expected);
    }

    // Integers are numbers too.
    auto withFloat = valid, withInteger = valid;
    withFloat["state_dict"]["lin.bias"][0] = 1.0;
    withInteger["state_dict"]["lin.bias"][0] = 1;
    RT_LSTM a, b;
    load (a, withFloat);
    load (b, withInteger);
    EXPECT_EQ (runPlain (a, input), runPlain (b, input));
}

TEST (ModelLoader, InputSizeFormsSelectTheNetwork)
{
    const std::pair<json, int> forms[] = {
        { 2, 2 }, { 2.7, 2 }, { false, 0 }, { -0.5, 0 }, { 7, 7 },
    };

    for (const auto& [value, expected] : forms)
    {
        SCOPED_TRACE (value.dump());
        auto m = modelJson (2, 0.0f);
        m["model_data"]["input_size"] = value;
        const auto weights = ModelLoader::parse (m.dump().data(), m.dump().size());
        EXPECT_EQ (weights.inputSize, expected);
        EXPECT_EQ (weights.hasWeights, expected == 2);
    }
}
