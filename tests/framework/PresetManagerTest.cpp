#include "framework/PresetManager.h"
#include "framework/XmlFiles.h"
#include "support/NotRegularFiles.h"
#include "support/ParameterListeners.h"
#include "support/PresetTestSupport.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <juce_cryptography/juce_cryptography.h>

#include <random>
#include <vector>

namespace
{
constexpr int cutoffId = 2;       // a float preset parameter
constexpr int volumeId = 23;      // a float preset parameter
constexpr int arpRepeaterId = 32; // the last preset parameter
constexpr int thresholdId = 33;   // the first parameter outside presets

/** Records the loads it hears, with the cutoff value at that moment, into a shared order. */
struct LoadListener : public PresetManager::Listener
{
    LoadListener (ParameterManager& table, std::vector<LoadListener*>* callOrder = nullptr) : parameters (table), order (callOrder) {}

    void currentPresetLoaded() override
    {
        cutoffs.push_back (parameters.getNormalisedValue (cutoffId));
        if (order != nullptr)
            order->push_back (this);
    }

    int calls() const { return static_cast<int> (cutoffs.size()); }

    ParameterManager& parameters;
    std::vector<LoadListener*>* order;
    std::vector<float> cutoffs;
};

class PresetManagerTest : public ::testing::Test
{
protected:
    void loadBank (std::initializer_list<int> counts)
    {
        ASSERT_TRUE (presets.loadBankFromXml (*makeBankXml (counts)));
    }

    float parameterValue (int id) const { return parameters.getNormalisedValue (id); }
    float slotValue (int index, int id) const { return presets.getPresetSlot (index)->getValue (id); }
    juce::String currentName() const { return parameters.getText (PresetManager::currentPresetNameId); }

    std::vector<int> groupCounts() const
    {
        std::vector<int> counts;
        for (int g = 0; g < presets.getNumGroups(); ++g)
            counts.push_back (presets.getNumPresetsInGroup (g));
        return counts;
    }

    /** A listener that counts the loads of this manager. */
    LoadListener& listen()
    {
        listeners.push_back (std::make_unique<LoadListener> (parameters));
        presets.addPresetManagerListener (listeners.back().get());
        return *listeners.back();
    }

    TestParameterTable parameters;
    PresetManager presets { parameters, 33, 3, [] { return juce::String ("Tarvelin"); } };
    std::vector<std::unique_ptr<LoadListener>> listeners;
};
} // namespace

//==============================================================================
// Banks

TEST_F (PresetManagerTest, ABankFillsGroupsInOrderUpTo128SlotsAndLeavesTheRestNotUsedWithDefaultValues)
{
    loadBank ({ 3, 2 });

    EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 2, 123 }));
    EXPECT_EQ (presets.getBankName(), "Test Bank");
    EXPECT_EQ (presets.getGroupName (2), "Not used");
    EXPECT_EQ (presets.getPresetName (4), "P4");
    EXPECT_EQ (presets.getPresetName (5), "Preset 5");
    EXPECT_FLOAT_EQ (slotValue (100, volumeId), presets.getDefaultPreset().getValue (volumeId));

    // Values a preset does not list keep the defaults.
    EXPECT_FLOAT_EQ (slotValue (0, cutoffId), 0.0f);
    EXPECT_FLOAT_EQ (slotValue (0, volumeId), presets.getDefaultPreset().getValue (volumeId));

    // Presets beyond the 128 slots are dropped and no "Not used" group remains.
    loadBank ({ 100, 30 });
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 100, 28 }));
    EXPECT_EQ (presets.getPresetName (127), "P127");
}

