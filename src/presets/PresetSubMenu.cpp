#include "presets/PresetSubMenu.h"
#include "presets/MenuKeyNavigation.h"

namespace
{
const juce::Colour scrollBackground { 0x801A1A1A };
const juce::Colour scrollThumb { 0xB2FFFFFF };
const juce::Colour scrollTrack { 0xCC2A2A2A };
const juce::Colour accentBlue { 0xFF4A9EFF };

bool hasNoModifiers (const juce::KeyPress& key) noexcept
{
    const auto mods = key.getModifiers();
    return ! (mods.isShiftDown() || mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown());
}
} // namespace

PresetSubMenu::PresetSubMenu()
    : font (juce::Font (juce::Font::getDefaultTypefaceForFont (juce::Font())).withExtraKerningFactor (0.08f))
{
    setInterceptsMouseClicks (true, true);
    setAlwaysOnTop (true);
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (false);

    addAndMakeVisible (scrollBar);
    scrollBar.addListener (this);
    scrollBar.setAutoHide (false);
    scrollBar.setColour (juce::ScrollBar::backgroundColourId, scrollBackground);
    scrollBar.setColour (juce::ScrollBar::thumbColourId, scrollThumb);
    scrollBar.setColour (juce::ScrollBar::trackColourId, scrollTrack);
    scrollBar.setMouseCursor (juce::MouseCursor::PointingHandCursor);

    setSize (listWidth, contentHeight);
}

PresetSubMenu::~PresetSubMenu()
{
    stopTimer();
    scrollBar.removeListener (this);
}

void PresetSubMenu::setItems (const std::vector<MenuItem>& newItems)
{
    items = newItems;
    contentHeight = (int) items.size() * itemHeight + 2 * padding;
    setSize (listWidth, juce::jmin (maxHeight, contentHeight));

    scrollOffset = 0;
    updateScrollBar();
    hoveredIndex = selectedIndex = -1;
    repaint();

    hoverTicks = 0;
    startTimer (20);

    juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<PresetSubMenu> (this)]
    {
        if (safeThis != nullptr && safeThis->isVisible())
            safeThis->applyPendingHoverAndSelection();
    });
}

void PresetSubMenu::applyPendingHoverAndSelection()
{
    // The mouse position means something only while the list is on screen.
    if (isShowing())
    {
        const auto mouse = juce::Desktop::getMousePosition();

        if (getScreenBounds().contains (mouse))
        {
            const auto y = getLocalPoint (nullptr, mouse).y;
            auto row = -1;

            if (scrollOffset + y - padding >= 0 && scrollOffset + y < contentHeight - padding)
                row = (scrollOffset + y - padding) / itemHeight;

            const auto newHover = isValidRow (row) ? row : -1;

            if (newHover != hoveredIndex)
            {
                hoveredIndex = newHover;
                repaint();
            }
        }
    }

    for (int j = 0; j < (int) items.size(); ++j)
    {
        if (items[(size_t) j].isCurrent)
        {
            makeRowVisible (j);
            selectedIndex = j;
            repaint();
            break;
        }
    }
}

int PresetSubMenu::getRowAt (int y) const noexcept
{
    const auto row = (scrollOffset + y - padding) / itemHeight; // truncates: the top band is row 0
    return isValidRow (row) ? row : -1;
}

void PresetSubMenu::updateScrollBar()
{
    if (contentHeight > getHeight())
    {
        const auto barWidth = juce::jmin (getWidth(), 12);
        scrollBar.setBounds (getWidth() - barWidth, 5, barWidth, juce::jmax (getHeight() - 10, 0));
        scrollBar.setRangeLimits (0.0, (double) contentHeight, juce::dontSendNotification);
        scrollBar.setCurrentRange ((double) scrollOffset, (double) getHeight(), juce::dontSendNotification);
        scrollBar.setVisible (true);
    }
    else
    {
        scrollBar.setVisible (false);
        scrollOffset = 0;
    }
}

void PresetSubMenu::makeRowVisible (int row)
{
    const auto top = padding + row * itemHeight;
    auto newOffset = scrollOffset;

    if (top - scrollOffset < 0)
        newOffset = top;
    else if (top - scrollOffset + itemHeight > getHeight())
        newOffset = top + itemHeight - getHeight();

    if (newOffset != scrollOffset)
    {
        scrollOffset = newOffset;
        updateScrollBar();
        repaint();
    }
}

void PresetSubMenu::scrollTo (int newOffset)
{
    if (newOffset == scrollOffset)
        return;

    scrollOffset = newOffset;
    scrollBar.setCurrentRangeStart ((double) scrollOffset, juce::dontSendNotification);
    repaint();
}

