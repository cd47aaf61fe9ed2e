#pragma once

#include "engine/GuipluginAudioProcessor.h"
#include "gui/GuipluginAudioProcessorEditor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace editortest
{
    // Lets posted clicks, async slider notifications and delayed callbacks run.
    inline void pump (int milliseconds = 20)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
    }

    inline float param (GuipluginAudioProcessor& p, const char* id)
    {
        return p.treeState->getRawParameterValue (id)->load();
    }

    inline void setParam (GuipluginAudioProcessor& p, const char* id, float value)
    {
        auto* parameter = p.treeState->getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }

    // The folder every editor of this test run keeps its sizeRatio in.
    juce::File settingsFolder();

    inline juce::File settingsFile()
    {
        return settingsFolder().getChildFile ("Brimstack3.settings");
    }
}
