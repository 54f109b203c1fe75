#include "editor/HostParametersComponent.h"

#include "editor/BasePluginEditor.h"
#include "widgets/DefaultLookAndFeel.h"
#include "widgets/InterfaceTypefaces.h"

#include <cmath>

namespace
{
constexpr int toolButtonSize = 24;
constexpr int buttonColumnGap = 5;
constexpr int defaultMapBoxGap = 9;
constexpr int defaultMapBoxHeight = 20;

const juce::Colour pageColour (0xFFC5C5C5);
const juce::Colour headerColour (0xFF6E6E6E);
const juce::Colour bodyColour (0xFFE3E3E3);
const juce::Colour numberHeaderColour (0xFF5B5B5B);
const juce::Colour numberBodyColour (0xFFBFBFBF);
} // namespace

//==============================================================================
HostParametersComponent::Shape::Shape()
{
    setInterceptsMouseClicks (false, false);
}

void HostParametersComponent::Shape::paint (juce::Graphics& g)
{
    DefaultLookAndFeel::fillOutsideRoundedRect (g, getLocalBounds(), pageColour, juce::Colours::white, 6.0f, 1.0f);
}

//==============================================================================
HostParametersComponent::HostParametersComponent (BasePlugin& pluginToEdit)
    : FileType (pluginToEdit.getHostParametersMapFileExtension()),
      plugin (pluginToEdit),
      loadWildcard ("*" + getFileExtension())
{
    list = std::make_unique<ListComponent> (plugin);

    viewport.setWantsKeyboardFocus (false);
    viewport.setScrollBarsShown (false, true);
    viewport.getHorizontalScrollBar().setAutoHide (false);
    viewport.setViewedComponent (list.get(), false);
    addAndMakeVisible (viewport, 0);
    addAndMakeVisible (frame);

    clearButton.setTooltip ("Clear all");
    loadButton.setTooltip ("Load map");
    saveButton.setTooltip ("Save map");

    for (auto* button : { &clearButton, &loadButton, &saveButton })
    {
        button->setSize (toolButtonSize, toolButtonSize);
        button->addListener (this);
        buttonColumn.addAndMakeVisible (button);
    }

    addAndMakeVisible (buttonColumn);

    defaultMapBox.getPathComponent().setFilePatterns (loadWildcard);
    defaultMapBox.addListener (this);
    defaultMapBox.setPath (plugin.getHostParametersMapFile(), false);
    defaultMapBox.getCheckBox().setChecked (plugin.isHostParametersMapFileLoadedAtStart(), juce::sendNotification);
    addAndMakeVisible (defaultMapBox);

    list->setRowsPerColumn (rowsPerColumn);
    resized();
    lookAndFeelChanged();
}

HostParametersComponent::~HostParametersComponent()
{
    defaultMapBox.removeListener (this);
    viewport.setViewedComponent (nullptr, false);
}

void HostParametersComponent::setLoadWildcard (const juce::String& wildcard)
{
    loadWildcard = wildcard;
    defaultMapBox.getPathComponent().setFilePatterns (wildcard);
}

void HostParametersComponent::buttonClicked (juce::Button* button)
{
    if (button == &clearButton)
    {
        question = Ulvra::AlertWindow::createYesNoWindow (plugin.getPluginName(),
                                                          "Do you really want to clear all assignations?", this);
        addChildComponent (*question);
        question->show();
    }
    else if (button == &loadButton)
    {
        fileChooser.chooseFileToOpen ("Load Host Parameters Map file", {}, loadWildcard,
                                      [this] (const juce::File& file)
                                      {
                                          if (! plugin.loadHostParametersMap (file))
                                              BasePluginEditor::showFileFailureAbove (*this, file, BasePluginEditor::couldNotBeLoaded);
                                      });
    }
    else if (button == &saveButton)
    {
        fileChooser.chooseFileToSave ("Save Host Parameters Map file as", {}, "*" + getFileExtension(), getFileExtension(),
                                      [this] (const juce::File& file)
                                      {
                                          if (! plugin.saveHostParametersMap (file))
                                              BasePluginEditor::showFileFailureAbove (*this, file, BasePluginEditor::couldNotBeSaved);
                                      });
    }
}

