#pragma once

#include "engine/ModelSelection.h"
#include "engine/PeakFollower.h"
#include "model/RT_LSTM.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <array>
#include <atomic>
#include <memory>

class ProcessorPresetManager;

// The plug-in's audio processor: parameters and state, the bank of tube networks, and the signal
// chain  in -> trim -> drive -> [2x] tube network [/2] -> DC blocker -> band limit -> switch fades
//        -> High Pass -> Low Pass -> mix/output/make-up (+ delayed dry) -> output trim -> out.
class GuipluginAudioProcessor : public juce::AudioProcessor,
                                public juce::ValueTree::Listener
{
public:
    GuipluginAudioProcessor();
    ~GuipluginAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    // Presets are files (see ProcessorPresetManager), not host programs.
    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void valueTreePropertyChanged (juce::ValueTree&, const juce::Identifier&) override {}

    static juce::AudioProcessorValueTreeState::ParameterLayout generateLayout();

    // Root properties of the state tree, next to the parameters.
    static inline const juce::Identifier currentPresetProperty { "Current_Selected_Preset" };
    static inline const juce::Identifier presetModifiedProperty { "Preset_Has_Been_Modified" };

    std::unique_ptr<juce::AudioProcessorValueTreeState> treeState;
    std::unique_ptr<ProcessorPresetManager> presetManager;

    // Written by the audio thread, read by the editor's tube glow.
    std::atomic<float> meterLevel { 0.0f };
    std::atomic<float> lastEnvelope { 1.0f };

    //==============================================================================
    // Read-only views for the renderer, the benchmarks and the tests.
    int getOversamplingFactor() const noexcept { return oversamplingFactor; }
    int getDryDelaySamples() const noexcept { return dryDelaySamples; }
    float getBandLimitFrequency() const noexcept { return bandLimitFrequency; }
    int getSwitchState() const noexcept { return switchState.load (std::memory_order_acquire); }
    float getSwitchGain() const noexcept { return switchGain; }
    bool isCrossfading() const noexcept { return crossfadeActive; }
    bool isPrepared() const noexcept { return prepared; }
    bool isModelReady() const noexcept { return modelReady; }
    int getActivePair() const noexcept { return pairIndexOf (activeLeft); }
    int getPendingPair() const noexcept { return pairIndexOf (pendingLeft); }
    float getMakeupTargetDb() const noexcept { return makeupTargetDb; }

private:
    struct alignas (64) ModelPair
    {
        RT_LSTM left, right;
    };

    struct SwitchValues
    {
        bool typeT = false, typeP1 = false, typeP2 = false, overDrive = false, ultra = false;
    };

    void processChunk (juce::AudioBuffer<float>& buffer) noexcept;
    void selectModelsNow (const SwitchValues&) noexcept;
    void checkModelChange (const SwitchValues&) noexcept;
    void advanceSwitch (juce::AudioBuffer<float>& buffer) noexcept;
    void runModels (juce::dsp::AudioBlock<float>& block, bool useConditioned, float drive) noexcept;
    void updateLatency (bool ultra) noexcept;
    void updateMeter (const juce::AudioBuffer<float>& buffer, float meterScale) noexcept;
    void resetSignalState() noexcept;
    SwitchValues readSwitchValues() const noexcept;
    int pairIndexOf (const RT_LSTM*) const noexcept;
    static bool replaceNonFinite (float* data, int numSamples) noexcept;

    // Parameters (atomic values owned by treeState), fetched once after construction.
    std::atomic<float>* outputTrimValue = nullptr;
    std::atomic<float>* inputTrimValue = nullptr;
    std::atomic<float>* dryMixValue = nullptr;
    std::atomic<float>* driveValue = nullptr;
    std::atomic<float>* outputValue = nullptr;
    std::atomic<float>* powerValue = nullptr;
    std::atomic<float>* ultraValue = nullptr;
    std::atomic<float>* linkValue = nullptr;
    std::atomic<float>* lowPassValue = nullptr;
    std::atomic<float>* highPassValue = nullptr;
    std::atomic<float>* typeTValue = nullptr;
    std::atomic<float>* typeP1Value = nullptr;
    std::atomic<float>* typeP2Value = nullptr;
    std::atomic<float>* overDriveValue = nullptr;

    // Model bank and switching.
    std::array<ModelPair, ModelSelection::numPairs> modelBank;
    RT_LSTM* activeLeft = nullptr;
    RT_LSTM* activeRight = nullptr;
    RT_LSTM* pendingLeft = nullptr;
    RT_LSTM* pendingRight = nullptr;
    bool conditioned = false;
    bool modelReady = false;
    std::atomic<int> switchState { 0 };
    bool crossfadeActive = false;
    int crossfadePosition = 0;
    float crossfadeFrom = 1.0f;
    float switchGain = 1.0f;            // the switch gain the last block ended on
    juce::AudioBuffer<float> switchSnapshot;
    juce::AudioBuffer<float> warmupBuffer;
    std::atomic<bool> selectionDirty { false };
    bool lastTypeT = false, lastTypeP1 = false, lastTypeP2 = false, lastOverDrive = false, lastUltra = false;

    // Signal chain.
    using StereoIIR = juce::dsp::ProcessorDuplicator<juce::dsp::IIR::Filter<float>, juce::dsp::IIR::Coefficients<float>>;
    std::array<juce::dsp::IIR::Filter<float>, 2> userHighPass;
    std::array<juce::dsp::IIR::Filter<float>, 2> userLowPass;
    StereoIIR dcBlocker;
    StereoIIR bandLimiter;
    juce::dsp::Gain<float> inputTrim, driveGain, wetLevel, outputLevel, makeupGain, dryLevel, outputTrim;
    std::unique_ptr<juce::dsp::Oversampling<float>> oversamplerWet, oversamplerDry;
    int oversamplingFactor = 1;
    juce::AudioBuffer<float> dryBuffer;
    juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::Linear> dryDelay;
    int dryDelaySamples = 0;
    bool prepared = false;

    // Coefficients are recomputed only when their frequency moves (in place: no allocation).
    float bandLimitFrequency = 0.0f;
    float userHighPassFrequency = -1.0f, userLowPassFrequency = -1.0f;
    float makeupTargetDb = 0.0f;
    int makeupPair = ModelSelection::none;   // the pair whose level compensation is applied

    // The host's bypass delays by the reported latency (at most 39 samples).
    juce::AudioBuffer<float> bypassDelay;
    int bypassDelayPosition = 0;

    int preparedBlockSize = 0;
    int preparedChannels = 0;

    // Level meter.
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear> needleSmoother;
    std::unique_ptr<PeakFollower> needleFollower;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GuipluginAudioProcessor)
};
