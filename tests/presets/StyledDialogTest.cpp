#include "presets/CustomDialogWindow.h"
#include "presets/DimmedOverlay.h"
#include "presets/ModernStyledDialog.h"

#include <gtest/gtest.h>

namespace
{
void runPendingCalls()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (30);
}

juce::MouseEvent mouseAt (juce::Component& component, juce::Point<float> position, juce::Point<float> downAt)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position,
                             juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                             &component, &component, juce::Time(), downAt, juce::Time(), 1, position != downAt);
}

DialogConfig bareConfirmation()
{
    DialogConfig config;
    config.showIcon = false;
    return config;
}
} // namespace

TEST (ModernStyledDialog, LayoutOfTheEditorsDialogs)
{
    struct Case
    {
        const char* label;
        DialogConfig config;
        int height;
        juce::Rectangle<int> icon, message, caption, field, cancel, confirm;
    };

    auto noCancel = bareConfirmation();
    noCancel.cancelText = {};

    auto iconRowOnly = DialogConfig::forDeletePreset();
    iconRowOnly.iconType = 0;

    const Case cases[] = {
        { "save", DialogConfig::forSavePreset(), 260, {}, {}, { 40, 70, 300, 38 }, { 40, 113, 300, 35 },
          { 40, 172, 142, 40 }, { 197, 172, 143, 40 } },
        { "delete", DialogConfig::forDeletePreset(), 260, { 160, 45, 60, 60 }, { 40, 90, 300, 74 }, {}, {},
          { 40, 172, 142, 40 }, { 197, 172, 143, 40 } },
        { "about", DialogConfig::forAbout(), 260, {}, { 40, 70, 300, 74 }, {}, {},
          { 40, 172, 142, 40 }, { 197, 172, 143, 40 } },
        { "icon kind 0 keeps the height", iconRowOnly, 260, {}, { 40, 70, 300, 74 }, {}, {},
          { 40, 172, 142, 40 }, { 197, 172, 143, 40 } },
        { "bare", bareConfirmation(), 200, {}, {}, {}, {}, { 40, 112, 142, 40 }, { 197, 112, 143, 40 } },
        { "no cancel", noCancel, 200, {}, {}, {}, {}, {}, { 40, 112, 300, 40 } },
    };

    const auto shown = [] (const juce::Component* c) { return c != nullptr && c->isVisible() ? c->getBounds() : juce::Rectangle<int>(); };

    for (const auto& c : cases)
    {
        ModernStyledDialog dialog (c.config);
        EXPECT_EQ (dialog.getBounds(), juce::Rectangle<int> (380, c.height)) << c.label;
        EXPECT_EQ (shown (dialog.getIcon()), c.icon) << c.label;
        EXPECT_EQ (shown (&dialog.messageLabel), c.message) << c.label;
        EXPECT_EQ (shown (&dialog.inputCaption), c.caption) << c.label;
        EXPECT_EQ (shown (&dialog.textField), c.field) << c.label;
        EXPECT_EQ (shown (&dialog.cancelButton), c.cancel) << c.label;
        EXPECT_EQ (shown (&dialog.confirmButton), c.confirm) << c.label;
        EXPECT_EQ (dialog.titleLabel.getBounds(), juce::Rectangle<int> (15, 10, 350, 30)) << c.label;
        EXPECT_EQ (dialog.closeButton.getBounds(), juce::Rectangle<int> (340, 10, 30, 30)) << c.label;
    }
}

TEST (ModernStyledDialog, ResultsFollowTheButtonThatClosedIt)
{
    struct Case { const char* label; juce::String typed; int button; bool confirmed; juce::String text; };
    const Case cases[] = {
        { "confirm untouched", {}, 0, true, {} },
        { "confirm keeps spaces", "  Warm Lead ", 0, true, "  Warm Lead " },
        { "cancel drops text", "Warm", 1, false, {} },
        { "close drops text", "Warm", 2, false, {} },
    };

    for (const auto& c : cases)
    {
        const auto config = DialogConfig::forSavePreset();
        CustomDialogWindow window;
        window.setOwnedContent (std::make_unique<ModernStyledDialog> (config));
        auto& dialog = *dynamic_cast<ModernStyledDialog*> (window.getContent());

        dialog.textField.setText (c.typed);
        juce::Button* buttons[] = { &dialog.confirmButton, &dialog.cancelButton, &dialog.closeButton };
        buttons[c.button]->triggerClick();
        runPendingCalls();

        EXPECT_EQ (dialog.getResult().confirmed, c.confirmed) << c.label;
        EXPECT_EQ (dialog.getResult().inputText, c.text) << c.label;
    }
}

