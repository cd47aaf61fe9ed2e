#include "presets/ModernPresetMenu.h"
#include "presets/MenuKeyNavigation.h"

#include <algorithm>

namespace
{
const juce::Colour accentBlue { 0xFF4A9EFF };

bool hasNoModifiers (const juce::KeyPress& key) noexcept
{
    const auto mods = key.getModifiers();
    return ! (mods.isShiftDown() || mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown());
}
} // namespace

ModernPresetMenu::ModernPresetMenu()
    : font (juce::Font (juce::Font::getDefaultTypefaceForFont (juce::Font())))
{
    setInterceptsMouseClicks (true, true);
    setAlwaysOnTop (true);
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (true);

    addAndMakeVisible (scrollBar);
    scrollBar.addListener (this);
    scrollBar.setAutoHide (false);
    scrollBar.setColour (juce::ScrollBar::backgroundColourId, juce::Colour (0x801A1A1A));
    scrollBar.setColour (juce::ScrollBar::thumbColourId, juce::Colour (0xB2FFFFFF));
    scrollBar.setColour (juce::ScrollBar::trackColourId, juce::Colour (0xCC2A2A2A));
    scrollBar.setMouseCursor (juce::MouseCursor::PointingHandCursor);

    subMenu = std::make_unique<PresetSubMenu>();

    subMenu->onBack = [this]
    {
        const auto cameFrom = openSubMenuIndex;
        closeSubMenu();

        if (isShowing())
            grabKeyboardFocus();

        if (isValidRow (cameFrom))
        {
            selectedIndex = cameFrom;
            hoveredIndex = -1;
            keyboardNavigating = true;
            repaint();
        }
    };

    subMenu->onDismiss = [this]
    {
        if (onClose)
            onClose();
    };

    setSize (menuWidth, getHeightFor (0));
}

ModernPresetMenu::~ModernPresetMenu()
{
    scrollBar.removeListener (this);
    closeSubMenu();
}

int ModernPresetMenu::getHeightFor (int numCategories) noexcept
{
    return juce::jmin (maxHeight, headerHeight + 2 * padding + numCategories * rowHeight);
}

void ModernPresetMenu::setOnPresetSelected (std::function<void (int)> callback)
{
    if (subMenu == nullptr)
        return;

    subMenu->onItemSelected = [this, callback = std::move (callback)] (int index)
    {
        const juce::Component::SafePointer<ModernPresetMenu> safeThis (this);

        if (callback)
            callback (index);

        if (safeThis == nullptr)
            return;

        closeSubMenu();

        if (onClose)
            onClose();
    };
}

void ModernPresetMenu::setContent (const std::vector<CategoryItem>& newCategories, int newCurrentPresetIndex)
{
    closeSubMenu();

    categories = newCategories;
    currentPresetIndex = newCurrentPresetIndex;
    setSize (menuWidth, getHeightFor ((int) categories.size()));
    contentHeight = (int) categories.size() * rowHeight;
    hoveredIndex = selectedIndex = openSubMenuIndex = -1;
    scrollOffset = 0;
    updateScrollBar();
    repaint();
}

void ModernPresetMenu::closeSubMenu()
{
    if (subMenu != nullptr && subMenu->isVisible())
    {
        subMenu->setVisible (false);

        if (subMenu->isOnDesktop())
            subMenu->removeFromDesktop();
    }

    openSubMenuIndex = -1;
    repaint();
}

void ModernPresetMenu::closeAndNotify()
{
    closeSubMenu();

    if (onClose)
        onClose();
}

int ModernPresetMenu::getRowAt (juce::Point<int> position) const noexcept
{
    if (position.y < headerHeight)
        return -1;

    const auto row = (position.y - headerHeight + scrollOffset) / rowHeight;
    return isValidRow (row) ? row : -1;
}

void ModernPresetMenu::autoExpandCurrentCategory()
{
    for (int i = 0; i < (int) categories.size(); ++i)
    {
        const auto& indices = categories[(size_t) i].presetIndices;

        if (std::find (indices.begin(), indices.end(), currentPresetIndex) == indices.end())
            continue;

        selectedIndex = i;
        hoveredIndex = -1;
        makeRowVisible (i);

        juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<ModernPresetMenu> (this), i]
        {
            if (safeThis == nullptr || ! safeThis->isVisible())
                return;

            safeThis->showSubMenu (i);

            if (safeThis->subMenu->isShowing())
                safeThis->subMenu->grabKeyboardFocus();
        });

        repaint();
        return;
    }
}

