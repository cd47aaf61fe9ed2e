#pragma once

#include <array>
#include <cstddef>

// Which of the six tube networks a combination of switches selects, and how loud that network is
// at a typical programme level (the make-up gain brings every network to the same loudness).
namespace ModelSelection
{
    // Pair indices of the model bank.
    enum Pair : int { none = -1, tubeT_od = 0, tubeP1_od = 1, tubeP2_od = 2, tubeT = 3, tubeP1 = 4, tubeP2 = 5 };

    inline constexpr int numPairs = 6;

    // Several type switches may be on at once (they are independent parameters):
    // T wins over P1, P1 over P2.
    constexpr int selectPair (bool t, bool p1, bool p2, bool overDrive) noexcept
    {
        if (t && ! overDrive)  return tubeT;
        if (p1 && ! overDrive) return tubeP1;
        if (p2 && ! overDrive) return tubeP2;
        if (overDrive && t)    return tubeT_od;
        if (overDrive && p1)   return tubeP1_od;
        if (overDrive && p2)   return tubeP2_od;
        return none;
    }

    // Gain of each network at the calibration level, in dB.
    inline constexpr std::array<float, numPairs> modelLevelDb { -7.19947f, -1.56571f, -1.21342f, 3.90815f, 4.9026f, 5.32681f };

    constexpr float levelDb (int pair) noexcept { return pair < 0 ? 0.0f : modelLevelDb[(std::size_t) pair]; }

    // Make-up gain in dB: 1 dB minus the network's level.
    constexpr float makeupDb (int pair) noexcept { return 1.0f - levelDb (pair); }
}
