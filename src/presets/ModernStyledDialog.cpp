#include "presets/ModernStyledDialog.h"

#include "presets/CustomDialogWindow.h"
#include "presets/DimmedOverlay.h"

namespace
{
bool hasNoModifiers (const juce::KeyPress& key) noexcept
{
    const auto mods = key.getModifiers();
    return ! (mods.isShiftDown() || mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown());
}
} // namespace

DialogConfig DialogConfig::forSavePreset()
{
    DialogConfig config;
    config.title = "Save Preset";
    config.hasTextInput = true;
    config.inputLabel = "NAME: (Location : User Folder / Category)";
    config.placeholderText = "Enter preset name...";
    config.confirmText = "SAVE";
    config.cancelText = "CANCEL";
    config.iconType = 1;
    config.showIcon = false;
    return config;
}

DialogConfig DialogConfig::forDeletePreset()
{
    DialogConfig config;
    config.title = "Delete Preset";
    config.message = "Are you sure you want to delete \"this preset\"?";
    config.confirmText = "DELETE";
    config.cancelText = "CANCEL";
    config.iconType = 2;
    return config;
}

DialogConfig DialogConfig::forAbout()
{
    DialogConfig config;
    config.title = "About";
    config.message = "BRIMSTACK 3 - Build 1.0 | Quill Forge Programming & GUI Design: Quill Forge Studio";
    config.confirmText = "Visit Website";
    config.cancelText = "OK";
    return config;
}

//==============================================================================
void ModernStyledDialog::ModernButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                                        const juce::Colour&, bool highlighted, bool down)
{
    const auto area = button.getLocalBounds().toFloat().reduced (0.5f);

    if (down)
    {
        g.setColour (juce::Colour (0xFFE0E0E0));
        g.fillRoundedRectangle (area, 10.0f);
    }
    else if (highlighted)
    {
        g.setColour (juce::Colour (0xFFF0F0F0));
        g.fillRoundedRectangle (area, 10.0f);
    }

    g.setColour (juce::Colour (0xFFB0B0B0));
    g.drawRoundedRectangle (area, 10.0f, 2.0f);
}

void ModernStyledDialog::ModernButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button,
                                                                  bool highlighted, bool down)
{
    const juce::Font font (14.0f);
    g.setFont (font);
    g.setColour (juce::Colour (highlighted || down ? 0xFF0A0A0A : 0xFFB0B0B0));

    // The framework's own text-button layout, with our font and colours.
    const auto yIndent = juce::jmin (4, button.proportionOfHeight (0.3f));
    const auto cornerSize = juce::jmin (button.getHeight(), button.getWidth()) / 2;
    const auto fontHeight = juce::roundToInt (font.getHeight() * 0.6f);
    const auto leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const auto rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const auto textWidth = button.getWidth() - leftIndent - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(), leftIndent, yIndent, textWidth, button.getHeight() - yIndent * 2,
                          juce::Justification::centred, 2);
}

