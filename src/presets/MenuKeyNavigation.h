#pragma once

#include <juce_core/juce_core.h>

// Up/Down in the category menu and the preset list: the keyboard selection moves one row from the
// selected row, or from the hovered one when nothing is selected yet, and stops at the ends.
namespace MenuKeyNavigation
{
    // The row to select, or -1 when there are no rows.
    inline int stepRow (int selected, int hovered, int numRows, bool down) noexcept
    {
        if (numRows <= 0)
            return -1;

        if (down)
        {
            const auto start = selected < 0 ? hovered : selected;
            return juce::jlimit (0, numRows - 1, start < numRows - 1 ? start + 1 : start);
        }

        const auto start = selected < 0 ? juce::jmax (hovered, 0) : selected;
        return juce::jlimit (0, numRows - 1, start > 0 ? start - 1 : start);
    }
}
