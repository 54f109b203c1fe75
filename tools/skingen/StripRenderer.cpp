#include "StripRenderer.h"

#include "DisplayGlyphs.h"
#include "PanelArtwork.h"
#include "PanelDrawing.h"
#include "SkinPalette.h"

namespace
{
struct FrameState
{
    int state = 0;
    bool pressed = false;
    float lit = 0.0f;   // 0 for the first state, 1 for the last
};

FrameState decodeFrame (const SkinImageList::Strip& strip, int frame)
{
    FrameState decoded;
    decoded.state = strip.pressedFrames ? frame / 2 : frame;
    decoded.pressed = strip.pressedFrames && frame % 2 == 1;
    decoded.lit = strip.states > 1 ? (float) decoded.state / (float) (strip.states - 1) : 0.0f;
    return decoded;
}

float knobAngle (int frame, int frames)
{
    const auto proportion = frames > 1 ? (float) frame / (float) (frames - 1) : 0.0f;
    return juce::degreesToRadians (-135.0f + 270.0f * proportion);
}
} // namespace

StripRenderer::StripRenderer (const SkinImageList& imageList, const PanelFonts& panelFonts)
    : images (imageList), fonts (panelFonts)
{
}

juce::Image StripRenderer::render (const SkinImageList::Strip& strip, juce::String& error) const
{
    using Painter = void (StripRenderer::*) (juce::Graphics&, Frame, int, const SkinImageList::Strip&) const;
    Painter painter = nullptr;
    const auto& look = strip.look;

    if (look == "knob")                                 painter = &StripRenderer::paintKnob;
    else if (look == "selector")                        painter = &StripRenderer::paintSelector;
    else if (look == "lever")                           painter = &StripRenderer::paintLever;
    else if (look == "led")                             painter = &StripRenderer::paintLed;
    else if (look == "button" || look == "lampButton" || look == "key"
             || look == "stepButton" || look == "ledButton")
                                                        painter = &StripRenderer::paintButton;
    else if (look != "panel" && ! DisplayGlyphs::canPaint (look))
    {
        error = "\"" + strip.name + "\": no look named \"" + look + "\"";
        return {};
    }

    if (look == "selector"
        && juce::StringArray::fromTokens (strip.hints->getStringAttribute ("legends"), "|", {}).size() != strip.frames)
    {
        error = "\"" + strip.name + "\": a selector needs one legend per position";
        return {};
    }

    juce::Image image (juce::Image::ARGB, strip.frameWidth, strip.getImageHeight(), true);

    for (int frame = 0; frame < strip.frames; ++frame)
    {
        juce::Graphics g (image);
        g.reduceClipRegion (0, frame * strip.frameHeight, strip.frameWidth, strip.frameHeight);
        g.setOrigin ({ 0, frame * strip.frameHeight });
        const Frame area (0.0f, 0.0f, (float) strip.frameWidth, (float) strip.frameHeight);

        if (painter != nullptr)
            (this->*painter) (g, area, frame, strip);
        else if (look == "panel")
            PanelArtwork (images, fonts).paint (g, strip.frameWidth, strip.frameHeight);
        else
            DisplayGlyphs::paint (g, area, frame, strip);
    }

    return image;
}

//==============================================================================
void StripRenderer::paintKnob (juce::Graphics& g, Frame area, int frame, const SkinImageList::Strip& strip) const
{
    const auto& hints = *strip.hints;
    const auto legend = hints.getStringAttribute ("legend");
    const auto legendHeight = legend.isEmpty() ? 0.0f : 13.0f;
    const auto side = juce::jmin (area.getWidth(), area.getHeight() - legendHeight);
    const juce::Point<float> centre (area.getCentreX(), side * 0.5f);
    const auto radius = side * 0.5f;

    PanelDrawing::drawKnobScale (g, centre, radius - 4.0f, radius - 1.0f, 11, SkinPalette::scale);

    const auto amber = hints.getStringAttribute ("cap") == "amber";
    PanelDrawing::drawKnobBody (g, centre, radius - 6.5f, knobAngle (frame, strip.frames),
                                amber ? juce::Colour (0xff9a6a2a) : SkinPalette::knobCapLight,
                                amber ? juce::Colour (0xff3c2508) : SkinPalette::knobCapDark);

    if (legendHeight > 0.0f)
        PanelDrawing::drawText (g, legend, area.withTop (area.getBottom() - legendHeight),
                                fonts.bold (9.5f), amber ? SkinPalette::title : SkinPalette::label,
                                juce::Justification::centred);
}