void ModernPresetMenu::makeRowVisible (int row)
{
    const auto top = row * rowHeight;
    const auto visible = getVisibleListHeight();
    auto newOffset = scrollOffset;

    if (top - scrollOffset < 0)
        newOffset = top;
    else if (top - scrollOffset + rowHeight > visible)
        newOffset = top + rowHeight - visible;

    if (newOffset != scrollOffset)
    {
        scrollOffset = newOffset;
        scrollBar.setCurrentRangeStart ((double) scrollOffset, juce::dontSendNotification);
        repaint();
    }
}

void ModernPresetMenu::updateScrollBar()
{
    const auto content = (int) categories.size() * rowHeight;
    const auto visible = getVisibleListHeight();

    if (content <= visible)
    {
        scrollBar.setVisible (false);
        scrollOffset = 0;
        return;
    }

    const auto barWidth = juce::jmin (getWidth(), 12);
    scrollBar.setBounds (getWidth() - barWidth, headerHeight + 5, barWidth, juce::jmax (visible - 10, 0));
    scrollBar.setRangeLimits (0.0, (double) content, juce::dontSendNotification);
    scrollBar.setCurrentRange ((double) scrollOffset, (double) visible, juce::dontSendNotification);
    scrollBar.setVisible (true);
}

void ModernPresetMenu::showSubMenu (int categoryIndex)
{
    if (! isValidRow (categoryIndex) || subMenu == nullptr)
        return;

    if (openSubMenuIndex != categoryIndex)
        closeSubMenu();

    openSubMenuIndex = categoryIndex;

    const auto& category = categories[(size_t) categoryIndex];
    std::vector<PresetSubMenu::MenuItem> rows;

    for (int j = 0; j < category.presetNames.size() && j < (int) category.presetIndices.size(); ++j)
    {
        const auto index = category.presetIndices[(size_t) j];
        rows.push_back ({ category.presetNames[j], index, index == currentPresetIndex });
    }

    subMenu->setItems (rows);
    repaint();

    if (isShowing())
    {
        positionSubMenu (categoryIndex);
    }
    else
    {
        // Placed once the menu is on screen, unless the browser closed or moved on meanwhile.
        juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<ModernPresetMenu> (this), categoryIndex]
        {
            if (safeThis != nullptr && safeThis->isShowing() && safeThis->openSubMenuIndex == categoryIndex)
                safeThis->positionSubMenu (categoryIndex);
        });
    }
}

void ModernPresetMenu::positionSubMenu (int categoryIndex)
{
    if (subMenu == nullptr || ! isValidRow (categoryIndex))
        return;

    const auto row = localAreaToGlobal (juce::Rectangle<int> (0, headerHeight + categoryIndex * rowHeight - scrollOffset,
                                                              getWidth(), rowHeight));

    if (! subMenu->isOnDesktop())
        subMenu->addToDesktop (juce::ComponentPeer::windowIsTemporary);

    subMenu->setVisible (true);
    subMenu->setTopLeftPosition (row.getX() + getWidth() + 5, row.getY() - padding);
    subMenu->toFront (false);
    subMenu->setAlwaysOnTop (true);
    repaint();
}

void ModernPresetMenu::resized()
{
    updateScrollBar();
}

void ModernPresetMenu::scrollBarMoved (juce::ScrollBar* bar, double newRangeStart)
{
    if (bar != &scrollBar)
        return;

    scrollOffset = juce::roundToInt (newRangeStart);
    repaint();
}

void ModernPresetMenu::mouseMove (const juce::MouseEvent& e)
{
    // The first move after a key press is the pointer settling, not the user choosing.
    if (keyboardNavigating)
    {
        keyboardNavigating = false;
        return;
    }

    const auto row = getRowAt (e.getPosition());

    if (row != hoveredIndex)
    {
        hoveredIndex = row;
        selectedIndex = -1;
        repaint();
    }
}

