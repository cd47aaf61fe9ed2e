// The built LV2 bundle in Debian's own LV2 hosts: lilv's lv2info/lv2ls read the bundle, and jalv
// runs the plug-in on a private JACK server (dummy backend, no sound card, no real-time rights).
// The test process is itself a JACK client that plays a sine into jalv and records what comes back.
#include "HostExpectations.h"
#include "HostSandbox.h"
#include "SignalChecks.h"

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <juce_data_structures/juce_data_structures.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <unistd.h>
#include <vector>

namespace
{
    namespace X = HostExpectations;

    std::map<std::string, std::string> lv2Environment()
    {
        return { { "LV2_PATH", HostSandbox::lv2Bundle().getParentDirectory().getFullPathName().toStdString() } };
    }

    // lv2info's "Port N:" sections, keyed by symbol: the port's type lines and designation.
    struct PortInfo { int index = -1; juce::StringArray types; juce::String designation; };

    std::map<juce::String, PortInfo> parsePorts (const juce::String& lv2info)
    {
        std::map<juce::String, PortInfo> ports;
        PortInfo current;
        bool inTypes = false;

        juce::String symbol;
        auto finish = [&]
        {
            if (current.index >= 0 && symbol.isNotEmpty())
                ports[symbol] = current;

            current = {};
            symbol = {};
        };

        for (auto line : juce::StringArray::fromLines (lv2info))
        {
            const auto trimmed = line.trim();

            if (trimmed.startsWith ("Port ") && trimmed.endsWith (":"))
            {
                finish();
                current.index = trimmed.fromFirstOccurrenceOf ("Port ", false, false).getIntValue();
                inTypes = false;
                continue;
            }

            if (current.index < 0)
                continue;

            if (trimmed.startsWith ("Type:"))
            {
                current.types.add (trimmed.fromFirstOccurrenceOf ("Type:", false, false).trim());
                inTypes = true;
            }
            else if (inTypes && trimmed.startsWith ("http"))
                current.types.add (trimmed);
            else
            {
                inTypes = false;

                if (trimmed.startsWith ("Symbol:"))
                    symbol = trimmed.fromFirstOccurrenceOf ("Symbol:", false, false).trim();
                else if (trimmed.startsWith ("Designation:"))
                    current.designation = trimmed.fromFirstOccurrenceOf ("Designation:", false, false).trim();
            }
        }

        finish();
        return ports;
    }

    juce::String field (const juce::String& lv2info, const juce::String& name)
    {
        for (auto line : juce::StringArray::fromLines (lv2info))
            if (line.trim().startsWith (name + ":"))
                return line.fromFirstOccurrenceOf (":", false, false).trim();

        return {};
    }

    //==========================================================================
    // A private JACK server; its name is unique per process and run, so parallel runs never meet.
    struct PrivateJackServer
    {
        PrivateJackServer()
            : name ("brimstack3-" + std::to_string (::getpid()) + "-" + std::to_string (juce::Random::getSystemRandom().nextInt (1 << 20))),
              server ({ "jackd", "--no-realtime", "-n", name, "-d", "dummy", "-r", "48000", "-p", "512" },
                      { { "JACK_NO_AUDIO_RESERVATION", "1" } },
                      HostSandbox::home().getChildFile ("jackd-" + juce::String (name) + ".log"))
        {
        }

        std::map<std::string, std::string> clientEnvironment() const
        {
            auto env = lv2Environment();
            env["JACK_DEFAULT_SERVER"] = name;
            return env;
        }

        std::string name;
        Subprocess server;
    };

    // Plays a sine to two ports and records two ports, lock-free on JACK's thread.
    class JackProbe
    {
    public:
        static constexpr double frequency = 220.0;
        static constexpr float amplitude = 0.5f;

