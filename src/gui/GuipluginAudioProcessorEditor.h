#pragma once

#include "gui/FadeinPopupSlider.h"
#include "gui/FilmStripComponent.h"
#include "gui/FilmStripKnobLookAndFeel.h"
#include "gui/Machinetogglebutton.h"
#include "gui/ModernTooltipLookAndFeel.h"
#include "gui/ModernVectorButton.h"
#include "gui/Retrotogglebutton.h"
#include "gui/WebsiteButtonLookAndFeel.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_data_structures/juce_data_structures.h>

#include <array>
#include <memory>

#include "presets/ModernStyledDialog.h"

#include <functional>

class GuipluginAudioProcessor;
class ModernPresetSelectorWrapper;

// The plug-in window: a fixed picture of the unit, every child at its place on the 2551 x 1028
// panel and scaled with one transform; the scale is kept in a small settings file.
class GuipluginAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    explicit GuipluginAudioProcessorEditor (GuipluginAudioProcessor&);
    ~GuipluginAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    // Hosts on HiDPI screens hand us their scale; it rides on top of the user's window scale.
    void setScaleFactor (float newScale) override;
    float getHostScaleFactor() const noexcept { return hostScaleFactor; }

    juce::Font getLabelFont() const;

    // Screen pixels of vertical drag for a knob's whole travel.
    static constexpr int fullTurnDragPixels = 250;

    // The product page that the About box's "Visit Website" opens.
    static constexpr const char* productPage = "https://quillforge.example/brimstack3";

    // The folder of the settings file (sizeRatio): the testing override, else the absolute path in
    // BRIMSTACK3_SETTINGS_DIR, else the user's settings folder (~/.config/Brimstack3 on Linux).
    static juce::File getSettingsFolder();
    static void setSettingsFolderForTesting (const juce::File& folder);
    static juce::PropertiesFile::Options getSettingsOptions();

    // Stored ratios outside what the window can take are brought back into range.
    static double sanitiseRatio (double storedRatio) noexcept;

    // How the editor asks its questions and opens the product page; tests answer in place of a user.
    std::function<DialogResult (juce::Component*, DialogConfig)> askUser = showModernStyledDialog;
    std::function<void (const juce::URL&)> openWebsite = [] (const juce::URL& url) { url.launchInDefaultBrowser(); };

    // Read-only views for the tests, the screenshot tool and the bench.
    juce::Slider* getDriveSlider() const noexcept { return driveSlider.get(); }
    juce::Slider* getOutputSlider() const noexcept { return outputSlider.get(); }
    FadeinPopupSlider* getInputTrimSlider() const noexcept { return inputTrimSlider.get(); }
    FadeinPopupSlider* getMixSlider() const noexcept { return mixSlider.get(); }
    juce::ToggleButton& getTypeToggle (int index) noexcept;
    juce::ToggleButton& getLinkToggle() noexcept { return linkToggle; }
    juce::Button& getInfoButton() noexcept { return infoButton; }
    FilmStripComponent& getTubeGlow() noexcept { return tubeGlow; }
    ModernPresetSelectorWrapper* getPresetBar() const noexcept { return presetBar.get(); }
    bool isLinkOn() const noexcept { return linkFlag; }
    int getSelectedType() const noexcept { return typeTSelected ? 0 : (typeP1Selected ? 1 : (typeP2Selected ? 2 : -1)); }

private:
    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;
    using ButtonAttachment = juce::AudioProcessorValueTreeState::ButtonAttachment;

    void createKnob (std::unique_ptr<juce::Slider>& slot, const juce::String& name, juce::LookAndFeel* lookAndFeel);
    void createPopupKnob (std::unique_ptr<FadeinPopupSlider>& slot, juce::LookAndFeel* lookAndFeel,
                          const juce::String& valueSuffix);
    void setUpSwitchHandlers();
    void onTypeClicked (juce::ToggleButton& clicked);
    void storeSizeRatio();

    void showAbout();
    void savePreset();
    void deletePreset();

    GuipluginAudioProcessor& processorRef;
    std::unique_ptr<ModernPresetSelectorWrapper> presetBar;
    bool typeTSelected = true, typeP1Selected = false, typeP2Selected = false;

    CustomLookAndFeel2A driveLookAndFeel;
    CustomLookAndFeel2B mixLookAndFeel;
    CustomLookAndFeel2C outputLookAndFeel;
    CustomLookAndFeel2G smallKnobLookAndFeel;

    juce::TooltipWindow tooltipWindow { nullptr, 700 };
    ModernTooltipLookAndFeel tooltipLookAndFeel;

    juce::Label inputTrimLabel, outputTrimLabel, mixLabel, highPassLabel, lowPassLabel;

    juce::TextButton infoButton;
    WebsiteButtonLookAndFeel infoButtonLookAndFeel;

    ModernSaveButton saveButton { "Save Preset" };
    ModernDeleteButton deleteButton { "Delete Preset" };
    ModernNavButton previousButton { "Previous Preset" };
    ModernNavButton nextButton { "Next Preset" };

    Retrotogglebutton overDriveToggle, linkToggle;
    Machinetogglebutton typeTToggle, typeP1Toggle, typeP2Toggle;
    Retrotogglebutton powerToggle, ultraToggle;
    bool overDriveFlag = false, linkFlag = false, powerFlag = false, ultraFlag = false;

    std::unique_ptr<FadeinPopupSlider> lowPassSlider, highPassSlider;
    std::unique_ptr<juce::Slider> driveSlider, outputSlider;
    std::unique_ptr<FadeinPopupSlider> inputTrimSlider, outputTrimSlider, mixSlider;

    std::array<std::unique_ptr<ButtonAttachment>, 7> buttonAttachments;
    std::array<std::unique_ptr<SliderAttachment>, 7> sliderAttachments;

    FilmStripComponent tubeGlow;
    float knobScale = 1.0f;
    juce::Image backgroundImage;
    juce::ApplicationProperties settings;

    // Off until the stored size is applied, so the first layouts cannot overwrite it.
    bool sizeRestored = false;
    float hostScaleFactor = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GuipluginAudioProcessorEditor)
};
