#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A rotary knob that shows its value in a bubble while it is held; the bubble fades in on press
// and out on release.
class FadeinPopupSlider : public juce::Slider
{
public:
    FadeinPopupSlider();
    ~FadeinPopupSlider() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;

    class NumberPopup : public juce::BubbleComponent,
                        public juce::Slider::Listener
    {
    public:
        explicit NumberPopup (FadeinPopupSlider& ownerSlider);

        void getContentSize (int& w, int& h) override;
        void paintContent (juce::Graphics&, int w, int h) override;
        void sliderValueChanged (juce::Slider*) override;

        FadeinPopupSlider& owner;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NumberPopup)
    };

    static constexpr int fadeMs = 200;

    NumberPopup& getNumberPopup() noexcept { return numberPopup; }

private:
    juce::Component* findTopLevel() noexcept;

    NumberPopup numberPopup;
    juce::ComponentAnimator animator;

    // A press after a release cancels the removal that release scheduled.
    int pressCount = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FadeinPopupSlider)
};
