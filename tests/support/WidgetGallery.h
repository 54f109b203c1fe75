#pragma once

#include "support/PixelProbe.h"
#include "support/TestDesktop.h"

#include <vector>

/*  One picture of many widgets for people to review: widgets are placed in
    rows under captions on a sheet with the editor's look and feel, and the
    sheet is written as one PNG into the screenshot folder. Modal widgets are
    shown inside a TestDesktop of their own that is added like any widget.
*/
class WidgetGallery
{
public:
    explicit WidgetGallery (int sheetWidth = 960)
        : width (sheetWidth), sheet (sheetWidth, 100)
    {
    }

    /** Adds a widget (not owned; it keeps its size) under a caption. */
    void add (const juce::String& caption, juce::Component& widget)
    {
        sheet.addAndMakeVisible (widget);
        widget.sendLookAndFeelChange();
        sheet.entries.push_back ({ caption, &widget, {} });
    }

    /** Lays out the widgets and renders the sheet; the image is also returned
        for probing. */
    juce::Image render()
    {
        constexpr int margin = 16, captionHeight = 20, gap = 20;
        int x = margin, y = margin, rowHeight = 0;

        for (auto& entry : sheet.entries)
        {
            const auto w = entry.widget->getWidth();

            if (x > margin && x + w > width - margin)
            {
                x = margin;
                y += rowHeight + gap;
                rowHeight = 0;
            }

            entry.captionArea = { x, y, juce::jmax (w, 120), captionHeight };
            entry.widget->setTopLeftPosition (x, y + captionHeight);
            x += juce::jmax (w, 120) + gap;
            rowHeight = juce::jmax (rowHeight, captionHeight + entry.widget->getHeight());
        }

        sheet.setSize (width, y + rowHeight + margin);
        return renderComponent (sheet);
    }

    /** Renders and writes name.png; true when it was written. */
    bool write (const juce::String& name)
    {
        return writeScreenshot (render(), name);
    }

    juce::Component& getSheet() noexcept { return sheet; }

private:
    struct Entry
    {
        juce::String caption;
        juce::Component* widget = nullptr;
        juce::Rectangle<int> captionArea;
    };

    // Not a Desktop itself: a modal widget must not spread over the whole sheet.
    struct Sheet : public juce::Component
    {
        Sheet (int w, int h)
        {
            setLookAndFeel (&lookAndFeel);
            setSize (w, h);
        }

        ~Sheet() override
        {
            removeAllChildren();
            setLookAndFeel (nullptr);
        }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (juce::Colour (0xFFC5C5C5));
            g.setColour (juce::Colours::black);
            g.setFont (lookAndFeel.getBoldFont());

            for (const auto& entry : entries)
                g.drawText (entry.caption, entry.captionArea, juce::Justification::centredLeft, true);
        }

        DefaultLookAndFeel lookAndFeel;
        std::vector<Entry> entries;
    };

    int width;
    Sheet sheet;
};
