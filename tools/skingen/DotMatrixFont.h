#pragma once

/*  A 5 x 7 dot-matrix character set for ASCII 32 to 127, as on character
    LCDs: five columns per character, bit 0 of a column the top row, and an
    eighth row below for the tails of g, j, p, q and y.
*/
class DotMatrixFont
{
public:
    DotMatrixFont() = delete;

    static constexpr int columns = 5;
    static constexpr int rows = 7;
    static constexpr int rowsWithDescenders = 8;

    /** True when the dot at (column, row) of the character is set; codes outside 32..127 are blank. */
    static bool isDotSet (int code, int column, int row) noexcept;
};
