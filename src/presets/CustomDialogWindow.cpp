#include "presets/CustomDialogWindow.h"

CustomDialogWindow::CustomDialogWindow()
{
    setName ({});
    setOpaque (false);
}

CustomDialogWindow::~CustomDialogWindow()
{
    content.reset();
}

void CustomDialogWindow::setOwnedContent (std::unique_ptr<juce::Component> newContent)
{
    if (content != nullptr)
        removeChildComponent (content.get());

    content = std::move (newContent);

    if (content != nullptr)
    {
        addAndMakeVisible (*content);

        // An empty window takes its content's size; otherwise the content fills the window.
        if (getLocalBounds().isEmpty())
            setSize (content->getWidth(), content->getHeight());
        else
            content->setBounds (getLocalBounds());
    }
}

void CustomDialogWindow::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isLeftButtonDown())
        dragger.startDraggingComponent (this, e);
}

void CustomDialogWindow::mouseDrag (const juce::MouseEvent& e)
{
    dragger.dragComponent (this, e, nullptr);
}

void CustomDialogWindow::resized()
{
    if (content != nullptr)
        content->setBounds (getLocalBounds());
}
