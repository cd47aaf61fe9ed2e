#include "presets/ModernPresetMenu.h"
#include "presets/ModernPresetSelector.h"
#include "presets/PresetSubMenu.h"

#include <gtest/gtest.h>

namespace
{
void runPendingCalls()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (30);
}

// n categories of two presets each, numbered in flat order.
std::vector<ModernPresetMenu::CategoryItem> makeCategories (int n)
{
    std::vector<ModernPresetMenu::CategoryItem> categories;

    for (int i = 0; i < n; ++i)
        categories.push_back ({ "Category " + juce::String (i),
                                juce::StringArray ("Preset " + juce::String (2 * i), "Preset " + juce::String (2 * i + 1)),
                                { 2 * i, 2 * i + 1 } });

    return categories;
}

std::vector<PresetSubMenu::MenuItem> makeItems (int n, int current = -1)
{
    std::vector<PresetSubMenu::MenuItem> items;

    for (int j = 0; j < n; ++j)
        items.push_back ({ "Preset " + juce::String (j), 100 + j, j == current });

    return items;
}

juce::Rectangle<int> barBounds (const juce::ScrollBar& bar)
{
    return bar.isVisible() ? bar.getBounds() : juce::Rectangle<int>();
}

const juce::KeyPress up (juce::KeyPress::upKey), down (juce::KeyPress::downKey), left (juce::KeyPress::leftKey),
    right (juce::KeyPress::rightKey), enter (juce::KeyPress::returnKey), escape (juce::KeyPress::escapeKey);
} // namespace

TEST (ModernPresetMenu, SizeAndScrollBarFollowTheCategoryCount)
{
    struct Case { int categories; int height; juce::Rectangle<int> bar; };
    const Case cases[] = {
        { 0, 50, {} },
        { 3, 164, {} },
        { 8, 350, {} },                    // 304 of the 314 list pixels: no bar
        { 9, 350, { 258, 41, 12, 304 } },
        { 20, 350, { 258, 41, 12, 304 } },
    };

    ModernPresetMenu menu;

    for (const auto& c : cases)
    {
        menu.setContent (makeCategories (c.categories), -1);
        EXPECT_EQ (menu.getBounds().withZeroOrigin(), juce::Rectangle<int> (270, c.height)) << c.categories;
        EXPECT_EQ (barBounds (menu.getScrollBar()), c.bar) << c.categories;
    }
}

TEST (ModernPresetMenu, RowsAtPointsIgnoreHeaderAndEmptySpace)
{
    ModernPresetMenu menu;
    menu.setContent (makeCategories (3), -1);

    const std::pair<int, int> rowAtY[] = { { 0, -1 }, { 35, -1 }, { 36, 0 }, { 73, 0 }, { 74, 1 }, { 149, 2 }, { 150, -1 }, { 163, -1 } };

    for (const auto& [y, row] : rowAtY)
        EXPECT_EQ (menu.getRowAt ({ 100, y }), row) << y;
}

TEST (ModernPresetMenu, OpeningOnACategoryDeepDownScrollsItIntoViewAndOpensItsList)
{
    ModernPresetMenu menu;
    menu.setVisible (true);
    menu.setContent (makeCategories (12), 23); // preset 23 lives in category 11
    menu.autoExpandCurrentCategory();

    EXPECT_EQ (menu.getSelectedIndex(), 11);
    EXPECT_EQ (menu.getScrollOffset(), 142); // 418 + 38 - 314
    EXPECT_EQ (menu.getScrollBar().getCurrentRangeStart(), 142.0);

    runPendingCalls();
    EXPECT_EQ (menu.getOpenSubMenuIndex(), 11);

    const auto& rows = menu.getSubMenu()->getItems();
    ASSERT_EQ (rows.size(), 2u);
    EXPECT_EQ (rows[1].name, "Preset 23");
    EXPECT_EQ (rows[1].presetIndex, 23);
    EXPECT_TRUE (rows[1].isCurrent);
    EXPECT_FALSE (rows[0].isCurrent);
}