TEST_F (PresetManagerTest, NamelessGroupsAndBanksAreNamedAndForeignPresetsAndLooseChildrenSkipped)
{
    auto bank = makeBankXml ({ 2, 1, 1 });
    bank->setTagName ("presetbank");                // the tag is read ignoring case
    bank->removeAttribute ("name");
    bank->getChildElement (2)->removeAttribute ("name");
    auto* group = bank->getChildElement (0);
    group->insertChildElement (makePresetXml ("Alien", 0.9f, "OtherSynth").release(), 1);
    auto noApplication = makePresetXml ("Nameless app", 0.9f);
    noApplication->removeAttribute ("application");
    group->insertChildElement (noApplication.release(), 1);
    bank->insertChildElement (makePresetXml ("Loose", 0.3f).release(), 0);

    ASSERT_TRUE (presets.loadBankFromXml (*bank));

    EXPECT_EQ (presets.getBankName(), "Preset Bank");
    EXPECT_EQ (presets.getGroupName (2), "group 3");
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 2, 1, 1, 124 }));
    EXPECT_EQ (presets.getPresetName (0), "P0");
    EXPECT_EQ (presets.getPresetName (1), "P1");
}

TEST_F (PresetManagerTest, ABankWithNoPresetOfThisPlugInIsRefusedAndKeepsTheBankAndTheUnsavedEdits)
{
    const TemporaryFolder folder;
    loadBank ({ 3, 2 });
    presets.insertNewGroup (1);
    presets.setPresetName (4, "Kept");
    presets.selectPreset (1, false);
    parameters.setNormalisedValue (cutoffId, 0.625f);   // an edit not stored into the slot

    auto foreign = makeBankXml ({ 2, 2 });
    for (auto* group : foreign->getChildIterator())
        for (auto* preset : group->getChildIterator())
            preset->setAttribute ("application", "OtherSynth");

    auto emptyGroups = makeBankXml ({ 0, 0 });
    emptyGroups->addChildElement (makePresetXml ("Loose", 0.3f).release());   // outside any group

    for (const auto* bank : { foreign.get(), emptyGroups.get() })
    {
        SCOPED_TRACE (bank->toString().toStdString());
        const auto file = folder.get().getChildFile ("Refused.tqprsb");
        ASSERT_TRUE (bank->writeTo (file));
        auto& loads = listen();

        EXPECT_FALSE (presets.loadBankFromXml (*bank));
        EXPECT_FALSE (presets.loadBankFromFile (file));

        EXPECT_EQ (loads.calls(), 0);
        EXPECT_EQ (presets.getBankName(), "Test Bank");
        EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 0, 2, 123 }));
        EXPECT_EQ (presets.getGroupName (1), "New Group");
        EXPECT_EQ (presets.getPresetName (4), "Kept");
        EXPECT_EQ (presets.getCurrentPresetIndex(), 1);
        EXPECT_FLOAT_EQ (parameterValue (cutoffId), 0.625f);
        EXPECT_FLOAT_EQ (slotValue (1, cutoffId), 0.001f);
    }

    // One preset of its own is enough: the bank replaces everything.
    auto* firstGroup = foreign->getChildElement (0);
    firstGroup->getChildElement (1)->setAttribute ("application", "Tarvelin");
    ASSERT_TRUE (presets.loadBankFromXml (*foreign));
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 1, 0, 127 }));
    EXPECT_EQ (presets.getPresetName (0), "P1");
}

//==============================================================================
// Single presets

TEST_F (PresetManagerTest, APresetIsWrittenWithItsApplicationAndEveryPresetParameterRoundedToSixDecimalsAndReadBackSo)
{
    presets.setPresetName (0, "Squelch");
    presets.getPresetSlot (0)->setValue (cutoffId, 0.1234567f);
    presets.getPresetSlot (0)->setValue (volumeId, 0.0000004f);

    const auto xml = presets.createPresetXml (0);

    EXPECT_EQ (xml->getTagName(), "Preset");
    EXPECT_EQ (xml->getStringAttribute ("application"), "Tarvelin");
    EXPECT_EQ (xml->getStringAttribute ("name"), "Squelch");
    ASSERT_EQ (xml->getNumChildElements(), 33);
    EXPECT_EQ (xml->getChildElement (cutoffId)->getStringAttribute ("name"), "Cutoff");
    EXPECT_EQ (xml->getChildElement (arpRepeaterId)->getStringAttribute ("name"), "Arp Repeater");
    EXPECT_DOUBLE_EQ (xml->getChildElement (cutoffId)->getDoubleAttribute ("value"), 0.123457);
    EXPECT_DOUBLE_EQ (xml->getChildElement (volumeId)->getDoubleAttribute ("value"), 0.0);
    EXPECT_EQ (presets.createPresetXml (128), nullptr);

    ASSERT_TRUE (presets.loadPresetFromXml (*xml, 1));
    EXPECT_FLOAT_EQ (slotValue (1, cutoffId), 0.123457f);
    EXPECT_EQ (slotValue (1, volumeId), 0.0f);
}