void ModernStyledDialog::CloseButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button,
                                                                 bool highlighted, bool)
{
    const auto bounds = button.getLocalBounds().toFloat();
    const auto d = juce::jmin (bounds.getWidth(), bounds.getHeight()) * 0.5f * 0.6f * 0.5f;
    const auto centre = bounds.getCentre();

    juce::Path cross;
    cross.startNewSubPath (centre.x - d, centre.y - d);
    cross.lineTo (centre.x + d, centre.y + d);
    cross.startNewSubPath (centre.x + d, centre.y - d);
    cross.lineTo (centre.x - d, centre.y + d);

    g.setColour (juce::Colour (highlighted ? 0xFF999999 : 0xFF666666));
    g.strokePath (cross, juce::PathStrokeType (2.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
}

//==============================================================================
ModernStyledDialog::ModernStyledDialog (const DialogConfig& dialogConfig)
    : config (dialogConfig)
{
    titleLabel.setText (config.title, juce::dontSendNotification);
    titleLabel.setFont (juce::Font (20.0f, juce::Font::plain));
    titleLabel.setColour (juce::Label::textColourId, juce::Colour (0xFFF0F0F0));
    titleLabel.setJustificationType (juce::Justification::centred);
    titleLabel.setInterceptsMouseClicks (false, false); // presses on the title drag the window
    addAndMakeVisible (titleLabel);

    closeButton.setButtonText ({});
    closeButton.setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    closeButton.setColour (juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
    closeButton.setColour (juce::TextButton::textColourOffId, juce::Colour (0xFF666666));
    closeButton.setColour (juce::TextButton::textColourOnId, juce::Colour (0xFF999999));
    closeButton.addListener (this);
    closeLookAndFeel = std::make_unique<CloseButtonLookAndFeel>();
    closeButton.setLookAndFeel (closeLookAndFeel.get());
    addAndMakeVisible (closeButton);

    if (config.showIcon && config.iconType != 0)
    {
        icon = std::make_unique<DialogIconComponent> (config.iconType);
        addAndMakeVisible (*icon);
    }

    if (config.message.isNotEmpty())
    {
        messageLabel.setText (config.message, juce::dontSendNotification);
        messageLabel.setFont (juce::Font (16.0f));
        messageLabel.setColour (juce::Label::textColourId, juce::Colour (0xFFB0B0B0));
        messageLabel.setJustificationType (juce::Justification::centred);
        messageLabel.setInterceptsMouseClicks (false, false);
        addAndMakeVisible (messageLabel);
    }

    if (config.hasTextInput)
    {
        if (config.inputLabel.isNotEmpty())
        {
            inputCaption.setText (config.inputLabel, juce::dontSendNotification);
            inputCaption.setFont (juce::Font (16.0f));
            inputCaption.setColour (juce::Label::textColourId, juce::Colour (0xFF808080));
            inputCaption.setInterceptsMouseClicks (false, false);
            addAndMakeVisible (inputCaption);
        }

        textField.setMultiLine (false);
        textField.setPasswordCharacter (0);
        textField.setText (config.initialText, true);
        textField.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xFF0A0A0A));
        textField.setColour (juce::TextEditor::textColourId, juce::Colour (0xFFE0E0E0));
        textField.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xFF2A2A2A));
        textField.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xFF404040));
        textField.setColour (juce::TextEditor::highlightColourId, juce::Colour (0xFF404040));
        textField.setColour (juce::TextEditor::highlightedTextColourId, juce::Colours::white);
        // Applied to the initial text too, so a prefilled name looks like a typed one.
        textField.applyFontToAllText (juce::Font (15.0f));
        textField.setTextToShowWhenEmpty (config.placeholderText, juce::Colour (0xFF505050));
        textField.setIndents (10, 9); // centres one 15-pixel line in the 35-pixel field
        // Return and Escape in the field answer the dialog instead of being swallowed by it.
        textField.onReturnKey = [this] { confirmButton.triggerClick(); };
        textField.onEscapeKey = [this] { (cancelButton.isVisible() ? cancelButton : closeButton).triggerClick(); };
        addAndMakeVisible (textField);
    }

    confirmButton.setButtonText (config.confirmText);
    setupButtonLookAndFeel (confirmButton, true);
    confirmButton.addListener (this);
    addAndMakeVisible (confirmButton);

    if (config.cancelText.isNotEmpty())
    {
        cancelButton.setButtonText (config.cancelText);
        setupButtonLookAndFeel (cancelButton, false);
        cancelButton.addListener (this);
        addAndMakeVisible (cancelButton);
    }

    setSize (dialogWidth, getDialogHeight (config));
    setWantsKeyboardFocus (true);
    setOpaque (true);
}

ModernStyledDialog::~ModernStyledDialog()
{
    closeButton.setLookAndFeel (nullptr);
    confirmButton.setLookAndFeel (nullptr);
    cancelButton.setLookAndFeel (nullptr);
}

int ModernStyledDialog::getDialogHeight (const DialogConfig& dialogConfig) noexcept
{
    return 260 - (dialogConfig.showIcon ? 0 : 30) - (dialogConfig.message.isEmpty() ? 30 : 0)
           + (dialogConfig.hasTextInput ? 60 : 0);
}