void HostParametersComponent::alertWindowResult (Ulvra::AlertWindow* window, int result)
{
    if (fileChooser.handleAnswer (window, result))
        return;

    if (window != nullptr && window == question.get() && result == Ulvra::AlertWindow::yes)
        plugin.clearHostParametersMap();
}

void HostParametersComponent::defaultResourceCheckBoxChanged (DefaultResourceCheckBox* box)
{
    // Stored only: the map file is read at the next start.
    if (box == &defaultMapBox)
        plugin.setHostParametersMapFile (defaultMapBox.getPath(), defaultMapBox.isChecked());
}

void HostParametersComponent::lookAndFeelChanged()
{
    resized();
}

void HostParametersComponent::childBoundsChanged (juce::Component* child)
{
    if (child == &buttonColumn || child == &defaultMapBox)
        resized();
}

void HostParametersComponent::resized()
{
    if (layingOut || list == nullptr)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    const auto area = getLocalBounds();
    const auto rw = juce::jmin (area.getWidth(), buttonColumn.getWidth() + buttonColumnGap);
    buttonColumn.setTopLeftPosition (area.getX() + area.getWidth() - rw + juce::jmin (rw, buttonColumnGap), area.getY());

    const auto listHeight = viewport.getScrollBarThickness() + list->getRowsPerColumn() * ListComponent::rowHeight
                          + ListComponent::headerHeight + 2;
    frame.setBounds (area.getX(), area.getY(), area.getWidth() - rw, listHeight);

    const auto inner = frame.getBounds().reduced (1);
    viewport.setBounds (inner.getX(), inner.getY(), juce::jmax (0, inner.getWidth()), juce::jmax (0, inner.getHeight()));
    list->setTopLeftPosition (0, 0);

    if (viewport.getWidth() != list->getVisibleWidth())
        list->setVisibleWidth (viewport.getWidth());

    defaultMapBox.setBounds (0, viewport.getBottom() + defaultMapBoxGap, getWidth(), defaultMapBoxHeight);
}

//==============================================================================
HostParametersComponent::ListComponent::ListComponent (BasePlugin& pluginToEdit)
    : plugin (pluginToEdit),
      headerFont (InterfaceTypefaces::font (13.0f, juce::Font::bold)),
      numberFont (InterfaceTypefaces::font (13.0f))
{
    // The parameters a host may see, and "---" to empty a slot.
    PopupMenuEx menu;
    menu.addItem (noParameterId, "---", false, true);

    const auto& parameters = plugin.getParameterManager();

    for (int i = 0; i < parameters.getNumParameters(); ++i)
        if (auto* parameter = parameters.getParameterAt (i); parameter != nullptr && parameter->getAutoFlag())
            menu.addItem (parameter->getId(), parameter->getName(), false, true);

    for (int slot = 0; slot < plugin.getNumHostParameters(); ++slot)
    {
        auto* box = comboBoxes.add (std::make_unique<ComboBoxButton> ("HPComboBox" + juce::String (slot + 1)));
        box->setMenu (menu, false);
        box->addListener (this);
        addAndMakeVisible (box);
    }

    numberWidth = juce::jmax (headerFont.getStringWidth ("No."), headerFont.getStringWidth ("999")) + 8;
    plugin.getHostMapChangeBroadcaster().addChangeListener (this);
    changeListenerCallback (&plugin.getHostMapChangeBroadcaster());
}

HostParametersComponent::ListComponent::~ListComponent()
{
    plugin.getHostMapChangeBroadcaster().removeChangeListener (this);
}

void HostParametersComponent::ListComponent::setRowsPerColumn (int rows)
{
    rowsPerColumn = juce::jmax (1, rows);
    updateLayout();
}

