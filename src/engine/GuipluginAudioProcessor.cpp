#include "engine/GuipluginAudioProcessor.h"

#include "engine/Parameters.h"
#include "engine/SwitchSequence.h"
#include "gui/GuipluginAudioProcessorEditor.h"
#include "presets/ProcessorPresetManager.h"

#include "BinaryData.h"

namespace
{
    using ArrayCoefficients = juce::dsp::IIR::ArrayCoefficients<float>;

    // The embedded network of each pair of the model bank, in pair order.
    struct EmbeddedModel { const char* data; int size; };

    const std::array<EmbeddedModel, ModelSelection::numPairs>& embeddedModels()
    {
        static const std::array<EmbeddedModel, ModelSelection::numPairs> models {{
            { BinaryData::tube_T_od_json,  BinaryData::tube_T_od_jsonSize },
            { BinaryData::tube_P1_od_json, BinaryData::tube_P1_od_jsonSize },
            { BinaryData::tube_P2_od_json, BinaryData::tube_P2_od_jsonSize },
            { BinaryData::tube_T_json,     BinaryData::tube_T_jsonSize },
            { BinaryData::tube_P1_json,    BinaryData::tube_P1_jsonSize },
            { BinaryData::tube_P2_json,    BinaryData::tube_P2_jsonSize },
        }};
        return models;
    }

    constexpr float ultraLatencyLimit = 88200.0f;
    constexpr int ultraLatencySamples = 39;
    constexpr int warmupLength = 128;
    constexpr int warmupRounds = 5;

    // Ramps every channel from `from` to `to`; the last sample gets exactly `to`.
    void applyRamp (juce::AudioBuffer<float>& buffer, int numSamples, float from, float to) noexcept
    {
        if (numSamples <= 0)
            return;

        if (from == to)
        {
            if (to != 1.0f)
                buffer.applyGain (0, numSamples, to);
            return;
        }

        const auto step = (to - from) / (float) numSamples;

        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        {
            auto* d = buffer.getWritePointer (ch);
            for (int i = 0; i < numSamples; ++i)
                d[i] *= from + step * (float) (i + 1);
        }
    }

    bool isOn (const std::atomic<float>* value) noexcept
    {
        return value != nullptr && value->load (std::memory_order_relaxed) != 0.0f;
    }
}

//==============================================================================
GuipluginAudioProcessor::GuipluginAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    // Placeholders; the real coefficients follow the knobs once prepared.
    for (auto& f : userHighPass)
    {
        *f.coefficients = ArrayCoefficients::makeFirstOrderHighPass (44100.0, 20.0f);
        f.reset();
    }
    for (auto& f : userLowPass)
    {
        *f.coefficients = ArrayCoefficients::makeFirstOrderLowPass (44100.0, 15000.0f);
        f.reset();
    }

    // Each pair's two instances load the same network, left first. A model that fails to load
    // throws out of the constructor: the host then refuses the instance instead of running it
    // with a silent tube stage.
    for (size_t pair = 0; pair < modelBank.size(); ++pair)
    {
        const auto& model = embeddedModels()[pair];
        const juce::MemoryBlock block (model.data, (size_t) model.size);
        modelBank[pair].left.load_json (block);
        modelBank[pair].right.load_json (block);
    }

    treeState = std::make_unique<juce::AudioProcessorValueTreeState> (*this, nullptr, "Brimstack3", generateLayout());

    const auto presetFolder = ProcessorPresetManager::getDefaultPresetRoot();
    presetManager = std::make_unique<ProcessorPresetManager> (*this, *treeState,
                                                              presetModifiedProperty, currentPresetProperty,
                                                              presetFolder, ".rcp");

    treeState->state.setProperty (currentPresetProperty, "Default", nullptr);
    treeState->state.setProperty (presetModifiedProperty, false, nullptr);

    // Creates the folder when missing and writes the all-defaults state as "Default" when no such
    // file exists; a failure (no permission, no disk) leaves the processor working without it.
    presetManager->ensureDefaultPreset();

    auto value = [this] (const char* id) { return treeState->getRawParameterValue (id); };
    outputTrimValue = value (Parameters::ID::outputTrim);
    inputTrimValue  = value (Parameters::ID::inputTrim);
    dryMixValue     = value (Parameters::ID::dryMix);
    driveValue      = value (Parameters::ID::drive);
    outputValue     = value (Parameters::ID::output);
    powerValue      = value (Parameters::ID::power);
    ultraValue      = value (Parameters::ID::ultra);
    linkValue       = value (Parameters::ID::link);
    lowPassValue    = value (Parameters::ID::lowPass);
    highPassValue   = value (Parameters::ID::highPass);
    typeTValue      = value (Parameters::ID::typeT);
    typeP1Value     = value (Parameters::ID::typeP1);
    typeP2Value     = value (Parameters::ID::typeP2);
    overDriveValue  = value (Parameters::ID::overDrive);
}