void ModernStyledDialog::setupButtonLookAndFeel (juce::TextButton& button, bool isConfirm)
{
    button.setColour (juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
    button.setColour (juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
    button.setColour (juce::TextButton::textColourOffId, juce::Colour (0xFFB0B0B0));
    button.setColour (juce::TextButton::textColourOnId, juce::Colour (0xFF0A0A0A));

    // The button moves to the new look-and-feel before the old one is deleted.
    auto lookAndFeel = std::make_unique<ModernButtonLookAndFeel> (isConfirm);
    button.setLookAndFeel (lookAndFeel.get());
    (isConfirm ? confirmLookAndFeel : cancelLookAndFeel) = std::move (lookAndFeel);
}

void ModernStyledDialog::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();

    g.fillAll (juce::Colour (0xFF1C1C1C));

    g.setColour (juce::Colour (0xFF383838));
    g.fillRect (0.0f, 0.0f, w, 45.0f);

    g.setColour (juce::Colour (0xFF1A1A1A));
    g.drawLine (0.0f, 45.0f, w, 45.0f, 3.0f);

    juce::Path border;
    border.addRoundedRectangle (0.0f, 0.0f, w, h, 3.0f);
    g.setColour (juce::Colour (0xFF0E0E0E));
    g.strokePath (border, juce::PathStrokeType (1.0f));
}

void ModernStyledDialog::resized()
{
    auto area = getLocalBounds();

    auto header = area.removeFromTop (50);
    titleLabel.setBounds (header.reduced (15, 10));
    closeButton.setBounds (header.removeFromRight (50).reduced (10));

    area.removeFromTop (20);
    auto column = area.reduced (40, 0);

    if (icon != nullptr)
    {
        const auto strip = column.removeFromTop (10);
        icon->setBounds (juce::Rectangle<int> (60, 60).withCentre ({ column.getCentreX(), strip.getCentreY() }));
        column.removeFromTop (10);
    }

    if (messageLabel.isVisible())
    {
        messageLabel.setBounds (column.removeFromTop ((int) messageLabel.getFont().getHeight() * 4 + 10));
        column.removeFromTop (15);
    }

    if (textField.isVisible())
    {
        if (inputCaption.isVisible())
        {
            inputCaption.setBounds (column.removeFromTop (38));
            column.removeFromTop (5);
        }

        textField.setBounds (column.removeFromTop (35));
    }

    // The buttons sit at a fixed distance from the bottom, whatever rows are shown.
    const auto buttonY = getHeight() < 103 ? 15 : getHeight() - 88;
    auto buttons = juce::Rectangle<int> (40, buttonY, getWidth() - 80, 40);

    if (cancelButton.isVisible())
    {
        cancelButton.setBounds (buttons.removeFromLeft ((getWidth() - 80 - 15) / 2));
        buttons.removeFromLeft (15);
    }

    confirmButton.setBounds (buttons);
}

bool ModernStyledDialog::keyPressed (const juce::KeyPress& key)
{
    if (! hasNoModifiers (key))
        return false;

    if (key.getKeyCode() == juce::KeyPress::escapeKey)
    {
        (cancelButton.isVisible() ? cancelButton : closeButton).triggerClick();
        return true;
    }

    if (key.getKeyCode() == juce::KeyPress::returnKey)
    {
        confirmButton.triggerClick();
        return true;
    }

    return false;
}

void ModernStyledDialog::mouseDown (const juce::MouseEvent& e)
{
    // The header drags the window; the close button's corner does not.
    draggingWindow = e.y <= 49 && e.x < getWidth() - 50;

    if (draggingWindow)
        dragger.startDraggingComponent (getTopLevelComponent(), e.getEventRelativeTo (getTopLevelComponent()));
}

void ModernStyledDialog::mouseDrag (const juce::MouseEvent& e)
{
    if (draggingWindow)
        dragger.dragComponent (getTopLevelComponent(), e.getEventRelativeTo (getTopLevelComponent()), nullptr);
}

void ModernStyledDialog::parentHierarchyChanged()
{
    if (isShowing())
        grabKeyboardFocus();

    if (config.hasTextInput)
    {
        juce::Timer::callAfterDelay (50, [safeThis = juce::Component::SafePointer<ModernStyledDialog> (this)]
        {
            if (safeThis != nullptr && safeThis->textField.isShowing())
            {
                safeThis->textField.grabKeyboardFocus();
                safeThis->textField.selectAll();
            }
        });
    }
}

void ModernStyledDialog::buttonClicked (juce::Button* button)
{
    if (button == &confirmButton)
    {
        result.confirmed = true;
        result.inputText = config.hasTextInput ? textField.getText() : juce::String();
    }
    else if (button == &cancelButton || button == &closeButton)
    {
        result = {};
    }
    else
    {
        return;
    }

    if (auto* window = findParentComponentOfClass<CustomDialogWindow>())
        window->exitModalState (0);
}

//==============================================================================
DialogResult showModernStyledDialog (juce::Component* parent, DialogConfig config)
{
    if (parent == nullptr)
        return {};

    // The host may close the editor while the dialog is up: the parent is watched, not trusted.
    const juce::Component::SafePointer<juce::Component> safeParent (parent);

    auto overlay = std::make_unique<DimmedOverlay>();
    overlay->dimAlpha = 0.6f;
    overlay->setInterceptsMouseClicks (true, false);
    overlay->setAlwaysOnTop (true);
    overlay->setBounds (0, 0, parent->getWidth(), parent->getHeight());
    parent->addAndMakeVisible (*overlay);

    auto ownedDialog = std::make_unique<ModernStyledDialog> (config);
    auto* dialog = ownedDialog.get();
    dialog->setVisible (true);

    auto window = std::make_unique<CustomDialogWindow>();
    window->setOwnedContent (std::move (ownedDialog));
    window->setSize (dialog->getWidth(), dialog->getHeight());

    DBG ("Dialog size: " << dialog->getWidth() << "x" << dialog->getHeight());
    DBG ("Window size: " << window->getWidth() << "x" << window->getHeight());

    if (auto* top = parent->getTopLevelComponent(); top != nullptr && top->isOnDesktop())
        window->setCentrePosition (top->getScreenBounds().getCentre());
    else if (const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay())
        window->setCentrePosition (display->userArea.getCentre());

    window->addToDesktop (juce::ComponentPeer::windowIsTemporary | juce::ComponentPeer::windowHasDropShadow);
    window->setVisible (true);
    window->setAlwaysOnTop (true);
    window->toFront (true);
    window->grabKeyboardFocus();
    dialog->grabKeyboardFocus();

    if (config.hasTextInput)
    {
        dialog->textField.grabKeyboardFocus();
        dialog->textField.selectAll();
    }

   #if JUCE_MODAL_LOOPS_PERMITTED
    window->runModalLoop();
   #else
    jassertfalse; // this dialog needs a modal loop
   #endif

    const auto result = dialog->getResult();

    if (safeParent != nullptr)
        safeParent->removeChildComponent (overlay.get());

    overlay.reset();
    window.reset();
    return result;
}