TEST (ModernPresetMenu, NoCurrentPresetOpensNothingAndFocusSelectsTheFirstRow)
{
    ModernPresetMenu menu;
    menu.setVisible (true);
    menu.setContent (makeCategories (3), -1);
    menu.autoExpandCurrentCategory();
    runPendingCalls();

    EXPECT_EQ (menu.getOpenSubMenuIndex(), -1);
    EXPECT_EQ (menu.getSelectedIndex(), -1);

    menu.focusGained (juce::Component::focusChangedDirectly);
    EXPECT_EQ (menu.getSelectedIndex(), 0);
}

TEST (ModernPresetMenu, KeyboardNavigationStopsAtTheEnds)
{
    struct Case { const char* label; std::vector<juce::KeyPress> keys; int selected; int open; };
    const Case cases[] = {
        { "up from nothing", { up }, 0, -1 },
        { "down from nothing", { down }, 0, -1 },
        { "up on the first row", { down, up, up }, 0, -1 },
        { "down past the last row", { down, down, down, down, down }, 2, -1 },
        { "left does nothing", { down, down, left }, 1, -1 },
        { "right opens the list", { down, down, right }, 1, 1 },
        { "right twice keeps it", { down, down, right, right }, 1, 1 },
        { "moving on and right again", { down, right, down, right }, 1, 1 },
    };

    for (const auto& c : cases)
    {
        ModernPresetMenu menu;
        menu.setContent (makeCategories (3), -1);

        for (const auto& key : c.keys)
            EXPECT_TRUE (menu.keyPressed (key)) << c.label;

        EXPECT_EQ (menu.getSelectedIndex(), c.selected) << c.label;
        EXPECT_EQ (menu.getOpenSubMenuIndex(), c.open) << c.label;
    }
}

TEST (ModernPresetMenu, EscapeClosesReturnAndModifiedKeysPassThrough)
{
    ModernPresetMenu menu;
    menu.setContent (makeCategories (3), -1);
    int closes = 0;
    menu.onClose = [&] { ++closes; };

    EXPECT_FALSE (menu.keyPressed (enter));
    EXPECT_FALSE (menu.keyPressed (juce::KeyPress (juce::KeyPress::downKey, juce::ModifierKeys::shiftModifier, 0)));
    EXPECT_FALSE (menu.keyPressed (juce::KeyPress ('a')));
    EXPECT_EQ (menu.getSelectedIndex(), -1);

    EXPECT_TRUE (menu.keyPressed (escape));
    EXPECT_EQ (closes, 1);
}

TEST (ModernPresetMenu, WheelScrollsWithinTheContent)
{
    ModernPresetMenu menu;
    menu.setContent (makeCategories (12), -1); // 456 content, 314 visible

    juce::MouseWheelDetails wheel {};
    const auto event = juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                         &menu, &menu, juce::Time(), {}, juce::Time(), 1, false);

    const std::pair<float, int> steps[] = { { -1.0f, 50 }, { -1.0f, 100 }, { -1.0f, 142 }, { 2.0f, 42 }, { 5.0f, 0 } };

    for (const auto& [deltaY, offset] : steps)
    {
        wheel.deltaY = deltaY;
        menu.mouseWheelMove (event, wheel);
        EXPECT_EQ (menu.getScrollOffset(), offset) << deltaY;
        EXPECT_EQ (menu.getRowAt ({ 10, 36 }), offset / 38);
    }
}