void PresetSubMenu::setHovered (int row)
{
    if (isValidRow (row) && row != hoveredIndex)
    {
        hoveredIndex = row;
        selectedIndex = -1;
        repaint();
    }
}

void PresetSubMenu::chooseByKey (int row)
{
    if (! isValidRow (row))
        return;

    // Through the queue, so the key event is finished before the browser is torn down.
    juce::MessageManager::callAsync ([safeThis = juce::Component::SafePointer<PresetSubMenu> (this),
                                      index = items[(size_t) row].presetIndex]
    {
        if (safeThis != nullptr && safeThis->onItemSelected)
            safeThis->onItemSelected (index);
    });
}

void PresetSubMenu::resized()
{
    updateScrollBar();
}

void PresetSubMenu::scrollBarMoved (juce::ScrollBar* bar, double newRangeStart)
{
    if (bar != &scrollBar)
        return;

    scrollOffset = juce::roundToInt (newRangeStart);
    repaint();
}

void PresetSubMenu::mouseMove (const juce::MouseEvent& e)
{
    stopTimer(); // real mouse events take over from the hover poll
    setHovered (getRowAt (e.y));
}

void PresetSubMenu::mouseExit (const juce::MouseEvent&)
{
    hoveredIndex = -1;

    if (selectedIndex < 0)
        repaint();
}

void PresetSubMenu::mouseDown (const juce::MouseEvent& e)
{
    const auto row = getRowAt (e.y);

    if (isValidRow (row) && onItemSelected)
        onItemSelected (items[(size_t) row].presetIndex);
}

void PresetSubMenu::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    const auto visible = getHeight();

    if (contentHeight <= visible)
        return;

    const auto target = juce::jlimit (0.0f, (float) (contentHeight - visible), (float) scrollOffset + wheel.deltaY * -50.0f);
    scrollTo (juce::roundToInt (target));
}

bool PresetSubMenu::keyPressed (const juce::KeyPress& key)
{
    if (! hasNoModifiers (key))
        return false;

    const auto code = key.getKeyCode();
    const auto numRows = (int) items.size();

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

    const auto keyRow = selectedIndex >= 0 ? selectedIndex : hoveredIndex;

    if (code == juce::KeyPress::returnKey)
    {
        chooseByKey (keyRow);
        return true;
    }

    if (code == juce::KeyPress::rightKey)
    {
        if (isValidRow (keyRow) && ! items[(size_t) keyRow].isCurrent)
            chooseByKey (keyRow);

        return true;
    }

    if (code == juce::KeyPress::leftKey)
    {
        if (onBack)
            onBack();

        return true;
    }

    if (code == juce::KeyPress::escapeKey)
    {
        if (onDismiss)
            onDismiss();

        return true;
    }

    return false;
}

void PresetSubMenu::focusGained (FocusChangeType)
{
    if (isValidRow (hoveredIndex))
    {
        selectedIndex = hoveredIndex;
        hoveredIndex = -1;
    }
    else if (selectedIndex < 0 && ! items.empty())
    {
        selectedIndex = 0;

        for (int j = 0; j < (int) items.size(); ++j)
        {
            if (items[(size_t) j].isCurrent)
            {
                selectedIndex = j;
                break;
            }
        }
    }

    repaint();
}

void PresetSubMenu::focusLost (FocusChangeType)
{
    repaint();
}

void PresetSubMenu::timerCallback()
{
    // Lights up the row under a resting mouse when the list appears beneath it.
    if (! hasKeyboardFocus (true) && isShowing())
    {
        const auto mouse = juce::Desktop::getMousePosition();

        if (getScreenBounds().contains (mouse))
        {
            setHovered (getRowAt (getLocalPoint (nullptr, mouse).y));
        }
        else if (hoveredIndex != -1)
        {
            hoveredIndex = -1;
            repaint();
        }
    }

    if (hoverTicks++ >= 15)
        stopTimer();
}

