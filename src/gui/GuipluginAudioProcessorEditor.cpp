#include "gui/GuipluginAudioProcessorEditor.h"

#include "engine/GuipluginAudioProcessor.h"
#include "engine/Parameters.h"
#include "gui/EditorImages.h"
#include "gui/EditorLayout.h"
#include "presets/ModernPresetSelectorWrapper.h"
#include "presets/ProcessorPresetManager.h"

#include <cmath>

namespace
{
    constexpr int typeRadioGroup = 42;
    constexpr float linkSum = 0.7889f; // Drive + Output with Link on: the top of both ranges
    const juce::Identifier sizeRatioKey { "sizeRatio" };

    juce::File& settingsFolderOverride()
    {
        static juce::File folder;
        return folder;
    }
}

//==============================================================================
juce::File GuipluginAudioProcessorEditor::getSettingsFolder()
{
    if (settingsFolderOverride() != juce::File())
        return settingsFolderOverride();

    // Host tests run the real plug-in in another process: they point it elsewhere this way.
    const auto fromEnvironment = juce::SystemStats::getEnvironmentVariable ("BRIMSTACK3_SETTINGS_DIR", {});
    if (juce::File::isAbsolutePath (fromEnvironment))
        return juce::File (fromEnvironment);

   #if JUCE_MAC
    return {};
   #else
    // ~/.config/Brimstack3 on Linux (the framework's own default would be /var or a dot folder).
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("Brimstack3");
   #endif
}

void GuipluginAudioProcessorEditor::setSettingsFolderForTesting (const juce::File& folder)
{
    settingsFolderOverride() = folder;
}

juce::PropertiesFile::Options GuipluginAudioProcessorEditor::getSettingsOptions()
{
    juce::PropertiesFile::Options options;
    options.applicationName = "Brimstack3";
    options.filenameSuffix = "settings";
    options.folderName = getSettingsFolder().getFullPathName(); // an absolute folder is used as it is
    options.osxLibrarySubFolder = "Application Support";
    options.commonToAllUsers = true;
    options.ignoreCaseOfKeyNames = false;
    options.doNotSave = false;
    options.millisecondsBeforeSaving = 3000;
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    options.processLock = nullptr;
    return options;
}

double GuipluginAudioProcessorEditor::sanitiseRatio (double storedRatio) noexcept
{
    // A hand-edited or damaged file must not open a window of no size or of many screens.
    if (! std::isfinite (storedRatio) || storedRatio <= 0.0)
        return EditorLayout::defaultRatio;

    return juce::jlimit (double (EditorLayout::minWidth) / EditorLayout::designWidth, 1.0, storedRatio);
}