TEST (ModernPresetMenu, ChoosingInTheListReportsTheIndexAndCloses)
{
    ModernPresetMenu menu;
    menu.setContent (makeCategories (3), -1);

    std::vector<int> chosen;
    int closes = 0;
    menu.setOnPresetSelected ([&] (int index) { chosen.push_back (index); });
    menu.onClose = [&] { ++closes; };

    menu.showSubMenu (2);
    ASSERT_EQ (menu.getOpenSubMenuIndex(), 2);
    menu.getSubMenu()->onItemSelected (5);

    EXPECT_EQ (chosen, std::vector<int> { 5 });
    EXPECT_EQ (closes, 1);
    EXPECT_EQ (menu.getOpenSubMenuIndex(), -1);

    // Left in the list returns to the category it came from.
    menu.showSubMenu (1);
    menu.getSubMenu()->onBack();
    EXPECT_EQ (menu.getOpenSubMenuIndex(), -1);
    EXPECT_EQ (menu.getSelectedIndex(), 1);

    // Escape in the list closes the whole browser.
    menu.getSubMenu()->onDismiss();
    EXPECT_EQ (closes, 2);
}

TEST (PresetSubMenu, SizeAndScrollBarFollowTheRowCount)
{
    struct Case { int rows; int height; int content; juce::Rectangle<int> bar; };
    const Case cases[] = {
        { 0, 14, 14, {} },
        { 5, 174, 174, {} },
        { 9, 300, 302, { 213, 5, 12, 290 } },
        { 10, 300, 334, { 213, 5, 12, 290 } },
    };

    PresetSubMenu list;

    for (const auto& c : cases)
    {
        list.setItems (makeItems (c.rows));
        EXPECT_EQ (list.getBounds().withZeroOrigin(), juce::Rectangle<int> (225, c.height)) << c.rows;
        EXPECT_EQ (list.getContentHeight(), c.content) << c.rows;
        EXPECT_EQ (barBounds (list.getScrollBar()), c.bar) << c.rows;
    }
}

TEST (PresetSubMenu, RowsAtPointsCountTheTopBandAsTheFirstRow)
{
    PresetSubMenu list;
    list.setItems (makeItems (5));

    const std::pair<int, int> rowAtY[] = { { 0, 0 }, { 6, 0 }, { 38, 0 }, { 39, 1 }, { 166, 4 }, { 167, -1 }, { 173, -1 } };

    for (const auto& [y, row] : rowAtY)
        EXPECT_EQ (list.getRowAt (y), row) << y;
}

TEST (PresetSubMenu, CurrentPresetIsSelectedAndScrolledIntoView)
{
    PresetSubMenu list;
    list.setVisible (true);
    list.setItems (makeItems (12, 11));
    EXPECT_EQ (list.getSelectedIndex(), -1); // the pass is deferred

    runPendingCalls();
    EXPECT_EQ (list.getSelectedIndex(), 11);
    EXPECT_EQ (list.getScrollOffset(), 91); // 7 + 11 * 32 + 32 - 300
}

TEST (PresetSubMenu, KeysMoveWithoutWrappingAndChooseThroughTheQueue)
{
    struct Case { const char* label; int current; std::vector<juce::KeyPress> keys; int selected; std::vector<int> chosen; int backs; int dismisses; };
    const Case cases[] = {
        { "up from nothing", -1, { up }, 0, {}, 0, 0 },
        { "up on the first row", -1, { down, up, up }, 0, {}, 0, 0 },
        { "down past the end", -1, { down, down, down, down, down, down, down }, 4, {}, 0, 0 },
        { "return chooses", -1, { down, down, enter }, 1, { 101 }, 0, 0 },
        { "return on current reloads", 0, { down, enter }, 0, { 100 }, 0, 0 },
        { "right on current does nothing", 0, { down, right }, 0, {}, 0, 0 },
        { "right on another chooses", 0, { down, down, right }, 1, { 101 }, 0, 0 },
        { "return with nothing", -1, { enter }, -1, {}, 0, 0 },
        { "left goes back", -1, { left }, -1, {}, 1, 0 },
        { "escape dismisses", -1, { escape }, -1, {}, 0, 1 },
    };

    for (const auto& c : cases)
    {
        PresetSubMenu list;
        list.setItems (makeItems (5, c.current));
        std::vector<int> chosen;
        int backs = 0, dismisses = 0;
        list.onItemSelected = [&] (int index) { chosen.push_back (index); };
        list.onBack = [&] { ++backs; };
        list.onDismiss = [&] { ++dismisses; };

        for (const auto& key : c.keys)
            EXPECT_TRUE (list.keyPressed (key)) << c.label;

        EXPECT_TRUE (chosen.empty()) << c.label; // never inside the key event
        runPendingCalls();

        EXPECT_EQ (list.getSelectedIndex(), c.selected) << c.label;
        EXPECT_EQ (chosen, c.chosen) << c.label;
        EXPECT_EQ (backs, c.backs) << c.label;
        EXPECT_EQ (dismisses, c.dismisses) << c.label;
    }
}

