// Every file the instrument writes, against the ways a write can fail where the
// tests run as root (permissions stop nothing then). Each kind has its own save
// function, so each meets a full disk with an earlier save to lose; a folder that
// cannot be made stops them all at the same step of the shared writer, so only
// the settings file and one file the user names meet it. The write must say it
// failed, and whatever was there must be there still, byte for byte.

#include "support/FolderContents.h"
#include "support/InstrumentTestSupport.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace
{
/** One kind of file: where it lands for a folder, how it is written, and a change
    that makes the next write's text differ from the last one. */
struct WrittenFile
{
    const char* name;
    std::function<juce::File (Tarvelin&, const juce::File& folder)> locate;
    std::function<bool (Tarvelin&, const juce::File& file)> write;
    std::function<void (Tarvelin&)> change;
};

enum class Obstacle { fullDisk, folderIsAFile };

/** The settings folder follows XDG_CONFIG_HOME: pointing it at the folder puts the file there. */
juce::File inSettingsFolder (Tarvelin&, const juce::File& folder, const juce::String& extension)
{
    ::setenv ("XDG_CONFIG_HOME", folder.getFullPathName().toRawUTF8(), 1);
    return folder.getChildFile ("Ulvra Group/Tarvelin/Tarvelin" + extension);
}

std::function<juce::File (Tarvelin&, const juce::File&)> namedInFolder (const char* extension)
{
    return [extension] (Tarvelin&, const juce::File& folder) { return folder.getChildFile (juce::String ("Saved") + extension); };
}

void renameFirstPreset (Tarvelin& instrument)     { instrument.setPresetName (0, "Changed since"); }
void renameFirstPattern (Tarvelin& instrument)    { instrument.setPatternName (0, "Changed since"); }

const WrittenFile writtenFiles[] = {
    { "UserSettings",
      [] (Tarvelin& i, const juce::File& folder) { return inSettingsFolder (i, folder, ".ini"); },
      [] (Tarvelin& i, const juce::File&) { return i.saveUserSettings(); },
      [] (Tarvelin& i) { i.setPresetAuthor ("Changed since"); } },

    { "StateDump",
      [] (Tarvelin& i, const juce::File& folder) { return inSettingsFolder (i, folder, ".dump"); },
      [] (Tarvelin& i, const juce::File&) { return i.writeStateDump(); },
      renameFirstPattern },

    { "SinglePreset", namedInFolder (".tqprs"),
      [] (Tarvelin& i, const juce::File& file) { return i.saveCurrentPresetToFile (file); },
      [] (Tarvelin& i) { i.renameCurrentPreset ("Changed since"); } },

    { "PresetBank", namedInFolder (".tqprsb"),
      [] (Tarvelin& i, const juce::File& file) { return i.saveBankToFile (file); },
      renameFirstPreset },

    { "Pattern", namedInFolder (".tqptr"),
      [] (Tarvelin& i, const juce::File& file) { return i.savePatternFile (file, 0); },
      renameFirstPattern },

    { "PatternBank", namedInFolder (".tqptrb"),
      [] (Tarvelin& i, const juce::File& file) { return i.savePatternBankFile (file); },
      renameFirstPattern },

    { "MidiControlMap", namedInFolder (".tqccmap"),
      [] (Tarvelin& i, const juce::File& file) { return i.getMidiControl().saveToFile (file); },
      [] (Tarvelin& i) { i.getMidiControl().assign (20, i.getParameterManager().getParameter (TarvelinIds::cutoff), true); } },

    { "HostParametersMap", namedInFolder (".tqhpmap"),
      [] (Tarvelin& i, const juce::File& file) { return i.saveHostParametersMap (file); },
      [] (Tarvelin& i) { i.unassignHostSlot (0); } },
};

// How GoogleTest names the parameters in its messages.
[[maybe_unused]] void PrintTo (const WrittenFile& kind, std::ostream* out)  { *out << kind.name; }
[[maybe_unused]] void PrintTo (Obstacle obstacle, std::ostream* out)        { *out << (obstacle == Obstacle::fullDisk ? "full disk" : "folder is a file"); }

std::string nameOfKind (const ::testing::TestParamInfo<std::tuple<WrittenFile, Obstacle>>& test)
{
    return std::get<0> (test.param).name;
}
} // namespace

class FailedWrites : public ::testing::TestWithParam<std::tuple<WrittenFile, Obstacle>>
{
protected:
    void SetUp() override
    {
        instrument = InstrumentTest::createInstrument();
        previousConfigHome = juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {});
    }

    void TearDown() override
    {
        ::setenv ("XDG_CONFIG_HOME", previousConfigHome.toRawUTF8(), 1);
    }

    /** Puts the obstacle in place and returns the folder that the file is to go into. */
    juce::File prepare (Obstacle obstacle)
    {
        if (obstacle == Obstacle::fullDisk)
            return temporary.get().getChildFile ("Full");

        return temporary.write ("NotAFolder", "a file where a folder should be");
    }

    const WrittenFile& kind() const { return std::get<0> (GetParam()); }

    TemporaryFolder temporary;
    std::unique_ptr<Tarvelin> instrument;
    juce::String previousConfigHome;
};

TEST_P (FailedWrites, AreReportedAndLeaveWhatWasThereByteForByte)
{
    const auto obstacle = std::get<1> (GetParam());
    const auto folder = prepare (obstacle);
    const auto file = kind().locate (*instrument, folder);

    // On a full disk there is an earlier save to lose.
    if (obstacle == Obstacle::fullDisk)
    {
        ASSERT_TRUE (kind().write (*instrument, file));
        ASSERT_TRUE (file.existsAsFile());
        kind().change (*instrument);
    }

    const auto before = describeFolderContents (temporary.get());

    bool written = true;
    {
        const ScopedFileSizeLimit fullDisk (obstacle == Obstacle::fullDisk ? 64 : RLIM_INFINITY);
        written = kind().write (*instrument, file);
    }

    EXPECT_FALSE (written);
    EXPECT_EQ (describeFolderContents (temporary.get()).joinIntoString ("\n"), before.joinIntoString ("\n"));
}

INSTANTIATE_TEST_SUITE_P (EveryFileOnAFullDisk, FailedWrites,
                          ::testing::Combine (::testing::ValuesIn (writtenFiles), ::testing::Values (Obstacle::fullDisk)),
                          nameOfKind);

// The settings file and a preset bank.
INSTANTIATE_TEST_SUITE_P (AFolderThatIsAFile, FailedWrites,
                          ::testing::Combine (::testing::Values (writtenFiles[0], writtenFiles[3]), ::testing::Values (Obstacle::folderIsAFile)),
                          nameOfKind);
