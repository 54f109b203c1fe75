#include "framework/XmlFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace
{
/** Limits the size of any file this process writes, as a full disk would. */
struct ScopedFileSizeLimit
{
    explicit ScopedFileSizeLimit (rlim_t bytes)
    {
        getrlimit (RLIMIT_FSIZE, &old);
        previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        auto limited = old;
        limited.rlim_cur = bytes;
        setrlimit (RLIMIT_FSIZE, &limited);
    }

    ~ScopedFileSizeLimit()
    {
        setrlimit (RLIMIT_FSIZE, &old);
        std::signal (SIGXFSZ, previousHandler);
    }

    rlimit old {};
    void (*previousHandler) (int) = nullptr;
};
} // namespace

class XmlFilesTest : public ::testing::Test
{
protected:
    juce::TemporaryFile temporaryFolder;
    juce::File folder = temporaryFolder.getFile();

    void SetUp() override { folder.createDirectory(); }
    void TearDown() override { folder.deleteRecursively(); }
};

TEST_F (XmlFilesTest, FilesAreWrittenAsUtf8WithoutADtdAndReadBack)
{
    const auto file = folder.getChildFile ("a.xml");
    juce::XmlElement element ("UserSettings");
    element.setAttribute ("application", "Tarvelin");

    ASSERT_TRUE (XmlFiles::write (element, file));

    const auto lines = juce::StringArray::fromLines (file.loadFileAsString());
    EXPECT_EQ (lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_TRUE (lines[2].startsWith ("<UserSettings"));
    const auto back = XmlFiles::read (file);
    ASSERT_NE (back, nullptr);
    EXPECT_TRUE (back->isEquivalentTo (&element, false));
}

TEST_F (XmlFilesTest, WritingReplacesTheOldFileAndLeavesNothingBeside)
{
    const auto file = folder.getChildFile ("a.xml");
    file.replaceWithText (juce::String::repeatedString ("old ", 1000));

    ASSERT_TRUE (XmlFiles::write (juce::XmlElement ("New"), file));

    EXPECT_EQ (XmlFiles::read (file)->getTagName(), "New");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories + juce::File::ignoreHiddenFiles, "*"), 1);
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 1);
}

TEST_F (XmlFilesTest, AMissingFolderIsCreated)
{
    const auto file = folder.getChildFile ("Ulvra Group/Tarvelin/Tarvelin.ini");

    EXPECT_TRUE (XmlFiles::write (juce::XmlElement ("UserSettings"), file));
    EXPECT_TRUE (file.existsAsFile());
}

TEST_F (XmlFilesTest, AFailedWriteIsReportedAndKeepsWhatWasThere)
{
    const auto occupied = folder.getChildFile ("occupied");
    ASSERT_TRUE (occupied.createDirectory());
    ASSERT_TRUE (occupied.getChildFile ("inside").replaceWithText ("kept"));

    EXPECT_FALSE (XmlFiles::write (juce::XmlElement ("New"), occupied));
    EXPECT_EQ (occupied.getChildFile ("inside").loadFileAsString(), "kept");
    EXPECT_FALSE (XmlFiles::write (juce::XmlElement ("New"), juce::File()));
}

TEST_F (XmlFilesTest, AShortWriteIsReportedAndKeepsTheOldFile)
{
    const auto file = folder.getChildFile ("bank.xml");
    file.replaceWithText ("<Old/>");
    juce::XmlElement bank ("PresetBank");
    for (int i = 0; i < 200; ++i)
        bank.createNewChildElement ("Preset")->setAttribute ("name", "Preset number " + juce::String (i));

    bool written = true;
    {
        const ScopedFileSizeLimit limit (100);
        written = XmlFiles::write (bank, file);
    }

    EXPECT_FALSE (written);
    EXPECT_EQ (file.loadFileAsString(), "<Old/>");
}

TEST_F (XmlFilesTest, MissingOrBrokenFilesReadAsNothing)
{
    const auto broken = folder.getChildFile ("broken.xml");
    broken.replaceWithText ("<Root a=\"1");

    EXPECT_EQ (XmlFiles::read (broken), nullptr);
    EXPECT_EQ (XmlFiles::read (folder.getChildFile ("missing.xml")), nullptr);
    EXPECT_EQ (XmlFiles::parse ("not xml at all"), nullptr);
}

TEST (XmlFiles, OnlyAbsolutePathsNameAFile)
{
    EXPECT_EQ (XmlFiles::fileFromPath ("relative/map.tqhpmap"), juce::File());
    EXPECT_EQ (XmlFiles::fileFromPath (""), juce::File());
    EXPECT_EQ (XmlFiles::fileFromPath ("/tmp/map.tqhpmap").getFileName(), "map.tqhpmap");
}

TEST (XmlFiles, IntegerAttributesThatAreNotFiniteAreUnreadable)
{
    const auto element = juce::parseXML ("<assign a=\"12\" b=\"nan\" c=\"-inf\"/>");
    int value = 99;

    EXPECT_TRUE (XmlFiles::readIntAttribute (*element, "a", 0, value));
    EXPECT_EQ (value, 12);
    EXPECT_TRUE (XmlFiles::readIntAttribute (*element, "missing", 7, value));
    EXPECT_EQ (value, 7);
    EXPECT_FALSE (XmlFiles::readIntAttribute (*element, "b", 0, value));
    EXPECT_FALSE (XmlFiles::readIntAttribute (*element, "c", 0, value));
}