//==============================================================================
GuipluginAudioProcessorEditor::GuipluginAudioProcessorEditor (GuipluginAudioProcessor& p)
    : juce::AudioProcessorEditor (&p),
      processorRef (p),
      tubeGlow (p.meterLevel)
{
    EditorImages::decodeAll();

    driveLookAndFeel.image = EditorImages::driveKnob();
    mixLookAndFeel.image = EditorImages::mixKnob();
    outputLookAndFeel.image = EditorImages::outputKnob();
    smallKnobLookAndFeel.image = EditorImages::smallKnob();
    infoButtonLookAndFeel.image = EditorImages::logo();
    backgroundImage = EditorImages::background();

    tooltipWindow.setMillisecondsBeforeTipAppears (1000);
    tooltipWindow.setLookAndFeel (&tooltipLookAndFeel);

    infoButton.setLookAndFeel (&infoButtonLookAndFeel);
    infoButton.setTooltip ("Info");
    infoButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    infoButton.onClick = [this] { showAbout(); };
    addAndMakeVisible (infoButton);

    if (processorRef.presetManager != nullptr)
    {
        presetBar = std::make_unique<ModernPresetSelectorWrapper> (*processorRef.presetManager, [this]
        {
            if (presetBar != nullptr)
                presetBar->refresh();
        });
        presetBar->getSelector().overlayParent = this;
        addAndMakeVisible (*presetBar);
    }

    createKnob (driveSlider, Parameters::ID::drive, &driveLookAndFeel);
    createKnob (outputSlider, Parameters::ID::output, &outputLookAndFeel);
    createPopupKnob (inputTrimSlider, &smallKnobLookAndFeel, " dB");
    createPopupKnob (outputTrimSlider, &smallKnobLookAndFeel, " dB");
    createPopupKnob (mixSlider, &mixLookAndFeel, " %");
    createPopupKnob (lowPassSlider, &smallKnobLookAndFeel, " Hz");
    createPopupKnob (highPassSlider, &smallKnobLookAndFeel, " Hz");

    driveSlider->setTooltip ("Drive");
    outputSlider->setTooltip ("Output");
    mixSlider->setTooltip ("Dry/Wet Mix");
    inputTrimSlider->setTooltip ("Input Trim");
    outputTrimSlider->setTooltip ("Output Trim");
    highPassSlider->setTooltip ("High Pass Filter");
    lowPassSlider->setTooltip ("Low Pass Filter");

    const std::pair<juce::Label*, const char*> labels[] = {
        { &inputTrimLabel, "I" }, { &outputTrimLabel, "O" }, { &mixLabel, "M" }, { &highPassLabel, "H" }, { &lowPassLabel, "L" }
    };
    for (auto [label, text] : labels)
    {
        label->setText (text, juce::dontSendNotification);
        label->setFont (getLabelFont());
        label->setJustificationType (juce::Justification::centred);
        label->setColour (juce::Label::textColourId, juce::Colours::white);
        label->setInterceptsMouseClicks (false, false);
        addAndMakeVisible (*label);
    }

    saveButton.onClick = [this] { savePreset(); };
    saveButton.setTooltip ("Save Preset");
    deleteButton.onClick = [this] { deletePreset(); };
    deleteButton.setTooltip ("Delete Preset");
    previousButton.isNext = false;
    previousButton.onClick = [this] { if (presetBar != nullptr) presetBar->loadPreviousPreset(); };
    previousButton.setTooltip ("Last Preset");
    nextButton.isNext = true;
    nextButton.onClick = [this] { if (presetBar != nullptr) presetBar->loadNextPreset(); };
    nextButton.setTooltip ("Next Preset");
    for (auto* b : { (juce::Component*) &saveButton, (juce::Component*) &deleteButton,
                     (juce::Component*) &previousButton, (juce::Component*) &nextButton })
        addAndMakeVisible (b);

    tubeGlow.image = EditorImages::tubeGlow();
    tubeGlow.numFrames = 64;
    tubeGlow.startTimerHz (30);
    addAndMakeVisible (tubeGlow);

    overDriveToggle.setName (Parameters::ID::overDrive);
    linkToggle.setName (Parameters::ID::link);
    typeTToggle.setName ("typeTbutton");
    typeP1Toggle.setName ("typeP1P1button");
    typeP2Toggle.setName ("typeP2button");
    powerToggle.setName (Parameters::ID::power);
    ultraToggle.setName (Parameters::ID::ultra);

    overDriveToggle.image = EditorImages::overDriveLever();
    linkToggle.image = EditorImages::linkLamp();
    ultraToggle.image = EditorImages::ultraLamp();
    powerToggle.image = EditorImages::powerLamp();
    typeTToggle.image = EditorImages::typeTKey();
    typeP1Toggle.image = EditorImages::typeP1Key();
    typeP2Toggle.image = EditorImages::typeP2Key();

    for (auto* t : { (juce::ToggleButton*) &typeTToggle, (juce::ToggleButton*) &typeP1Toggle, (juce::ToggleButton*) &typeP2Toggle })
        t->setRadioGroupId (typeRadioGroup);

    ultraToggle.setTooltip ("High Quality Mode");
    powerToggle.setTooltip ("Power On/Off");

    for (auto* t : { (juce::ToggleButton*) &typeTToggle, (juce::ToggleButton*) &typeP1Toggle, (juce::ToggleButton*) &typeP2Toggle,
                     (juce::ToggleButton*) &overDriveToggle, (juce::ToggleButton*) &linkToggle,
                     (juce::ToggleButton*) &ultraToggle, (juce::ToggleButton*) &powerToggle })
    {
        t->setClickingTogglesState (true);
        t->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        addAndMakeVisible (t);
    }

    setUpSwitchHandlers();

    auto& state = *processorRef.treeState;
    buttonAttachments[0] = std::make_unique<ButtonAttachment> (state, Parameters::ID::overDrive, overDriveToggle);
    buttonAttachments[1] = std::make_unique<ButtonAttachment> (state, Parameters::ID::link, linkToggle);
    buttonAttachments[2] = std::make_unique<ButtonAttachment> (state, Parameters::ID::power, powerToggle);
    buttonAttachments[3] = std::make_unique<ButtonAttachment> (state, Parameters::ID::ultra, ultraToggle);
    buttonAttachments[4] = std::make_unique<ButtonAttachment> (state, Parameters::ID::typeT, typeTToggle);
    buttonAttachments[5] = std::make_unique<ButtonAttachment> (state, Parameters::ID::typeP1, typeP1Toggle);
    buttonAttachments[6] = std::make_unique<ButtonAttachment> (state, Parameters::ID::typeP2, typeP2Toggle);

    sliderAttachments[0] = std::make_unique<SliderAttachment> (state, Parameters::ID::output, *outputSlider);
    sliderAttachments[1] = std::make_unique<SliderAttachment> (state, Parameters::ID::drive, *driveSlider);
    sliderAttachments[2] = std::make_unique<SliderAttachment> (state, Parameters::ID::inputTrim, *inputTrimSlider);
    sliderAttachments[3] = std::make_unique<SliderAttachment> (state, Parameters::ID::outputTrim, *outputTrimSlider);
    sliderAttachments[4] = std::make_unique<SliderAttachment> (state, Parameters::ID::dryMix, *mixSlider);
    sliderAttachments[5] = std::make_unique<SliderAttachment> (state, Parameters::ID::lowPass, *lowPassSlider);
    sliderAttachments[6] = std::make_unique<SliderAttachment> (state, Parameters::ID::highPass, *highPassSlider);

    // Installed after the attachments so that their initial values do not move Output.
    driveSlider->onValueChange = [this]
    {
        if (linkFlag && outputSlider != nullptr)
            outputSlider->setValue (linkSum - driveSlider->getValue(), juce::sendNotificationAsync);
    };

    settings.setStorageParameters (getSettingsOptions());

    double ratio = EditorLayout::defaultRatio;
    if (auto* file = settings.getCommonSettings (true))
        ratio = file->getDoubleValue (sizeRatioKey, EditorLayout::defaultRatio);
    ratio = sanitiseRatio (ratio);

    // Limits first: the constrainer may resize once, which must not be mistaken for the user's size.
    getConstrainer()->setFixedAspectRatio (EditorLayout::aspectRatio);
    setResizeLimits (EditorLayout::minWidth, EditorLayout::minHeight, EditorLayout::designWidth, EditorLayout::designHeight);
    setResizable (true, true);

    sizeRestored = true;
    namespace L = EditorLayout;
    setSize (juce::jlimit (L::minWidth, L::designWidth, (int) (ratio * double (L::designWidth))),
             juce::jlimit (L::minHeight, L::designHeight, (int) (ratio * double (L::designHeight))));

    if (presetBar != nullptr)
        presetBar->refresh();
}

