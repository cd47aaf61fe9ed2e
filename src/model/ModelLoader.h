#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

// A model file that cannot be used. The message names the key and what was wrong with it.
class ModelLoadError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The weights of one exported PyTorch LSTM(inputSize, 40) + Linear(40, 1), in PyTorch's layout
// (gate rows i, f, g, o), validated against the compiled sizes.
struct LstmModelWeights
{
    static constexpr int hiddenSize = 40;
    static constexpr int gateCount = 4 * hiddenSize;

    int inputSize = 0;
    bool hasWeights = false;          // false when inputSize is neither 1 nor 2: nothing to load
    std::vector<float> inputWeights;  // [gateCount][inputSize]  (rec.weight_ih_l0)
    std::vector<float> recurrentWeights; // [gateCount][hiddenSize] (rec.weight_hh_l0)
    std::vector<float> bias;          // [gateCount], bias_ih + bias_hh
    std::vector<float> denseWeights;  // [hiddenSize]
    float denseBias = 0.0f;
};

namespace ModelLoader
{
    // Parses and checks the whole file before anything is returned. Throws ModelLoadError.
    LstmModelWeights parse (const void* data, std::size_t size);
}