        explicit JackProbe (const std::string& serverName)
        {
            // Polling a server that is still starting makes libjack complain on every try.
            jack_set_error_function ([] (const char*) {});
            jack_set_info_function ([] (const char*) {});

            waitUntil ([&]
            {
                jack_status_t status {};
                client = jack_client_open ("brimstack3-probe",
                                           (jack_options_t) (JackNoStartServer | JackServerName),
                                           &status, serverName.c_str());
                return client != nullptr;
            }, 10000);

            if (client == nullptr)
                return;

            rate = (double) jack_get_sample_rate (client);
            for (int ch = 0; ch < 2; ++ch)
            {
                send[ch]    = jack_port_register (client, ("send_" + std::to_string (ch + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
                receive[ch] = jack_port_register (client, ("return_" + std::to_string (ch + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
            }

            jack_set_process_callback (client, [] (jack_nframes_t n, void* self) { return static_cast<JackProbe*> (self)->process (n); }, this);
            activated = jack_activate (client) == 0;
        }

        ~JackProbe()
        {
            if (client != nullptr)
            {
                jack_deactivate (client);
                jack_client_close (client);
            }
        }

        bool isReady() const noexcept { return client != nullptr && activated; }
        double sampleRate() const noexcept { return rate; }

        bool hasPort (const std::string& name) const { return jack_port_by_name (client, name.c_str()) != nullptr; }

        bool connectThrough (const std::string& pluginClient)
        {
            bool ok = true;

            auto connect = [&] (const std::string& from, const std::string& to)
            {
                const auto result = jack_connect (client, from.c_str(), to.c_str());
                return result == 0 || result == EEXIST;
            };

            for (int ch = 0; ch < 2; ++ch)
            {
                const auto n = std::to_string (ch + 1);
                ok &= connect (jack_port_name (send[ch]), pluginClient + ":audio_in_" + n);
                ok &= connect (pluginClient + ":audio_out_" + n, jack_port_name (receive[ch]));
            }

            return ok;
        }

        // The latency jalv passes on to the JACK graph for the plug-in: the most any of its
        // ports carries in either direction (nothing else in this graph adds any).
        int reportedLatency (const std::string& pluginClient)
        {
            jack_recompute_total_latencies (client);
            jack_nframes_t most = 0;

            for (const auto* port : { ":audio_in_1", ":audio_out_1" })
            {
                if (auto* p = jack_port_by_name (client, (pluginClient + port).c_str()))
                {
                    for (auto mode : { JackCaptureLatency, JackPlaybackLatency })
                    {
                        jack_latency_range_t range {};
                        jack_port_get_latency_range (p, mode, &range);
                        most = std::max (most, range.max);
                    }
                }
            }

            return (int) most;
        }

        // Records `seconds` of both return channels (blocking, bounded by a generous timeout).
        std::vector<std::vector<float>> record (double seconds)
        {
            const auto frames = (size_t) (seconds * rate);
            recorded[0].assign (frames, 0.0f);
            recorded[1].assign (frames, 0.0f);
            capacity = frames;
            written.store (0);
            recording.store (true);

            waitUntil ([&] { return written.load() >= frames; }, (int) (seconds * 1000.0) + 5000);
            recording.store (false);

            recorded[0].resize (written.load());
            recorded[1].resize (written.load());
            return { recorded[0], recorded[1] };
        }

    private:
        int process (jack_nframes_t n)
        {
            float* out[2] = { static_cast<float*> (jack_port_get_buffer (send[0], n)),
                              static_cast<float*> (jack_port_get_buffer (send[1], n)) };
            const float* in[2] = { static_cast<const float*> (jack_port_get_buffer (receive[0], n)),
                                   static_cast<const float*> (jack_port_get_buffer (receive[1], n)) };

            for (jack_nframes_t i = 0; i < n; ++i)
            {
                const auto s = amplitude * (float) std::sin (phase);
                phase = std::fmod (phase + 2.0 * M_PI * frequency / rate, 2.0 * M_PI);
                out[0][i] = s;
                out[1][i] = s;
            }

            if (recording.load())
            {
                auto at = written.load();

                for (jack_nframes_t i = 0; i < n && at < capacity; ++i, ++at)
                {
                    recorded[0][at] = in[0][i];
                    recorded[1][at] = in[1][i];
                }

                written.store (at);
            }

            return 0;
        }

        jack_client_t* client = nullptr;
        jack_port_t* send[2] {};
        jack_port_t* receive[2] {};
        bool activated = false;
        double rate = 48000.0, phase = 0.0;
        std::vector<float> recorded[2];
        size_t capacity = 0;
        std::atomic<size_t> written { 0 };
        std::atomic<bool> recording { false };
    };

    // The processor's state stream written by hand from the documented layout, as a saved
    // session or preset file would carry it; JUCE's LV2 wrapper stores it base64-encoded.
    juce::File writeJalvStateFolder (bool ultra)
    {
        juce::ValueTree state ("Brimstack3");
        state.setProperty ("Current_Selected_Preset", "Jalv Session", nullptr);
        state.setProperty ("Preset_Has_Been_Modified", true, nullptr);

        for (const auto& p : X::parameters)
        {
            juce::ValueTree param ("PARAM");
            param.setProperty ("id", p.id, nullptr);
            param.setProperty ("value", juce::String (p.id) == "ultraButton" ? (ultra ? 1.0f : 0.0f) : p.defaultValue, nullptr);
            state.appendChild (param, nullptr);
        }

        juce::MemoryOutputStream stream;
        state.writeToStream (stream);

        auto folder = HostSandbox::makeTempFolder ("jalv-state");
        folder.getChildFile ("state.ttl").replaceWithText (
            "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
            "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
            "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
            "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n\n"
            "<>\n"
            "\ta pset:Preset ;\n"
            "\tlv2:appliesTo <" + juce::String (X::lv2Uri) + "> ;\n"
            "\trdfs:label \"Jalv Session\" ;\n"
            "\tstate:state [\n"
            "\t\t<" + juce::String (X::lv2Uri) + ":StateString> \"" + stream.getMemoryBlock().toBase64Encoding() + "\"\n"
            "\t] .\n");
        return folder;
    }

    struct JalvRun
    {
        SineFit processed, bypassed;
        int reportedLatency = -1;
        juce::String log;
    };

    // jalv with the plug-in between the probe's send and return; processed audio first, then
    // with the host's bypass (lv2:enabled off).
    void runJalv (JalvRun& run, const juce::File& stateFolder, int expectedLatency)
    {
        PrivateJackServer jack;
        ASSERT_TRUE (jack.server.started()) << "jackd missing: run make deps";

        JackProbe probe (jack.name);
        ASSERT_TRUE (probe.isReady()) << "no JACK server came up:\n" << jack.server.output();

        const std::string pluginClient = "brimstack3-lv2";
        std::vector<std::string> args { "jalv", "-n", pluginClient, "-x", "-p" };

        if (stateFolder != juce::File())
        {
            args.push_back ("-l");
            args.push_back (stateFolder.getFullPathName().toStdString());
        }

        args.push_back (X::lv2Uri);

        Subprocess jalv (args, jack.clientEnvironment(), HostSandbox::home().getChildFile ("jalv.log"), true);
        ASSERT_TRUE (jalv.started()) << "jalv missing: run make deps";

        const bool up = waitUntil ([&] { return probe.hasPort (pluginClient + ":audio_out_2") || ! jalv.isRunning(); }, 20000);
        ASSERT_TRUE (up && jalv.isRunning()) << "jalv did not bring the plug-in up:\n" << jalv.output();
        ASSERT_TRUE (waitUntil ([&] { return probe.connectThrough (pluginClient); }, 5000));

        // Past the fade-in and the first model warm-up; jalv passes the latency on once the
        // plug-in has run and written its latency port.
        waitUntil ([] { return false; }, 500);
        waitUntil ([&] { return probe.reportedLatency (pluginClient) == expectedLatency; }, 3000);
        run.reportedLatency = probe.reportedLatency (pluginClient);

        auto processed = probe.record (1.0);
        ASSERT_EQ (processed[0].size(), (size_t) probe.sampleRate()) << "JACK stopped running";

        ASSERT_TRUE (jalv.sendLine ("enabled = 0"));
        waitUntil ([] { return false; }, 300);
        auto bypassed = probe.record (1.0);
        ASSERT_EQ (bypassed[0].size(), (size_t) probe.sampleRate());

        EXPECT_TRUE (jalv.isRunning()) << "jalv died:\n" << jalv.output();
        jalv.terminate();
        run.log = jalv.output();

        run.processed = fitSine (processed[0].data(), processed[0].size(), JackProbe::frequency, probe.sampleRate(), JackProbe::amplitude);
        run.bypassed  = fitSine (bypassed[0].data(), bypassed[0].size(), JackProbe::frequency, probe.sampleRate(), JackProbe::amplitude);

        const auto right = fitSine (processed[1].data(), processed[1].size(), JackProbe::frequency, probe.sampleRate(), JackProbe::amplitude);
        EXPECT_TRUE (right.finite);
        EXPECT_NEAR (right.gainDb, run.processed.gainDb, 0.1) << "left and right differ for the same input";
    }
}

//==============================================================================
TEST (Lv2Host, LilvListsThePluginUnderItsAbsoluteUri)
{
    const auto listed = runCommand ({ "lv2ls" }, 20000, lv2Environment());
    ASSERT_EQ (listed.exitCode, 0) << listed.output;
    EXPECT_EQ (juce::StringArray::fromLines (listed.output.trim()), juce::StringArray (X::lv2Uri))
        << "a relative URI would show up resolved against the bundle path";

    const auto info = runCommand ({ "lv2info", X::lv2Uri }, 20000, lv2Environment());
    ASSERT_EQ (info.exitCode, 0) << info.output;
    EXPECT_EQ (field (info.output, "Name"), X::productName);
    EXPECT_EQ (field (info.output, "Author"), X::companyName);
    EXPECT_EQ (field (info.output, "Has latency"), "yes, reported by port 6");
    // An empty or bare address is a relative URI, which hosts show as the path of the bundle's file.
    EXPECT_FALSE (field (info.output, "Author Email").startsWith ("file:"))
        << "maintainer e-mail is " << field (info.output, "Author Email") << " (COMPANY_EMAIL needs a mailto: address)";

    // The version a host shows comes from the bundle's data file.
    const auto ttl = HostSandbox::lv2Bundle().getChildFile ("dsp.ttl").loadFileAsString();
    EXPECT_TRUE (ttl.contains ("doap:revision \"" + juce::String (X::version) + "\"")) << "version is not " << X::version;

    const auto ports = parsePorts (info.output);

    std::cout << "lv2info sees \"" << field (info.output, "Name") << "\" by \"" << field (info.output, "Author")
              << "\", ports:";
    for (const auto& [symbol, port] : ports)
        std::cout << " " << port.index << ":" << symbol;
    std::cout << std::endl;
    struct Expected { const char* symbol; const char* kind; const char* direction; const char* designation; };
    const Expected expected[] = {
        { "audio_in_1",   "AudioPort",   "InputPort",  "port-groups#left" },
        { "audio_in_2",   "AudioPort",   "InputPort",  "port-groups#right" },
        { "audio_out_1",  "AudioPort",   "OutputPort", "port-groups#left" },
        { "audio_out_2",  "AudioPort",   "OutputPort", "port-groups#right" },
        { "in",           "AtomPort",    "InputPort",  "lv2core#control" },
        { "out",          "AtomPort",    "OutputPort", "lv2core#control" },
        { "latency",      "ControlPort", "OutputPort", "lv2core#latency" },
        { "freeWheeling", "ControlPort", "InputPort",  "lv2core#freeWheeling" },
        { "enabled",      "ControlPort", "InputPort",  "lv2core#enabled" },
    };

    EXPECT_EQ (ports.size(), std::size (expected)) << "no MIDI, side-chain or extra ports:\n" << info.output;

    for (const auto& e : expected)
    {
        SCOPED_TRACE (e.symbol);
        const auto found = ports.find (e.symbol);
        ASSERT_NE (found, ports.end());
        EXPECT_TRUE (found->second.types.joinIntoString (" ").contains (e.kind)) << found->second.types.joinIntoString (" ");
        EXPECT_TRUE (found->second.types.joinIntoString (" ").contains (e.direction));
        EXPECT_TRUE (found->second.designation.endsWith (e.designation)) << found->second.designation;
    }
}

TEST (Lv2Host, BundleDeclaresEveryParameterWithItsRangeAndDefault)
{
    // JUCE's LV2 plug-ins carry their parameters as patch properties, which lv2info does not
    // print; hosts read them from the bundle's data file.
    const auto ttl = HostSandbox::lv2Bundle().getChildFile ("dsp.ttl").loadFileAsString();
    ASSERT_TRUE (ttl.isNotEmpty());

    for (const auto& p : X::parameters)
    {
        SCOPED_TRACE (p.id);
        const auto start = ttl.indexOf ("plug:" + juce::String (p.id) + "\n");
        ASSERT_GE (start, 0) << "no parameter " << p.id;
        const auto block = ttl.substring (start, ttl.indexOf (start, " .\n"));

        EXPECT_TRUE (block.contains ("rdfs:label \"" + juce::String (p.name) + "\"")) << block;

        auto number = [&] (const char* key)
        {
            const auto at = block.indexOf (key);
            return at < 0 ? std::nan ("") : block.substring (at + (int) std::strlen (key)).trim().getDoubleValue();
        };

        EXPECT_NEAR (number ("lv2:default"), p.defaultValue, 1e-4) << block;

        if (! p.isSwitch)
        {
            EXPECT_NEAR (number ("lv2:minimum"), p.start, 1e-4) << block;
            EXPECT_NEAR (number ("lv2:maximum"), p.end, 1e-4) << block;
        }
    }
}

TEST (Lv2Host, JalvOnJackProcessesAndBypassesTheSignal)
{
    JalvRun run;
    runJalv (run, {}, 0);

    if (HasFatalFailure())
        return;

    std::cout << "jalv, 48 kHz / 512: processed gain " << run.processed.gainDb << " dB, residual "
              << run.processed.residualDb << " dB, peak " << run.processed.peak << "; bypassed gain "
              << run.bypassed.gainDb << " dB, residual " << run.bypassed.residualDb
              << " dB; latency seen by JACK " << run.reportedLatency << std::endl;

    EXPECT_TRUE (run.processed.finite);
    EXPECT_TRUE (run.bypassed.finite);
    EXPECT_GT (run.processed.rms, 1e-3) << "plug-in output is silent";
    EXPECT_LT (run.processed.peak, 4.0);

    // Processed: the level or the waveform differs from the input's.
    EXPECT_TRUE (std::abs (run.processed.gainDb) > 0.5 || run.processed.residualDb > -50.0)
        << "output is the unprocessed input";

    // Bypassed: the input itself (jalv only delays it).
    EXPECT_NEAR (run.bypassed.gainDb, 0.0, 0.05);
    EXPECT_LT (run.bypassed.residualDb, -80.0);

    EXPECT_EQ (run.reportedLatency, 0);
}

TEST (Lv2Host, JalvRestoresASavedStateWithUltraAndReportsItsLatency)
{
    JalvRun run;
    runJalv (run, writeJalvStateFolder (true), X::ultraLatencySamples);

    if (HasFatalFailure())
        return;

    std::cout << "jalv with Ultra state: processed gain " << run.processed.gainDb << " dB, residual "
              << run.processed.residualDb << " dB; latency seen by JACK " << run.reportedLatency << std::endl;

    EXPECT_TRUE (run.processed.finite);
    EXPECT_GT (run.processed.rms, 1e-3);
    EXPECT_EQ (run.reportedLatency, X::ultraLatencySamples) << "restored Ultra Mode did not reach JACK:\n" << run.log;
}
