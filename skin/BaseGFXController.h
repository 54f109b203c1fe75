#pragma once

#include "skin/GUIController.h"

#include <juce_graphics/juce_graphics.h>

/**
    The base of the image-strip controls: reads the strip ("gfx"), the size and
    the position from the control's element.

    Frames are stacked vertically, each width x height pixels, frame i starting
    at row i x height; the control draws one by copying it to its top-left corner.
*/
class BaseGFXController : public GUIController
{
public:
    BaseGFXController() = default;

    /** Reads links and actions, then "gfx", "size" and "pos". */
    void loadFromXml (const juce::XmlElement& element, Skin& skin) override;

    /** Sets the component's size to width x height; nothing in the base. */
    virtual void applySize() {}

    /** Moves the component's top-left corner to (left, top); nothing in the base. */
    virtual void applyPosition() {}

    /** Stores the strip; a frame count below 1 reads as 1. The frame size
        follows from the image, and applySize is called when it changed. */
    void setImage (const juce::Image& newImage, int numFrames);

    const juce::Image& getImage() const noexcept        { return image; }
    bool hasImage() const noexcept                      { return image.isValid(); }
    int getFramesNum() const noexcept                   { return framesNum; }
    int getFrameWidth() const noexcept                  { return width; }
    int getFrameHeight() const noexcept                 { return height; }
    int getLeft() const noexcept                        { return left; }
    int getTop() const noexcept                         { return top; }

    /** The nearest frame to a proportion 0..1 of the range, halves rounding up
        (single precision); the proportion is clamped first. */
    int getFrameForProportion (float proportion) const noexcept;

    /** Frame index clamped into the strip. */
    int clampFrame (int frame) const noexcept;

    /** Copies the frame (clamped into the strip) to the top-left corner; nothing without a strip. */
    void drawFrame (juce::Graphics& g, int frame) const;

protected:
    juce::Image image;
    int framesNum = 1;
    int width = 0, height = 0;
    int left = 0, top = 0;
};
