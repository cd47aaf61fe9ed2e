// The built VST3 bundle, loaded through JUCE's VST3 hosting as a DAW would load it: everything
// here goes through the real wrapper (factory, component, controller, state chunks, restarts).
#include "HostExpectations.h"
#include "HostSandbox.h"
#include "SignalChecks.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <map>
#include <vector>

namespace
{
    namespace X = HostExpectations;
    using Bus = juce::AudioChannelSet;

    juce::File screenshotFolder()
    {
        auto folder = juce::File (BRIMSTACK3_HOST_ARTEFACTS_DIR);
        folder.createDirectory();
        return folder;
    }

    std::unique_ptr<juce::PluginDescription> describeBundle()
    {
        juce::VST3PluginFormat format;
        juce::OwnedArray<juce::PluginDescription> types;
        format.findAllTypesForFile (types, HostSandbox::vst3Bundle().getFullPathName());

        if (types.size() != 1)
            return nullptr;

        return std::make_unique<juce::PluginDescription> (*types[0]);
    }

    std::unique_ptr<juce::AudioPluginInstance> loadPlugin (double sampleRate, int blockSize)
    {
        juce::AudioPluginFormatManager formats;
        formats.addFormat (new juce::VST3PluginFormat());

        auto description = describeBundle();

        if (description == nullptr)
            return nullptr;

        juce::String error;
        auto instance = formats.createPluginInstance (*description, sampleRate, blockSize, error);
        EXPECT_TRUE (error.isEmpty()) << error;
        return instance;
    }

    juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& plugin, const juce::String& name)
    {
        for (auto* p : plugin.getParameters())
            if (p->getName (64) == name)
                return p;

        return nullptr;
    }

    void setParameter (juce::AudioProcessor& plugin, const juce::String& name, float normalised)
    {
        auto* p = findParameter (plugin, name);
        ASSERT_NE (p, nullptr) << name;
        p->beginChangeGesture();
        p->setValueNotifyingHost (normalised);
        p->endChangeGesture();
    }

    // The plug-in's own state tree inside a host chunk: the chunk is the host's XML with the
    // component state, which starts with the processor's value-tree stream.
    struct ComponentState
    {
        juce::ValueTree tree;
        juce::MemoryBlock wrapperTail;   // what the wrapper appends (its bypass flag)
    };

    ComponentState readComponentState (const juce::MemoryBlock& hostChunk)
    {
        ComponentState result;
        auto xml = juce::AudioProcessor::getXmlFromBinary (hostChunk.getData(), (int) hostChunk.getSize());

        if (xml == nullptr)
            return result;

        if (auto* component = xml->getChildByName ("IComponent"))
        {
            juce::MemoryBlock bytes;

            if (! bytes.fromBase64Encoding (component->getAllSubText()))
                return result;

            juce::MemoryInputStream in (bytes, false);
            result.tree = juce::ValueTree::readFromStream (in);
            const auto used = (size_t) in.getPosition();
            result.wrapperTail.append (static_cast<const char*> (bytes.getData()) + used, bytes.getSize() - used);
        }

        return result;
    }

    juce::MemoryBlock withComponentState (const juce::MemoryBlock& hostChunk, const ComponentState& state)
    {
        auto xml = juce::AudioProcessor::getXmlFromBinary (hostChunk.getData(), (int) hostChunk.getSize());
        auto* component = xml->getChildByName ("IComponent");

        juce::MemoryOutputStream out;
        state.tree.writeToStream (out);
        out.write (state.wrapperTail.getData(), state.wrapperTail.getSize());

        component->deleteAllTextElements();
        component->addTextElement (out.getMemoryBlock().toBase64Encoding());

        juce::MemoryBlock chunk;
        juce::AudioProcessor::copyXmlToBinary (*xml, chunk);
        return chunk;
    }

    // Remembers what the instance last told its listeners about latency, as a DAW would see it.
    struct LatencyWatch : juce::AudioProcessorListener
    {
        explicit LatencyWatch (juce::AudioProcessor& p) : plugin (p) { plugin.addListener (this); }
        ~LatencyWatch() override { plugin.removeListener (this); }

        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
        void audioProcessorChanged (juce::AudioProcessor* p, const ChangeDetails& details) override
        {
            if (details.latencyChanged)
                notified = p->getLatencySamples();
        }

        juce::AudioProcessor& plugin;
        int notified = -1;
    };

    void processSilence (juce::AudioProcessor& plugin, int blocks, int blockSize)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        for (int b = 0; b < blocks; ++b)
        {
            buffer.clear();
            plugin.processBlock (buffer, midi);
        }
    }
}

