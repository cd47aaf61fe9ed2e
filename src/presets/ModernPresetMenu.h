#pragma once

#include "presets/PresetSubMenu.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

/**
    The category menu of the preset browser: a borderless window below the preset bar with a
    "CATEGORIES" header and one row per category. Opening a row shows its PresetSubMenu beside it.
*/
class ModernPresetMenu : public juce::Component,
                         private juce::ScrollBar::Listener
{
public:
    struct CategoryItem
    {
        juce::String name;
        juce::StringArray presetNames;
        std::vector<int> presetIndices; // flat-order index of each entry of presetNames

        bool operator== (const CategoryItem& other) const
        {
            return name == other.name && presetNames == other.presetNames && presetIndices == other.presetIndices;
        }
    };

    ModernPresetMenu();
    ~ModernPresetMenu() override;

    /** Closes the whole browser; installed by the selector. */
    std::function<void()> onClose;

    void setOnPresetSelected (std::function<void (int)> callback);

    /** Copies the catalogue in, sizes the menu and resets hover, selection, open row and scroll. */
    void setContent (const std::vector<CategoryItem>& newCategories, int newCurrentPresetIndex);

    void showSubMenu (int categoryIndex);
    void positionSubMenu (int categoryIndex);
    void autoExpandCurrentCategory();
    void updateScrollBar();
    void makeRowVisible (int row);
    void closeSubMenu();

    /** The category row at a point in menu coordinates, or -1 (header, below the rows). */
    int getRowAt (juce::Point<int> position) const noexcept;

    static int getHeightFor (int numCategories) noexcept;

    PresetSubMenu* getSubMenu() const noexcept { return subMenu.get(); }
    const std::vector<CategoryItem>& getCategories() const noexcept { return categories; }
    int getCurrentPresetIndex() const noexcept { return currentPresetIndex; }
    int getHoveredIndex() const noexcept { return hoveredIndex; }
    int getSelectedIndex() const noexcept { return selectedIndex; }
    int getOpenSubMenuIndex() const noexcept { return openSubMenuIndex; }
    int getScrollOffset() const noexcept { return scrollOffset; }
    const juce::ScrollBar& getScrollBar() const noexcept { return scrollBar; }

    void paint (juce::Graphics&) override;
    void resized() override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void focusGained (FocusChangeType) override;
    void focusLost (FocusChangeType) override;

    static constexpr int menuWidth = 270;
    static constexpr int headerHeight = 36;
    static constexpr int rowHeight = 38;
    static constexpr int padding = 7;
    static constexpr int maxHeight = 350;

private:
    void scrollBarMoved (juce::ScrollBar*, double newRangeStart) override;

    bool isValidRow (int row) const noexcept { return row >= 0 && row < (int) categories.size(); }
    int getVisibleListHeight() const noexcept { return getHeight() - headerHeight; }
    void closeAndNotify();

    std::unique_ptr<PresetSubMenu> subMenu;
    std::vector<CategoryItem> categories;
    int currentPresetIndex = -1;
    int hoveredIndex = -1;
    int selectedIndex = -1;
    int openSubMenuIndex = -1;
    juce::Font font;
    bool keyboardNavigating = false;
    juce::ScrollBar scrollBar { true };
    int scrollOffset = 0;
    int contentHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModernPresetMenu)
};
