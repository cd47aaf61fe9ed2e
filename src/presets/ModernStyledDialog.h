#pragma once

#include "presets/DialogIconComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** What a styled dialog shows. Empty optional texts drop their rows. */
struct DialogConfig
{
    juce::String title { "Dialog" };
    juce::String message;
    juce::String confirmText { "OK" };
    juce::String cancelText { "Cancel" };    // no cancel button when empty
    bool hasTextInput = false;
    juce::String placeholderText;
    juce::String initialText;
    juce::String inputLabel;
    juce::int32 iconType = 0;                // 0 = no icon
    bool showIcon = true;                    // reserves the icon row even without an icon

    /** The editor's three questions. */
    static DialogConfig forSavePreset();
    static DialogConfig forDeletePreset();
    static DialogConfig forAbout();
};

struct DialogResult
{
    bool confirmed = false;
    juce::String inputText; // as typed, taken when confirmed with a text field
};

/** Shows the dialog modally over a dimmed parent and returns what the user did. A null parent
    returns an unconfirmed result at once and shows nothing. Message thread only. */
DialogResult showModernStyledDialog (juce::Component* parent, DialogConfig config);

/** The content of a styled dialog: title bar with close cross, optional icon, message, caption
    and text field, and one or two rounded buttons. Built completely by its constructor. */
class ModernStyledDialog : public juce::Component,
                           private juce::Button::Listener
{
public:
    class ModernButtonLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        explicit ModernButtonLookAndFeel (bool isConfirmButton) : isConfirm (isConfirmButton) {}

        void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&, bool highlighted, bool down) override;
        void drawButtonText (juce::Graphics&, juce::TextButton&, bool highlighted, bool down) override;

        const bool isConfirm;
    };

    class CloseButtonLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&, bool, bool) override {}
        void drawButtonText (juce::Graphics&, juce::TextButton&, bool highlighted, bool down) override;
    };

    /** The config must outlive the dialog. */
    explicit ModernStyledDialog (const DialogConfig& config);
    ~ModernStyledDialog() override;

    static constexpr int dialogWidth = 380;
    static int getDialogHeight (const DialogConfig& config) noexcept;

    void setupButtonLookAndFeel (juce::TextButton& button, bool isConfirm);

    const DialogResult& getResult() const noexcept { return result; }
    DialogIconComponent* getIcon() const noexcept { return icon.get(); }

    void paint (juce::Graphics&) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void parentHierarchyChanged() override;

    juce::Label titleLabel, messageLabel, inputCaption;
    juce::TextEditor textField;
    juce::TextButton confirmButton, cancelButton, closeButton;

private:
    void buttonClicked (juce::Button*) override;

    const DialogConfig& config;
    std::unique_ptr<DialogIconComponent> icon;
    DialogResult result;
    juce::ComponentDragger dragger;
    std::unique_ptr<CloseButtonLookAndFeel> closeLookAndFeel;
    std::unique_ptr<ModernButtonLookAndFeel> confirmLookAndFeel;
    std::unique_ptr<ModernButtonLookAndFeel> cancelLookAndFeel;
    bool draggingWindow = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModernStyledDialog)
};
