// Editor open time (construction plus the first full paint into an image, as a host's first frame)
// and the memory the decoded pictures hold. The first open decodes every PNG; later opens find
// them in the image cache.

#include "Bench.h"

#include "engine/GuipluginAudioProcessor.h"
#include "gui/EditorImages.h"
#include "gui/EditorLayout.h"
#include "gui/GuipluginAudioProcessorEditor.h"
#include "presets/ProcessorPresetManager.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
    double openMs (GuipluginAudioProcessor& processor, double ratio)
    {
        const auto start = juce::Time::getMillisecondCounterHiRes();
        GuipluginAudioProcessorEditor editor (processor);
        editor.setSize ((int) (ratio * EditorLayout::designWidth), (int) (ratio * EditorLayout::designHeight));
        juce::Image frame (juce::Image::ARGB, editor.getWidth(), editor.getHeight(), true);
        {
            juce::Graphics g (frame);
            editor.paintEntireComponent (g, true);
        }
        return juce::Time::getMillisecondCounterHiRes() - start;
    }

    void editorOpen()
    {
        juce::ScopedJuceInitialiser_GUI gui;
        const auto scratch = juce::File::getSpecialLocation (juce::File::tempDirectory)
                                 .getNonexistentChildFile ("brimstack3-bench-editor", "");
        ProcessorPresetManager::setDefaultPresetRootForTesting (scratch.getChildFile ("presets"));
        GuipluginAudioProcessorEditor::setSettingsFolderForTesting (scratch.getChildFile ("settings"));

        {
            GuipluginAudioProcessor processor;

            std::printf ("%-34s %10s\n", "editor open (construct + paint)", "ms");
            std::printf ("%-34s %10.1f\n", "first open, 0.35 (decodes PNGs)", openMs (processor, 0.35));

            for (const auto ratio : { 0.35, 1.0 })
            {
                std::vector<double> times;
                for (int i = 0; i < 7; ++i)
                    times.push_back (openMs (processor, ratio));
                std::sort (times.begin(), times.end());
                std::printf ("later opens, %.2f (median of 7)     %10.1f\n", ratio, times[times.size() / 2]);
            }

            // Decoded size as the cache holds it, and one decode of each PNG outside the cache.
            std::printf ("\n%-18s %14s %7s %11s %10s\n", "picture", "pixels", "frames", "decoded MB", "decode ms");
            double totalBytes = 0.0, totalMs = 0.0;
            for (auto& entry : EditorImages::all)
            {
                const auto image = entry.load();
                const juce::Image::BitmapData data (image, juce::Image::BitmapData::readOnly);
                const auto bytes = double (data.lineStride) * double (data.height);

                const auto png = EditorImages::pngData (entry);
                const auto start = juce::Time::getMillisecondCounterHiRes();
                const auto fresh = juce::ImageFileFormat::loadFrom (png.first, png.second);
                const auto ms = juce::Time::getMillisecondCounterHiRes() - start;
                bench::keep (&fresh);

                totalBytes += bytes;
                totalMs += ms;
                std::printf ("%-18s %5d x %-6d %7d %11.1f %10.1f\n", entry.name, image.getWidth(), image.getHeight(),
                             entry.frames, bytes / (1024.0 * 1024.0), ms);
            }
            std::printf ("%-18s %14s %7s %11.1f %10.1f\n", "total", "", "", totalBytes / (1024.0 * 1024.0), totalMs);
        }

        scratch.deleteRecursively();
    }
}

BRIMSTACK3_BENCH ("editor", editorOpen);
