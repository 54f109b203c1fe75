#pragma once

#include "widgets/ComboBoxButton.h"
#include "widgets/ComponentRow.h"
#include "widgets/HardLabel.h"
#include "widgets/PanelComponent.h"

/**
    The "Processing" page: the processing quality for realtime and offline
    rendering, as the default for new instances ("Default quality") and for
    this one ("Current quality"), each a drop-down bound to an enumerated
    quality parameter of the plug-in.
*/
class ProcessingSettingsComponent : public juce::Component
{
public:
    static constexpr int comboWidth = 200;
    static constexpr int rowHeight = 20;
    static constexpr int spacing = 6;

    ProcessingSettingsComponent();
    ~ProcessingSettingsComponent() override;

    /** Binds the "Current quality" boxes to the first two and the "Default quality" boxes to the last two. */
    void setParameters (EnumParameter* realtime, EnumParameter* offline,
                        EnumParameter* defaultRealtime, EnumParameter* defaultOffline);

    ComboBoxButton& getCurrentRealtimeBox() noexcept    { return current.realtimeBox; }
    ComboBoxButton& getCurrentOfflineBox() noexcept     { return current.offlineBox; }
    ComboBoxButton& getDefaultRealtimeBox() noexcept    { return defaults.realtimeBox; }
    ComboBoxButton& getDefaultOfflineBox() noexcept     { return defaults.offlineBox; }
    PanelComponent& getDefaultPanel() noexcept          { return defaults.panel; }
    PanelComponent& getCurrentPanel() noexcept          { return current.panel; }

    void lookAndFeelChanged() override;
    void resized() override;

private:
    /** One captioned panel: a "Real-time" and an "Offline" line. */
    struct QualityPanel
    {
        explicit QualityPanel (const juce::String& caption);

        void layout();

        PanelComponent panel;
        ComponentRow column { ComponentRow::topToBottom, ComponentRow::alignStart };
        ComponentRow realtimeRow { ComponentRow::leftToRight, ComponentRow::alignCentre };
        ComponentRow offlineRow { ComponentRow::leftToRight, ComponentRow::alignCentre };
        HardLabel realtimeLabel { {}, "Real-time" };
        HardLabel offlineLabel { {}, "Offline" };
        ComboBoxButton realtimeBox, offlineBox;
    };

    QualityPanel defaults { "Default quality" };
    QualityPanel current { "Current quality" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessingSettingsComponent)
};
