#include "RenderOptions.h"

#include "engine/Parameters.h"

namespace
{
    std::optional<float> parseNumber (const juce::String& text)
    {
        const auto t = text.trim();
        if (t.equalsIgnoreCase ("on") || t.equalsIgnoreCase ("true"))   return 1.0f;
        if (t.equalsIgnoreCase ("off") || t.equalsIgnoreCase ("false"))  return 0.0f;
        if (t.isEmpty() || ! t.containsOnly ("0123456789+-.eE"))
            return std::nullopt;
        const auto v = t.getDoubleValue();
        if (! std::isfinite (v))
            return std::nullopt;
        return (float) v;
    }

    // "ID=VALUE" with a known ID and a value inside its range.
    bool parseSetting (const juce::String& text, RenderOptions::Setting& s, juce::String& error)
    {
        if (! text.contains ("="))
        {
            error = "expected ID=VALUE, got \"" + text + "\"";
            return false;
        }

        s.id = text.upToFirstOccurrenceOf ("=", false, false).trim();
        const auto* spec = Parameters::find (s.id);
        if (spec == nullptr)
        {
            juce::StringArray ids;
            for (auto& p : Parameters::all) ids.add (p.id);
            error = "unknown parameter \"" + s.id + "\" (known: " + ids.joinIntoString (", ") + ")";
            return false;
        }

        const auto valueText = text.fromFirstOccurrenceOf ("=", false, false);
        const auto value = parseNumber (valueText);
        if (! value || *value < spec->start || *value > spec->end
            || (spec->isSwitch && *value != 0.0f && *value != 1.0f))
        {
            error = "bad value \"" + valueText + "\" for " + s.id + " (range " + juce::String (spec->start) + " .. "
                  + juce::String (spec->end) + (spec->isSwitch ? ", 0 or 1)" : ")");
            return false;
        }

        s.value = *value;
        return true;
    }
}

std::optional<RenderOptions> RenderOptions::parse (const juce::StringArray& args, juce::String& error)
{
    RenderOptions o;
    juce::StringArray files;

    auto next = [&] (int& i, const char* what) -> std::optional<juce::String>
    {
        if (i + 1 >= args.size())
        {
            error = juce::String (what) + " needs a value";
            return std::nullopt;
        }
        return args[++i];
    };

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& a = args[i];

        if (a == "--help" || a == "-h")
            o.showHelp = true;
        else if (a == "--set")
        {
            auto v = next (i, "--set");
            Setting s;
            if (! v || ! parseSetting (*v, s, error))
                return std::nullopt;
            o.settings.push_back (s);
        }
        else if (a == "--at")
        {
            auto t = next (i, "--at");
            if (! t) return std::nullopt;
            const auto seconds = parseNumber (*t);
            if (! seconds || *seconds < 0.0f)
            {
                error = "--at needs a time in seconds >= 0, got \"" + *t + "\"";
                return std::nullopt;
            }
            auto v = next (i, "--at");
            Setting s;
            if (! v || ! parseSetting (*v, s, error))
                return std::nullopt;
            s.seconds = *seconds;
            o.settings.push_back (s);
        }
        else if (a == "--block")
        {
            auto v = next (i, "--block");
            if (! v) return std::nullopt;
            o.blockSize = v->getIntValue();
            if (! v->containsOnly ("0123456789") || o.blockSize < 1 || o.blockSize > 65536)
            {
                error = "--block needs a size from 1 to 65536, got \"" + *v + "\"";
                return std::nullopt;
            }
        }
        else if (a == "--preset" || a == "--state")
        {
            auto v = next (i, a.toRawUTF8());
            if (! v) return std::nullopt;
            (a == "--preset" ? o.presetFile : o.stateFile) = juce::File::getCurrentWorkingDirectory().getChildFile (*v);
        }
        else if (a == "--compensate-latency")
            o.compensateLatency = true;
        else if (a == "--install-presets")
        {
            o.installPresets = true;
            if (i + 1 < args.size() && ! args[i + 1].startsWith ("--"))
                o.installPresetsTo = juce::File::getCurrentWorkingDirectory().getChildFile (args[++i]);
        }
        else if (a.startsWith ("-"))
        {
            error = "unknown option \"" + a + "\"";
            return std::nullopt;
        }
        else
            files.add (a);
    }

    if (files.size() == 2)
    {
        o.input = juce::File::getCurrentWorkingDirectory().getChildFile (files[0]);
        o.output = juce::File::getCurrentWorkingDirectory().getChildFile (files[1]);
    }
    else if (files.size() != 0)
    {
        error = "give both IN.wav and OUT.wav, or neither (renders the built-in demo to demo.wav)";
        return std::nullopt;
    }

    // Automation in time order; settings without a time come first.
    std::stable_sort (o.settings.begin(), o.settings.end(), [] (auto& a, auto& b) { return a.seconds < b.seconds; });
    return o;
}

juce::String RenderOptions::usage()
{
    juce::String ids;
    for (auto& p : Parameters::all)
        ids << "  " << juce::String (p.id).paddedRight (' ', 17) << p.name << " ("
            << (p.isSwitch ? juce::String ("0/1") : juce::String (p.start) + " .. " + juce::String (p.end))
            << ", default " << juce::String (p.defaultValue) << ")\n";

    return "usage: brimstack3-render [IN.wav OUT.wav] [options]\n"
           "Runs Brimstack3 over a WAV/AIFF file (mono or stereo, at its own rate) and writes a 32-bit float WAV.\n"
           "Without files it renders a built-in plucked-guitar demo to demo.wav.\n\n"
           "  --set ID=VALUE          set a parameter before processing, in its own units\n"
           "  --at SECONDS ID=VALUE   change a parameter at a time (applied at the block containing it)\n"
           "  --block N               block size (default 512)\n"
           "  --preset FILE.rcp       start from a preset file\n"
           "  --state FILE            start from a saved plug-in state\n"
           "  --compensate-latency    remove the reported latency so output lines up with input\n"
           "  --install-presets [DIR] copy the factory presets into the preset folder (or DIR) and exit\n\n"
           "parameters:\n" + ids;
}