GuipluginAudioProcessor::~GuipluginAudioProcessor() = default;

const juce::String GuipluginAudioProcessor::getName() const
{
    return "Brimstack3";
}

juce::AudioProcessorValueTreeState::ParameterLayout GuipluginAudioProcessor::generateLayout()
{
    return Parameters::createLayout();
}

juce::AudioProcessorEditor* GuipluginAudioProcessor::createEditor()
{
    return new GuipluginAudioProcessorEditor (*this);
}

//==============================================================================
void GuipluginAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    // copyState() first writes the parameters' current values into the tree; the live tree can lag
    // behind an automation or a knob move by up to one timer tick.
    juce::MemoryOutputStream stream (destData, false);
    treeState->copyState().writeToStream (stream);
}

void GuipluginAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 0)
        return;

    // JUCE's reader trusts the counts it reads; a corrupt or truncated blob could make it reserve
    // gigabytes or spin for minutes. Such data is refused and the current state kept.
    if (! ProcessorPresetManager::isWellFormedState (data, (size_t) sizeInBytes, {}))
        return;

    juce::MemoryInputStream stream (data, (size_t) sizeInBytes, false);
    auto tree = juce::ValueTree::readFromStream (stream);

    if (tree.isValid())
        treeState->state = tree;
}

bool GuipluginAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& out = layouts.getMainOutputChannelSet();

    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == out;
}

//==============================================================================
GuipluginAudioProcessor::SwitchValues GuipluginAudioProcessor::readSwitchValues() const noexcept
{
    SwitchValues v;
    v.typeT = isOn (typeTValue);
    v.typeP1 = isOn (typeP1Value);
    v.typeP2 = isOn (typeP2Value);
    v.overDrive = isOn (overDriveValue);
    v.ultra = isOn (ultraValue);
    return v;
}

int GuipluginAudioProcessor::pairIndexOf (const RT_LSTM* instance) const noexcept
{
    for (size_t i = 0; i < modelBank.size(); ++i)
        if (instance == &modelBank[i].left)
            return (int) i;
    return ModelSelection::none;
}

void GuipluginAudioProcessor::updateLatency (bool ultra) noexcept
{
    const auto rate = (float) (int) getSampleRate();
    setLatencySamples (ultra && rate < ultraLatencyLimit ? ultraLatencySamples : 0);
}

