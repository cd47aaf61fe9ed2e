#pragma once

#include <juce_graphics/juce_graphics.h>

// Where every child of the editor sits, in pixels of the 2551 x 1028 front panel. The artwork
// generator (tools/art/generate_art.py) reads this file and prints its legends around these same
// rectangles: keep the "Box name { x, y, w, h }" form.
namespace EditorLayout
{
    inline constexpr int designWidth = 2551;
    inline constexpr int designHeight = 1028;
    inline constexpr double aspectRatio = double (designWidth) / double (designHeight);
    inline constexpr int minWidth = 637, minHeight = 257;
    inline constexpr double defaultRatio = 0.35;

    // Knob frames are drawn reduced: small knobs 192 x 178 -> 118 x 109, type keys 203 x 192 -> 124 x 118.
    inline constexpr float knobScale = 0.615216f;
    inline constexpr int smallKnobW = int (knobScale * 192.0f), smallKnobH = int (knobScale * 178.0f);
    inline constexpr int typeKeyW = int (knobScale * 203.0f), typeKeyH = int (knobScale * 192.0f);

    struct Box { int x, y, w, h; };

    inline constexpr Box infoButton     { 36, 17, 130, 130 };
    inline constexpr Box presetBar      { 614, 27, 864, 100 };
    inline constexpr Box previousButton { 1552, 34, 81, 81 };
    inline constexpr Box nextButton     { 1646, 34, 81, 81 };
    inline constexpr Box saveButton     { 1765, 34, 81, 81 };
    inline constexpr Box deleteButton   { 1857, 34, 81, 81 };

    inline constexpr Box drive      { 548, 312, 399, 383 };
    inline constexpr Box output     { 1626, 306, 371, 381 };
    inline constexpr Box mix        { 1157, 650, 247, 254 };
    inline constexpr Box inputTrim  { 1551, 822, smallKnobW, smallKnobH };
    inline constexpr Box outputTrim { 1731, 822, smallKnobW, smallKnobH };
    inline constexpr Box highPass   { 1926, 822, smallKnobW, smallKnobH };
    inline constexpr Box lowPass    { 2105, 822, smallKnobW, smallKnobH };

    inline constexpr Box inputTrimLabel  { 1491, 850, 60, 60 };
    inline constexpr Box outputTrimLabel { 1671, 850, 60, 60 };
    inline constexpr Box mixLabel        { 1025, 850, 56, 60 };
    inline constexpr Box highPassLabel   { 1862, 850, 56, 60 };
    inline constexpr Box lowPassLabel    { 2040, 850, 56, 60 };

    inline constexpr Box overDrive { 206, 490, 220, 279 };
    inline constexpr Box typeT     { 525, 790, typeKeyW, typeKeyH };
    inline constexpr Box typeP1    { 678, 790, typeKeyW, typeKeyH };
    inline constexpr Box typeP2    { 830, 790, typeKeyW, typeKeyH };
    inline constexpr Box link      { 1576, 197, 96, 94 };
    inline constexpr Box ultra     { 2116, 260, 145, 141 };
    inline constexpr Box power     { 2093, 538, 206, 206 };
    inline constexpr Box tubeGlow  { 1130, 186, 302, 438 };

    inline juce::Rectangle<int> toRect (Box b) noexcept { return { b.x, b.y, b.w, b.h }; }
}