GuipluginAudioProcessorEditor::~GuipluginAudioProcessorEditor()
{
    for (auto* b : { (juce::Button*) &infoButton, (juce::Button*) &saveButton, (juce::Button*) &deleteButton,
                     (juce::Button*) &previousButton, (juce::Button*) &nextButton,
                     (juce::Button*) &overDriveToggle, (juce::Button*) &linkToggle, (juce::Button*) &typeTToggle,
                     (juce::Button*) &typeP1Toggle, (juce::Button*) &typeP2Toggle, (juce::Button*) &powerToggle,
                     (juce::Button*) &ultraToggle })
        b->onClick = nullptr;

    if (driveSlider != nullptr)
        driveSlider->onValueChange = nullptr;

    for (auto& a : buttonAttachments)
        a.reset();
    for (auto& a : sliderAttachments)
        a.reset();

    storeSizeRatio();

    infoButton.setLookAndFeel (nullptr);
    tooltipWindow.setLookAndFeel (nullptr);
    for (juce::Slider* s : { driveSlider.get(), outputSlider.get(), (juce::Slider*) inputTrimSlider.get(),
                             (juce::Slider*) outputTrimSlider.get(), (juce::Slider*) mixSlider.get(),
                             (juce::Slider*) lowPassSlider.get(), (juce::Slider*) highPassSlider.get() })
        if (s != nullptr)
            s->setLookAndFeel (nullptr);
}

