// Renders the preset browser and the styled dialogs to PNG files without opening a window, so the
// drawing can be reviewed on a machine without a display.
//
//   brimstack3-preset-shots [output folder] [--scale N]
//
// The catalogue is the factory preset set of the source tree. Files are written to the given
// folder (default: <temp>/brimstack3-preset-shots) and listed on stdout.

#include "presets/ModernPresetMenu.h"
#include "presets/ModernPresetSelector.h"
#include "presets/ModernPresetSelectorWrapper.h"
#include "presets/ModernStyledDialog.h"
#include "presets/PresetSubMenu.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
void runPendingCalls()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);

    if (out.failedToOpen() || ! juce::PNGImageFormat().writeImageToStream (image, out))
    {
        std::cerr << "cannot write " << file.getFullPathName() << "\n";
        return false;
    }

    std::cout << file.getFullPathName() << "\n";
    return true;
}

juce::Image snapshot (juce::Component& component, float scale)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, scale);
}

// The factory catalogue, or a small stand-in when the source tree's presets are not there.
std::vector<ModernPresetMenu::CategoryItem> loadCatalogue (const juce::String& currentName, int& currentIndex)
{
    auto catalogue = ModernPresetSelectorWrapper::buildCatalogue (juce::File (BRIMSTACK3_SOURCE_PRESETS_DIR), ".rcp",
                                                                  currentName, currentIndex);

    if (! catalogue.empty())
        return catalogue;

    catalogue = { { "Factory", { "Clean Warmth", "Tube Crunch" }, { 4, 5 } },
                  { "Bass", { "DI Growl", "Round Sub" }, { 0, 1 } },
                  { "Guitar", { "Crunch Rhythm", "Lead Sustain" }, { 2, 3 } } };
    currentIndex = 3;
    return catalogue;
}

// Pastes one snapshot onto another at design-unit coordinates.
void paste (juce::Graphics& g, const juce::Image& image, juce::Point<int> topLeft, float scale)
{
    g.drawImageAt (image, juce::roundToInt ((float) topLeft.x * scale), juce::roundToInt ((float) topLeft.y * scale));
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI gui;

    auto outputFolder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("brimstack3-preset-shots");
    float scale = 2.0f;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg (argv[i]);

        if (arg == "--scale" && i + 1 < argc)
            scale = juce::jlimit (0.5f, 4.0f, (float) juce::String (argv[++i]).getDoubleValue());
        else if (arg.startsWith ("-"))
        {
            std::cerr << "usage: brimstack3-preset-shots [output folder] [--scale N]\n";
            return 2;
        }
        else
            outputFolder = juce::File::getCurrentWorkingDirectory().getChildFile (arg);
    }

    if (! outputFolder.createDirectory())
    {
        std::cerr << "cannot create " << outputFolder.getFullPathName() << "\n";
        return 1;
    }

    const juce::String currentName ("Crunch Rhythm");
    int currentIndex = -1;
    const auto catalogue = loadCatalogue (currentName, currentIndex);
    bool ok = true;

    // The bar, as the editor shows it above its knobs.
    ModernPresetSelector bar;
    bar.setBounds (0, 0, 620, 90);
    bar.displayText = currentName + "*";
    bar.categories = catalogue;
    bar.currentPresetIndex = currentIndex;
    ok &= writePng (snapshot (bar, scale), outputFolder.getChildFile ("preset-bar.png"));

    // The category menu opened on the current preset's category.
    ModernPresetMenu menu;
    menu.setVisible (true);
    menu.setContent (catalogue, currentIndex);
    menu.autoExpandCurrentCategory();
    runPendingCalls();
    ok &= writePng (snapshot (menu, scale), outputFolder.getChildFile ("category-menu.png"));

    // Its preset list, current preset marked and selected.
    auto& list = *menu.getSubMenu();
    list.setVisible (true);
    list.setItems (list.getItems());
    runPendingCalls();
    ok &= writePng (snapshot (list, scale), outputFolder.getChildFile ("preset-list.png"));

    // The whole browser over a dimmed panel, laid out as on screen.
    {
        const auto openRow = menu.getOpenSubMenuIndex();
        const juce::Point<int> menuAt { 40, 20 + bar.getHeight() + 5 };
        const juce::Point<int> listAt { menuAt.x + menu.getWidth() + 5,
                                        menuAt.y + ModernPresetMenu::headerHeight + juce::jmax (openRow, 0) * ModernPresetMenu::rowHeight
                                            - menu.getScrollOffset() - ModernPresetMenu::padding };
        const auto width = juce::jmax (bar.getWidth() + 80, listAt.x + list.getWidth() + 40);
        const auto height = juce::jmax (menuAt.y + menu.getHeight(), listAt.y + list.getHeight()) + 40;

        juce::Image canvas (juce::Image::ARGB, juce::roundToInt ((float) width * scale), juce::roundToInt ((float) height * scale), true);
        juce::Graphics g (canvas);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF3A3630), 0.0f, 0.0f,
                                                 juce::Colour (0xFF1E1B18), 0.0f, (float) canvas.getHeight(), false));
        g.fillAll();
        paste (g, snapshot (bar, scale), { 40, 20 }, scale);
        g.fillAll (juce::Colours::black.withAlpha ((juce::uint8) 153)); // the overlay over the editor
        paste (g, snapshot (menu, scale), menuAt, scale);
        paste (g, snapshot (list, scale), listAt, scale);
        ok &= writePng (canvas, outputFolder.getChildFile ("preset-browser.png"));
    }

    // The three dialogs of the editor, and the save dialog with a typed name.
    const std::pair<const char*, DialogConfig> dialogs[] = {
        { "dialog-save.png", DialogConfig::forSavePreset() },
        { "dialog-delete.png", DialogConfig::forDeletePreset() },
        { "dialog-about.png", DialogConfig::forAbout() },
    };

    for (const auto& [fileName, config] : dialogs)
    {
        ModernStyledDialog dialog (config);
        ok &= writePng (snapshot (dialog, scale), outputFolder.getChildFile (fileName));
    }

    {
        const auto config = DialogConfig::forSavePreset();
        ModernStyledDialog dialog (config);
        dialog.textField.setText ("Warm Lead");
        ok &= writePng (snapshot (dialog, scale), outputFolder.getChildFile ("dialog-save-typed.png"));
    }

    return ok ? 0 : 1;
}