TEST_F (PresetManagerTest, UnknownOutsideAndNonFiniteValuesAreSkippedAMissingValueReadsAsZeroAndNoNameAsUnnamed)
{
    presets.getPresetSlot (0)->setValue (volumeId, 0.75f);
    presets.getPresetSlot (0)->setValue (arpRepeaterId, 0.75f);
    // The application is compared ignoring case.
    const auto xml = juce::parseXML ("<Preset application=\"TARVELIN\">"
                                     "<param name=\"Cutoff\" value=\"0.5\"/><param name=\"No Such Parameter\" value=\"1\"/>"
                                     "<param name=\"Gate Threshold\" value=\"0.9\"/><param name=\"Volume\"/>"
                                     "<param name=\"Arp Repeater\" value=\"nan\"/><param name=\"Arp Repeater\" value=\"inf\"/>"
                                     "</Preset>");

    ASSERT_TRUE (presets.loadPresetFromXml (*xml, 0));

    EXPECT_EQ (presets.getPresetName (0), "unnamed");
    EXPECT_FLOAT_EQ (slotValue (0, cutoffId), 0.5f);
    EXPECT_EQ (slotValue (0, volumeId), 0.0f);
    EXPECT_EQ (slotValue (0, thresholdId), 0.0f);
    EXPECT_FLOAT_EQ (slotValue (0, arpRepeaterId), 0.75f);
}

TEST_F (PresetManagerTest, NotPresetableParamsListTheOtherParametersAndLoadWithTheOlderTagSkippingBadNumbers)
{
    parameters.setNormalisedValue (thresholdId, 0.25f);

    const auto xml = presets.createNotPresetableParamsXml();

    EXPECT_EQ (xml->getTagName(), "NotPresetableParams");
    ASSERT_EQ (xml->getNumChildElements(), 3);
    EXPECT_EQ (xml->getChildElement (0)->getStringAttribute ("name"), "Gate Threshold");
    EXPECT_DOUBLE_EQ (xml->getChildElement (0)->getDoubleAttribute ("value"), 0.25);
    EXPECT_EQ (xml->getChildElement (2)->getStringAttribute ("name"), "Slide Threshold");

    parameters.setNormalisedValue (thresholdId + 1, 0.5f);
    presets.loadNotPresetableParamsFromXml (*juce::parseXML ("<NotPresetParams><param name=\"Gate Threshold\" value=\"0.75\"/>"
                                                             "<param name=\"Accent Threshold\" value=\"nan\"/></NotPresetParams>"));
    EXPECT_FLOAT_EQ (parameterValue (thresholdId), 0.75f);
    EXPECT_FLOAT_EQ (parameterValue (thresholdId + 1), 0.5f);
}

//==============================================================================
// Selection

TEST_F (PresetManagerTest, SelectingAPresetAppliesItsValuesPublishesNumberAndNameThenTellsTheListenersLastRegisteredFirst)
{
    std::vector<LoadListener*> order;
    LoadListener first (parameters, &order), second (parameters, &order);
    presets.addPresetManagerListener (&first);
    presets.addPresetManagerListener (&second);
    presets.addPresetManagerListener (&second);
    presets.addPresetManagerListener (nullptr);
    loadBank ({ 10 });

    presets.selectPreset (7, false);

    EXPECT_EQ (presets.getCurrentPresetIndex(), 7);
    EXPECT_FLOAT_EQ (parameterValue (cutoffId), 0.007f);
    EXPECT_EQ (parameters.getParameter (PresetManager::currentPresetNumberId)->getIntValue(), 7);
    EXPECT_EQ (currentName(), "P7");
    EXPECT_EQ (order, std::vector<LoadListener*> ({ &second, &first }));
    EXPECT_EQ (first.cutoffs, std::vector<float> { 0.007f });   // heard after the values were set
}

