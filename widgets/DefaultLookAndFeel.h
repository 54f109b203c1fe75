#pragma once

#include "widgets/HardLabel.h"
#include "widgets/InterfaceTypefaces.h"
#include "widgets/PanelComponent.h"
#include "widgets/WindowComponent.h"

#include <memory>

class TextButtonEx;

/*  The editor's look and feel: one flat grey style in the interface font, the
    framework's colour table, its icon set, and rounded-rectangle drawing aids
    that components call directly. The editor installs one for its whole
    component tree; components find it by casting their look and feel and keep
    the toolkit's drawing when the cast fails.
*/
class DefaultLookAndFeel : public juce::LookAndFeel_V3,
                           public WindowComponent::LookAndFeelMethods,
                           public HardLabel::LookAndFeelMethods,
                           public PanelComponent::LookAndFeelMethods
{
public:
    /** The framework's own colour ids (the toolkit ids it sets are JUCE's). */
    enum ColourIds
    {
        frameworkColour0Id = 0,
        frameworkColour1Id = 1,
        frameworkColour2Id = 2,
        frameworkColour3Id = 3,

        highlightLightColourId = 0xE000000,
        highlightColourId = 0xE000001,
        highlightTextColourId = 0xE000002,
        highlightOutlineColourId = 0xE000003,

        backgroundColourId = 0xF000000,

        windowBackgroundColourId = 0xF001000,
        windowFrameColourId = 0xF001001, // frame and title bar
        windowTitleTextColourId = 0xF001002,

        pathFieldColourId = 0xF002200,
        pathFieldTextColourId = 0xF002201,    // black
        pathFieldOutlineColourId = 0xF002202, // white

        tabBackgroundColourId = 0xF003000,
        tabFrontTextColourId = 0xF003001,
        tabOutlineColourId = 0xF003002, // also the text of the back tabs

        columnBrowserBackgroundColourId = 0xF003100,
        columnFillColourId = 0xF003101,
        columnOutlineColourId = 0xF003102,
        columnBrowserColour3Id = 0xF003103,
        columnBrowserColour4Id = 0xF003104,
        columnSelectedItemColourId = 0xF003105,
        columnBrowserColour6Id = 0xF003106,
        columnBrowserColour7Id = 0xF003107,
        columnBrowserColour8Id = 0xF003108,

        statusBarBackgroundColourId = 0xF004001,
        statusBarTextColourId = 0xF004002,

        panelCaptionColourId = 0xF005000
    };

    /** The icons whose index has a fixed role (29 icons, 0 to 28); the
        others are free pictures. */
    enum IconIndex
    {
        closeIcon = 0,
        copyIcon = 1,
        pasteIcon = 3,
        deleteEntryIcon = 4,
        moveDownIcon = 5,
        moveUpIcon = 6,
        addIcon = 13,
        deleteIcon = 14,
        clearAllIcon = 16,
        openIcon = 20,
        saveIcon = 21,
        numIcons = 29
    };

    /** Size codes of the icon and state buttons. */
    enum ButtonSize
    {
        smallButtons = 1,
        largeButtons = 2
    };

    DefaultLookAndFeel();
    ~DefaultLookAndFeel() override;

    //==============================================================================
    /** Fills a rounded rectangle. */
    static void fillRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour, float corner);
    /** Strokes, in the current colour, the rounded rectangle inset by half the thickness. */
    static void strokeRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect, float corner, float thickness);
    static void drawRoundedRectOutline (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour,
                                        float corner, float thickness);
    /** Fills the rectangle inset by 1 px, then outlines the whole rectangle. */
    static void drawRoundedPanel (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour fill,
                                  juce::Colour outline, float corner, float thickness);
    /** Fills what lies outside the rounded rectangle inset by 1 px (masking the
        corners of whatever lies below), then outlines the rounded rectangle. */
    static void fillOutsideRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour outer,
                                        juce::Colour outline, float corner, float thickness);
    /** Fills a rectangle rounded on one side only: left, right, bottom, else top. */
    static void fillPartlyRoundedRect (juce::Graphics& g, juce::Rectangle<int> rect,
                                       juce::Justification side, juce::Colour colour, float corner);
    static void fillRectangle (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour);
    static void drawRectangle (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour colour, float thickness);
    static void fillAndOutlineRectangle (juce::Graphics& g, juce::Rectangle<int> rect, juce::Colour fill,
                                         juce::Colour outline, float thickness);

    //==============================================================================
    /** Icon 0 to 28 of the framework's vector set, drawn in black (recolour it
        with replaceColour), or null for another index. 17 and 18 are one picture. */
    static std::unique_ptr<juce::Drawable> getIcon (int index);

    /** Sets the button's image to the icon. */
    static void setButtonIcon (juce::DrawableButton& button, int index);

    //==============================================================================
    // The framework's own operations.
    virtual void drawSmallTriangleArrow (juce::Graphics& g, int x, int y, int width, int height, bool horizontal);
    void drawHardLabel (juce::Graphics& g, HardLabel& label) override;

    /** Pictures of a node arrow pointing right (closed) and down (open), 16 x 16. */
    virtual juce::Image getCollapsedArrowImage();
    virtual juce::Image getExpandedArrowImage();

    virtual juce::Font getInterfaceFont();
    virtual int getTextMargin();
    virtual juce::Font getBoldFont();
    juce::Font getPanelCaptionFont() override;

    /** Pictures of an empty and a ticked check box, 16 x 16. */
    virtual juce::Image getUncheckedImage();
    virtual juce::Image getCheckedImage();

    /** The fonts of a list's header and of its items. */
    virtual juce::Font getHeaderFont();
    virtual juce::Font getItemFont();

    // Measures of the framework's look for components that want them.
    virtual int getDefaultFontHeight();
    virtual int getControlIndent();
    virtual int getControlSpacing();
    virtual int getBorderThickness();
    virtual int getRowHeight();
    virtual float getCornerSize();
    virtual int getPanelSpacing();

    juce::Font getWindowTitleFont() override;
    void setCloseButtonImages (juce::ImageButton& button) override;
    void drawWindow (juce::Graphics& g, WindowComponent& window) override;

    virtual int getTabBarDepth();
    virtual int getTabIndent();
    virtual juce::Font getStatusBarFont();
    virtual int getStatusBarHeight();

    virtual int getIconButtonSize();
    virtual int getStateButtonSize();
    std::unique_ptr<juce::ImageButton> createIconButton (const juce::String& name, int index);
    /** A button showing the icon's picture pair (normal, mouse over), sized to
        it; null for an index without pictures in that size. */
    virtual std::unique_ptr<juce::ImageButton> createIconButton (const juce::String& name, int index, int size);
    /** Sets the picture pair; leaves the button as it is for an index without. */
    virtual void setIconButtonImages (juce::ImageButton& button, int index, int size);

    std::unique_ptr<TextButtonEx> createStateButton (const juce::String& name, int index);
    /** A text button of the style, with its seven pictures; null for a style
        without pictures in that size. */
    virtual std::unique_ptr<TextButtonEx> createStateButton (const juce::String& name, int index, int size);
    /** Gives the button the style's seven pictures, and with them its margins
        and height; leaves the button as it is for a style without. */
    virtual void setStateButtonImages (TextButtonEx& button, int index, int size);

    /** The seven pictures of a text button style (left, middle and right part,
        the same three under the mouse, and the pressed middle), empty for an
        unknown style. Styles are numbered as the icon buttons, and have large
        pictures where those do. */
    virtual juce::Array<juce::Image> getStateButtonImages (int index, int size);

    //==============================================================================
    // Toolkit overrides.
    bool areScrollbarButtonsVisible() override;
    int getDefaultScrollbarWidth() override;
    int getScrollbarButtonSize (juce::ScrollBar&) override;
    void drawScrollbarButton (juce::Graphics&, juce::ScrollBar&, int width, int height, int buttonDirection,
                              bool isScrollbarVertical, bool isMouseOverButton, bool isButtonDown) override;
    void drawScrollbar (juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;

    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawDrawableButton (juce::Graphics&, juce::DrawableButton&,
                             bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    void fillTextEditorBackground (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;

    juce::Font getComboBoxFont (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;
    juce::Font getLabelFont (juce::Label&) override;

    void drawLinearSliderBackground (juce::Graphics&, int x, int y, int width, int height,
                                     float sliderPos, float minSliderPos, float maxSliderPos,
                                     juce::Slider::SliderStyle, juce::Slider&) override;
    void drawLinearSliderThumb (juce::Graphics&, int x, int y, int width, int height,
                                float sliderPos, float minSliderPos, float maxSliderPos,
                                juce::Slider::SliderStyle, juce::Slider&) override;
    int getSliderThumbRadius (juce::Slider&) override;

    void drawProgressBar (juce::Graphics&, juce::ProgressBar&, int width, int height,
                          double progress, const juce::String& textToShow) override;
    void drawFileBrowserRow (juce::Graphics&, int width, int height, const juce::File& file,
                             const juce::String& filename, juce::Image* icon,
                             const juce::String& fileSizeDescription, const juce::String& fileTimeDescription,
                             bool isDirectory, bool isItemSelected, int itemIndex,
                             juce::DirectoryContentsDisplayComponent&) override;
    void drawLevelMeter (juce::Graphics&, int width, int height, float level) override;

    void drawCornerResizer (juce::Graphics&, int w, int h, bool isMouseOver, bool isMouseDragging) override;
    void drawDocumentWindowTitleBar (juce::DocumentWindow&, juce::Graphics&, int w, int h,
                                     int titleSpaceX, int titleSpaceW, const juce::Image* icon,
                                     bool drawTitleTextOnLeft) override;
    void positionDocumentWindowButtons (juce::DocumentWindow&, int titleBarX, int titleBarY,
                                        int titleBarW, int titleBarH, juce::Button* minimiseButton,
                                        juce::Button* maximiseButton, juce::Button* closeButton,
                                        bool positionTitleBarButtonsOnLeft) override;

    juce::Rectangle<int> getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;

    juce::Font getTabButtonFont (juce::TabBarButton&, float height) override;
    int getTabButtonSpaceAroundImage() override;
    int getTabButtonOverlap (int tabDepth) override;
    int getTabButtonBestWidth (juce::TabBarButton&, int tabDepth) override;
    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void createTabButtonShape (juce::TabBarButton&, juce::Path&, bool isMouseOver, bool isMouseDown) override;
    void fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&,
                             bool isMouseOver, bool isMouseDown) override;
    void drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int w, int h) override;

private:
    // Declared first: the typeface mapping must stand before any font is measured.
    juce::SharedResourcePointer<InterfaceTypefaces> typefaces;

    juce::Path upArrow, rightArrow, downArrow, leftArrow;
    juce::Font interfaceFont, boldFont;
    juce::Image collapsedArrow, expandedArrow, unchecked, checked;

    JUCE_DECLARE_NON_COPYABLE (DefaultLookAndFeel)
};
