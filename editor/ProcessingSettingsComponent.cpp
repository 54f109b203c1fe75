#include "editor/ProcessingSettingsComponent.h"

#include "widgets/InterfaceTypefaces.h"

ProcessingSettingsComponent::QualityPanel::QualityPanel (const juce::String& caption) : panel (caption)
{
    column.setSpacing (spacing);
    realtimeRow.setSpacing (spacing);
    offlineRow.setSpacing (spacing);

    // Drawn in the font the look and feel measures them in.
    for (auto* label : { &realtimeLabel, &offlineLabel })
        label->setFont (InterfaceTypefaces::font (13.0f));

    realtimeBox.setSize (comboWidth, rowHeight);
    offlineBox.setSize (comboWidth, rowHeight);

    realtimeRow.addAndMakeVisible (realtimeLabel);
    realtimeRow.addAndMakeVisible (realtimeBox);
    offlineRow.addAndMakeVisible (offlineLabel);
    offlineRow.addAndMakeVisible (offlineBox);
    column.addAndMakeVisible (realtimeRow);
    column.addAndMakeVisible (offlineRow);
    panel.setContentComponent (&column, false);
}

void ProcessingSettingsComponent::QualityPanel::layout()
{
    // Both labels as wide as the wider text, so that the two boxes line up.
    const auto labelWidth = juce::jmax (realtimeLabel.getTextWidth(), offlineLabel.getTextWidth());
    realtimeLabel.setSize (labelWidth, rowHeight);
    offlineLabel.setSize (labelWidth, rowHeight);
    realtimeRow.layoutChildren();
    offlineRow.layoutChildren();
    column.layoutChildren();
    panel.layoutContent();
}

ProcessingSettingsComponent::ProcessingSettingsComponent()
{
    addAndMakeVisible (defaults.panel);
    addAndMakeVisible (current.panel);
}

ProcessingSettingsComponent::~ProcessingSettingsComponent() = default;

void ProcessingSettingsComponent::setParameters (EnumParameter* realtime, EnumParameter* offline,
                                                 EnumParameter* defaultRealtime, EnumParameter* defaultOffline)
{
    current.realtimeBox.attachToParameter (realtime);
    current.offlineBox.attachToParameter (offline);
    defaults.realtimeBox.attachToParameter (defaultRealtime);
    defaults.offlineBox.attachToParameter (defaultOffline);
}

void ProcessingSettingsComponent::lookAndFeelChanged()
{
    defaults.layout();
    current.layout();
    resized();
}

void ProcessingSettingsComponent::resized()
{
    const auto width = getWidth() / 2 - 3;
    defaults.panel.fitSize (width, -1);
    defaults.panel.setTopLeftPosition (0, 0);
    current.panel.fitSize (width, -1);
    current.panel.setTopLeftPosition (defaults.panel.getRight() + 6, 0);
}