void HostParametersComponent::ListComponent::setVisibleWidth (int width)
{
    visibleWidth = juce::jmax (0, width);
    updateLayout();
}

void HostParametersComponent::ListComponent::comboBoxButtonChanged (ComboBoxButton* box)
{
    const auto slot = comboBoxes.indexOf (box);

    if (slot < 0)
        return;

    plugin.assignHostParameter (slot, box->getSelectedId(), true);

    // A choice the map refused must not stay on show; accepted ones come back with the change message.
    box->setSelectedId (plugin.getHostParameterAssignment (slot), false);
}

void HostParametersComponent::ListComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    for (int slot = 0; slot < comboBoxes.size(); ++slot)
        comboBoxes.getUnchecked (slot)->setSelectedId (plugin.getHostParameterAssignment (slot), false);
}

void HostParametersComponent::ListComponent::lookAndFeelChanged()
{
    if (auto* look = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        headerFont = look->getBoldFont();
        numberFont = look->getInterfaceFont();
    }

    numberWidth = juce::jmax (headerFont.getStringWidth ("No."), headerFont.getStringWidth ("999")) + 8;
    updateLayout();
}

void HostParametersComponent::ListComponent::updateLayout()
{
    columnWidth = (float) visibleWidth / (float) visibleColumns;
    numColumns = (comboBoxes.size() + rowsPerColumn - 1) / rowsPerColumn;

    for (int slot = 0; slot < comboBoxes.size(); ++slot)
    {
        const auto column = slot / rowsPerColumn;
        const auto row = slot % rowsPerColumn;
        comboBoxes.getUnchecked (slot)->setBounds ((int) ((float) column * columnWidth) + 6 + numberWidth,
                                                   headerHeight + rowHeight * row + 1,
                                                   juce::jmax (0, (int) columnWidth - 12 - numberWidth), 20);
    }

    setSize ((int) std::floor ((float) numColumns * columnWidth), rowsPerColumn * rowHeight + headerHeight);
    repaint();
}

void HostParametersComponent::ListComponent::paint (juce::Graphics& g)
{
    g.setColour (headerColour);
    g.fillRect (0, 0, getWidth(), headerHeight);
    g.setColour (bodyColour);
    g.fillRect (0, headerHeight, getWidth(), getHeight() - headerHeight);

    for (int c = 0; c < numColumns; ++c)
    {
        const auto x = (int) ((float) c * columnWidth);
        g.setColour (numberHeaderColour);
        g.fillRect (x, 0, numberWidth, headerHeight);
        g.setColour (numberBodyColour);
        g.fillRect (x, headerHeight, numberWidth, getHeight() - headerHeight);

        g.setColour (juce::Colours::white);
        g.setFont (headerFont);
        g.drawText ("No.", x, 0, numberWidth, headerHeight, juce::Justification::centred, false);
        g.drawText ("Parameter", x + numberWidth + 5, 0, (int) columnWidth - 10 - numberWidth, headerHeight,
                    juce::Justification::centredLeft, true);
    }

    const auto filledRows = comboBoxes.size() % rowsPerColumn;

    // The unused cells of a last column that is not full look like the body.
    if (filledRows != 0 && numColumns > 0)
    {
        const auto x = (int) ((float) (numColumns - 1) * columnWidth);
        const auto top = headerHeight + filledRows * rowHeight + 1;
        g.setColour (bodyColour);
        g.fillRect (x, top, getWidth() - x, getHeight() - top);
    }

    g.setColour (juce::Colours::black);
    g.setFont (numberFont);

    for (int slot = 0; slot < comboBoxes.size(); ++slot)
    {
        const auto x = (int) ((float) (slot / rowsPerColumn) * columnWidth);
        g.drawText (juce::String (slot + 1), x + 4, headerHeight + rowHeight * (slot % rowsPerColumn), numberWidth - 8,
                    rowHeight, juce::Justification::centred, false);
    }
}
