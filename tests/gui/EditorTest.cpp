#include "EditorTestSupport.h"

#include "engine/Parameters.h"
#include "gui/EditorLayout.h"
#include "presets/ModernPresetSelectorWrapper.h"
#include "presets/ProcessorPresetManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

using namespace editortest;

namespace
{
    class EditorTest : public ::testing::Test
    {
    protected:
        // Every test starts like a first run: not even the settings folder exists.
        void SetUp() override { settingsFolder().deleteRecursively(); }

        std::unique_ptr<GuipluginAudioProcessorEditor> open()
        {
            return std::make_unique<GuipluginAudioProcessorEditor> (processor);
        }

        GuipluginAudioProcessor processor;
    };

    // Where a child lands in the editor once its transform is applied.
    juce::Rectangle<int> placed (juce::Component& editor, juce::Component& child)
    {
        return editor.getLocalArea (&child, child.getLocalBounds());
    }

    juce::Component* childNamed (juce::Component& parent, const juce::String& name)
    {
        for (auto* c : parent.getChildren())
            if (c->getName() == name)
                return c;
        return nullptr;
    }
}

TEST_F (EditorTest, ChildrenSitOnTheirDesignRectanglesAtFullSize)
{
    auto editor = open();
    editor->setSize (EditorLayout::designWidth, EditorLayout::designHeight);

    namespace L = EditorLayout;
    const std::pair<juce::Component*, L::Box> table[] = {
        { editor->getDriveSlider(), L::drive },
        { editor->getOutputSlider(), L::output },
        { editor->getMixSlider(), L::mix },
        { editor->getInputTrimSlider(), L::inputTrim },
        { &editor->getTypeToggle (0), L::typeT },
        { &editor->getTypeToggle (1), L::typeP1 },
        { &editor->getTypeToggle (2), L::typeP2 },
        { &editor->getLinkToggle(), L::link },
        { &editor->getTubeGlow(), L::tubeGlow },
        { childNamed (*editor, "overDriveButton"), L::overDrive },
        { childNamed (*editor, "ultraButton"), L::ultra },
        { childNamed (*editor, "powerButton"), L::power },
        { childNamed (*editor, "Save Preset"), L::saveButton },
        { childNamed (*editor, "Delete Preset"), L::deleteButton },
        { childNamed (*editor, "Previous Preset"), L::previousButton },
        { childNamed (*editor, "Next Preset"), L::nextButton },
        { editor->getPresetBar(), L::presetBar },
    };

    for (auto [child, box] : table)
    {
        ASSERT_NE (child, nullptr);
        EXPECT_EQ (placed (*editor, *child), L::toRect (box)) << child->getName();
    }

    // Reduced frames: small knobs 118 x 109, type keys 124 x 118.
    EXPECT_EQ (editor->getInputTrimSlider()->getBounds(), juce::Rectangle<int> (1551, 822, 118, 109));
    EXPECT_EQ (editor->getTypeToggle (1).getBounds(), juce::Rectangle<int> (678, 790, 124, 118));
}

TEST_F (EditorTest, OneTransformScalesEveryChild)
{
    auto editor = open();
    ASSERT_EQ (editor->getWidth(), 892); // default ratio 0.35
    ASSERT_EQ (editor->getHeight(), 359);

    const auto scale = 892.0f / 2551.0f;
    const auto drive = placed (*editor, *editor->getDriveSlider());
    // Whole pixels enclosing the scaled rectangle.
    EXPECT_NEAR (drive.getX(), 548 * scale, 1.0);
    EXPECT_NEAR (drive.getWidth(), 399 * scale, 2.0);
    EXPECT_NEAR (placed (*editor, editor->getTubeGlow()).getBottom(), (186 + 438) * scale, 1.0);

    // A knob's full travel takes the same hand movement on screen at any window size.
    for (auto width : { 892, 2551 })
    {
        editor->setSize (width, int (width / EditorLayout::aspectRatio));
        const auto onScreen = float (editor->getDriveSlider()->getMouseDragSensitivity()) * float (width) / 2551.0f;
        EXPECT_NEAR (onScreen, GuipluginAudioProcessorEditor::fullTurnDragPixels, 1.0) << width;
    }
}