TEST_F (PresetManagerTest, SelectionNeverWrapsIgnoresSlotsOutsideTheBankAndNeverReappliesTheCurrentPreset)
{
    loadBank ({ 3, 4 });
    presets.selectPreset (5, false);
    presets.selectPreset (128, false);
    presets.selectPreset (-1, false);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 5);

    presets.selectNextPreset (5);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 10);
    presets.selectPreviousPreset (3);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 7);
    presets.selectPreset (127, false);
    presets.selectNextPreset (1);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 127);
    presets.selectPreset (0, false);
    presets.selectPreviousPreset (1);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 0);

    presets.selectPresetInGroup (1, 2);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 5);

    auto& listener = listen();
    presets.selectNextPreset (0);
    presets.selectPreviousPreset (0);
    presets.selectPresetInGroup (1, 2);
    presets.selectPresetInGroup (1, 4);
    EXPECT_EQ (listener.calls(), 0);
}

TEST_F (PresetManagerTest, SilentModeHandsTheSelectionToAHandlerOrWithoutOneAppliesAtOnceAndUnknownModesAreIgnored)
{
    struct Handler : public PresetManager::ChangeHandler
    {
        void presetChangeRequested (int index, bool force) override { requests.push_back ({ index, force }); }
        std::vector<std::pair<int, bool>> requests;
    } handler;
    auto& listener = listen();
    presets.setPresetChangingMode (PresetManager::silentChanging);
    presets.setPresetChangingMode (-1);
    presets.setPresetStoringMode (7);
    EXPECT_EQ (presets.getPresetStoringMode(), PresetManager::onDemandStoring);
    EXPECT_EQ (presets.getPresetChangingMode(), PresetManager::silentChanging);

    presets.selectPreset (3, false);
    EXPECT_EQ (listener.calls(), 1);

    presets.setPresetChangeHandler (&handler);
    presets.selectPreset (4, false);
    EXPECT_EQ (listener.calls(), 1);
    EXPECT_EQ (handler.requests, (std::vector<std::pair<int, bool>> { { 4, false } }));
}

TEST_F (PresetManagerTest, SettingTheCurrentIndexAppliesNoValuesAndNotifiesOnlyWhenAsked)
{
    loadBank ({ 10 });
    parameters.setNormalisedValue (cutoffId, 0.9f);
    RecordingListener number;
    parameters.addListener (PresetManager::currentPresetNumberId, &number);

    presets.setCurrentPresetIndex (4, false);
    EXPECT_EQ (number.numChanges(), 0);
    EXPECT_EQ (parameters.getParameter (PresetManager::currentPresetNumberId)->getIntValue(), 4);

    presets.setCurrentPresetIndex (5, true);
    EXPECT_EQ (number.numChanges(), 1);
    EXPECT_EQ (presets.getCurrentPresetIndex(), 5);
    EXPECT_FLOAT_EQ (parameterValue (cutoffId), 0.9f);
    EXPECT_EQ (currentName(), "P5");
}

//==============================================================================
// Names, copy and paste

TEST_F (PresetManagerTest, RenamingTheCurrentSlotSetsTheNameParameterAndCopyingASlotCopiesNameAndValues)
{
    loadBank ({ 2, 3 });
    presets.selectPreset (2, false);

    presets.renameCurrentPreset ("Rubber Bass");
    presets.setPresetNameInGroup (1, 1, "Fourth");
    presets.copyPresetSlot (0, 4);

    EXPECT_EQ (presets.getPresetName (2), "Rubber Bass");
    EXPECT_EQ (currentName(), "Rubber Bass");
    EXPECT_EQ (presets.getPresetName (3), "Fourth");
    EXPECT_EQ (presets.getPresetName (0), "P4");
    EXPECT_FLOAT_EQ (slotValue (0, cutoffId), 0.004f);
}

