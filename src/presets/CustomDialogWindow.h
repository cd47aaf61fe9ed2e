#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The borderless desktop window that hosts a styled dialog; it owns its content and can be
    dragged by any press that reaches it directly. */
class CustomDialogWindow : public juce::Component
{
public:
    CustomDialogWindow();
    ~CustomDialogWindow() override;

    void setOwnedContent (std::unique_ptr<juce::Component> newContent);
    juce::Component* getContent() const noexcept { return content.get(); }

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override {}
    void paint (juce::Graphics&) override {}
    void paintOverChildren (juce::Graphics&) override {}
    void resized() override;

private:
    std::unique_ptr<juce::Component> content;
    juce::ComponentDragger dragger;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomDialogWindow)
};
