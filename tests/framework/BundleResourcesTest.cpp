#include "framework/BundleResources.h"

#include <gtest/gtest.h>

TEST (BundleResources, FindsAnEmbeddedFileByItsName)
{
    const auto block = loadBundleResource ("events.xml");
    ASSERT_NE (block, nullptr);
    EXPECT_GT (block->getSize(), 0u);
    EXPECT_TRUE (loadBundleResourceAsString ("events.xml").contains ("EventsMap"));
}

TEST (BundleResources, NameWithoutDotHasAnEmptyExtension)
{
    EXPECT_EQ (loadBundleResource ("events"), nullptr);
}

TEST (BundleResources, MissingResourceGivesNullOrEmpty)
{
    EXPECT_EQ (loadBundleResource ("no-such-file.xml"), nullptr);
    EXPECT_TRUE (loadBundleResourceAsString ("no-such-file.xml").isEmpty());
    EXPECT_FALSE (loadBundleResourceAsImage ("no-such-file.png").isValid());
}

TEST (BundleResources, TextThatIsNoPictureGivesANullImage)
{
    EXPECT_FALSE (loadBundleResourceAsImage ("events.xml").isValid());
}

TEST (BundleResources, NamesAreCaseSensitive)
{
    EXPECT_EQ (loadBundleResource ("Events.xml"), nullptr);
}