//==============================================================================
TEST (Vst3Host, BundleDescribesTheProduct)
{
    const auto description = describeBundle();
    ASSERT_NE (description, nullptr) << "no single plug-in class in " << HostSandbox::vst3Bundle().getFullPathName();

    std::cout << "VST3 host sees: \"" << description->name << "\" by \"" << description->manufacturerName
              << "\", version " << description->version << ", category " << description->category << ", "
              << description->numInputChannels << " in / " << description->numOutputChannels << " out" << std::endl;

    EXPECT_EQ (description->name, X::productName);
    EXPECT_EQ (description->descriptiveName, X::productName);
    EXPECT_EQ (description->manufacturerName, X::companyName);
    EXPECT_EQ (description->version, X::version);
    EXPECT_EQ (description->category, X::vst3Category);
    EXPECT_EQ (description->pluginFormatName, "VST3");
    EXPECT_FALSE (description->isInstrument);
    EXPECT_EQ (description->numInputChannels, 2);
    EXPECT_EQ (description->numOutputChannels, 2);

    // The component's class id ends in the manufacturer and plug-in codes; the host keeps a hash
    // of the whole id, so rebuild that from the expected codes.
    const unsigned char head[8] = { 0xAB, 0xCD, 0xEF, 0x01, 0x91, 0x82, 0xFA, 0xEB };
    char cid[16];
    std::memcpy (cid, head, 8);
    std::memcpy (cid + 8, X::manufacturerCode, 4);
    std::memcpy (cid + 12, X::pluginCode, 4);

    juce::uint32 hash = 0;
    for (auto c : cid)
        hash = hash * 31 + (juce::uint32) c;

    EXPECT_EQ (description->deprecatedUid, (int) hash) << "class id does not carry Manu/bms3";
}

TEST (Vst3Host, OffersOneMainBusPairOfMonoOrStereoAndNoMidi)
{
    auto plugin = loadPlugin (48000.0, 512);
    ASSERT_NE (plugin, nullptr);

    EXPECT_EQ (plugin->getName(), X::productName);
    EXPECT_EQ (plugin->getBusCount (true), 1) << "no side chain";
    EXPECT_EQ (plugin->getBusCount (false), 1);
    EXPECT_FALSE (plugin->acceptsMidi());
    EXPECT_FALSE (plugin->producesMidi());
    EXPECT_EQ (plugin->getMainBusNumInputChannels(), 2);
    EXPECT_EQ (plugin->getMainBusNumOutputChannels(), 2);

    struct Case { Bus in, out; bool accepted; };
    const Case cases[] = {
        { Bus::stereo(),         Bus::stereo(),         true },
        { Bus::mono(),           Bus::mono(),           true },
        { Bus::mono(),           Bus::stereo(),         false },
        { Bus::stereo(),         Bus::mono(),           false },
        { Bus::createLCR(),      Bus::createLCR(),      false },
        { Bus::create5point1(),  Bus::create5point1(),  false },
    };

    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        EXPECT_EQ (plugin->checkBusesLayoutSupported (layout), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
    }

    // A host that picked mono actually gets mono, runs it, and can go back to stereo.
    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (Bus::mono());
    mono.outputBuses.add (Bus::mono());
    ASSERT_TRUE (plugin->setBusesLayout (mono));
    EXPECT_EQ (plugin->getMainBusNumOutputChannels(), 1);

    plugin->prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> buffer (1, 512);
    juce::MidiBuffer midi;
    std::vector<float> out;

    for (int b = 0; b < 100; ++b)
    {
        for (int i = 0; i < 512; ++i)
            buffer.setSample (0, i, 0.5f * (float) std::sin (2.0 * M_PI * 220.0 * (b * 512 + i) / 48000.0));

        plugin->processBlock (buffer, midi);
        out.insert (out.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + 512);
    }

    plugin->releaseResources();
    const auto fit = fitSine (out.data() + out.size() / 2, out.size() / 2, 220.0, 48000.0, 0.5);
    EXPECT_TRUE (fit.finite);
    EXPECT_GT (fit.rms, 1e-3) << "mono output is silent";

    juce::AudioProcessor::BusesLayout stereo;
    stereo.inputBuses.add (Bus::stereo());
    stereo.outputBuses.add (Bus::stereo());
    ASSERT_TRUE (plugin->setBusesLayout (stereo));
    EXPECT_EQ (plugin->getMainBusNumOutputChannels(), 2);
}

