#include "gui/FadeinPopupSlider.h"

FadeinPopupSlider::FadeinPopupSlider()
    : juce::Slider (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox),
      numberPopup (*this)
{
    numberPopup.setColour (juce::BubbleComponent::backgroundColourId, juce::Colour (0xFF2D2D2D));
    numberPopup.setColour (juce::BubbleComponent::outlineColourId, juce::Colour (0xFFFFFFFF));
    numberPopup.setAllowedPlacement (juce::BubbleComponent::right);
    addListener (&numberPopup);
}

FadeinPopupSlider::~FadeinPopupSlider()
{
    removeListener (&numberPopup);
    animator.cancelAllAnimations (false);
}

juce::Component* FadeinPopupSlider::findTopLevel() noexcept
{
    juce::Component* top = this;
    while (auto* parent = top->getParentComponent())
        top = parent;
    return top;
}

void FadeinPopupSlider::mouseDown (const juce::MouseEvent& e)
{
    juce::Slider::mouseDown (e);
    ++pressCount;

    // On the top-level component the bubble may reach past the knob and lies above its siblings.
    if (auto* top = findTopLevel(); top != this)
        top->addChildComponent (numberPopup);

    numberPopup.setPosition (this, 15, 10);

    if (numberPopup.isVisible() && juce::approximatelyEqual (numberPopup.getAlpha(), 1.0f))
        return;

    if (numberPopup.getAlpha() != 0.0f)
        numberPopup.setAlpha (0.0f);

    numberPopup.setVisible (true);
    animator.animateComponent (&numberPopup, numberPopup.getBounds(), 1.0f, fadeMs, false, 1.0, 1.0);
}

void FadeinPopupSlider::mouseDrag (const juce::MouseEvent& e)
{
    if (isEnabled()) // false when any parent is disabled too
        juce::Slider::mouseDrag (e);
}

void FadeinPopupSlider::mouseUp (const juce::MouseEvent& e)
{
    juce::Slider::mouseUp (e);

    if (numberPopup.isShowing())
        animator.animateComponent (&numberPopup, numberPopup.getBounds(), 0.0f, fadeMs, true, 1.0, 1.0);

    numberPopup.setVisible (false);

    // The knob (and its editor) may be gone when this runs; the safe pointer then reads null.
    juce::Component::SafePointer<FadeinPopupSlider> safeThis (this);
    const auto pressAtRelease = pressCount;

    juce::Timer::callAfterDelay (fadeMs, [safeThis, pressAtRelease]
    {
        if (auto* slider = safeThis.getComponent())
        {
            if (slider->pressCount != pressAtRelease)
                return;

            auto* top = slider->findTopLevel();
            if (top->getIndexOfChildComponent (&slider->numberPopup) >= 0)
                top->removeChildComponent (&slider->numberPopup);
        }
    });
}

//==============================================================================
FadeinPopupSlider::NumberPopup::NumberPopup (FadeinPopupSlider& ownerSlider)
    : owner (ownerSlider)
{
    setInterceptsMouseClicks (false, false);
}

void FadeinPopupSlider::NumberPopup::getContentSize (int& w, int& h)
{
    w = 69;
    h = 25;
}

void FadeinPopupSlider::NumberPopup::paintContent (juce::Graphics& g, int w, int h)
{
    g.setColour (juce::Colour (0xFFF5F5F5));
    g.drawFittedText (owner.getTextFromValue (owner.getValue()), 0, 0, w, h, juce::Justification::centred, 1);
}

void FadeinPopupSlider::NumberPopup::sliderValueChanged (juce::Slider*)
{
    repaint();
}