void ModernPresetMenu::mouseEnter (const juce::MouseEvent& e)
{
    const auto row = getRowAt (e.getPosition());

    if (isValidRow (row))
    {
        hoveredIndex = row;
        selectedIndex = -1;
        repaint();
    }
}

void ModernPresetMenu::mouseExit (const juce::MouseEvent&)
{
    hoveredIndex = -1;

    if (selectedIndex < 0)
        repaint();
}

void ModernPresetMenu::mouseDown (const juce::MouseEvent& e)
{
    const auto row = getRowAt (e.getPosition());

    if (isValidRow (row))
    {
        if (! categories[(size_t) row].presetNames.isEmpty())
            showSubMenu (row);

        return;
    }

    closeAndNotify();
}

void ModernPresetMenu::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    const auto content = (int) categories.size() * rowHeight;
    const auto visible = getVisibleListHeight();

    if (content <= visible)
        return;

    const auto target = juce::roundToInt (juce::jlimit (0.0f, (float) (content - visible),
                                                        (float) scrollOffset + wheel.deltaY * -50.0f));

    if (target != scrollOffset)
    {
        scrollOffset = target;
        scrollBar.setCurrentRangeStart ((double) scrollOffset, juce::dontSendNotification);
        repaint();
    }
}

bool ModernPresetMenu::keyPressed (const juce::KeyPress& key)
{
    if (! hasNoModifiers (key))
        return false;

    const auto code = key.getKeyCode();
    const auto numRows = (int) categories.size();

    if (code == juce::KeyPress::upKey || code == juce::KeyPress::downKey)
    {
        const auto row = MenuKeyNavigation::stepRow (selectedIndex, hoveredIndex, numRows, code == juce::KeyPress::downKey);

        if (row >= 0)
        {
            selectedIndex = row;
            hoveredIndex = -1;
            makeRowVisible (row);
            repaint();
        }

        return true;
    }

    if (code == juce::KeyPress::leftKey)
        return true;

    if (code == juce::KeyPress::rightKey)
    {
        const auto row = selectedIndex >= 0 ? selectedIndex : hoveredIndex;

        if (isValidRow (row) && ! categories[(size_t) row].presetNames.isEmpty() && row != openSubMenuIndex)
        {
            showSubMenu (row);

            if (subMenu->isShowing())
                subMenu->grabKeyboardFocus();
        }

        return true;
    }

    if (code == juce::KeyPress::escapeKey)
    {
        closeAndNotify();
        return true;
    }

    return false;
}

void ModernPresetMenu::focusGained (FocusChangeType)
{
    if (selectedIndex < 0 && ! categories.empty())
    {
        hoveredIndex = -1;
        selectedIndex = 0;
    }

    repaint();
}

void ModernPresetMenu::focusLost (FocusChangeType)
{
    repaint();
}

