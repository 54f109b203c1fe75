#pragma once

#include "SkinImageList.h"

#include <map>

/*  For whoever edits skin.xml: the main panel with one frame of every
    control's strip drawn in place, so a layout can be judged without building
    the plug-in. Knobs show their middle frame, lamps their lit state.
*/
class PanelPreview
{
public:
    static juce::Image compose (const SkinImageList& images, const std::map<juce::String, juce::Image>& drawn);
};
