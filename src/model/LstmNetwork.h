#pragma once

#include <cstring>

// One LSTM layer (InputSize inputs, 40 units) followed by a 40 -> 1 dense layer, sizes fixed at
// compile time. Weights are stored in the layout every kernel reads:
//
//   column = (unit / 8) * 32 + gate * 8 + unit % 8      gate 0..3 = input, forget, cell, output
//
// so eight units' four gates sit in one 32-float block: a 4-, 8- or 16-wide kernel sees whole
// gate groups, and one broadcast of h[k] times row k of `recurrent` feeds all 160 gates.
template <int InputSize>
struct LstmNetwork
{
    static_assert (InputSize >= 1 && InputSize <= 2, "the tube model has one or two inputs");

    static constexpr int inputSize = InputSize;
    static constexpr int hiddenSize = 40;
    static constexpr int gateCount = 4 * hiddenSize;
    static constexpr int unitsPerBlock = 8;
    static constexpr int blockCount = hiddenSize / unitsPerBlock;

    static constexpr int column (int gate, int unit) noexcept
    {
        return (unit / unitsPerBlock) * (4 * unitsPerBlock) + gate * unitsPerBlock + unit % unitsPerBlock;
    }

    alignas (64) float recurrent[hiddenSize][gateCount]; // U transposed: row k multiplies h[k]
    alignas (64) float input[InputSize][gateCount];      // W transposed: row j multiplies x[j]
    alignas (64) float bias[gateCount];                  // b_ih + b_hh
    alignas (64) float denseWeights[hiddenSize];
    float denseBias;

    alignas (64) float hidden[hiddenSize];
    alignas (64) float cell[hiddenSize];

    LstmNetwork() noexcept { clear(); }

    void clear() noexcept
    {
        std::memset (recurrent, 0, sizeof (recurrent));
        std::memset (input, 0, sizeof (input));
        std::memset (bias, 0, sizeof (bias));
        std::memset (denseWeights, 0, sizeof (denseWeights));
        denseBias = 0.0f;
        resetState();
    }

    void resetState() noexcept
    {
        std::memset (hidden, 0, sizeof (hidden));
        std::memset (cell, 0, sizeof (cell));
    }
};
