#include "PanelDrawing.h"

#include "SkinPalette.h"

void PanelDrawing::fillBrushedMetal (juce::Graphics& g, juce::Rectangle<int> area, juce::Colour base, juce::int64 seed)
{
    g.setColour (base);
    g.fillRect (area);

    // Brushing: every row gets its own faint tone, then long thin streaks of
    // light and shadow run across.
    juce::Random random (seed);

    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        const auto tone = random.nextFloat() * 2.0f - 1.0f;
        g.setColour ((tone > 0 ? juce::Colours::white : juce::Colours::black).withAlpha (std::abs (tone) * 0.035f));
        g.fillRect (area.getX(), y, area.getWidth(), 1);
    }

    const auto streaks = area.getWidth() * area.getHeight() / 40;

    for (int i = 0; i < streaks; ++i)
    {
        const auto length = 20 + random.nextInt (juce::jmax (21, area.getWidth() / 3));
        const auto x = area.getX() + random.nextInt (juce::jmax (1, area.getWidth())) - length / 2;
        const auto y = area.getY() + random.nextInt (juce::jmax (1, area.getHeight()));
        const auto light = random.nextBool();
        g.setColour ((light ? juce::Colours::white : juce::Colours::black).withAlpha (0.015f + random.nextFloat() * 0.03f));
        g.fillRect (juce::Rectangle<int> (x, y, length, 1).getIntersection (area));
    }
}