//==============================================================================
void GuipluginAudioProcessorEditor::createKnob (std::unique_ptr<juce::Slider>& slot, const juce::String& name,
                                                juce::LookAndFeel* lookAndFeel)
{
    slot = std::make_unique<juce::Slider> (name);
    addAndMakeVisible (*slot);
    slot->setSliderStyle (juce::Slider::RotaryVerticalDrag);
    slot->setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    if (lookAndFeel != nullptr)
        slot->setLookAndFeel (lookAndFeel);
}

void GuipluginAudioProcessorEditor::createPopupKnob (std::unique_ptr<FadeinPopupSlider>& slot, juce::LookAndFeel* lookAndFeel,
                                                     const juce::String& valueSuffix)
{
    slot = std::make_unique<FadeinPopupSlider>();
    addAndMakeVisible (*slot);
    if (lookAndFeel != nullptr)
        slot->setLookAndFeel (lookAndFeel);
    slot->setTextValueSuffix (valueSuffix);
}

void GuipluginAudioProcessorEditor::setUpSwitchHandlers()
{
    // Every state change, from a click or from the attachment, arrives as a click: the flags follow.
    overDriveToggle.onClick = [this] { overDriveFlag = overDriveToggle.getToggleState(); };
    linkToggle.onClick = [this] { linkFlag = linkToggle.getToggleState(); };
    powerToggle.onClick = [this] { powerFlag = powerToggle.getToggleState(); };
    ultraToggle.onClick = [this] { ultraFlag = ultraToggle.getToggleState(); };

    typeTToggle.onClick = [this] { onTypeClicked (typeTToggle); };
    typeP1Toggle.onClick = [this] { onTypeClicked (typeP1Toggle); };
    typeP2Toggle.onClick = [this] { onTypeClicked (typeP2Toggle); };
}

void GuipluginAudioProcessorEditor::onTypeClicked (juce::ToggleButton& clicked)
{
    if (! clicked.getToggleState())
        return;

    typeTSelected = &clicked == &typeTToggle;
    typeP1Selected = &clicked == &typeP1Toggle;
    typeP2Selected = &clicked == &typeP2Toggle;

    // The radio group has already switched the others off (and told their parameters); this only
    // covers states that arrived without notification.
    for (auto* t : { (juce::ToggleButton*) &typeTToggle, (juce::ToggleButton*) &typeP1Toggle, (juce::ToggleButton*) &typeP2Toggle })
        if (t != &clicked)
            t->setToggleState (false, juce::dontSendNotification);
}

juce::ToggleButton& GuipluginAudioProcessorEditor::getTypeToggle (int index) noexcept
{
    if (index == 1) return typeP1Toggle;
    if (index == 2) return typeP2Toggle;
    return typeTToggle;
}

juce::Font GuipluginAudioProcessorEditor::getLabelFont() const
{
    return juce::Font (juce::Font::getDefaultTypefaceForFont (juce::Font()))
        .withHeight (40.0f)
        .withStyle (juce::Font::bold)
        .withExtraKerningFactor (0.06f);
}

//==============================================================================
void GuipluginAudioProcessorEditor::storeSizeRatio()
{
    if (! sizeRestored || getWidth() <= 0)
        return;

    if (auto* file = settings.getCommonSettings (true))
        file->setValue (sizeRatioKey, (double) ((float) getWidth() / (float) EditorLayout::designWidth));
}