//==============================================================================
void GuipluginAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    // Tools and tests call this directly, without a host setting the rate first.
    setRateAndBufferSizeDetails (sampleRate, samplesPerBlock);

    const auto numChannels = getTotalNumOutputChannels();
    const auto blockSize = juce::jmax (1, samplesPerBlock);
    const juce::dsp::ProcessSpec spec { sampleRate, (juce::uint32) blockSize, (juce::uint32) numChannels };

    preparedBlockSize = blockSize;
    preparedChannels = numChannels;

    *dcBlocker.state = ArrayCoefficients::makeHighPass (sampleRate, 10.0f);
    *bandLimiter.state = ArrayCoefficients::makeLowPass (sampleRate, juce::jmin (20000.0f, (float) sampleRate * 0.49f));
    bandLimitFrequency = 0.0f;
    dcBlocker.prepare (spec);
    bandLimiter.prepare (spec);

    needleSmoother.reset (sampleRate, 0.0001);
    needleSmoother.setTargetValue (1.0f);
    lastEnvelope.store (1.0f);

    switchSnapshot.setSize (numChannels, blockSize);
    switchSnapshot.clear();
    warmupBuffer.setSize (2, warmupLength);

    const auto switches = readSwitchValues();
    oversamplingFactor = sampleRate <= 48000.0 ? 1 : 0;
    selectModelsNow (switches);

    if (activeLeft != nullptr)  activeLeft->reset();
    if (activeRight != nullptr) activeRight->reset();

    using OS = juce::dsp::Oversampling<float>;
    oversamplerWet = std::make_unique<OS> ((size_t) numChannels, (size_t) oversamplingFactor, OS::filterHalfBandFIREquiripple, true, false);
    oversamplerWet->initProcessing ((size_t) blockSize);
    oversamplerDry = std::make_unique<OS> ((size_t) numChannels, (size_t) oversamplingFactor, OS::filterHalfBandFIREquiripple, true, false);
    oversamplerDry->initProcessing ((size_t) blockSize);

    dryDelay.prepare (spec);
    dryDelay.reset();
    dryDelay.setMaximumDelayInSamples (juce::jmax (4, (int) (sampleRate * 0.1)));

    for (auto& f : userHighPass) f.reset();
    for (auto& f : userLowPass)  f.reset();

    if (needleFollower == nullptr)
        needleFollower = std::make_unique<PeakFollower>();
    needleFollower->prepare ((float) sampleRate);

    for (auto* gain : { &inputTrim, &driveGain, &outputTrim, &dryLevel, &makeupGain, &wetLevel })
    {
        gain->prepare (spec);
        gain->setRampDurationSeconds (0.1);
    }
    outputLevel.prepare (spec);
    outputLevel.setRampDurationSeconds (0.3);

    const auto nyquistSafe = [sampleRate] (float f) { return juce::jmin (f, (float) sampleRate * 0.49f); };
    for (auto& f : userHighPass) *f.coefficients = ArrayCoefficients::makeFirstOrderHighPass (sampleRate, nyquistSafe (20.0f));
    for (auto& f : userLowPass)  *f.coefficients = ArrayCoefficients::makeFirstOrderLowPass (sampleRate, nyquistSafe (20000.0f));
    userHighPassFrequency = userLowPassFrequency = -1.0f;

    dryBuffer.setSize (numChannels, blockSize);
    bypassDelay.setSize (numChannels, 64);
    bypassDelay.clear();
    bypassDelayPosition = 0;

    updateLatency (switches.ultra);

    // Pre-roll: a repeated preparation (no release in between) runs silence through the chain
    // so that filters and networks settle; after a release the calls return at once.
    {
        juce::AudioBuffer<float> silence (juce::jmin (getTotalNumInputChannels(), 2), blockSize);
        juce::MidiBuffer midi;
        for (int done = 0; done < 5000; done += blockSize)
        {
            silence.clear();
            processBlock (silence, midi);
        }
    }

    prepared = true;
    switchGain = 0.0f; // the output starts from silence
    switchState.store (SwitchSequence::fadeInFromPreparation, std::memory_order_release);
}

void GuipluginAudioProcessor::releaseResources()
{
    for (auto& f : userLowPass)  f.reset();
    for (auto& f : userHighPass) f.reset();
    dcBlocker.reset();
    bandLimiter.reset();
    if (activeLeft != nullptr)  activeLeft->reset();
    if (activeRight != nullptr) activeRight->reset();
    needleSmoother.setTargetValue (1.0f);
    dryDelay.reset();
    prepared = false;
}

//==============================================================================
void GuipluginAudioProcessor::selectModelsNow (const SwitchValues& s) noexcept
{
    const auto pair = ModelSelection::selectPair (s.typeT, s.typeP1, s.typeP2, s.overDrive);

    if (pair == ModelSelection::none)
        return;

    pendingLeft = activeLeft = &modelBank[(size_t) pair].left;
    pendingRight = activeRight = &modelBank[(size_t) pair].right;
    switchState.store (0, std::memory_order_release);
    conditioned = activeLeft->input_size > 1;
    modelReady = true;
}