TEST_F (EditorTest, WindowSizeSurvivesReopeningThroughTheSettingsFile)
{
    {
        auto editor = open();
        EXPECT_EQ (editor->getBounds().getWidth(), 892);
    }
    ASSERT_TRUE (settingsFile().existsAsFile());
    EXPECT_NEAR (juce::PropertiesFile (settingsFile(), GuipluginAudioProcessorEditor::getSettingsOptions())
                     .getDoubleValue ("sizeRatio"), 892.0 / 2551.0, 1.0e-6);

    {
        auto editor = open();
        EXPECT_EQ (editor->getWidth(), 892);
        editor->setSize (1275, 514);
    }
    {
        // Sizes are truncated: 1275 / 2551 reopens one pixel narrower.
        auto editor = open();
        EXPECT_EQ (editor->getWidth(), 1274);
        EXPECT_EQ (editor->getHeight(), 513);
    }
}

TEST_F (EditorTest, DamagedStoredRatiosStillOpenAUsableWindow)
{
    struct Case { const char* stored; int width; };
    const Case cases[] = {
        { "0.5", 1275 },
        { "1000", 2551 },        // larger than the panel
        { "0.01", 637 },         // below the smallest window
        { "-3", 892 },           // nonsense: the default
        { "nan", 892 },
        { "banana", 892 },       // unreadable: the framework reads 0
    };

    for (auto& c : cases)
    {
        settingsFolder().createDirectory();
        settingsFile().replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PROPERTIES>\n"
                                        "  <VALUE name=\"sizeRatio\" val=\"" + juce::String (c.stored) + "\"/>\n</PROPERTIES>\n");
        auto editor = open();
        EXPECT_EQ (editor->getWidth(), c.width) << c.stored;
        EXPECT_GE (editor->getHeight(), EditorLayout::minHeight) << c.stored;
    }
}

TEST_F (EditorTest, HostScaleFactorRidesOnTopOfTheStoredRatio)
{
    auto editor = open();
    editor->setSize (1275, 513);
    editor->setScaleFactor (2.0f);

    EXPECT_EQ (editor->getWidth(), 1275);
    EXPECT_FLOAT_EQ (editor->getHostScaleFactor(), 2.0f);
    EXPECT_EQ (editor->getTransform(), juce::AffineTransform::scale (2.0f));

    editor.reset();
    auto reopened = open();
    EXPECT_EQ (reopened->getWidth(), 1274); // the logical width, not the doubled one
}

TEST_F (EditorTest, LinkMakesOutputMirrorDrive)
{
    auto editor = open();
    ASSERT_TRUE (editor->isLinkOn()); // Link defaults to on

    editor->getDriveSlider()->setValue (0.2, juce::sendNotificationSync);
    pump();
    EXPECT_NEAR (editor->getOutputSlider()->getValue(), 0.5889, 1.0e-4);
    EXPECT_NEAR (param (processor, Parameters::ID::output), 0.5889f, 1.0e-4f);

    // Link off: Output stays where it is.
    setParam (processor, Parameters::ID::link, 0.0f);
    EXPECT_FALSE (editor->isLinkOn());
    editor->getDriveSlider()->setValue (0.6, juce::sendNotificationSync);
    pump();
    EXPECT_NEAR (param (processor, Parameters::ID::output), 0.5889f, 1.0e-4f);

    // A Drive value arriving from the processor side (automation, preset) also drives Output.
    setParam (processor, Parameters::ID::link, 1.0f);
    setParam (processor, Parameters::ID::drive, 0.7889f);
    pump();
    EXPECT_NEAR (param (processor, Parameters::ID::output), 0.0f, 1.0e-4f);
}

TEST_F (EditorTest, TypeKeysAreExclusiveAndReachTheParameters)
{
    auto editor = open();
    ASSERT_EQ (param (processor, Parameters::ID::typeT), 1.0f);

    editor->getTypeToggle (1).triggerClick();
    pump();
    EXPECT_EQ (param (processor, Parameters::ID::typeP1), 1.0f);
    EXPECT_EQ (param (processor, Parameters::ID::typeT), 0.0f);
    EXPECT_EQ (param (processor, Parameters::ID::typeP2), 0.0f);
    EXPECT_EQ (editor->getSelectedType(), 1);

    // Clicking the lit key again leaves it lit.
    editor->getTypeToggle (1).triggerClick();
    pump();
    EXPECT_EQ (param (processor, Parameters::ID::typeP1), 1.0f);

    // A type switched on from outside (automation) turns the others off too.
    setParam (processor, Parameters::ID::typeP2, 1.0f);
    pump();
    EXPECT_EQ (param (processor, Parameters::ID::typeP1), 0.0f);
    EXPECT_EQ (param (processor, Parameters::ID::typeP2), 1.0f);
    EXPECT_EQ (editor->getSelectedType(), 2);
}

