#include "gui/EditorImages.h"

#include "BinaryData.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#define BRIMSTACK3_IMAGE(function, resource) \
    juce::Image EditorImages::function() { return juce::ImageCache::getFromMemory (BinaryData::resource, BinaryData::resource##Size); }

BRIMSTACK3_IMAGE (background, panel_png)
BRIMSTACK3_IMAGE (driveKnob, knob_drive_png)
BRIMSTACK3_IMAGE (outputKnob, knob_output_png)
BRIMSTACK3_IMAGE (mixKnob, knob_mix_png)
BRIMSTACK3_IMAGE (smallKnob, knob_small_png)
BRIMSTACK3_IMAGE (tubeGlow, tube_glow_png)
BRIMSTACK3_IMAGE (overDriveLever, switch_overdrive_png)
BRIMSTACK3_IMAGE (typeTKey, key_T_png)
BRIMSTACK3_IMAGE (typeP1Key, key_P1_png)
BRIMSTACK3_IMAGE (typeP2Key, key_P2_png)
BRIMSTACK3_IMAGE (linkLamp, lamp_link_png)
BRIMSTACK3_IMAGE (ultraLamp, lamp_ultra_png)
BRIMSTACK3_IMAGE (powerLamp, lamp_power_png)
BRIMSTACK3_IMAGE (logo, logo_png)

#undef BRIMSTACK3_IMAGE

void EditorImages::decodeAll()
{
    // Largest first, so the longest decode starts at once.
    std::vector<const Entry*> order;
    for (auto& e : all)
        order.push_back (&e);
    std::sort (order.begin(), order.end(), [] (auto* a, auto* b) { return a->width * a->height > b->width * b->height; });

    std::atomic<size_t> next { 0 };
    auto work = [&]
    {
        for (auto i = next++; i < order.size(); i = next++)
            order[i]->load(); // the image cache keeps the result
    };

    const auto helpers = std::min<size_t> (order.size(), std::max (1u, std::thread::hardware_concurrency())) - 1;
    std::vector<std::thread> threads;
    for (size_t i = 0; i < helpers; ++i)
        threads.emplace_back (work);
    work();
    for (auto& t : threads)
        t.join();
}

std::pair<const void*, size_t> EditorImages::pngData (const Entry& entry)
{
    int size = 0;
    const auto* data = BinaryData::getNamedResource (entry.resource, size);
    return { data, (size_t) juce::jmax (0, size) };
}
