#include "DisplayGlyphs.h"

#include "DotMatrixFont.h"
#include "PanelDrawing.h"
#include "SkinPalette.h"

namespace
{
// Segments a to g, one bit each (a = bit 0), for the digits 0 to 9.
constexpr int digitSegments[10] = { 0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f };

void addHorizontalSegment (juce::Path& path, float x0, float x1, float y, float thickness, float gap)
{
    const auto half = thickness * 0.5f;
    path.startNewSubPath (x0 + gap, y);
    path.lineTo (x0 + gap + half, y - half);
    path.lineTo (x1 - gap - half, y - half);
    path.lineTo (x1 - gap, y);
    path.lineTo (x1 - gap - half, y + half);
    path.lineTo (x0 + gap + half, y + half);
    path.closeSubPath();
}

void addVerticalSegment (juce::Path& path, float x, float y0, float y1, float thickness, float gap)
{
    const auto half = thickness * 0.5f;
    path.startNewSubPath (x, y0 + gap);
    path.lineTo (x + half, y0 + gap + half);
    path.lineTo (x + half, y1 - gap - half);
    path.lineTo (x, y1 - gap);
    path.lineTo (x - half, y1 - gap - half);
    path.lineTo (x - half, y0 + gap + half);
    path.closeSubPath();
}

void fillGlass (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour glass)
{
    g.setColour (glass);
    g.fillRect (area);
    // A faint reflection on the upper half of the glass.
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.05f), 0.0f, area.getY(),
                                             juce::Colours::transparentWhite, 0.0f, area.getCentreY(), false));
    g.fillRect (area.withHeight (area.getHeight() * 0.5f));
}
} // namespace

bool DisplayGlyphs::canPaint (const juce::String& look)
{
    return look == "sevenSegment" || look == "lcd" || look == "ledMatrix";
}

void DisplayGlyphs::paint (juce::Graphics& g, juce::Rectangle<float> area, int frame, const SkinImageList::Strip& strip)
{
    if (strip.look == "sevenSegment")
    {
        // A sign strip shows nothing, then a minus; a digit strip blank, then 0 to 9.
        const auto minus = 1 << 6;
        const auto lit = strip.role == "sign" ? (frame == 1 ? minus : 0)
                                              : (frame >= 1 && frame <= 10 ? digitSegments[frame - 1] : 0);
        paintSegmentDigit (g, area, lit, strip.role != "sign" && strip.hints->getStringAttribute ("point") == "yes");
    }
    else if (strip.look == "lcd")
    {
        const auto glyphs = juce::jmax (1, strip.states);
        paintLcdGlyph (g, area, strip.firstCode + frame % glyphs, frame >= glyphs);
    }
    else if (strip.look == "ledMatrix")
    {
        bool point = false;
        const auto character = patternDigitCharacter (strip.role, frame, point);
        paintLedCell (g, area, character, point);
    }
}

//==============================================================================
void DisplayGlyphs::paintSegmentDigit (juce::Graphics& g, juce::Rectangle<float> area, int litMask, bool point)
{
    fillGlass (g, area, SkinPalette::segmentGlass);

    const auto w = area.getWidth();
    const auto h = area.getHeight();
    const auto thickness = juce::jmax (2.0f, w * 0.15f);
    const auto left = w * 0.16f + thickness * 0.5f;
    const auto right = w - w * 0.14f - thickness * 1.1f;
    const auto top = h * 0.12f + thickness * 0.5f;
    const auto bottom = h * 0.88f - thickness * 0.5f;
    const auto middle = (top + bottom) * 0.5f;
    const auto gap = 0.6f;

    juce::Path segments[7];
    addHorizontalSegment (segments[0], left, right, top, thickness, gap);         // a
    addVerticalSegment (segments[1], right, top, middle, thickness, gap);         // b
    addVerticalSegment (segments[2], right, middle, bottom, thickness, gap);      // c
    addHorizontalSegment (segments[3], left, right, bottom, thickness, gap);      // d
    addVerticalSegment (segments[4], left, middle, bottom, thickness, gap);       // e
    addVerticalSegment (segments[5], left, top, middle, thickness, gap);          // f
    addHorizontalSegment (segments[6], left, right, middle, thickness, gap);      // g

    // Slanted forward like most LED digits.
    const auto slant = juce::AffineTransform::translation (0.0f, -middle).sheared (-0.08f, 0.0f).translated (0.0f, middle);

    const auto pointLit = point && litMask != 0;

    juce::Path lit, dark;

    for (int i = 0; i < 7; ++i)
        ((litMask >> i) & 1 ? lit : dark).addPath (segments[i], slant);

    juce::Path dot;
    dot.addEllipse (juce::Rectangle<float> (thickness * 1.1f, thickness * 1.1f)
                        .withCentre ({ right + thickness * 1.25f, bottom + thickness * 0.05f }));
    (pointLit ? lit : dark).addPath (dot);

    g.setColour (SkinPalette::segmentOff);
    g.fillPath (dark);

    if (! lit.isEmpty())
    {
        PanelDrawing::drawGlow (g, lit, SkinPalette::segmentOn.withAlpha (0.85f), 4);
        g.setColour (SkinPalette::segmentOn);
        g.fillPath (lit);
    }
}