TEST_F (EditorTest, DoubleClickReturnsKnobsToTheirDefaults)
{
    auto editor = open();
    auto* drive = editor->getDriveSlider();
    drive->setValue (0.7, juce::sendNotificationSync);
    EXPECT_TRUE (drive->isDoubleClickReturnEnabled());
    EXPECT_NEAR (drive->getDoubleClickReturnValue(), 0.2344, 1.0e-4);
    EXPECT_NEAR (editor->getMixSlider()->getDoubleClickReturnValue(), 100.0, 1.0e-4);
}

TEST_F (EditorTest, TooltipsAndLabels)
{
    auto editor = open();
    EXPECT_EQ (dynamic_cast<juce::SettableTooltipClient*> (childNamed (*editor, "Previous Preset"))->getTooltip(), "Last Preset");
    EXPECT_EQ (editor->getDriveSlider()->getTooltip(), "Drive");
    EXPECT_EQ (editor->getMixSlider()->getTooltip(), "Dry/Wet Mix");
    EXPECT_EQ (dynamic_cast<juce::SettableTooltipClient*> (childNamed (*editor, "ultraButton"))->getTooltip(), "High Quality Mode");
    EXPECT_EQ (editor->getInputTrimSlider()->getTextFromValue (3.5), "3.5 dB");
}

TEST_F (EditorTest, OpensAndClosesRepeatedlyWhileAudioRuns)
{
    processor.setPlayConfigDetails (2, 2, 48000.0, 256);
    processor.prepareToPlay (48000.0, 256);

    std::atomic<bool> running { true };
    std::atomic<int> blocks { 0 };
    std::thread audio ([&]
    {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        while (running.load())
        {
            for (int ch = 0; ch < 2; ++ch)
                for (int i = 0; i < 256; ++i)
                    buffer.setSample (ch, i, 0.3f * std::sin (0.05f * float (i)));
            processor.processBlock (buffer, midi);
            blocks.fetch_add (1);
        }
    });

    const auto start = juce::Time::getMillisecondCounter();
    juce::Image canvas (juce::Image::ARGB, 892, 359, true);
    for (int i = 0; i < 20; ++i)
    {
        // The host's way in: the processor creates the editor and knows it until it is deleted.
        std::unique_ptr<juce::AudioProcessorEditor> created (processor.createEditorIfNeeded());
        auto* editor = dynamic_cast<GuipluginAudioProcessorEditor*> (created.get());
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (processor.getActiveEditor(), editor);
        editor->getDriveSlider()->setValue (0.1 + 0.02 * i, juce::sendNotificationSync);
        {
            juce::Graphics g (canvas);
            editor->paintEntireComponent (g, false);
        }
        pump (5);
        created.reset();
        EXPECT_EQ (processor.getActiveEditor(), nullptr);
    }

    running = false;
    audio.join();
    processor.releaseResources();

    EXPECT_GT (blocks.load(), 0);
    EXPECT_LT (juce::Time::getMillisecondCounter() - start, 30000u);
}

//==============================================================================
namespace
{
    // Answers every question of the editor with one scripted result and records what was asked.
    struct ScriptedUser
    {
        DialogResult answer;
        juce::StringArray asked;

        void attach (GuipluginAudioProcessorEditor& editor)
        {
            editor.askUser = [this] (juce::Component* parent, DialogConfig config)
            {
                asked.add (config.title + (parent != nullptr ? "" : " (no parent)"));
                return answer;
            };
        }
    };

    juce::File userPreset (GuipluginAudioProcessor& p, const juce::String& name)
    {
        return p.presetManager->getUserFolder().getChildFile (name + ".rcp");
    }

    void click (juce::Component* button)
    {
        ASSERT_NE (dynamic_cast<juce::Button*> (button), nullptr);
        dynamic_cast<juce::Button*> (button)->triggerClick();
        pump();
    }
}