void PanelDrawing::drawKnobBody (juce::Graphics& g, juce::Point<float> centre, float radius, float angle,
                                 juce::Colour capLight, juce::Colour capDark)
{
    const auto circle = [centre] (float r) { return juce::Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (centre); };

    // Shadow on the panel, light coming from above.
    for (int i = 4; i >= 1; --i)
    {
        g.setColour (juce::Colours::black.withAlpha (0.12f));
        g.fillEllipse (circle (radius + (float) i * 0.6f).translated (0.0f, 1.0f + (float) i * 0.4f));
    }

    // Knurled skirt: the grooves turn with the knob.
    g.setColour (SkinPalette::knobSkirt);
    g.fillEllipse (circle (radius));

    constexpr int grooves = 36;

    for (int i = 0; i < grooves; ++i)
    {
        const auto a = angle + juce::MathConstants<float>::twoPi * (float) i / (float) grooves;
        const auto lightness = 0.5f + 0.5f * std::cos (a + 0.8f);   // lit from the upper left
        g.setColour (juce::Colour (0xff3a3e44).interpolatedWith (juce::Colour (0xff6a6f77), lightness));
        const juce::Line<float> groove (centre.getPointOnCircumference (radius * 0.80f, a),
                                        centre.getPointOnCircumference (radius - 0.6f, a));
        g.drawLine (groove, 1.0f);
    }

    // Cap with a top light.
    const auto capRadius = radius * 0.78f;
    g.setGradientFill (juce::ColourGradient (capLight, centre.x - capRadius * 0.5f, centre.y - capRadius,
                                             capDark, centre.x + capRadius * 0.4f, centre.y + capRadius, false));
    g.fillEllipse (circle (capRadius));
    g.setColour (juce::Colours::white.withAlpha (0.18f));
    g.drawEllipse (circle (capRadius - 0.5f), 1.0f);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawEllipse (circle (capRadius + 0.4f), 0.8f);

    // Pointer: a light line with a dark edge, readable over every part of the cap.
    const juce::Line<float> pointer (centre.getPointOnCircumference (capRadius * 0.28f, angle),
                                     centre.getPointOnCircumference (radius - 0.8f, angle));
    juce::Path line;
    line.addLineSegment (pointer, 1.0f);
    g.setColour (juce::Colours::black.withAlpha (0.85f));
    g.strokePath (line, juce::PathStrokeType (radius * 0.16f + 1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setColour (SkinPalette::pointer);
    g.strokePath (line, juce::PathStrokeType (radius * 0.16f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

void PanelDrawing::drawKnobScale (juce::Graphics& g, juce::Point<float> centre, float innerRadius, float outerRadius,
                                  int ticks, juce::Colour colour)
{
    const auto start = juce::degreesToRadians (-135.0f);
    const auto sweep = juce::degreesToRadians (270.0f);
    g.setColour (colour);

    for (int i = 0; i < ticks; ++i)
    {
        const auto a = start + sweep * (float) i / (float) juce::jmax (1, ticks - 1);
        const auto major = i == 0 || i == ticks - 1 || i * 2 == ticks - 1;
        const auto inner = major ? innerRadius - 1.0f : innerRadius;
        g.drawLine ({ centre.getPointOnCircumference (inner, a), centre.getPointOnCircumference (outerRadius, a) },
                    major ? 1.6f : 1.1f);
    }
}

void PanelDrawing::drawRoundLed (juce::Graphics& g, juce::Point<float> centre, float radius,
                                 juce::Colour litColour, juce::Colour offColour, float lit)
{
    const auto circle = [centre] (float r) { return juce::Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (centre); };

    // Bezel.
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff0b0c0d), centre.x, centre.y - radius - 1.5f,
                                             juce::Colour (0xff5a5f66), centre.x, centre.y + radius + 1.5f, false));
    g.fillEllipse (circle (radius + 1.5f));

    const auto colour = offColour.interpolatedWith (litColour, lit);

    if (lit > 0.0f)
    {
        juce::Path lens;
        lens.addEllipse (circle (radius));
        drawGlow (g, lens, litColour.withAlpha (0.9f * lit), juce::roundToInt (radius * 2.2f));
    }

    g.setGradientFill (juce::ColourGradient (colour.brighter (0.35f + 0.5f * lit), centre.x - radius * 0.3f, centre.y - radius * 0.4f,
                                             colour.darker (0.5f - 0.3f * lit), centre.x + radius * 0.6f, centre.y + radius, true));
    g.fillEllipse (circle (radius));

    // Specular spot on the lens.
    g.setColour (juce::Colours::white.withAlpha (0.25f + 0.45f * lit));
    g.fillEllipse (juce::Rectangle<float> (radius * 0.7f, radius * 0.5f)
                       .withCentre (centre.translated (-radius * 0.3f, -radius * 0.45f)));
}

void PanelDrawing::drawBarLed (juce::Graphics& g, juce::Rectangle<float> area,
                               juce::Colour litColour, juce::Colour offColour, bool lit)
{
    g.setColour (juce::Colours::black.withAlpha (0.7f));
    g.fillRoundedRectangle (area.expanded (1.0f), 1.5f);

    if (lit)
    {
        juce::Path bar;
        bar.addRoundedRectangle (area, 1.0f);
        drawGlow (g, bar, litColour.withAlpha (0.95f), juce::roundToInt (area.getHeight() * 2.5f) + 3);
    }

    const auto colour = lit ? litColour : offColour;
    g.setGradientFill (juce::ColourGradient (colour.brighter (lit ? 0.8f : 0.25f), area.getCentreX(), area.getY(),
                                             colour.darker (lit ? 0.0f : 0.3f), area.getCentreX(), area.getBottom(), false));
    g.fillRoundedRectangle (area, 1.0f);
}

void PanelDrawing::drawGlow (juce::Graphics& g, const juce::Path& shape, juce::Colour colour, int radius)
{
    juce::DropShadow (colour, juce::jmax (1, radius), {}).drawForPath (g, shape);
}

juce::Rectangle<float> PanelDrawing::drawCap (juce::Graphics& g, juce::Rectangle<float> area, float cornerSize,
                                              juce::Colour faceLight, juce::Colour faceDark, bool pressed)
{
    // The cap stands `travel` pixels proud of its well; pressed, it sits in it.
    const auto travel = juce::jmax (2.0f, juce::jmin (3.0f, area.getHeight() * 0.1f));
    auto well = area.reduced (0.5f);

    g.setColour (juce::Colours::black.withAlpha (0.75f));
    g.fillRoundedRectangle (well, cornerSize + 1.0f);

    auto body = well.reduced (1.0f);
    auto face = body.withTrimmedBottom (travel);

    if (pressed)
        face = face.translated (0.0f, travel - 0.5f);

    const auto light = pressed ? faceLight.darker (0.25f) : faceLight;
    const auto dark = pressed ? faceDark.darker (0.25f) : faceDark;

    if (! pressed)
    {
        // The cap's side, seen below its face.
        g.setColour (dark.darker (0.6f));
        g.fillRoundedRectangle (body, cornerSize);
    }

    g.setGradientFill (juce::ColourGradient (light, face.getCentreX(), face.getY(),
                                             dark, face.getCentreX(), face.getBottom(), false));
    g.fillRoundedRectangle (face, cornerSize);

    g.setColour (juce::Colours::white.withAlpha (pressed ? 0.06f : 0.22f));
    g.drawHorizontalLine (juce::roundToInt (face.getY()) , face.getX() + cornerSize, face.getRight() - cornerSize);

    if (pressed)
    {
        g.setColour (juce::Colours::black.withAlpha (0.45f));
        g.drawRoundedRectangle (face, cornerSize, 1.0f);
    }

    return face;
}

void PanelDrawing::drawArrow (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& direction, juce::Colour colour)
{
    const auto side = juce::jmin (area.getWidth(), area.getHeight());
    const auto box = juce::Rectangle<float> (side, side).withCentre (area.getCentre());
    juce::Path arrow;

    if (direction == "left")
        arrow.addTriangle (box.getTopRight(), box.getBottomRight(), { box.getX(), box.getCentreY() });
    else if (direction == "right")
        arrow.addTriangle (box.getTopLeft(), box.getBottomLeft(), { box.getRight(), box.getCentreY() });
    else if (direction == "up")
        arrow.addTriangle (box.getBottomLeft(), box.getBottomRight(), { box.getCentreX(), box.getY() });
    else
        arrow.addTriangle (box.getTopLeft(), box.getTopRight(), { box.getCentreX(), box.getBottom() });

    g.setColour (colour);
    g.fillPath (arrow);
}

void PanelDrawing::drawText (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area,
                             const juce::Font& font, juce::Colour colour, juce::Justification justification)
{
    g.setFont (font);
    g.setColour (colour);
    g.drawFittedText (text, area.getSmallestIntegerContainer(), justification, 1, 0.6f);
}

juce::Colour PanelDrawing::lampColour (const juce::String& name, bool lit)
{
    if (name == "amber")
        return lit ? SkinPalette::amberLit : SkinPalette::amberOff;

    return lit ? SkinPalette::redLit : SkinPalette::redOff;
}
