#include "presets/ModernPresetSelector.h"

ModernPresetSelector::ModernPresetSelector()
{
    arrowPath.addTriangle (0.0f, 0.0f, 8.0f, 0.0f, 4.0f, 6.0f);
}

ModernPresetSelector::~ModernPresetSelector()
{
    stopTimer();
    hideMenu();
}

bool ModernPresetSelector::isMenuOpen() const noexcept
{
    return menu != nullptr && menu->isVisible();
}

void ModernPresetSelector::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();

    g.setColour (juce::Colour (0xFF1F1F1F));
    g.fillRect (0.0f, 0.0f, w, h);

    g.setColour (juce::Colour (isHovered ? 0x80FFFFFF : 0x33FFFFFF));
    g.drawRect (juce::Rectangle<float> (0.5f, 0.5f, juce::jmax (w - 1.0f, 0.0f), juce::jmax (h - 1.0f, 0.0f)), 1.0f);

    g.setColour (juce::Colour (0xE6FFFFFF));
    g.setFont (font);
    g.drawText (displayText, juce::Rectangle<float> (20.0f, 0.0f, juce::jmax (w - 20.0f, 0.0f), h),
                juce::Justification::centredLeft, true);

    const auto arrowArea = juce::Rectangle<float> (w - 40.0f, (float) ((double) h / 2.5 - 1.5), 25.0f, 15.0f);
    g.setColour (juce::Colour (0x99FFFFFF));
    g.fillPath (arrowPath, arrowPath.getTransformToScaleToFit (arrowArea, true, juce::Justification::centred));
}

void ModernPresetSelector::mouseEnter (const juce::MouseEvent&)
{
    isHovered = true;
    repaint();
}

void ModernPresetSelector::mouseExit (const juce::MouseEvent&)
{
    isHovered = false;
    repaint();
}

void ModernPresetSelector::mouseDown (const juce::MouseEvent&)
{
    showMenu();
}

void ModernPresetSelector::createMenuIfNeeded()
{
    if (menu != nullptr)
        return;

    menu = std::make_unique<ModernPresetMenu>();
    menu->onClose = [this] { hideMenu(); };
}

void ModernPresetSelector::showMenu()
{
    if (overlayParent != nullptr)
    {
        overlay = std::make_unique<DimmedOverlay2>();
        overlay->dimAlpha = 0.6f;
        overlay->setInterceptsMouseClicks (true, false);
        overlay->setAlwaysOnTop (true);
        overlay->setBounds (0, 0, overlayParent->getWidth(), overlayParent->getHeight());
        overlay->onClick = [this] { hideMenu(); };
        overlayParent->addAndMakeVisible (*overlay);
    }

    createMenuIfNeeded();

    menu->setOnPresetSelected ([this] (int index)
    {
        const juce::Component::SafePointer<ModernPresetSelector> safeThis (this);

        if (onPresetSelected)
            onPresetSelected (index);

        if (safeThis != nullptr)
            hideMenu();
    });

    menu->setContent (categories, currentPresetIndex);
    menu->autoExpandCurrentCategory();

    // Without a screen (headless runs) the menu opens as a plain component: same state, no window.
    const auto hasScreen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
    const auto barOnScreen = getScreenBounds();

    if (hasScreen)
        menu->addToDesktop (juce::ComponentPeer::windowIsTemporary);

    menu->setVisible (true);
    menu->setTopLeftPosition (barOnScreen.getX(), barOnScreen.getBottom() + 5);

    if (hasScreen)
    {
        menu->setAlwaysOnTop (true);
        menu->toFront (true);
    }

    juce::MessageManager::callAsync ([safeMenu = juce::Component::SafePointer<ModernPresetMenu> (menu.get())]
    {
        if (safeMenu == nullptr || ! safeMenu->isVisible())
            return;

        if (safeMenu->isShowing())
            safeMenu->grabKeyboardFocus();

        if (safeMenu->getHoveredIndex() < 0)
            safeMenu->focusGained (juce::Component::focusChangedDirectly);
    });

    mouseWasDown = false;
    startTimer (50);
}

void ModernPresetSelector::hideMenu()
{
    stopTimer();

    if (overlay != nullptr)
    {
        if (auto* parent = overlay->getParentComponent())
            parent->removeChildComponent (overlay.get());

        overlay.reset();
    }

    if (menu != nullptr && menu->isVisible())
    {
        menu->closeSubMenu();
        menu->setVisible (false);

        if (menu->isOnDesktop())
            menu->removeFromDesktop();
    }
}

void ModernPresetSelector::timerCallback()
{
    if (menu == nullptr || ! menu->isVisible())
    {
        stopTimer();
        return;
    }

    auto mouse = juce::Desktop::getInstance().getMainMouseSource();

    if (! mouse.getCurrentModifiers().isAnyMouseButtonDown())
    {
        mouseWasDown = false;
        return;
    }

    const auto position = mouse.getScreenPosition().roundToInt();
    const auto* list = menu->getSubMenu();
    const auto inside = menu->getScreenBounds().contains (position)
                        || getScreenBounds().contains (position)
                        || (list != nullptr && list->isVisible() && list->getScreenBounds().contains (position));

    // Only a fresh press counts: a button still held from opening the browser does not close it.
    if (! mouseWasDown && ! inside)
        hideMenu();

    mouseWasDown = true;
}