TEST (ModernStyledDialog, KeysAnswerTheDialog)
{
    struct Case { const char* label; bool withCancel; juce::KeyPress key; bool consumed; int confirms, cancels, closes; };
    const Case cases[] = {
        { "return confirms", true, juce::KeyPress (juce::KeyPress::returnKey), true, 1, 0, 0 },
        { "escape cancels", true, juce::KeyPress (juce::KeyPress::escapeKey), true, 0, 1, 0 },
        { "escape without cancel closes", false, juce::KeyPress (juce::KeyPress::escapeKey), true, 0, 0, 1 },
        { "modified return passes", true, juce::KeyPress (juce::KeyPress::returnKey, juce::ModifierKeys::shiftModifier, 0), false, 0, 0, 0 },
        { "other keys pass", true, juce::KeyPress ('x'), false, 0, 0, 0 },
    };

    for (const auto& c : cases)
    {
        auto config = DialogConfig::forDeletePreset();

        if (! c.withCancel)
            config.cancelText = {};

        ModernStyledDialog dialog (config);
        int confirms = 0, cancels = 0, closes = 0;
        dialog.confirmButton.onClick = [&] { ++confirms; };
        dialog.cancelButton.onClick = [&] { ++cancels; };
        dialog.closeButton.onClick = [&] { ++closes; };

        EXPECT_EQ (dialog.keyPressed (c.key), c.consumed) << c.label;
        runPendingCalls();
        EXPECT_EQ (confirms, c.confirms) << c.label;
        EXPECT_EQ (cancels, c.cancels) << c.label;
        EXPECT_EQ (closes, c.closes) << c.label;
    }
}

TEST (ModernStyledDialog, OnlyTheHeaderOutsideTheCloseButtonDragsTheWindow)
{
    struct Case { juce::Point<float> press; bool moves; };
    const Case cases[] = { { { 100.0f, 20.0f }, true }, { { 329.0f, 49.0f }, true }, { { 330.0f, 20.0f }, false },
                           { { 100.0f, 50.0f }, false }, { { 100.0f, 150.0f }, false } };

    for (const auto& c : cases)
    {
        const auto config = DialogConfig::forAbout();
        CustomDialogWindow window;
        window.setOwnedContent (std::make_unique<ModernStyledDialog> (config));
        window.setTopLeftPosition (200, 100);
        auto& dialog = *window.getContent();

        dialog.mouseDown (mouseAt (dialog, c.press, c.press));
        dialog.mouseDrag (mouseAt (dialog, c.press + juce::Point<float> (30.0f, 40.0f), c.press));

        EXPECT_EQ (window.getPosition(), c.moves ? juce::Point<int> (230, 140) : juce::Point<int> (200, 100)) << c.press.toString();
    }
}

TEST (ModernStyledDialog, NullParentShowsNothing)
{
    auto config = DialogConfig::forSavePreset();
    config.initialText = "typed";
    const auto result = showModernStyledDialog (nullptr, config);
    EXPECT_FALSE (result.confirmed);
    EXPECT_TRUE (result.inputText.isEmpty());
}

TEST (DimmedOverlay, AlphaIsClampedAndRounded)
{
    const std::pair<float, int> cases[] = { { -1.0f, 0 }, { 0.0f, 0 }, { 0.001f, 0 }, { 0.6f, 153 }, { 1.0f, 255 }, { 7.0f, 255 } };

    for (const auto& [alpha, expected] : cases)
        EXPECT_EQ ((int) DimmedOverlay::alphaByteFor (alpha), expected) << alpha;
}
