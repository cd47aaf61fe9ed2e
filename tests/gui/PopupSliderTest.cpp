#include "EditorTestSupport.h"

#include "gui/FadeinPopupSlider.h"

#include <gtest/gtest.h>

using editortest::pump;

namespace
{
    juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> pos)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, juce::ModifierKeys(),
                                 juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &c, &c, now, pos, now, 1, false);
    }

    struct Window
    {
        Window()
        {
            top.setSize (600, 400);
            slider = std::make_unique<FadeinPopupSlider>();
            slider->setRange (-12.0, 12.0, 0.1);
            slider->setTextValueSuffix (" dB");
            slider->setBounds (100, 100, 118, 109);
            top.addAndMakeVisible (*slider);
        }

        juce::Component top;
        std::unique_ptr<FadeinPopupSlider> slider;
    };
}

TEST (PopupSlider, PressShowsTheValueBubbleOnTheTopLevelAndReleaseRemovesIt)
{
    Window w;
    auto& popup = w.slider->getNumberPopup();

    w.slider->mouseDown (mouseAt (*w.slider, { 50, 50 }));
    EXPECT_EQ (popup.getParentComponent(), &w.top);
    EXPECT_TRUE (popup.isVisible());
    EXPECT_GT (popup.getBounds().getCentreX(), w.slider->getRight()); // to the right of the knob

    w.slider->setValue (3.5, juce::sendNotificationSync);
    EXPECT_EQ (popup.owner.getTextFromValue (popup.owner.getValue()), "3.5 dB");

    w.slider->mouseUp (mouseAt (*w.slider, { 50, 50 }));
    EXPECT_FALSE (popup.isVisible());
    pump (FadeinPopupSlider::fadeMs + 150);
    EXPECT_EQ (popup.getParentComponent(), nullptr);
}

TEST (PopupSlider, PressAfterAQuickReleaseKeepsTheBubble)
{
    Window w;
    auto& popup = w.slider->getNumberPopup();

    w.slider->mouseDown (mouseAt (*w.slider, { 50, 50 }));
    w.slider->mouseUp (mouseAt (*w.slider, { 50, 50 }));
    w.slider->mouseDown (mouseAt (*w.slider, { 50, 50 }));
    pump (FadeinPopupSlider::fadeMs + 150);

    EXPECT_EQ (popup.getParentComponent(), &w.top);
    EXPECT_TRUE (popup.isVisible());
    w.slider->mouseUp (mouseAt (*w.slider, { 50, 50 }));
}

TEST (PopupSlider, PendingRemovalIsHarmlessOnceTheKnobIsGone)
{
    Window w;
    w.slider->mouseDown (mouseAt (*w.slider, { 50, 50 }));
    w.slider->mouseUp (mouseAt (*w.slider, { 50, 50 }));
    w.slider.reset();

    pump (FadeinPopupSlider::fadeMs + 150); // the delayed removal runs against a deleted knob
    EXPECT_EQ (w.top.getNumChildComponents(), 0);
}
