#include "skin/BaseGFXController.h"

#include "framework/XmlHelpers.h"
#include "skin/Skin.h"
#include "skin/SkinGeometry.h"

#include <cmath>

void BaseGFXController::loadFromXml (const juce::XmlElement& element, Skin& skin)
{
    GUIController::loadFromXml (element, skin);

    framesNum = 1;
    auto imageSet = false;

    if (const auto* gfx = XmlHelpers::findChild (element, "gfx"))
    {
        framesNum = juce::jmax (1, gfx->getIntAttribute ("framesNum", 1));
        const auto strip = skin.getImage (gfx->getStringAttribute ("resource"));

        if (strip.isValid())
        {
            setImage (strip, framesNum);
            imageSet = true;
        }
    }

    if (! imageSet)
    {
        if (const auto* size = XmlHelpers::findChild (element, "size"))
        {
            const auto newWidth = SkinGeometry::readSize (*size, "width");
            const auto newHeight = SkinGeometry::readSize (*size, "height");

            if (newWidth != width || newHeight != height)
            {
                width = newWidth;
                height = newHeight;
                applySize();
            }
        }
    }

    if (const auto* pos = XmlHelpers::findChild (element, "pos"))
    {
        const auto newLeft = SkinGeometry::readPosition (*pos, "left");
        const auto newTop = SkinGeometry::readPosition (*pos, "top");

        if (newLeft != left || newTop != top)
        {
            left = newLeft;
            top = newTop;
            applyPosition();
        }
    }
}

void BaseGFXController::setImage (const juce::Image& newImage, int numFrames)
{
    image = newImage;
    framesNum = juce::jmax (1, numFrames);

    const auto newWidth = image.getWidth();
    const auto newHeight = image.getHeight() / framesNum;

    if (newWidth != width || newHeight != height)
    {
        width = newWidth;
        height = newHeight;
        applySize();
    }
}

int BaseGFXController::getFrameForProportion (float proportion) const noexcept
{
    const auto p = std::isfinite (proportion) ? juce::jlimit (0.0f, 1.0f, proportion) : 0.0f;
    return clampFrame (static_cast<int> (std::floor (static_cast<float> (framesNum - 1) * p + 0.5f)));
}

int BaseGFXController::clampFrame (int frame) const noexcept
{
    return juce::jlimit (0, juce::jmax (0, framesNum - 1), frame);
}

void BaseGFXController::drawFrame (juce::Graphics& g, int frame) const
{
    if (! image.isValid() || width < 1 || height < 1)
        return;

    g.drawImage (image, 0, 0, width, height, 0, clampFrame (frame) * height, width, height);
}
