// The standalone application on a virtual display, with no sound card: ALSA's null device stands
// in as the default output, so the app opens an audio device and runs its callback.
#include "HostExpectations.h"
#include "HostSandbox.h"

#include <gtest/gtest.h>

namespace
{
    struct WindowInfo { juce::String id; int width = 0, height = 0; };

    // The largest top-level window with the given title, from `xwininfo -root -tree`.
    WindowInfo findWindow (const juce::String& title)
    {
        WindowInfo best;
        const auto tree = runCommand ({ "xwininfo", "-root", "-tree" }, 5000);

        for (auto line : juce::StringArray::fromLines (tree.output))
        {
            line = line.trim();

            if (! line.startsWith ("0x") || ! line.contains ("\"" + title + "\":"))
                continue;

            // 0x600007 "Brimstack3": ("Brimstack3" "Brimstack3")  893x400+0+0  +0+0
            const auto geometry = line.fromLastOccurrenceOf (")", false, false).trim().upToFirstOccurrenceOf ("+", false, false);
            const auto w = geometry.upToFirstOccurrenceOf ("x", false, false).getIntValue();
            const auto h = geometry.fromFirstOccurrenceOf ("x", false, false).getIntValue();

            if (w * h > best.width * best.height)
                best = { line.upToFirstOccurrenceOf (" ", false, false), w, h };
        }

        return best;
    }
}

TEST (Standalone, StartsWithoutASoundCardAndShowsItsWindow)
{
    ASSERT_TRUE (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty()) << "needs an X display (run through CTest)";
    ASSERT_TRUE (HostSandbox::standaloneExecutable().existsAsFile());

    HostSandbox::home().getChildFile (".asoundrc").replaceWithText ("pcm.!default { type null }\n");

    Subprocess app ({ HostSandbox::standaloneExecutable().getFullPathName().toStdString() }, {},
                    HostSandbox::home().getChildFile ("standalone.log"));
    ASSERT_TRUE (app.started());

    WindowInfo window;
    const bool shown = waitUntil ([&]
    {
        window = findWindow (HostExpectations::productName);
        return window.width > 200 || ! app.isRunning();
    }, 30000);

    ASSERT_TRUE (shown && app.isRunning()) << "no window; the app said:\n" << app.output();

    // Let it paint and run its audio callback for a moment.
    waitUntil ([] { return false; }, 2000);
    ASSERT_TRUE (app.isRunning()) << "the app died after showing its window:\n" << app.output();

    window = findWindow (HostExpectations::productName);
    std::cout << "standalone window " << window.id << ": " << window.width << " x " << window.height << std::endl;

    auto folder = juce::File (BRIMSTACK3_HOST_ARTEFACTS_DIR);
    folder.createDirectory();
    const auto shot = folder.getChildFile ("standalone.png");
    const auto grabbed = runCommand ({ "import", "-window", window.id.toStdString(), shot.getFullPathName().toStdString() }, 15000);
    ASSERT_EQ (grabbed.exitCode, 0) << grabbed.output;
    EXPECT_GT (countDistinctColours (shot), 16) << "the window is blank: " << shot.getFullPathName();

    app.terminate();
}