void StripRenderer::paintSelector (juce::Graphics& g, Frame area, int frame, const SkinImageList::Strip& strip) const
{
    const auto& hints = *strip.hints;
    const auto title = hints.getStringAttribute ("title");
    const auto legends = juce::StringArray::fromTokens (hints.getStringAttribute ("legends"), "|", {});
    const auto titleHeight = title.isEmpty() ? 0.0f : 12.0f;

    if (titleHeight > 0.0f)
        PanelDrawing::drawText (g, title, area.withHeight (titleHeight), fonts.bold (9.5f),
                                SkinPalette::label, juce::Justification::centred);

    const auto positions = strip.frames;
    const juce::Point<float> centre (area.getCentreX(), titleHeight + (area.getHeight() - titleHeight) * 0.5f + 3.0f);
    const auto bodyRadius = 13.0f;
    const auto legendRadius = bodyRadius + 12.0f;
    const auto sweep = juce::jmin (270.0f, 48.0f * (float) (positions - 1));
    const auto angleOf = [positions, sweep] (int position)
    {
        const auto proportion = positions > 1 ? (float) position / (float) (positions - 1) : 0.5f;
        return juce::degreesToRadians (-sweep * 0.5f + sweep * proportion);
    };

    const auto legendFont = fonts.bold (9.0f);

    for (int position = 0; position < positions; ++position)
    {
        const auto angle = angleOf (position);
        const auto selected = position == frame;

        // Position mark, lit amber for the chosen one.
        const auto mark = centre.getPointOnCircumference (bodyRadius + 4.5f, angle);
        g.setColour (selected ? SkinPalette::title : SkinPalette::scale.withAlpha (0.7f));
        g.fillEllipse (juce::Rectangle<float> (selected ? 3.2f : 2.2f, selected ? 3.2f : 2.2f).withCentre (mark));

        // The legend sits outside its mark, extending away from the knob.
        const auto text = legends[position];
        const auto textWidth = legendFont.getStringWidthFloat (text) + 2.0f;
        const auto textHeight = 10.0f;
        const auto anchor = centre.getPointOnCircumference (legendRadius, angle);
        const auto sideways = std::sin (angle);
        const auto outwards = std::abs (sideways) < 0.1f ? 0.0f : (sideways < 0.0f ? -0.5f : 0.5f);
        const juce::Point<float> boxCentre (anchor.x + outwards * textWidth,
                                            anchor.y - std::cos (angle) * textHeight * 0.5f);
        PanelDrawing::drawText (g, text, juce::Rectangle<float> (textWidth, textHeight).withCentre (boxCentre),
                                legendFont, selected ? SkinPalette::title : SkinPalette::labelDim,
                                juce::Justification::centred);
    }

    PanelDrawing::drawKnobBody (g, centre, bodyRadius, angleOf (frame),
                                SkinPalette::knobCapLight, SkinPalette::knobCapDark);
}

void StripRenderer::paintLever (juce::Graphics& g, Frame area, int frame, const SkinImageList::Strip& strip) const
{
    const auto centre = area.getCentre();
    const auto nutRadius = juce::jmin (area.getWidth() * 0.36f, 8.5f);

    // Hexagonal nut around the bushing.
    juce::Path nut;
    nut.addPolygon (centre, 6, nutRadius, juce::MathConstants<float>::pi / 6.0f);
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.fillPath (nut, juce::AffineTransform::translation (0.0f, 1.5f));
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffd4d7dc), centre.x, centre.y - nutRadius,
                                             juce::Colour (0xff5d6168), centre.x, centre.y + nutRadius, false));
    g.fillPath (nut);
    g.setColour (juce::Colour (0xff101113));
    g.fillEllipse (juce::Rectangle<float> (nutRadius * 0.95f, nutRadius * 0.95f).withCentre (centre));

    // The bat: up for the last frame, down for the first.
    const auto proportion = strip.frames > 1 ? (float) frame / (float) (strip.frames - 1) : 0.0f;
    const auto reach = area.getHeight() * 0.5f - 4.5f;
    const juce::Point<float> tip (centre.x, centre.y + reach * (1.0f - 2.0f * proportion));
    const auto ballRadius = 3.6f;

    juce::Path bat;
    bat.startNewSubPath (centre.x - 2.6f, centre.y);
    bat.lineTo (tip.x - 1.8f, tip.y);
    bat.lineTo (tip.x + 1.8f, tip.y);
    bat.lineTo (centre.x + 2.6f, centre.y);
    bat.closeSubPath();

    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillPath (bat, juce::AffineTransform::translation (1.5f, 1.5f));
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff8a8f96), centre.x - 3.0f, 0.0f,
                                             juce::Colour (0xfff2f4f6), centre.x + 0.5f, 0.0f, false));
    g.fillPath (bat);

    const auto ball = juce::Rectangle<float> (ballRadius * 2.0f, ballRadius * 2.0f).withCentre (tip);
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillEllipse (ball.translated (1.0f, 1.5f));
    g.setGradientFill (juce::ColourGradient (juce::Colours::white, tip.x - 1.2f, tip.y - 1.5f,
                                             juce::Colour (0xff7b8088), tip.x + ballRadius, tip.y + ballRadius, true));
    g.fillEllipse (ball);
}