TEST_F (PresetManagerTest, PasteNeedsACopyAndCarriesTheCopiedSoundNamedAsACopyIntoTheCurrentSlot)
{
    presets.setPresetName (0, "Acid");
    presets.selectPreset (0, false);
    auto& listener = listen();

    presets.pasteCopiedPreset();
    EXPECT_EQ (listener.calls(), 0);
    EXPECT_FALSE (presets.isCopyBufferFilled());

    parameters.setNormalisedValue (cutoffId, 0.8f);
    presets.copyCurrentPreset();
    presets.pasteCopiedPreset();
    EXPECT_EQ (presets.getPresetName (0), "Acid_copy");

    presets.selectPreset (9, false);
    presets.pasteCopiedPreset();
    EXPECT_FLOAT_EQ (slotValue (9, cutoffId), 0.8f);
    EXPECT_FLOAT_EQ (parameterValue (cutoffId), 0.8f);
    EXPECT_EQ (currentName(), "Acid_copy");
}

//==============================================================================
// Groups and moves

TEST_F (PresetManagerTest, GroupsGiveTheirStartEndAndCountAndPresetsTheirGroupAndPositionButNothingOutside)
{
    loadBank ({ 3, 0, 5 });
    const auto geometry = [this] (int g)
    {
        return std::vector<int> { presets.getGroupStartIndex (g), presets.getGroupEndIndex (g), presets.getNumPresetsInGroup (g) };
    };

    EXPECT_EQ (geometry (0), (std::vector<int> { 0, 2, 3 }));
    EXPECT_EQ (geometry (1), (std::vector<int> { 3, 2, 0 }));
    EXPECT_EQ (geometry (3), (std::vector<int> { 8, 127, 120 }));
    EXPECT_EQ (geometry (4), (std::vector<int> { -1, -1, 0 }));
    EXPECT_EQ (geometry (-1), (std::vector<int> { -1, -1, 0 }));

    int group = -2, position = -2;
    presets.getPresetGroupAndPosition (4, group, position);
    EXPECT_EQ (std::make_pair (group, position), std::make_pair (2, 1));
    presets.getPresetGroupAndPosition (128, group, position);
    EXPECT_EQ (std::make_pair (group, position), std::make_pair (-1, -1));

    EXPECT_EQ (presets.getPresetIndexInGroup (0, 2), 2);
    EXPECT_EQ (presets.getPresetIndexInGroup (0, 3), -1);
    EXPECT_EQ (presets.getPresetIndexInGroup (1, 0), -1);
    EXPECT_EQ (presets.getPresetIndexInGroup (2, -1), -1);
    EXPECT_EQ (presets.getPresetNameInGroup (0, 3), "");

    // A new group is inserted empty and named; only empty groups are removed.
    EXPECT_TRUE (presets.insertNewGroup (1));
    EXPECT_EQ (presets.getGroupName (1), "New Group");
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 0, 0, 5, 120 }));
    EXPECT_TRUE (presets.removeGroupIfEmpty (2));
    EXPECT_TRUE (presets.removeGroupIfEmpty (1));
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 5, 120 }));
}

TEST_F (PresetManagerTest, MovingTheCurrentPresetToALaterGroupKeepsItCurrentWithoutNotification)
{
    loadBank ({ 3, 3, 3 });
    presets.selectPreset (1, false);
    RecordingListener number;
    parameters.addListener (PresetManager::currentPresetNumberId, &number);

    ASSERT_TRUE (presets.movePreset (1, 7, 0, 2));

    EXPECT_EQ (presets.getCurrentPresetIndex(), 7);
    EXPECT_EQ (presets.getPresetName (7), "P1");
    EXPECT_EQ (parameters.getParameter (PresetManager::currentPresetNumberId)->getIntValue(), 7);
    EXPECT_EQ (number.numChanges(), 0);
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 2, 3, 4, 119 }));
}