TEST (PresetSubMenu, FocusPrefersHoverThenCurrentThenFirstRow)
{
    PresetSubMenu list;
    list.setItems (makeItems (5, 3));
    list.focusGained (juce::Component::focusChangedDirectly);
    EXPECT_EQ (list.getSelectedIndex(), 3);

    list.setItems (makeItems (5));
    list.focusGained (juce::Component::focusChangedDirectly);
    EXPECT_EQ (list.getSelectedIndex(), 0);
}

TEST (PresetSubMenu, DeferredCallsDoNothingOnceTheListIsGone)
{
    int chosen = 0;

    {
        auto list = std::make_unique<PresetSubMenu>();
        list->setVisible (true);
        list->setItems (makeItems (3, 1));
        list->onItemSelected = [&] (int) { ++chosen; };
        list->keyPressed (down);
        list->keyPressed (enter);
    }

    runPendingCalls();
    EXPECT_EQ (chosen, 0);

    {
        ModernPresetMenu menu;
        menu.setVisible (true);
        menu.setContent (makeCategories (3), 4);
        menu.autoExpandCurrentCategory();
    }

    runPendingCalls(); // the expansion posted above must not touch the destroyed menu
}

TEST (ModernPresetSelector, OpensOverTheEditorAndClosesCompletely)
{
    juce::Component editor;
    editor.setSize (900, 400);

    ModernPresetSelector selector;
    editor.addAndMakeVisible (selector);
    selector.setBounds (100, 20, 400, 60);
    selector.overlayParent = &editor;
    selector.categories = makeCategories (3);
    selector.currentPresetIndex = 3;

    std::vector<int> chosen;
    selector.onPresetSelected = [&] (int index) { chosen.push_back (index); };

    selector.showMenu();
    ASSERT_TRUE (selector.isMenuOpen());
    ASSERT_NE (selector.getOverlay(), nullptr);
    EXPECT_EQ (selector.getOverlay()->getParentComponent(), &editor);
    EXPECT_EQ (selector.getOverlay()->getBounds(), editor.getLocalBounds());
    EXPECT_EQ (selector.getMenu()->getSelectedIndex(), 1); // preset 3 is in category 1

    runPendingCalls();
    EXPECT_EQ (selector.getMenu()->getOpenSubMenuIndex(), 1);

    // A press on the dimmed editor closes the browser; the overlay goes away with it.
    selector.getOverlay()->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f,
                                                        0.0f, 0.0f, 0.0f, &editor, &editor, juce::Time(), {}, juce::Time(), 1, false));
    EXPECT_FALSE (selector.isMenuOpen());
    EXPECT_EQ (selector.getOverlay(), nullptr);
    EXPECT_EQ (editor.getNumChildComponents(), 1);

    // Choosing a preset reports it and closes everything.
    selector.showMenu();
    runPendingCalls();
    selector.getMenu()->getSubMenu()->onItemSelected (2);
    EXPECT_EQ (chosen, std::vector<int> { 2 });
    EXPECT_FALSE (selector.isMenuOpen());
    EXPECT_EQ (selector.getOverlay(), nullptr);
    EXPECT_EQ (selector.getMenu()->getOpenSubMenuIndex(), -1);
}