void GuipluginAudioProcessor::checkModelChange (const SwitchValues& s) noexcept
{
    auto compare = [this] (bool& last, bool now)
    {
        if (last != now)
        {
            last = now;
            selectionDirty.store (true, std::memory_order_relaxed);
        }
    };

    compare (lastTypeT, s.typeT);
    compare (lastTypeP1, s.typeP1);
    compare (lastTypeP2, s.typeP2);
    compare (lastOverDrive, s.overDrive);
    compare (lastUltra, s.ultra);

    if (! selectionDirty.load (std::memory_order_relaxed))
        return;

    const auto pair = ModelSelection::selectPair (s.typeT, s.typeP1, s.typeP2, s.overDrive);

    if (pair != ModelSelection::none)
    {
        pendingLeft = &modelBank[(size_t) pair].left;
        pendingRight = &modelBank[(size_t) pair].right;

        if (modelReady && activeLeft != nullptr)
        {
            crossfadeActive = true;
            crossfadePosition = 0;
            crossfadeFrom = switchGain;
        }

        switchState.store (SwitchSequence::start, std::memory_order_release);
        modelReady = true;
    }

    updateLatency (s.ultra);
    selectionDirty.store (false, std::memory_order_relaxed);
}

void GuipluginAudioProcessor::advanceSwitch (juce::AudioBuffer<float>& buffer) noexcept
{
    const auto n = buffer.getNumSamples();
    const auto s = switchState.load (std::memory_order_acquire);

    // A change restarts from what is playing: the level glides from where it was to full over
    // 512 samples (a fresh start fades in from silence; an idle chain is already at full level).
    if (crossfadeActive && crossfadePosition < SwitchSequence::crossfadeLength)
    {
        const auto m = juce::jmin (n, SwitchSequence::crossfadeLength - crossfadePosition);
        const auto span = 1.0f - crossfadeFrom;

        if (span != 0.0f)
        {
            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            {
                auto* d = buffer.getWritePointer (ch);
                for (int i = 0; i < m; ++i)
                    d[i] *= crossfadeFrom + span * (float) (crossfadePosition + i + 1) / (float) SwitchSequence::crossfadeLength;
            }
        }

        crossfadePosition += m;
        switchGain = crossfadeFrom + span * (float) crossfadePosition / (float) SwitchSequence::crossfadeLength;

        if (crossfadePosition >= SwitchSequence::crossfadeLength)
        {
            crossfadeActive = false;
            crossfadePosition = 0;
            switchGain = 1.0f;
        }
        return;
    }

    if (s < 1)
    {
        // Idle: make sure the level is back at unity (it already is after a completed sequence).
        if (switchGain != 1.0f)
        {
            applyRamp (buffer, n, switchGain, 1.0f);
            switchGain = 1.0f;
        }
        return;
    }

    const auto target = SwitchSequence::targetGain (s);

    if (s == SwitchSequence::exchangeStep)
    {
        for (int ch = 0; ch < juce::jmin (buffer.getNumChannels(), switchSnapshot.getNumChannels()); ++ch)
            switchSnapshot.copyFrom (ch, 0, buffer, ch, 0, juce::jmin (n, switchSnapshot.getNumSamples()));

        // The outgoing networks fade to silence over this block; the incoming ones are warmed up
        // on a quiet 100 Hz tone so they start the next block from a settled state.
        applyRamp (buffer, n, switchGain, 0.0f);

        if (pendingLeft != nullptr && pendingRight != nullptr)
        {
            const auto w = 628.3185f / (float) getSampleRate();
            const auto drive = driveValue->load (std::memory_order_relaxed);

            for (int round = 0; round < warmupRounds; ++round)
            {
                for (int ch = 0; ch < 2; ++ch)
                {
                    auto* d = warmupBuffer.getWritePointer (ch);
                    if (round == 0)
                        for (int j = 0; j < warmupLength; ++j)
                            d[j] = 0.001f * std::sin ((float) j * w);

                    auto* model = ch == 0 ? pendingLeft : pendingRight;
                    if (conditioned)
                        model->process (d, drive, d, warmupLength);
                    else
                        model->process (d, d, warmupLength);
                }
                warmupBuffer.applyGain (0.5f);
            }

            activeLeft = pendingLeft;
            activeRight = pendingRight;
            conditioned = activeLeft->input_size > 1;
            *dcBlocker.state = ArrayCoefficients::makeHighPass (getSampleRate(), 5.0f);
        }
    }
    else
    {
        if (s == SwitchSequence::exchangeStep - 1)
            *dcBlocker.state = ArrayCoefficients::makeHighPass (getSampleRate(), 10.0f);

        applyRamp (buffer, n, switchGain, target);
    }

    switchGain = target;
    switchState.fetch_sub (1, std::memory_order_acq_rel);
}