TEST_F (EditorTest, SaveButtonSavesOnlyAConfirmedNamedPreset)
{
    auto editor = open();
    ScriptedUser user;
    user.attach (*editor);

    struct Case { bool confirmed; const char* name; bool saved; };
    const Case cases[] = {
        { true, "Warm Bass", true },
        { true, "", false },          // confirmed with an empty field
        { false, "Cancelled", false },
    };
    for (auto c : cases)
    {
        user.answer = { c.confirmed, c.name };
        click (childNamed (*editor, "Save Preset"));
        if (juce::String (c.name).isNotEmpty())
            EXPECT_EQ (userPreset (processor, c.name).existsAsFile(), c.saved) << c.name;
    }
    EXPECT_EQ (user.asked, juce::StringArray ({ "Save Preset", "Save Preset", "Save Preset" }));
    EXPECT_EQ (processor.presetManager->getUserFolder().getNumberOfChildFiles (juce::File::findFiles, "*.rcp"), 1);
    userPreset (processor, "Warm Bass").deleteFile();
}

TEST_F (EditorTest, DeleteButtonDeletesTheCurrentPresetOnlyWhenConfirmed)
{
    auto editor = open();
    ScriptedUser user;
    user.attach (*editor);

    user.answer = { true, "Short Lived" };
    click (childNamed (*editor, "Save Preset"));
    ASSERT_TRUE (userPreset (processor, "Short Lived").existsAsFile());

    user.answer = { false, {} };
    click (childNamed (*editor, "Delete Preset"));
    EXPECT_TRUE (userPreset (processor, "Short Lived").existsAsFile());

    user.answer = { true, {} };
    click (childNamed (*editor, "Delete Preset"));
    EXPECT_FALSE (userPreset (processor, "Short Lived").existsAsFile());
    EXPECT_EQ (user.asked[1], "Delete Preset");
}

TEST_F (EditorTest, InfoButtonOpensTheProductPageOnlyWhenConfirmed)
{
    auto editor = open();
    ScriptedUser user;
    user.attach (*editor);
    juce::StringArray opened;
    editor->openWebsite = [&] (const juce::URL& url) { opened.add (url.toString (false)); };

    user.answer = { false, {} };
    click (&editor->getInfoButton());
    EXPECT_TRUE (opened.isEmpty());

    user.answer = { true, {} };
    click (&editor->getInfoButton());
    EXPECT_EQ (opened, juce::StringArray (GuipluginAudioProcessorEditor::productPage));
    EXPECT_EQ (user.asked, juce::StringArray ({ "About", "About" }));
}

TEST_F (EditorTest, ArrowButtonsStepThroughThePresets)
{
    auto editor = open();
    ScriptedUser user;
    user.attach (*editor);
    for (auto name : { "Step A", "Step B" })
    {
        user.answer = { true, name };
        click (childNamed (*editor, "Save Preset"));
    }

    auto current = [&] { return processor.treeState->state.getProperty (GuipluginAudioProcessor::currentPresetProperty).toString(); };
    juce::StringArray seen { current() };
    for (int i = 0; i < 3; ++i)
    {
        click (childNamed (*editor, "Next Preset"));
        seen.add (current());
    }
    click (childNamed (*editor, "Previous Preset"));
    seen.add (current());

    // Next moves to a different preset each time and wraps; Previous goes back one.
    EXPECT_NE (seen[1], seen[0]);
    EXPECT_NE (seen[2], seen[1]);
    EXPECT_EQ (seen[4], seen[2]);

    for (auto name : { "Step A", "Step B" })
        userPreset (processor, name).deleteFile();
}

TEST (EditorSettings, FolderComesFromTheOverrideThenTheEnvironmentThenTheUser)
{
    const auto previous = settingsFolder();
    const auto elsewhere = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("bs3-settings-env");
    const auto userDefault = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("Brimstack3");

    GuipluginAudioProcessorEditor::setSettingsFolderForTesting ({});
    ::setenv ("BRIMSTACK3_SETTINGS_DIR", elsewhere.getFullPathName().toRawUTF8(), 1);
    EXPECT_EQ (GuipluginAudioProcessorEditor::getSettingsFolder(), elsewhere);

    ::setenv ("BRIMSTACK3_SETTINGS_DIR", "relative/folder", 1); // only absolute paths count
    EXPECT_EQ (GuipluginAudioProcessorEditor::getSettingsFolder(), userDefault);

    ::unsetenv ("BRIMSTACK3_SETTINGS_DIR");
    EXPECT_EQ (GuipluginAudioProcessorEditor::getSettingsFolder(), userDefault);

    GuipluginAudioProcessorEditor::setSettingsFolderForTesting (previous);
    EXPECT_EQ (GuipluginAudioProcessorEditor::getSettingsFolder(), previous);
}
