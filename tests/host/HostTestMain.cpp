#include "HostSandbox.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
    // A DAW installs an X error handler that carries on; JUCE only does so in a JUCEApplication,
    // which this is not, and Xlib's default handler exits the process on the first error (a
    // window-manager atom that does not exist on a bare Xvfb is enough).
    void carryOnAfterXErrors()
    {
        using Handler = int (*) (void*, void*);
        using SetHandler = Handler (*) (Handler);

        if (auto* x11 = ::dlopen ("libX11.so.6", RTLD_NOW | RTLD_LOCAL))
            if (auto set = reinterpret_cast<SetHandler> (::dlsym (x11, "XSetErrorHandler")))
                set ([] (void*, void*) { return 0; });
    }
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // Before JUCE reads HOME: the plug-in writes its default preset into the documents folder.
    HostSandbox::enter();

    int result = 0;

    {
        juce::ScopedJuceInitialiser_GUI juce;

        if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty())
        {
            juce::Desktop::getInstance().getDisplays();   // opens our X connection, as a DAW's windows would
            carryOnAfterXErrors();
        }

        result = RUN_ALL_TESTS();
    }

    HostSandbox::leave();
    return result;
}
