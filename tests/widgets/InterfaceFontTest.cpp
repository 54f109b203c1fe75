#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

#include <gtest/gtest.h>

namespace
{
struct FontCase
{
    const char* description;
    juce::Font font;
    const char* expectedStyle;
};

// A face that FreeType could not read, or a nameless fallback, fails these.
void expectRealFace (const juce::Font& font)
{
    const auto face = font.getTypefacePtr();
    ASSERT_NE (face, nullptr);
    EXPECT_EQ (face->getName(), "DejaVu Sans");
    EXPECT_GT (font.getAscent(), font.getHeight() * 0.5f);
    EXPECT_LT (font.getAscent(), font.getHeight());
}
} // namespace

TEST (InterfaceFont, TheEmbeddedFacesAreReadAndMappedForTheInterfaceNames)
{
    const juce::SharedResourcePointer<InterfaceTypefaces> typefaces;
    ASSERT_TRUE (typefaces->hasEmbeddedFaces());
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &typefaces.get());

    const FontCase cases[] = {
        { "Tahoma plain", juce::Font ("Tahoma", 13.0f, juce::Font::plain), "Book" },
        { "Tahoma bold", juce::Font ("Tahoma", 13.0f, juce::Font::bold), "Bold" },
        { "Tahoma italic", juce::Font ("Tahoma", 13.0f, juce::Font::italic), "Book" },
        { "default sans-serif", juce::Font (13.0f), "Book" },
        { "default sans-serif bold", juce::Font (13.0f, juce::Font::bold), "Bold" },
        { "interface font", InterfaceTypefaces::font(), "Book" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        expectRealFace (c.font);
        EXPECT_EQ (c.font.getTypefacePtr()->getStyle(), c.expectedStyle);
    }
}

TEST (InterfaceFont, BoldIsWiderAndItalicStaysItalicOnTheUprightFace)
{
    const auto plain = InterfaceTypefaces::font (13.0f);
    const auto bold = InterfaceTypefaces::font (13.0f, juce::Font::bold);
    const auto italic = InterfaceTypefaces::font (13.0f, juce::Font::italic);

    EXPECT_GT (bold.getStringWidthFloat ("Pattern 12"), plain.getStringWidthFloat ("Pattern 12"));
    EXPECT_TRUE (bold.isBold());
    EXPECT_TRUE (italic.isItalic());
    EXPECT_EQ (italic.getTypefacePtr(), plain.getTypefacePtr());
}

TEST (InterfaceFont, TheLookAndFeelFontsAreTheInterfaceFaces)
{
    DefaultLookAndFeel lookAndFeel;
    juce::TextButton button;

    EXPECT_EQ (lookAndFeel.getTextButtonFont (button, 40).getHeight(), 13.0f);
    EXPECT_EQ (lookAndFeel.getWindowTitleFont().getHeight(), 15.0f);
    EXPECT_TRUE (lookAndFeel.getWindowTitleFont().isBold());
    EXPECT_EQ (lookAndFeel.getWindowTitleFont().getTypefacePtr()->getStyle(), "Bold");
    EXPECT_EQ (lookAndFeel.getStatusBarFont().getTypefacePtr()->getName(), "DejaVu Sans");
}
