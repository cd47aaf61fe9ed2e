// The desktop side of the browser and the dialogs: real windows, so these run only where there is
// a display (for example under xvfb-run) and are skipped elsewhere.

#include "presets/CustomDialogWindow.h"
#include "presets/ModernPresetSelector.h"
#include "presets/ModernStyledDialog.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace
{
// JUCE creates its windows with WM_PROTOCOLS and friends; on a bare X server (Xvfb without a
// window manager) those atoms do not exist, the window is refused and the X error ends the process.
// So these tests skip unless the atoms are there: a desktop session, or the CTest entry
// presets.on-screen, which starts Xvfb and creates them with intern-wm-atoms.py first.
bool serverHasWindowManagerAtoms()
{
    auto* x11 = dlopen ("libX11.so.6", RTLD_NOW | RTLD_LOCAL);

    if (x11 == nullptr)
        return false;

    using OpenDisplay = void* (*) (const char*);
    using InternAtom = unsigned long (*) (void*, const char*, int);
    using CloseDisplay = int (*) (void*);
    const auto openDisplay = reinterpret_cast<OpenDisplay> (dlsym (x11, "XOpenDisplay"));
    const auto internAtom = reinterpret_cast<InternAtom> (dlsym (x11, "XInternAtom"));
    const auto closeDisplay = reinterpret_cast<CloseDisplay> (dlsym (x11, "XCloseDisplay"));
    auto found = false;

    if (openDisplay != nullptr && internAtom != nullptr && closeDisplay != nullptr)
    {
        if (auto* display = openDisplay (nullptr))
        {
            found = true;

            for (const auto* name : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "WM_STATE", "WM_CHANGE_STATE" })
                found = found && internAtom (display, name, 1) != 0;

            closeDisplay (display);
        }
    }

    dlclose (x11);
    return found;
}

bool hasDesktop()
{
    static const bool usable = juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty()
                               && serverHasWindowManagerAtoms()
                               && juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
    return usable;
}

void runPendingCalls()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
}

struct OnScreenEditor : ::testing::Test
{
    void SetUp() override
    {
        if (! hasDesktop())
            GTEST_SKIP() << "needs a display with window-manager atoms";

        editor.setBounds (100, 100, 800, 400);
        editor.addToDesktop (juce::ComponentPeer::windowIsTemporary);
        editor.setVisible (true);
        editor.addAndMakeVisible (selector);
        selector.setBounds (50, 20, 400, 60);
        selector.overlayParent = &editor;
    }

    juce::Component editor;
    ModernPresetSelector selector;
};
} // namespace

TEST_F (OnScreenEditor, BrowserWindowsOpenBelowTheBarAndBesideTheRow)
{
    selector.categories = { { "Factory", { "A", "B" }, { 2, 3 } }, { "Bass", { "C", "D" }, { 0, 1 } } };
    selector.currentPresetIndex = 1;

    selector.showMenu();
    auto* menu = selector.getMenu();
    ASSERT_TRUE (menu->isOnDesktop());

    const auto bar = selector.getScreenBounds();
    EXPECT_EQ (menu->getScreenPosition(), juce::Point<int> (bar.getX(), bar.getBottom() + 5));

    runPendingCalls();
    auto* list = menu->getSubMenu();
    ASSERT_EQ (menu->getOpenSubMenuIndex(), 1);
    ASSERT_TRUE (list->isOnDesktop() && list->isVisible());
    EXPECT_EQ (list->getScreenPosition(),
               menu->getScreenPosition() + juce::Point<int> (270 + 5, ModernPresetMenu::headerHeight + ModernPresetMenu::rowHeight - 7));
    EXPECT_EQ (list->getSelectedIndex(), 1); // the current preset

    selector.hideMenu();
    EXPECT_FALSE (menu->isOnDesktop());
    EXPECT_FALSE (list->isOnDesktop());
    EXPECT_EQ (selector.getOverlay(), nullptr);
}

TEST_F (OnScreenEditor, ModalDialogReturnsWhatWasTypedAndRemovesItsOverlay)
{
    // Plays the user: types into the field of whichever dialog is modal, then presses SAVE.
    juce::Timer::callAfterDelay (200, []
    {
        auto* window = dynamic_cast<CustomDialogWindow*> (juce::Component::getCurrentlyModalComponent());

        if (window == nullptr)
            return;

        auto* dialog = dynamic_cast<ModernStyledDialog*> (window->getContent());
        dialog->textField.setText (" Warm Lead ");
        dialog->confirmButton.triggerClick();
    });

    const auto childrenBefore = editor.getNumChildComponents();
    const auto result = showModernStyledDialog (&editor, DialogConfig::forSavePreset());

    EXPECT_TRUE (result.confirmed);
    EXPECT_EQ (result.inputText, " Warm Lead ");
    EXPECT_EQ (editor.getNumChildComponents(), childrenBefore);
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}