TEST_F (PresetManagerTest, MovesAndGroupOperationsOutsideTheGroupsOrOnTheWrongGroupAreRefusedAndChangeNothing)
{
    loadBank ({ 3, 3, 0 });
    const struct
    {
        const char* what;
        int from, to, fromGroup, toGroup;
    } refusedMoves[] = { { "same index", 1, 1, 0, 0 },
                         { "from outside its group", 4, 0, 0, 0 },
                         { "from in an empty group", 5, 0, 2, 0 },
                         { "target outside the group", 0, 10, 0, 1 },
                         { "target in another group", 0, 1, 0, 1 },
                         { "unknown group", 0, 4, 0, 9 },
                         { "negative group", 0, 4, -1, 1 },
                         { "slot past the end", 0, 128, 0, 3 },
                         { "negative slot", -1, 2, 0, 0 } };

    for (const auto& move : refusedMoves)
        EXPECT_FALSE (presets.movePreset (move.from, move.to, move.fromGroup, move.toGroup)) << move.what;

    juce::SparseSet<int> none, reachingPast, first;
    reachingPast.addRange ({ 2, 4 });
    first.addRange ({ 0, 1 });

    EXPECT_FALSE (presets.movePresetsToGroup (1, 0, none));
    EXPECT_FALSE (presets.movePresetsToGroup (1, 0, reachingPast));
    EXPECT_FALSE (presets.movePresetsToGroup (0, 0, first));
    EXPECT_FALSE (presets.movePresetsToGroup (5, 0, first));
    EXPECT_FALSE (presets.moveGroup (0, 4));
    EXPECT_FALSE (presets.moveGroup (-1, 0));
    EXPECT_FALSE (presets.moveGroup (1, 1));
    EXPECT_FALSE (presets.insertNewGroup (presets.getNumGroups()));
    EXPECT_FALSE (presets.removeGroupIfEmpty (0));
    EXPECT_FALSE (presets.removeGroupIfEmpty (5));
    presets.setGroupName (4, "Nowhere");
    presets.setPresetNameInGroup (1, 3, "Nowhere");

    EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 3, 0, 122 }));
    EXPECT_EQ (presets.getGroupName (0), "G0");
    EXPECT_EQ (presets.getGroupName (4), "");
    EXPECT_EQ (presets.getPresetName (0), "P0");
    EXPECT_EQ (presets.getPresetName (6), "Preset 6");
}

//==============================================================================
namespace
{
/** The slots of each group in order, as the manager has them. */
using GroupModel = std::vector<std::vector<PresetSlot*>>;

GroupModel groupsOf (PresetManager& presets)
{
    GroupModel model (static_cast<size_t> (presets.getNumGroups()));

    for (int g = 0; g < presets.getNumGroups(); ++g)
        for (int p = 0; p < presets.getNumPresetsInGroup (g); ++p)
            model[(size_t) g].push_back (presets.getPresetSlot (presets.getPresetIndexInGroup (g, p)));

    return model;
}
} // namespace

