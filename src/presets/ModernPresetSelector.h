#pragma once

#include "presets/DimmedOverlay2.h"
#include "presets/ModernPresetMenu.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

/**
    The preset bar: the current preset's name with a drop-down arrow. A press opens the browser
    (dimmed editor, category menu below the bar, preset list beside it); choosing a preset reports
    its flat-order index through onPresetSelected and closes the browser.
*/
class ModernPresetSelector : public juce::Component,
                             private juce::Timer
{
public:
    ModernPresetSelector();
    ~ModernPresetSelector() override;

    // Set by the preset bar (followed by a repaint) and the editor.
    std::function<void (int)> onPresetSelected;
    juce::String displayText { "Init" };
    std::vector<ModernPresetMenu::CategoryItem> categories;
    int currentPresetIndex = -1;
    juce::Component* overlayParent = nullptr;

    void showMenu();
    void hideMenu();
    bool isMenuOpen() const noexcept;

    ModernPresetMenu* getMenu() const noexcept { return menu.get(); }
    DimmedOverlay2* getOverlay() const noexcept { return overlay.get(); }

    void paint (juce::Graphics&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;

private:
    void timerCallback() override;
    void createMenuIfNeeded();

    juce::Path arrowPath;
    bool isHovered = false;
    juce::Font font { 50.0f };
    std::unique_ptr<ModernPresetMenu> menu;
    std::unique_ptr<DimmedOverlay2> overlay;
    bool mouseWasDown = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModernPresetSelector)
};