TEST (Vst3Host, PublishesFourteenParametersAndTheFrameworkBypass)
{
    auto plugin = loadPlugin (48000.0, 512);
    ASSERT_NE (plugin, nullptr);

    const auto& params = plugin->getParameters();
    ASSERT_EQ (params.size(), (int) X::parameters.size() + 1) << "fourteen parameters and the bypass";

    for (size_t i = 0; i < X::parameters.size(); ++i)
    {
        const auto& expected = X::parameters[i];
        auto* p = params[(int) i];
        SCOPED_TRACE (expected.id);

        EXPECT_EQ (p->getName (64), expected.name);
        EXPECT_EQ (p->getLabel(), expected.id) << "the unit text is the parameter's ID";
        EXPECT_NEAR (p->getDefaultValue(), expected.normalisedDefault(), 1e-5);
        EXPECT_NEAR (p->getValue(), expected.normalisedDefault(), 1e-5) << "a fresh instance starts at the defaults";
        EXPECT_TRUE (p->isAutomatable());

        if (expected.isSwitch)
        {
            EXPECT_EQ (p->getNumSteps(), 2);
        }
        else
        {
            EXPECT_GT (p->getNumSteps(), 2);
        }
    }

    auto* bypass = plugin->getBypassParameter();
    ASSERT_NE (bypass, nullptr);
    EXPECT_EQ (bypass, params.getLast()) << "the wrapper adds it after the processor's own";
    EXPECT_EQ (bypass->getDefaultValue(), 0.0f);
    EXPECT_EQ (bypass->getValue(), 0.0f);
}

TEST (Vst3Host, StateChunkRestoresEveryParameterAndBothPresetProperties)
{
    auto source = loadPlugin (44100.0, 512);
    auto target = loadPlugin (44100.0, 512);
    ASSERT_NE (source, nullptr);
    ASSERT_NE (target, nullptr);

    // Every parameter away from its default, on its own value grid (the processor snaps to the
    // interval), bypass included.
    const std::map<juce::String, float> moved {
        { "driveKnob", 0.5f }, { "outputKnob", 0.3f }, { "intrimKnob", 6.5f }, { "outtrimKnob", -3.2f },
        { "drymixKnob", 42.5f }, { "lpKnob", 12000.0f }, { "hpKnob", 80.0f },
    };
    const auto& params = source->getParameters();
    ASSERT_EQ (params.size(), (int) X::parameters.size() + 1);
    std::vector<float> wanted;

    for (size_t i = 0; i < X::parameters.size(); ++i)
    {
        const auto& p = X::parameters[i];
        const auto plain = p.isSwitch ? 1.0f - p.defaultValue : moved.at (p.id);
        wanted.push_back ((plain - p.start) / (p.end - p.start));
        params[(int) i]->setValueNotifyingHost (wanted.back());
    }

    source->getBypassParameter()->setValueNotifyingHost (1.0f);
    wanted.push_back (1.0f);

    // A DAW saves a little after the last touch, not in the same instant.
    waitUntil ([] { return false; }, 300);

    juce::MemoryBlock chunk;
    source->getStateInformation (chunk);

    auto state = readComponentState (chunk);
    ASSERT_TRUE (state.tree.isValid()) << "the component state holds no value tree";
    EXPECT_EQ (state.tree.getType().toString(), X::productName);
    EXPECT_EQ (state.tree.getProperty ("Current_Selected_Preset").toString(), "Default");
    EXPECT_FALSE ((bool) state.tree.getProperty ("Preset_Has_Been_Modified"));

    int paramChildren = 0;
    for (const auto& child : state.tree)
        paramChildren += child.hasType ("PARAM") ? 1 : 0;
    EXPECT_EQ (paramChildren, (int) X::parameters.size());

    // A project saved with another preset loaded and edited brings both properties back.
    state.tree.setProperty ("Current_Selected_Preset", "Host Round Trip", nullptr);
    state.tree.setProperty ("Preset_Has_Been_Modified", true, nullptr);
    const auto edited = withComponentState (chunk, state);
    target->setStateInformation (edited.getData(), (int) edited.getSize());
    waitUntil ([] { return false; }, 100);

    const auto& restored = target->getParameters();
    ASSERT_EQ (restored.size(), params.size());

    for (int i = 0; i < restored.size(); ++i)
        EXPECT_NEAR (restored[i]->getValue(), wanted[(size_t) i], 1e-4) << restored[i]->getName (64);

    juce::MemoryBlock again;
    target->getStateInformation (again);
    const auto reread = readComponentState (again);
    ASSERT_TRUE (reread.tree.isValid());
    std::cout << "state chunk: " << chunk.getSize() << " bytes, plug-in tree " << state.tree.getNumChildren()
              << " PARAM children; restored preset \"" << reread.tree.getProperty ("Current_Selected_Preset").toString()
              << "\", modified " << (bool) reread.tree.getProperty ("Preset_Has_Been_Modified") << std::endl;
    EXPECT_TRUE (reread.tree.isEquivalentTo (state.tree))
        << "saved:\n" << state.tree.toXmlString() << "\nrestored:\n" << reread.tree.toXmlString();
}