void GuipluginAudioProcessorEditor::setScaleFactor (float newScale)
{
    // The framework puts the host's scale on our own transform; the window width we store stays
    // in logical pixels, so the user's size survives moving between screens.
    hostScaleFactor = newScale;
    juce::AudioProcessorEditor::setScaleFactor (newScale);
}

void GuipluginAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.setColour (juce::Colours::black);
    if (backgroundImage.isNull())
    {
        g.fillAll();
        return;
    }
    g.drawImage (backgroundImage, 0, 0, getWidth(), getHeight(),
                 0, 0, EditorLayout::designWidth, EditorLayout::designHeight, false);
}

void GuipluginAudioProcessorEditor::resized()
{
    const auto scale = (float) getWidth() / (float) EditorLayout::designWidth;
    storeSizeRatio();
    knobScale = EditorLayout::knobScale;

    const auto transform = juce::AffineTransform::scale (scale);
    auto place = [&transform] (juce::Component* c, EditorLayout::Box box)
    {
        if (c == nullptr)
            return;
        c->setBounds (EditorLayout::toRect (box));
        c->setTransform (transform);
    };

    namespace L = EditorLayout;
    place (&infoButton, L::infoButton);
    place (presetBar.get(), L::presetBar);
    place (&previousButton, L::previousButton);
    place (&nextButton, L::nextButton);
    place (&saveButton, L::saveButton);
    place (&deleteButton, L::deleteButton);
    place (driveSlider.get(), L::drive);
    place (outputSlider.get(), L::output);
    place (mixSlider.get(), L::mix);
    place (inputTrimSlider.get(), L::inputTrim);
    place (outputTrimSlider.get(), L::outputTrim);
    place (highPassSlider.get(), L::highPass);
    place (lowPassSlider.get(), L::lowPass);
    place (&inputTrimLabel, L::inputTrimLabel);
    place (&outputTrimLabel, L::outputTrimLabel);
    place (&mixLabel, L::mixLabel);
    place (&highPassLabel, L::highPassLabel);
    place (&lowPassLabel, L::lowPassLabel);
    place (&overDriveToggle, L::overDrive);
    place (&typeTToggle, L::typeT);
    place (&typeP1Toggle, L::typeP1);
    place (&typeP2Toggle, L::typeP2);
    place (&linkToggle, L::link);
    place (&ultraToggle, L::ultra);
    place (&powerToggle, L::power);
    place (&tubeGlow, L::tubeGlow);

    // Drags are measured in the knob's own (scaled) pixels: keep a full turn at the same hand
    // movement on screen, whatever the window size.
    const auto dragPixels = juce::jmax (1, juce::roundToInt (float (fullTurnDragPixels) / juce::jmax (scale, 0.01f)));
    for (juce::Slider* s : { driveSlider.get(), outputSlider.get(), (juce::Slider*) inputTrimSlider.get(),
                             (juce::Slider*) outputTrimSlider.get(), (juce::Slider*) mixSlider.get(),
                             (juce::Slider*) lowPassSlider.get(), (juce::Slider*) highPassSlider.get() })
        if (s != nullptr)
            s->setMouseDragSensitivity (dragPixels);
}

//==============================================================================
void GuipluginAudioProcessorEditor::showAbout()
{
    const auto result = askUser ? askUser (this, DialogConfig::forAbout()) : DialogResult {};
    if (result.confirmed && openWebsite)
        openWebsite (juce::URL (productPage));
}

void GuipluginAudioProcessorEditor::savePreset()
{
    const auto result = askUser ? askUser (this, DialogConfig::forSavePreset()) : DialogResult {};
    if (! result.confirmed || result.inputText.isEmpty() || presetBar == nullptr)
        return;

    processorRef.presetManager->saveUserPreset (result.inputText);
    presetBar->refresh();
}

void GuipluginAudioProcessorEditor::deletePreset()
{
    const auto result = askUser ? askUser (this, DialogConfig::forDeletePreset()) : DialogResult {};
    if (! result.confirmed || presetBar == nullptr)
        return;

    processorRef.presetManager->deleteCurrentPreset();
    presetBar->refresh();
}
