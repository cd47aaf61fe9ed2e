#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

/**
    The preset list of one category: a borderless window beside the category row. Reports the
    flat-order index of the chosen preset through onItemSelected; never closes or moves itself
    (the category menu owns, fills and places it).
*/
class PresetSubMenu : public juce::Component,
                      private juce::Timer,
                      private juce::ScrollBar::Listener
{
public:
    struct MenuItem
    {
        juce::String name;
        int presetIndex = -1;
        bool isCurrent = false;
    };

    PresetSubMenu();
    ~PresetSubMenu() override;

    std::function<void (int)> onItemSelected;
    std::function<void()> onBack;
    std::function<void()> onDismiss;

    /** Replaces the rows, resizes the list (keeping its position) and starts the hover poll. */
    void setItems (const std::vector<MenuItem>& newItems);
    void updateScrollBar();
    void makeRowVisible (int row);

    /** The row under a y position in list coordinates, or -1. The top padding counts as row 0. */
    int getRowAt (int y) const noexcept;

    const std::vector<MenuItem>& getItems() const noexcept { return items; }
    int getHoveredIndex() const noexcept { return hoveredIndex; }
    int getSelectedIndex() const noexcept { return selectedIndex; }
    int getScrollOffset() const noexcept { return scrollOffset; }
    int getContentHeight() const noexcept { return contentHeight; }
    const juce::ScrollBar& getScrollBar() const noexcept { return scrollBar; }

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void focusGained (FocusChangeType) override;
    void focusLost (FocusChangeType) override;

    static constexpr int listWidth = 225;
    static constexpr int itemHeight = 32;
    static constexpr int padding = 7;
    static constexpr int maxHeight = 300;

private:
    void timerCallback() override;
    void scrollBarMoved (juce::ScrollBar*, double newRangeStart) override;

    bool isValidRow (int row) const noexcept { return row >= 0 && row < (int) items.size(); }
    void setHovered (int row);
    void chooseByKey (int row);
    void applyPendingHoverAndSelection();
    void scrollTo (int newOffset);

    std::vector<MenuItem> items;
    int hoveredIndex = -1;
    int selectedIndex = -1;
    int hoverTicks = 0;
    juce::Font font;
    juce::ScrollBar scrollBar { true };
    int scrollOffset = 0;
    int contentHeight = 2 * padding;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetSubMenu)
};