// Every valid move, checked against a model that keeps each group's slots as a list.
TEST_F (PresetManagerTest, RandomValidMovesMatchAGroupModelKeepAll128SlotsAndTheCurrentPreset)
{
    loadBank ({ 10, 0, 20, 5, 1 });
    auto model = groupsOf (presets);
    presets.selectPreset (12, false);
    const auto* current = presets.getPresetSlot (12);
    std::mt19937 random (20240607);
    auto pick = [&random] (size_t size) { return std::uniform_int_distribution<size_t> (0, size - 1) (random); };
    auto startOf = [&model] (size_t group)
    {
        size_t start = 0;
        for (size_t g = 0; g < group; ++g)
            start += model[g].size();
        return (int) start;
    };

    for (int step = 0; step < 400; ++step)
    {
        SCOPED_TRACE ("step " + std::to_string (step));
        const auto kind = pick (5);
        const auto a = pick (model.size()), b = pick (model.size());

        if (kind <= 1 && ! model[a].empty())
        {
            const auto fromPosition = pick (model[a].size());
            const auto from = startOf (a) + (int) fromPosition;
            auto* slot = model[a][fromPosition];
            model[a].erase (model[a].begin() + (long) fromPosition);
            const auto toPosition = pick (model[b].size() + 1);
            model[b].insert (model[b].begin() + (long) toPosition, slot);
            const auto to = startOf (b) + (int) toPosition;

            ASSERT_EQ (presets.movePreset (from, to, (int) a, (int) b), from != to || a != b);
        }
        else if (kind == 2 && a != b && ! model[a].empty())
        {
            juce::SparseSet<int> positions;
            std::vector<PresetSlot*> kept, moved;

            for (size_t p = 0; p < model[a].size(); ++p)
            {
                const auto selected = pick (2) == 0;
                if (selected)
                    positions.addRange ({ (int) p, (int) p + 1 });
                (selected ? moved : kept).push_back (model[a][p]);
            }

            if (moved.empty())
                continue;

            model[a] = kept;
            model[b].insert (model[b].end(), moved.begin(), moved.end());
            ASSERT_TRUE (presets.movePresetsToGroup ((int) b, (int) a, positions));
        }
        else if (kind == 3 && a != b)
        {
            const auto group = model[a];
            model.erase (model.begin() + (long) a);
            model.insert (model.begin() + (long) b, group);
            ASSERT_TRUE (presets.moveGroup ((int) a, (int) b));
        }
        else if (kind == 4 && model[a].empty() && model.size() > 2)
        {
            model.erase (model.begin() + (long) a);
            ASSERT_TRUE (presets.removeGroupIfEmpty ((int) a));
        }
        else if (kind == 4)
        {
            model.insert (model.begin() + (long) a, std::vector<PresetSlot*>());
            ASSERT_TRUE (presets.insertNewGroup ((int) a));
        }

        ASSERT_EQ (groupsOf (presets), model);
        ASSERT_EQ (presets.getPresetSlot (presets.getCurrentPresetIndex()), current);
    }
}

//==============================================================================
// Files

TEST_F (PresetManagerTest, APresetFileLoadsIntoTheCurrentSlotIsAppliedAndOnlyAnExistingFolderIsRemembered)
{
    const TemporaryFolder folder;
    const auto file = folder.get().getChildFile ("Lead.tqprs");
    presets.getPresetSlot (4)->setValue (cutoffId, 0.375f);
    presets.setPresetName (4, "Lead");
    ASSERT_TRUE (presets.savePresetSlotToFile (file, 4));
    presets.selectPreset (1, false);

    ASSERT_TRUE (presets.loadPresetFileIntoCurrentSlot (file));

    EXPECT_EQ (presets.getPresetName (1), "Lead");
    EXPECT_FLOAT_EQ (parameterValue (cutoffId), 0.375f);
    EXPECT_EQ (presets.getLastUsedFolder(), folder.get());

    presets.setLastUsedFolder (folder.get().getChildFile ("missing"));
    EXPECT_EQ (presets.getLastUsedFolder(), folder.get());
}

TEST_F (PresetManagerTest, ABankFileListsEveryGroupRoundTripsGroupsNamesAndValuesAndAppliesTheCurrentPreset)
{
    const TemporaryFolder folder;
    const auto file = folder.get().getChildFile ("Mine.tqprsb");
    loadBank ({ 3, 0, 5 });
    presets.setGroupName (1, "Empty");

    const auto bank = presets.createBankXml();
    ASSERT_EQ (bank->getNumChildElements(), 4);
    EXPECT_EQ (bank->getStringAttribute ("name"), "Test Bank");
    EXPECT_EQ (bank->getChildElement (1)->getNumChildElements(), 0);
    EXPECT_EQ (bank->getChildElement (3)->getNumChildElements(), 120);
    EXPECT_FALSE (bank->getChildElement (0)->hasAttribute ("application"));
    ASSERT_TRUE (presets.saveBankToFile (file));

    presets.clearPresets();
    presets.setCurrentPresetIndex (7, false);
    ASSERT_TRUE (presets.loadBankFromFile (file));

    EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 0, 5, 120 }));
    EXPECT_EQ (presets.getGroupName (1), "Empty");
    EXPECT_EQ (presets.getPresetName (7), "P7");
    EXPECT_FLOAT_EQ (slotValue (7, cutoffId), 0.007f);
    EXPECT_FLOAT_EQ (parameterValue (cutoffId), 0.007f);
}