//==============================================================================
bool GuipluginAudioProcessor::replaceNonFinite (float* data, int numSamples) noexcept
{
    bool found = false;
    for (int i = 0; i < numSamples; ++i)
    {
        if (! std::isfinite (data[i]))
        {
            data[i] = 0.0f;
            found = true;
        }
    }
    return found;
}

void GuipluginAudioProcessor::resetSignalState() noexcept
{
    for (auto& f : userLowPass)  f.reset();
    for (auto& f : userHighPass) f.reset();
    dcBlocker.reset();
    bandLimiter.reset();
    dryDelay.reset();
    if (oversamplerWet != nullptr) oversamplerWet->reset();
    if (oversamplerDry != nullptr) oversamplerDry->reset();
    if (activeLeft != nullptr)  activeLeft->reset();
    if (activeRight != nullptr) activeRight->reset();
}

void GuipluginAudioProcessor::runModels (juce::dsp::AudioBlock<float>& block, bool useConditioned, float drive) noexcept
{
    const auto numSamples = (int) block.getNumSamples();
    RT_LSTM* models[2] = { activeLeft, activeRight };

    for (size_t ch = 0; ch < juce::jmin ((size_t) 2, block.getNumChannels()); ++ch)
    {
        auto* d = block.getChannelPointer (ch);

        if (useConditioned)
            models[ch]->process (d, drive, d, numSamples);
        else
            models[ch]->process (d, d, numSamples);

        // A network that went non-finite would stay so forever: start it afresh and let this block
        // of the channel fall silent.
        if (replaceNonFinite (d, numSamples))
        {
            models[ch]->reset();
            juce::FloatVectorOperations::clear (d, numSamples);
        }
    }
}

void GuipluginAudioProcessor::updateMeter (const juce::AudioBuffer<float>& buffer, float meterScale) noexcept
{
    const auto rate = getSampleRate();
    const auto* x = buffer.getReadPointer (0);
    auto level = meterLevel.load (std::memory_order_relaxed);
    auto previous = lastEnvelope.load (std::memory_order_relaxed);
    constexpr float glideSpan = 0.01f - 0.0003f;

    for (int i = 0; i < buffer.getNumSamples(); ++i)
    {
        needleFollower->feed (std::abs (meterScale * x[i]));
        const auto e = needleFollower->feed (std::abs (x[i]));
        const auto t = 0.0003f + std::abs (e - previous) * glideSpan;

        needleSmoother.setCurrentAndTargetValue (level);
        needleSmoother.reset (rate, (double) t);
        needleSmoother.setTargetValue (e);
        level = needleSmoother.getNextValue();
        previous = e;
    }

    meterLevel.store (level, std::memory_order_release);
    lastEnvelope.store (previous, std::memory_order_release);
}

void GuipluginAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    if (! prepared)
        return;

    juce::ScopedNoDenormals noDenormals;

    for (auto ch = getTotalNumInputChannels(); ch < juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels()); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());

    // Channels beyond the prepared count are left alone; longer blocks than prepared are
    // processed in prepared-size pieces (a referencing buffer allocates nothing for <= 32 channels).
    const auto numChannels = juce::jmin (buffer.getNumChannels(), preparedChannels);
    const auto numSamples = buffer.getNumSamples();

    if (numChannels <= 0 || numSamples <= 0)
        return;

    for (int start = 0; start < numSamples; start += preparedBlockSize)
    {
        const auto length = juce::jmin (preparedBlockSize, numSamples - start);
        juce::AudioBuffer<float> piece (buffer.getArrayOfWritePointers(), numChannels, start, length);
        processChunk (piece);
    }
}