TEST (Vst3Host, StateSavedRightAfterAnAutomationMoveHasTheNewValue)
{
    auto plugin = loadPlugin (48000.0, 512);
    ASSERT_NE (plugin, nullptr);

    // No message-loop turn between the move and the save: a host may save in the same callback.
    ASSERT_NO_FATAL_FAILURE (setParameter (*plugin, "Drive", 0.5f));
    juce::MemoryBlock chunk;
    plugin->getStateInformation (chunk);

    auto fresh = loadPlugin (48000.0, 512);
    ASSERT_NE (fresh, nullptr);
    fresh->setStateInformation (chunk.getData(), (int) chunk.getSize());
    auto* drive = findParameter (*fresh, "Drive");
    ASSERT_NE (drive, nullptr);
    EXPECT_NEAR (drive->getValue(), 0.5f, 1e-4);
}

//==============================================================================
struct LatencyCase { double sampleRate; int latencyWithUltra; };

class Vst3Latency : public ::testing::TestWithParam<LatencyCase> {};

TEST_P (Vst3Latency, UltraChangesReachTheHost)
{
    const auto [rate, withUltra] = GetParam();
    constexpr int block = 512;

    auto plugin = loadPlugin (rate, block);
    ASSERT_NE (plugin, nullptr);
    LatencyWatch watch (*plugin);

    plugin->prepareToPlay (rate, block);
    EXPECT_EQ (plugin->getLatencySamples(), 0);

    auto toggleAndWait = [&] (float ultra, int expected)
    {
        setParameter (*plugin, "Ultra Mode", ultra);
        // The switch takes a few blocks; the wrapper then restarts the component on the message thread.
        bool reached = waitUntil ([&]
        {
            processSilence (*plugin, 4, block);
            return plugin->getLatencySamples() == expected;
        }, 3000);
        EXPECT_TRUE (reached) << "Ultra " << ultra << " at " << rate << " Hz: host sees "
                              << plugin->getLatencySamples() << ", expected " << expected;
    };

    toggleAndWait (1.0f, withUltra);
    std::cout << rate << " Hz: latency with Ultra " << plugin->getLatencySamples() << std::endl;

    if (withUltra != 0)
    {
        EXPECT_EQ (watch.notified, withUltra) << "listeners were not told";
    }

    // Preparing again with Ultra on reports it straight away.
    plugin->releaseResources();
    plugin->prepareToPlay (rate, block);
    EXPECT_EQ (plugin->getLatencySamples(), withUltra);

    toggleAndWait (0.0f, 0);

    if (withUltra != 0)
    {
        EXPECT_EQ (watch.notified, 0);
    }

    plugin->releaseResources();
}

INSTANTIATE_TEST_SUITE_P (Rates, Vst3Latency,
                          ::testing::Values (LatencyCase { 44100.0, X::ultraLatencySamples },
                                             LatencyCase { 48000.0, X::ultraLatencySamples },
                                             LatencyCase { 88200.0, 0 },
                                             LatencyCase { 96000.0, 0 }),
                          [] (const auto& testInfo) { return std::to_string ((int) testInfo.param.sampleRate); });

//==============================================================================
// Ten seconds of programme-like material per case, with the kind of automation a session has.
struct StreamCase { double sampleRate; int blockSize; };   // blockSize 0: varying, up to 4096

class Vst3Stream : public ::testing::TestWithParam<StreamCase> {};