// Stored banks and hosts' projects compare what was saved byte by byte.
TEST_F (PresetManagerTest, ABankFileIsWrittenByteForByteAsEver)
{
    const TemporaryFolder folder;
    const auto file = folder.get().getChildFile ("Same.tqprsb");
    loadBank ({ 3, 0, 5 });
    presets.setGroupName (1, "Empty");
    presets.getPresetSlot (9)->setValue (volumeId, 0.1234567f);
    ASSERT_TRUE (presets.saveBankToFile (file));

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    const auto text = file.loadFileAsString().replace ("\r\n", "\n");
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n<PresetBank name=\"Test Bank\">\n"
                                  "  <PresetGroup name=\"G0\">\n    <Preset application=\"Tarvelin\" name=\"P0\">\n"
                                  "      <param name=\"Tune\" value=\"0.5\"/>\n")) << text.substring (0, 300);
    EXPECT_TRUE (text.contains ("  </PresetGroup>\n  <PresetGroup name=\"Empty\"/>\n  <PresetGroup name=\"G2\">\n"));
    EXPECT_EQ (bytes.getSize(), size_t { 203513 });
    EXPECT_EQ (juce::MD5 (bytes).toHexString(), "174bb99ac6c319c9cffb21ba57abea19");
}

TEST_F (PresetManagerTest, ABankPathThatIsNoRegularFileOrLargerThanAnyFileIsRefusedUnreadAndChangesNothing)
{
    const TemporaryFolder folder;
    loadBank ({ 3 });
    presets.selectPreset (1, true);

    auto paths = NotRegularFiles::make (folder, ".tqprsb");
    paths.add (NotRegularFiles::makeSparse (folder, "Huge.tqprsb", PresetManager::maxBankFileBytes + 1));

    for (const auto& path : paths)
    {
        EXPECT_FALSE (presets.loadBankFromFile (path)) << path.getFullPathName();
        EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 125 }));
        EXPECT_EQ (presets.getPresetName (2), "P2");
        EXPECT_EQ (presets.getCurrentPresetIndex(), 1);
    }
}

TEST_F (PresetManagerTest, ForeignOrDamagedPresetsAndBanksChangeNothingAndAWriteOfNoSlotFails)
{
    const TemporaryFolder folder;
    const auto junk = folder.write ("Junk.tqprs", "not xml at all");
    const auto broken = folder.write ("Broken.tqprsb", "<PresetBank><PresetGroup");
    loadBank ({ 3 });

    EXPECT_FALSE (presets.loadPresetFileIntoSlot (junk, 0));
    EXPECT_FALSE (presets.loadPresetFileIntoSlot (folder.get().getChildFile ("Missing.tqprs"), 0));
    EXPECT_FALSE (presets.loadBankFromFile (broken));
    EXPECT_FALSE (presets.loadBankFromXml (juce::XmlElement ("PresetGroup")));
    EXPECT_FALSE (presets.loadPresetFromXml (*makePresetXml ("Alien", 0.7f, "OtherSynth"), 0));
    EXPECT_FALSE (presets.savePresetSlotToFile (folder.get().getChildFile ("x.tqprs"), 128));
    EXPECT_EQ (presets.getPresetName (0), "P0");
    EXPECT_EQ (groupCounts(), std::vector<int> ({ 3, 125 }));
}