void DisplayGlyphs::paintLcdGlyph (juce::Graphics& g, juce::Rectangle<float> area, int code, bool caret)
{
    g.setColour (SkinPalette::lcdGlass);
    g.fillRect (area);

    constexpr auto rows = DotMatrixFont::rowsWithDescenders;
    const auto pitch = juce::jmax (2, (int) std::floor (juce::jmin ((area.getWidth() - 2.0f) / DotMatrixFont::columns,
                                                                  (area.getHeight() - 2.0f) / rows)));
    const auto dot = (float) pitch - 1.0f;
    const auto spanX = pitch * DotMatrixFont::columns - 1;
    const auto spanY = pitch * rows - 1;
    const auto originX = std::floor ((area.getWidth() - (float) spanX) * 0.5f);
    const auto originY = std::floor ((area.getHeight() - (float) spanY) * 0.5f);

    for (int row = 0; row < rows; ++row)
    {
        for (int column = 0; column < DotMatrixFont::columns; ++column)
        {
            // Under the caret the cell is shown inverted, like a block cursor.
            const auto on = DotMatrixFont::isDotSet (code, column, row) != caret;
            const juce::Rectangle<float> cell (originX + (float) (column * pitch), originY + (float) (row * pitch), dot, dot);

            if (on)
            {
                g.setColour (SkinPalette::lcdDotOn.withAlpha (0.22f));
                g.fillRect (cell.expanded (0.8f));
            }

            g.setColour (on ? SkinPalette::lcdDotOn : SkinPalette::lcdDotOff);
            g.fillRect (cell);
        }
    }
}

void DisplayGlyphs::paintLedCell (juce::Graphics& g, juce::Rectangle<float> area, juce::juce_wchar character, bool point)
{
    fillGlass (g, area, SkinPalette::ledGlass);

    // Five columns of dots and a sixth, narrower place for the point.
    const auto pitch = juce::jmax (2, (int) std::floor (juce::jmin ((area.getWidth() - 1.0f) / (DotMatrixFont::columns + 1),
                                                                  (area.getHeight() - 4.0f) / DotMatrixFont::rows)));
    const auto dot = (float) pitch - 1.0f;
    const auto spanX = pitch * (DotMatrixFont::columns + 1) - 1;
    const auto spanY = pitch * DotMatrixFont::rows - 1;
    const auto originX = std::floor ((area.getWidth() - (float) spanX) * 0.5f);
    const auto originY = std::floor ((area.getHeight() - (float) spanY) * 0.5f);

    juce::Path lit, dark;

    for (int row = 0; row < DotMatrixFont::rows; ++row)
    {
        for (int column = 0; column <= DotMatrixFont::columns; ++column)
        {
            const auto isPointPlace = column == DotMatrixFont::columns;

            if (isPointPlace && row != DotMatrixFont::rows - 1)
                continue;

            const auto on = isPointPlace ? point : DotMatrixFont::isDotSet ((int) character, column, row);
            (on ? lit : dark).addEllipse (originX + (float) (column * pitch), originY + (float) (row * pitch), dot, dot);
        }
    }

    g.setColour (SkinPalette::ledDotOff);
    g.fillPath (dark);

    if (! lit.isEmpty())
    {
        PanelDrawing::drawGlow (g, lit, SkinPalette::ledDotOn.withAlpha (0.8f), 3);
        g.setColour (SkinPalette::ledDotOn);
        g.fillPath (lit);
    }
}

juce::juce_wchar DisplayGlyphs::patternDigitCharacter (const juce::String& role, int frame, bool& point)
{
    point = false;

    if (frame >= 1 && frame <= 10)
        return (juce::juce_wchar) ('0' + frame - 1);

    if (role == "firstDigit" && frame == 11)
    {
        point = true;
        return 'P';
    }

    if (role == "secondDigit" && frame >= 11 && frame <= 17)
        return (juce::juce_wchar) juce::String ("CDEFGAB")[frame - 11];

    if ((role == "secondDigit" && frame == 18) || (role == "thirdDigit" && frame == 12))
        return '-';

    if (role == "thirdDigit" && frame == 11)
        return '#';

    return ' ';
}