TEST_P (Vst3Stream, TenSecondsStayFiniteAndBounded)
{
    const auto [rate, fixedBlock] = GetParam();
    const int maxBlock = fixedBlock > 0 ? fixedBlock : 4096;

    auto plugin = loadPlugin (rate, maxBlock);
    ASSERT_NE (plugin, nullptr);
    plugin->prepareToPlay (rate, maxBlock);

    juce::AudioBuffer<float> buffer (2, maxBlock);
    juce::MidiBuffer midi;
    juce::Random random (0x5eed + (int) rate + fixedBlock);

    const auto total = (juce::int64) (10.0 * rate);
    struct Move { double at; const char* name; float value; };
    const Move moves[] = {
        { 2.0, "Ultra Mode", 1.0f },
        { 3.5, "TypeT", 0.0f }, { 3.5, "TypeP1", 1.0f },
        { 5.0, "OverDrive", 0.0f },
        { 6.0, "Drive", 1.0f }, { 6.0, "Input Adj", 1.0f },
        { 7.5, "Ultra Mode", 0.0f },
        { 8.0, "TypeP1", 0.0f }, { 8.0, "TypeP2", 1.0f }, { 8.0, "OverDrive", 1.0f },
    };
    size_t nextMove = 0;

    double phase = 0.0, peak = 0.0, lastSecondEnergy = 0.0, lastSecondSum = 0.0;
    juce::int64 lastSecondCount = 0, firstBad = -1;

    for (juce::int64 done = 0; done < total;)
    {
        int n = fixedBlock > 0 ? fixedBlock : (random.nextInt (8) == 0 ? 4096 : 1 + random.nextInt (4096));
        n = (int) std::min<juce::int64> (n, total - done);

        while (nextMove < std::size (moves) && (double) done >= moves[nextMove].at * rate)
        {
            setParameter (*plugin, moves[nextMove].name, moves[nextMove].value);
            ++nextMove;
        }

        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), 2, n);

        // A sweep at -6 dBFS on the left, noise at -12 dBFS on the right, full scale for a moment.
        for (int i = 0; i < n; ++i)
        {
            const double t = (double) (done + i) / rate;
            const double f = 40.0 * std::pow (200.0, t / 10.0);
            phase += 2.0 * M_PI * f / rate;
            const float loud = (t > 4.0 && t < 4.5) ? 2.0f : 1.0f;
            block.setSample (0, i, loud * 0.5f * (float) std::sin (phase));
            block.setSample (1, i, loud * 0.25f * (random.nextFloat() * 2.0f - 1.0f));
        }

        plugin->processBlock (block, midi);

        for (int ch = 0; ch < 2; ++ch)
        {
            const float* out = block.getReadPointer (ch);

            for (int i = 0; i < n; ++i)
            {
                if (! std::isfinite (out[i]))
                {
                    if (firstBad < 0)
                        firstBad = done + i;
                    continue;
                }

                peak = std::max (peak, (double) std::abs (out[i]));

                if (done + i >= total - (juce::int64) rate)
                {
                    lastSecondEnergy += (double) out[i] * out[i];
                    lastSecondSum += out[i];
                    ++lastSecondCount;
                }
            }
        }

        done += n;
    }

    plugin->releaseResources();

    EXPECT_EQ (firstBad, -1) << "non-finite output from sample " << firstBad;
    EXPECT_LT (peak, 8.0) << "output blew up (+18 dBFS)";
    ASSERT_GT (lastSecondCount, 0);
    const auto rms = std::sqrt (lastSecondEnergy / (double) lastSecondCount);
    EXPECT_GT (rms, 1e-3) << "output went silent";
    EXPECT_LT (std::abs (lastSecondSum / (double) lastSecondCount), 0.05) << "DC at the output";
}

static std::vector<StreamCase> streamCases()
{
    std::vector<StreamCase> cases;

    for (double rate : { 44100.0, 48000.0, 96000.0 })
        for (int block : { 32, 64, 128, 256, 512, 1024, 2048, 4096, 0 })
            cases.push_back ({ rate, block });

    return cases;
}

INSTANTIATE_TEST_SUITE_P (RatesAndBlocks, Vst3Stream, ::testing::ValuesIn (streamCases()),
                          [] (const auto& testInfo)
                          {
                              const auto& c = testInfo.param;
                              return std::to_string ((int) c.sampleRate) + "_"
                                   + (c.blockSize > 0 ? std::to_string (c.blockSize) : std::string ("varying"));
                          });

