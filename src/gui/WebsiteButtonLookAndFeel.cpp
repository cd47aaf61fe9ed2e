#include "gui/WebsiteButtonLookAndFeel.h"

WebsiteButtonLookAndFeel::~WebsiteButtonLookAndFeel() = default;

void WebsiteButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                                     bool highlighted, bool down)
{
    if (image.isNull())
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.setOpacity (opacityFor (highlighted, down));
    g.drawImageWithin (image, 0, 0, button.getWidth(), button.getHeight(),
                       juce::RectanglePlacement::xMid | juce::RectanglePlacement::yMid
                           | juce::RectanglePlacement::onlyReduceInSize,
                       false);
}

void WebsiteButtonLookAndFeel::drawButtonText (juce::Graphics&, juce::TextButton&, bool, bool)
{
}