void PresetSubMenu::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto listWidthInt = scrollBar.isVisible() ? juce::jmax (getWidth() - 10, 0) : getWidth();
    const auto lw = (float) listWidthInt;

    for (int i = 15; i >= 0; --i)
    {
        const auto fade = 1.0f - (float) i / 15.0f;
        g.setColour (juce::Colours::black.withAlpha (0.35f * fade * fade));
        g.fillRoundedRectangle (-(float) i / 2.0f, -(float) i / 2.0f, w + (float) i, h + (float) i, 6.0f);
    }

    g.setColour (juce::Colour (0xFF4D4D4D));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 6.0f);

    // Same seed every paint: the grain never flickers and needs no cache.
    juce::Random grain (24);

    for (int i = 0; i < 200; ++i)
    {
        const auto x = grain.nextFloat() * lw;
        const auto y = grain.nextFloat() * h;
        const auto alpha = grain.nextFloat() * 0.025f;
        g.setColour (juce::Colours::white.withAlpha (alpha));
        g.fillEllipse (x, y, 0.8f, 0.8f);
    }

    g.setGradientFill (juce::ColourGradient (juce::Colour (0x331A1A1A), lw / 2.0f, 0.0f,
                                             juce::Colour (0x660F0F0F), lw / 2.0f, h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, lw, h, 6.0f);

    g.setColour (juce::Colour (0x0DFFFFFF));
    g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax (lw - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f), 6.0f, 1.0f);

    {
        juce::Graphics::ScopedSaveState clip (g);
        g.reduceClipRegion (0, 0, listWidthInt, getHeight());

        const auto highlighted = selectedIndex >= 0 ? selectedIndex : hoveredIndex;
        const auto nameFont = font.withHeight (14.0f).withStyle (juce::Font::plain);

        for (int j = 0; j < (int) items.size(); ++j)
        {
            const auto top = padding + j * itemHeight - scrollOffset;

            if (top + itemHeight < 0 || top > getHeight())
                continue;

            const auto& item = items[(size_t) j];
            const auto y = (float) top;
            const auto rowHeight = (float) itemHeight;
            const auto isHighlighted = j == highlighted;
            auto accent = 0.0f;
            auto rowWidth = lw;

            if (isHighlighted)
            {
                g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF2D2D2D), 0.0f, y,
                                                         juce::Colour (0xFF262626), lw, y, false));
                g.fillRect (0.0f, y, lw, rowHeight);
                g.setColour (accentBlue.withAlpha ((juce::uint8) 0x99));
                g.fillRect (0.0f, y, juce::jmin (lw, 2.0f), rowHeight);
                accent = 2.0f;
                rowWidth = lw - 2.0f;
            }
            else if (item.isCurrent)
            {
                g.setColour (juce::Colour (0xFF1F1F1F));
                g.fillRect (0.0f, y, lw, rowHeight);
            }

            if (item.isCurrent)
            {
                g.setColour (accentBlue);
                g.fillRect (0.0f, y, 3.0f, rowHeight);
            }

            const auto iconY = y + rowHeight / 2.0f - 6.0f;
            g.setColour (juce::Colour (isHighlighted || item.isCurrent ? 0xB2B4FFEE : 0x66B4FFEE));
            g.drawRoundedRectangle (12.0f, iconY, 12.0f, 12.0f, 2.0f, 1.2f);
            g.fillEllipse (16.5f, iconY + 4.5f, 3.0f, 3.0f);

            g.setFont (nameFont);
            g.setColour (item.isCurrent ? juce::Colours::white
                                        : juce::Colour (isHighlighted ? 0xE6FFFFFF : 0xA6FFFFFF));
            const auto nameWidth = juce::jmax (0.0f, juce::jmin (juce::jmax (rowWidth - 70.0f, 0.0f), lw - 70.0f));
            g.drawText (item.name, juce::Rectangle<float> (accent + 35.0f, y, nameWidth, rowHeight),
                        juce::Justification::centredLeft, true);

            if (item.isCurrent)
            {
                const auto box = juce::jmin (rowWidth, 35.0f);
                const auto discX = rowWidth + accent - box + box / 2.0f - 8.0f;
                const auto discY = y + 8.0f;
                g.setColour (accentBlue);
                g.fillEllipse (discX, discY, 16.0f, 16.0f);

                juce::Path tick;
                tick.startNewSubPath (discX + 4.0f, discY + 8.0f);
                tick.lineTo (discX + 7.0f, discY + 10.0f);
                tick.lineTo (discX + 12.0f, discY + 5.0f);
                g.setColour (juce::Colour (0xFF121212));
                g.strokePath (tick, juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
            }

            if (j < (int) items.size() - 1 && listWidthInt >= 31)
            {
                g.setColour (juce::Colour (0x08FFFFFF));
                g.fillRect (15, (int) (y + rowHeight - 0.5f), listWidthInt - 30, 1);
            }
        }
    }

    if (getWidth() >= 1)
    {
        g.setColour (juce::Colour (0x0DFFFFFF));
        g.fillRect (0, 1, getWidth(), 1);
    }
}