//==============================================================================
TEST (Vst3Host, HostBypassPassesTheInputInTimeWithTheReportedLatency)
{
    constexpr double rate = 48000.0;
    constexpr int block = 480;
    constexpr double frequency = 1000.0;

    for (const bool ultra : { false, true })
    {
        SCOPED_TRACE (ultra ? "Ultra on" : "Ultra off");
        auto plugin = loadPlugin (rate, block);
        ASSERT_NE (plugin, nullptr);
        plugin->prepareToPlay (rate, block);
        setParameter (*plugin, "Ultra Mode", ultra ? 1.0f : 0.0f);
        const int expectedLatency = ultra ? X::ultraLatencySamples : 0;
        waitUntil ([&]
        {
            processSilence (*plugin, 4, block);
            return plugin->getLatencySamples() == expectedLatency;
        }, 3000);
        const int latency = plugin->getLatencySamples();
        ASSERT_EQ (latency, expectedLatency);

        juce::AudioBuffer<float> buffer (2, block);
        juce::MidiBuffer midi;
        std::vector<float> in, processed, bypassed;

        auto run = [&] (std::vector<float>& out, int blocks)
        {
            for (int b = 0; b < blocks; ++b)
            {
                for (int i = 0; i < block; ++i)
                {
                    const auto s = 0.5f * (float) std::sin (2.0 * M_PI * frequency * (double) in.size() / rate);
                    in.push_back (s);
                    buffer.setSample (0, i, s);
                    buffer.setSample (1, i, s);
                }

                plugin->processBlock (buffer, midi);
                out.insert (out.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + block);
            }
        };

        run (processed, 100);
        const auto processedStart = in.size() - processed.size();
        ASSERT_NE (plugin->getBypassParameter(), nullptr);
        plugin->getBypassParameter()->setValueNotifyingHost (1.0f);
        run (bypassed, 1);  // the change lands with this block
        bypassed.clear();
        const auto bypassStart = in.size();
        run (bypassed, 50);

        // Bypassed: the input, delayed by exactly what the host compensates.
        double worst = 0.0;
        for (size_t i = (size_t) latency; i < bypassed.size(); ++i)
            worst = std::max (worst, (double) std::abs (bypassed[i] - in[bypassStart + i - (size_t) latency]));
        EXPECT_LT (worst, 1e-6) << "bypassed output is not the input delayed by " << latency << " samples";

        // Not bypassed: the effect is audible (last half second against the same stretch of input).
        double difference = 0.0;
        for (size_t i = processed.size() / 2; i < processed.size(); ++i)
            difference = std::max (difference, (double) std::abs (processed[i] - in[processedStart + i - (size_t) latency]));
        EXPECT_GT (difference, 1e-3) << "processing left the signal as it was";

        plugin->releaseResources();
    }
}

//==============================================================================
TEST (Vst3Host, EditorOpensShowsAndClosesTwice)
{
    ASSERT_TRUE (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty()) << "needs an X display (run through CTest)";

    auto plugin = loadPlugin (48000.0, 512);
    ASSERT_NE (plugin, nullptr);
    ASSERT_TRUE (plugin->hasEditor());

    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE (round == 0 ? "first open" : "second open");
        std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);

        editor->setVisible (true);
        editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        ASSERT_TRUE (waitUntil ([&] { return editor->isShowing() && editor->getWidth() > 100; }, 5000));
        waitUntil ([] { return false; }, 700);

        // The window keeps the artwork's proportions (2551 x 1028 design size).
        const auto aspect = (double) editor->getWidth() / (double) editor->getHeight();
        EXPECT_NEAR (aspect, 2551.0 / 1028.0, 0.03) << editor->getWidth() << " x " << editor->getHeight();

        if (round == 0)
        {
            if (auto* peer = editor->getPeer())
            {
                const auto id = juce::String::toHexString ((juce::pointer_sized_int) peer->getNativeHandle());
                const auto file = screenshotFolder().getChildFile ("vst3-editor.png");
                const auto shot = runCommand ({ "import", "-window", ("0x" + id).toStdString(), file.getFullPathName().toStdString() }, 15000);
                EXPECT_EQ (shot.exitCode, 0) << shot.output;
                EXPECT_GT (countDistinctColours (file), 16) << "the editor window is blank: " << file.getFullPathName();
            }
        }

        editor.reset();
        waitUntil ([] { return false; }, 200);
    }
}