void GuipluginAudioProcessor::processChunk (juce::AudioBuffer<float>& buffer) noexcept
{
    const auto numSamples = buffer.getNumSamples();
    const auto numChannels = buffer.getNumChannels();
    const auto rate = getSampleRate();
    const auto irate = (int) rate;

    const auto drive      = driveValue->load();
    const auto output     = outputValue->load();
    const auto inTrimDb   = inputTrimValue->load();
    const auto outTrimDb  = outputTrimValue->load();
    const auto dryMix     = dryMixValue->load();
    const auto lowPassHz  = lowPassValue->load();
    const auto highPassHz = highPassValue->load();
    const auto power      = powerValue->load() != 0.0f;
    juce::ignoreUnused (linkValue->load());
    const auto switches   = readSwitchValues();
    const auto meterScale = switches.overDrive ? 2.0f : 3.0f;

    // Band limit behind the network, and the dry path's matching delay.
    const bool hostRatePath = ! switches.ultra && irate < 88200;
    dryDelaySamples = hostRatePath ? 1 : 2;
    const auto bandLimit = juce::jmin (hostRatePath ? 15000.0f : 20000.0f, (float) rate * 0.49f);
    if (bandLimit != bandLimitFrequency)
    {
        *bandLimiter.state = ArrayCoefficients::makeLowPass ((double) irate, bandLimit);
        bandLimitFrequency = bandLimit;
    }

    if (power)
    {
        // Bypass: the audio passes untouched, the meter falls.
        needleSmoother.setTargetValue (0.0f);
        meterLevel.store (needleSmoother.getNextValue(), std::memory_order_release);
        for (int i = 0; i < numSamples; ++i)
            needleFollower->feed (0.0f);
        return;
    }

    // Non-finite input is treated as silence rather than fed into filters and networks whose
    // state it would poison for good; the block's output on that channel is silent.
    bool badInput[2] = { false, false };
    for (int ch = 0; ch < numChannels; ++ch)
        badInput[juce::jmin (ch, 1)] |= replaceNonFinite (buffer.getWritePointer (ch), numSamples);

    dryBuffer.makeCopyOf (buffer, true);
    dryDelay.setDelay ((float) dryDelaySamples);

    driveGain.setGainLinear (drive);
    inputTrim.setGainDecibels (inTrimDb);

    const auto nyquistSafe = [rate] (float f) { return juce::jlimit (1.0f, (float) rate * 0.49f, f); };
    if (highPassHz != userHighPassFrequency)
    {
        for (auto& f : userHighPass) *f.coefficients = ArrayCoefficients::makeFirstOrderHighPass (rate, nyquistSafe (highPassHz));
        userHighPassFrequency = highPassHz;
    }
    if (lowPassHz != userLowPassFrequency)
    {
        for (auto& f : userLowPass) *f.coefficients = ArrayCoefficients::makeFirstOrderLowPass (rate, nyquistSafe (lowPassHz));
        userLowPassFrequency = lowPassHz;
    }

    checkModelChange (switches);

    // The level compensation belongs to the network that is playing. It changes when the networks
    // are exchanged, and at once, since the chain is silent at that point: ramped over 0.1 s it
    // would leave the incoming network up to 11 dB off while it fades in, and moved at the moment
    // of the switch it would swell or duck the outgoing one while it fades out.
    const auto playingPair = pairIndexOf (activeLeft);
    makeupTargetDb = ModelSelection::makeupDb (playingPair);
    const bool jumpMakeup = playingPair != makeupPair && switchGain == 0.0f;
    makeupPair = playingPair;

    dryLevel.setGainLinear (1.0f - dryMix / 100.0f);
    outputLevel.setGainLinear ((float) ((double) output + 0.2111));
    makeupGain.setGainDecibels (makeupTargetDb);
    if (jumpMakeup)
        makeupGain.reset();
    wetLevel.setGainLinear (dryMix / 100.0f);
    outputTrim.setGainDecibels (outTrimDb);

    juce::dsp::AudioBlock<float> block (buffer);
    juce::dsp::AudioBlock<float> dryBlock (dryBuffer.getArrayOfWritePointers(), (size_t) numChannels, (size_t) numSamples);
    juce::dsp::ProcessContextReplacing<float> context (block);
    juce::dsp::ProcessContextReplacing<float> dryContext (dryBlock);

    inputTrim.process (context);
    driveGain.process (context);

    const bool modelsSet = modelReady && activeLeft != nullptr && activeRight != nullptr;

    if (! switches.ultra && irate <= 44100)
    {
        if (irate == 44100 && modelsSet)
            runModels (block, conditioned, drive);
    }
    else
    {
        auto up = oversamplerWet->processSamplesUp (block);
        oversamplerDry->processSamplesUp (dryBlock);

        if (modelsSet && ! (conditioned && switches.ultra))
            runModels (up, conditioned, drive);

        oversamplerWet->processSamplesDown (block);
        oversamplerDry->processSamplesDown (dryBlock);
    }

    dcBlocker.process (context);
    bandLimiter.process (context);

    advanceSwitch (buffer);

    if (numChannels >= 2)
    {
        auto* left = buffer.getWritePointer (0);
        auto* right = buffer.getWritePointer (1);
        for (int i = 0; i < numSamples; ++i)
        {
            left[i] = userHighPass[0].processSample (left[i]);
            right[i] = userHighPass[1].processSample (right[i]);
            left[i] = userLowPass[0].processSample (left[i]);
            right[i] = userLowPass[1].processSample (right[i]);
        }
    }
    else
    {
        auto* x = buffer.getWritePointer (0);
        for (int i = 0; i < numSamples; ++i)
            x[i] = userLowPass[0].processSample (userHighPass[0].processSample (x[i]));
    }

    // Extreme (finite) input can still overflow a filter; never let that state survive the block.
    bool overflow = false;
    for (int ch = 0; ch < numChannels; ++ch)
        overflow |= replaceNonFinite (buffer.getWritePointer (ch), numSamples);

    updateMeter (buffer, meterScale);

    wetLevel.process (context);
    outputLevel.process (context);
    makeupGain.process (context);

    dryDelay.process (dryContext);
    dryLevel.process (dryContext);
    block.add (dryBlock);

    outputTrim.process (context);

    for (int ch = 0; ch < numChannels; ++ch)
        overflow |= replaceNonFinite (buffer.getWritePointer (ch), numSamples);

    if (overflow)
    {
        resetSignalState();
        buffer.clear();
        return;
    }

    for (int ch = 0; ch < numChannels; ++ch)
        if (badInput[juce::jmin (ch, 1)])
            buffer.clear (ch, 0, numSamples);
}

//==============================================================================
void GuipluginAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // The host's bypass keeps the reported latency, so that bypassing never shifts the audio
    // against the host's delay compensation.
    const auto latency = getLatencySamples();
    const auto numChannels = juce::jmin (buffer.getNumChannels(), bypassDelay.getNumChannels());

    if (latency <= 0 || numChannels <= 0 || ! prepared)
        return;

    juce::ScopedNoDenormals noDenormals;
    const auto length = bypassDelay.getNumSamples();

    for (int ch = 0; ch < numChannels; ++ch)
    {
        auto* line = bypassDelay.getWritePointer (ch);
        auto* x = buffer.getWritePointer (ch);
        auto pos = bypassDelayPosition;

        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const auto readPos = (pos - latency + length) % length;
            line[pos] = x[i];
            x[i] = line[readPos];
            pos = (pos + 1) % length;
        }
    }

    bypassDelayPosition = (bypassDelayPosition + buffer.getNumSamples()) % length;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new GuipluginAudioProcessor();
}