void StripRenderer::paintButton (juce::Graphics& g, Frame area, int frame, const SkinImageList::Strip& strip) const
{
    const auto& hints = *strip.hints;
    const auto& look = strip.look;
    const auto decoded = decodeFrame (strip, frame);
    const auto lit = decoded.lit > 0.5f;
    const auto lamp = hints.getStringAttribute ("lamp", "red");

    if (look == "ledButton")
    {
        const auto centre = area.getCentre().translated (0.0f, decoded.pressed ? 1.0f : 0.0f);
        const auto radius = juce::jmin (area.getWidth(), area.getHeight()) * 0.5f - 3.5f;
        PanelDrawing::drawRoundLed (g, centre, radius, PanelDrawing::lampColour (lamp, true),
                                    PanelDrawing::lampColour (lamp, false), lit ? 1.0f : 0.0f);

        if (decoded.pressed)
        {
            g.setColour (juce::Colours::black.withAlpha (0.3f));
            g.fillEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre));
        }

        return;
    }

    auto light = SkinPalette::capLight;
    auto dark = SkinPalette::capDark;
    auto corner = 3.0f;

    if (look == "key")
    {
        const auto white = hints.getStringAttribute ("keyColour") != "black";
        light = white ? SkinPalette::ivoryLight : SkinPalette::ebonyLight;
        dark = white ? SkinPalette::ivoryDark : SkinPalette::ebonyDark;
        corner = 2.5f;
    }
    else if (look == "stepButton")
    {
        light = SkinPalette::stepCapLight;
        dark = SkinPalette::stepCapDark;
    }

    const auto face = PanelDrawing::drawCap (g, area, corner, light, dark, decoded.pressed);
    const auto litColour = PanelDrawing::lampColour (lamp, true);
    const auto offColour = PanelDrawing::lampColour (lamp, false);
    auto content = face;

    if (look == "lampButton" || look == "stepButton")
    {
        const auto ledWidth = juce::jmin (face.getWidth() - 10.0f, look == "stepButton" ? 20.0f : 14.0f);
        const auto ledHeight = look == "stepButton" ? 4.0f : 3.0f;
        PanelDrawing::drawBarLed (g, juce::Rectangle<float> (ledWidth, ledHeight)
                                         .withCentre ({ face.getCentreX(), face.getY() + 3.5f + ledHeight * 0.5f }),
                                  litColour, offColour, lit);
        content = face.withTrimmedTop (6.0f + ledHeight);
    }
    else if (look == "key")
    {
        PanelDrawing::drawRoundLed (g, { face.getCentreX(), face.getY() + 7.5f }, 3.0f,
                                    litColour, offColour, lit ? 1.0f : 0.0f);
        content = face.withTrimmedTop (14.0f);
    }

    if (const auto icon = hints.getStringAttribute ("icon"); icon.isNotEmpty())
        PanelDrawing::drawArrow (g, content.withSizeKeepingCentre (9.0f, 9.0f), icon,
                                 decoded.pressed ? SkinPalette::capIcon.darker (0.3f) : SkinPalette::capIcon);
}

void StripRenderer::paintLed (juce::Graphics& g, Frame area, int frame, const SkinImageList::Strip& strip) const
{
    const auto lamp = strip.hints->getStringAttribute ("lamp", "red");
    const auto lit = strip.frames > 1 ? (float) frame / (float) (strip.frames - 1) : 0.0f;
    const auto radius = juce::jmin (area.getWidth(), area.getHeight()) * 0.5f - 3.5f;
    PanelDrawing::drawRoundLed (g, area.getCentre(), radius, PanelDrawing::lampColour (lamp, true),
                                PanelDrawing::lampColour (lamp, false), lit);
}
