#include "model/ModelLoader.h"

#include <nlohmann/json.hpp>

#include <cfloat>
#include <climits>
#include <cmath>

namespace
{
    using nlohmann::json;

    [[noreturn]] void fail (const std::string& message) { throw ModelLoadError (message); }

    const json& member (const json& object, const char* key)
    {
        const auto found = object.find (key);
        if (found == object.end())
            fail (std::string ("key '") + key + "' not found");
        return *found;
    }

    // JSON doubles narrowed to float; a value beyond float range would become inf and poison the net.
    bool toFloat (const json& value, float& result)
    {
        if (! value.is_number())
            return false;
        const auto d = value.get<double>();
        if (! std::isfinite (d) || std::fabs (d) > double (FLT_MAX))
            return false;
        result = static_cast<float> (d);
        return true;
    }

    int readInputSize (const json& modelData)
    {
        const auto& value = member (modelData, "input_size");

        if (value.is_boolean())
            return value.get<bool>() ? 1 : 0;

        if (value.is_number_unsigned())
        {
            const auto u = value.get<std::uint64_t>();
            if (u > std::uint64_t (INT_MAX))
                fail ("model_data/input_size: " + std::to_string (u) + " is out of range");
            return static_cast<int> (u);
        }

        if (value.is_number_integer())
        {
            const auto i = value.get<std::int64_t>();
            if (i < INT_MIN || i > INT_MAX)
                fail ("model_data/input_size: " + std::to_string (i) + " is out of range");
            return static_cast<int> (i);
        }

        if (value.is_number_float())
        {
            const auto d = std::trunc (value.get<double>());
            if (! (d >= double (INT_MIN) && d <= double (INT_MAX)))
                fail ("model_data/input_size: value is out of range");
            return static_cast<int> (d);
        }

        fail (std::string ("model_data/input_size: type must be number, but is ") + value.type_name());
    }

    // rows x cols numbers, row-major, into out.
    void readMatrix (const json& stateDict, const char* key, int rows, int cols, std::vector<float>& out)
    {
        const auto& value = member (stateDict, key);
        const auto shapeError = [&] (const std::string& detail)
        {
            fail ("state_dict/" + std::string (key) + ": expected " + std::to_string (rows) + (rows == 1 ? " row of " : " rows of ")
                  + std::to_string (cols) + (cols == 1 ? " number" : " numbers") + " (" + detail + ")");
        };

        if (! value.is_array())
            shapeError (std::string ("found ") + value.type_name());
        if (value.size() != std::size_t (rows))
            shapeError ("found " + std::to_string (value.size()) + " rows");

        out.assign (std::size_t (rows) * std::size_t (cols), 0.0f);

        for (int r = 0; r < rows; ++r)
        {
            const auto& row = value[std::size_t (r)];
            if (! row.is_array())
                shapeError ("row " + std::to_string (r) + " is " + row.type_name());
            if (row.size() != std::size_t (cols))
                shapeError ("row " + std::to_string (r) + " has " + std::to_string (row.size()) + " values");

            for (int c = 0; c < cols; ++c)
                if (! toFloat (row[std::size_t (c)], out[std::size_t (r * cols + c)]))
                    shapeError ("row " + std::to_string (r) + " value " + std::to_string (c) + " is not a finite float");
        }
    }

    void readVector (const json& stateDict, const char* key, int size, std::vector<float>& out)
    {
        const auto& value = member (stateDict, key);
        const auto shapeError = [&] (const std::string& detail)
        {
            fail ("state_dict/" + std::string (key) + ": expected " + std::to_string (size)
                  + (size == 1 ? " number" : " numbers") + " (" + detail + ")");
        };

        if (! value.is_array())
            shapeError (std::string ("found ") + value.type_name());
        if (value.size() != std::size_t (size))
            shapeError ("found " + std::to_string (value.size()) + " values");

        out.assign (std::size_t (size), 0.0f);
        for (int i = 0; i < size; ++i)
            if (! toFloat (value[std::size_t (i)], out[std::size_t (i)]))
                shapeError ("value " + std::to_string (i) + " is not a finite float");
    }
}

LstmModelWeights ModelLoader::parse (const void* data, std::size_t size)
{
    json root;
    try
    {
        const auto* begin = static_cast<const char*> (data);
        root = json::parse (begin, begin + size);
    }
    catch (const json::exception& e)
    {
        fail (std::string ("model file is not valid JSON: ") + e.what());
    }

    if (! root.is_object())
        fail (std::string ("model file: expected a JSON object, found ") + root.type_name());

    const auto& modelData = member (root, "model_data");
    if (! modelData.is_object())
        fail (std::string ("model_data: expected an object, found ") + modelData.type_name());

    LstmModelWeights weights;
    weights.inputSize = readInputSize (modelData);

    if (weights.inputSize != 1 && weights.inputSize != 2)
        return weights; // no network of that shape: the caller passes audio through

    const auto& stateDict = member (root, "state_dict");
    if (! stateDict.is_object())
        fail (std::string ("state_dict: expected an object, found ") + stateDict.type_name());

    constexpr int gates = LstmModelWeights::gateCount;
    constexpr int hidden = LstmModelWeights::hiddenSize;

    readMatrix (stateDict, "rec.weight_ih_l0", gates, weights.inputSize, weights.inputWeights);
    readMatrix (stateDict, "rec.weight_hh_l0", gates, hidden, weights.recurrentWeights);

    std::vector<float> biasHidden;
    readVector (stateDict, "rec.bias_ih_l0", gates, weights.bias);
    readVector (stateDict, "rec.bias_hh_l0", gates, biasHidden);
    for (int i = 0; i < gates; ++i)
    {
        weights.bias[std::size_t (i)] += biasHidden[std::size_t (i)];
        if (! std::isfinite (weights.bias[std::size_t (i)]))
            fail ("state_dict/rec.bias_ih_l0 + rec.bias_hh_l0: sum " + std::to_string (i) + " is out of float range");
    }

    std::vector<float> denseBias;
    readMatrix (stateDict, "lin.weight", 1, hidden, weights.denseWeights);
    readVector (stateDict, "lin.bias", 1, denseBias);
    weights.denseBias = denseBias[0];

    weights.hasWeights = true;
    return weights;
}