void ModernPresetMenu::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto barShown = scrollBar.isVisible();

    for (int i = 20; i >= 0; --i)
    {
        const auto fade = 1.0f - (float) i / 20.0f;
        g.setColour (juce::Colours::black.withAlpha (0.35f * fade * fade));
        g.fillRoundedRectangle ((float) -i, (float) -i, w + 2.0f * (float) i, h + 2.0f * (float) i, 8.0f);
    }

    g.setColour (juce::Colour (0xFF1F1F1F));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 8.0f);

    // Same seed every paint: the grain never flickers and needs no cache.
    const auto noiseWidth = barShown ? w - juce::jmin (w, 10.0f) : w;
    juce::Random grain (42);

    for (int i = 0; i < 300; ++i)
    {
        const auto x = grain.nextFloat() * noiseWidth;
        const auto y = grain.nextFloat() * h;
        const auto alpha = grain.nextFloat() * 0.09f;
        g.setColour (juce::Colours::white.withAlpha (alpha));
        g.fillEllipse (x, y, 1.0f, 1.0f);
    }

    const auto headerBottom = juce::jmin (headerHeight, getHeight());
    g.setColour (juce::Colour (0xFF151515));
    g.fillRect (0, 0, getWidth(), headerBottom);
    g.setColour (juce::Colour (0x1AFFFFFF));
    g.fillRect (0, headerBottom - 1, getWidth(), 1);

    g.setColour (juce::Colour (0xB2FFFFFF));

    for (const auto x : { 15.0f, 19.5f, 24.0f })
        for (const auto y : { 12.0f, 16.5f, 21.0f })
            g.fillRoundedRectangle (x, y, 3.0f, 3.0f, 1.0f);

    g.setColour (juce::Colours::white);
    g.setFont (font.withHeight (16.0f).withStyle (juce::Font::bold));
    g.drawText ("CATEGORIES", juce::Rectangle<float> (35.0f, 0.0f, juce::jmax (w - 35.0f, 0.0f), (float) headerBottom - 1.0f),
                juce::Justification::centredLeft, true);

    const auto listWidthInt = barShown ? juce::jmax (getWidth() - 10, 0) : getWidth();
    const auto lw = (float) listWidthInt;

    juce::Graphics::ScopedSaveState clip (g);
    g.reduceClipRegion (0, headerHeight, listWidthInt, juce::jmax (getHeight() - headerHeight, 0));

    const auto highlighted = selectedIndex >= 0 ? selectedIndex : hoveredIndex;
    const auto nameFont = font.withHeight (15.0f).withStyle (juce::Font::plain).withExtraKerningFactor (0.05f);
    const auto countFont = font.withHeight (13.0f);
    const auto row = (float) rowHeight;

    for (int i = 0; i < (int) categories.size(); ++i)
    {
        const auto top = headerHeight + i * rowHeight - scrollOffset;

        if (top + rowHeight < 0 || top > getHeight())
            continue;

        const auto& category = categories[(size_t) i];
        const auto y = (float) top;
        const auto isOpen = i == openSubMenuIndex;
        const auto active = i == highlighted || isOpen;
        auto accent = 0.0f;
        auto rowWidth = lw;

        if (active)
        {
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF2D2D2D), 0.0f, y,
                                                     juce::Colour (0xFF252525), lw, y, false));
            g.fillRect (0.0f, y, lw, row);

            if (isOpen)
            {
                g.setColour (accentBlue);
                g.fillRect (0.0f, y, juce::jmin (lw, 3.0f), row);
                accent = 3.0f;
                rowWidth = lw - 3.0f;
            }
        }

        const auto iconY = y + row / 2.0f - 6.0f;
        juce::Path folder;
        folder.addRoundedRectangle (18.0f, iconY + 2.0f, 14.0f, 10.0f, 2.0f);
        folder.addRoundedRectangle (18.0f, iconY, 5.6f, 4.0f, 2.0f);
        g.setColour (juce::Colour (active ? 0xE68EEDE3 : 0x808EEDE3));
        g.fillPath (folder);

        g.setFont (nameFont);
        g.setColour (active ? juce::Colours::white : juce::Colour (0xBFFFFFFF));
        g.drawText (category.name,
                    juce::Rectangle<float> (accent + 42.0f, y, juce::jmax (0.0f, juce::jmin (juce::jmax (rowWidth - 84.0f, 0.0f), lw - 50.0f)), row),
                    juce::Justification::centredLeft, true);

        const auto countWidth = juce::jmin (rowWidth, 40.0f);
        g.setColour (juce::Colour (0x66FFFFFF));
        g.setFont (countFont);
        g.drawText (juce::String (category.presetNames.size()),
                    juce::Rectangle<float> (rowWidth + accent - countWidth - 20.0f, y, countWidth, row),
                    juce::Justification::centred, true);

        const auto cy = y + 19.0f;
        juce::Path chevron;
        chevron.startNewSubPath (lw - 23.0f, cy - 3.0f);
        chevron.lineTo (lw - 20.0f, cy);
        chevron.lineTo (lw - 23.0f, cy + 3.0f);
        g.setColour (juce::Colour (active ? 0xB2FFFFFF : 0x4CFFFFFF));
        g.strokePath (chevron, juce::PathStrokeType (1.5f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));

        if (i < (int) categories.size() - 1)
        {
            g.setColour (juce::Colour (0x0DFFFFFF));
            g.fillRect ((int) accent + 15, top + 37, juce::jmax ((int) (rowWidth - countWidth) - 30, 0), 1);
        }
    }
}
