#pragma once

#include <juce_graphics/juce_graphics.h>

/*  The colours of the default skin. Lettering is kept well above 7:1 contrast
    against the metal so the caps labels stay readable at small sizes.
*/
namespace SkinPalette
{
inline const juce::Colour metal          { 0xff303338 };
inline const juce::Colour metalDark      { 0xff1e2024 };
inline const juce::Colour sectionFill    { 0xff26292d };
inline const juce::Colour engraveDark    { 0xff0f1113 };
inline const juce::Colour engraveLight   { 0xff4b5058 };
inline const juce::Colour title          { 0xffffa733 };
inline const juce::Colour label          { 0xffeceae4 };
inline const juce::Colour labelDim       { 0xffaab0b8 };
inline const juce::Colour scale          { 0xffc8ccd2 };

inline const juce::Colour knobCapLight   { 0xff5d626a };
inline const juce::Colour knobCapDark    { 0xff17191c };
inline const juce::Colour knobSkirt      { 0xff121416 };
inline const juce::Colour pointer        { 0xfffff8ea };

inline const juce::Colour capLight       { 0xff4d5259 };
inline const juce::Colour capDark        { 0xff2a2d32 };
inline const juce::Colour stepCapLight   { 0xffd9dcdf };
inline const juce::Colour stepCapDark    { 0xffa9adb3 };
inline const juce::Colour ivoryLight     { 0xfff3efe4 };
inline const juce::Colour ivoryDark      { 0xffcdc6b6 };
inline const juce::Colour ebonyLight     { 0xff3a3d42 };
inline const juce::Colour ebonyDark      { 0xff0c0d0f };
inline const juce::Colour capIcon        { 0xffeceae4 };

inline const juce::Colour redLit         { 0xffff3b22 };
inline const juce::Colour redOff         { 0xff521611 };
inline const juce::Colour amberLit       { 0xffffb12e };
inline const juce::Colour amberOff       { 0xff4f3511 };

inline const juce::Colour segmentGlass   { 0xff170605 };
inline const juce::Colour segmentOff     { 0xff2c0b08 };
inline const juce::Colour segmentOn      { 0xffff3a1e };

inline const juce::Colour lcdGlass       { 0xff1c1005 };
inline const juce::Colour lcdDotOff      { 0xff36230b };
inline const juce::Colour lcdDotOn       { 0xffffb63d };

inline const juce::Colour ledGlass       { 0xff140505 };
inline const juce::Colour ledDotOff      { 0xff3a0e0a };
inline const juce::Colour ledDotOn       { 0xffff3a22 };
} // namespace SkinPalette
