#pragma once

#include "model/LstmKernels.h"
#include "model/LstmNetwork.h"

#include <atomic>
#include <vector>

namespace juce { class MemoryBlock; }

// One channel's tube stage: a 40-unit LSTM and a dense layer whose output is added to the input.
// Held by value (the processor keeps twelve); load once before playback, reset in preparation,
// process on the audio thread.
class alignas (64) RT_LSTM
{
public:
    RT_LSTM() noexcept;

    // Throws std::runtime_error (ModelLoadError) with a message naming what is wrong; after a failed
    // load the instance is back in its constructed state and passes audio through.
    void load_json (const juce::MemoryBlock& jsonBlock);

    void reset() noexcept;

    void process (const float* in, float* out, int numSamples) noexcept;
    // `param` ramps linearly from the previous block's value, reaching it on the last sample.
    void process (const float* in, float param, float* out, int numSamples) noexcept;

    // Kernel choice is process-wide: the best one the CPU supports unless forced (tests, bench).
    static std::vector<LstmKernel> availableKernels();
    static LstmKernel bestKernel() noexcept;
    static LstmKernel activeKernel() noexcept;
    static bool setKernel (LstmKernel) noexcept; // false, and nothing changes, if unsupported
    static const char* kernelName (LstmKernel) noexcept;

    int input_size = 1;
    float last_param = 0.0f;
    float param_step = 0.0f;
    bool param_ramping = false;

    LstmNetwork<1> plain_model;
    LstmNetwork<2> conditioned_model;

    float cond_input[2] = { 0.0f, 0.0f };

private:
    static std::atomic<const LstmKernelFunctions*> activeFunctions;
    static std::atomic<LstmKernel> activeKind;
};
