#include "framework/BundleResources.h"

#include <gtest/gtest.h>

TEST (BundleResources, FindsAnEmbeddedFileByItsExactNameWithItsExtensionAndNothingElse)
{
    const auto block = loadBundleResource ("events.xml");
    ASSERT_NE (block, nullptr);
    EXPECT_GT (block->getSize(), 0u);
    EXPECT_TRUE (loadBundleResourceAsString ("events.xml").contains ("EventsMap"));

    EXPECT_EQ (loadBundleResource ("events"), nullptr);       // a name without "." has an empty extension
    EXPECT_EQ (loadBundleResource ("Events.xml"), nullptr);   // names are case-sensitive
    EXPECT_EQ (loadBundleResource ("no-such-file.xml"), nullptr);
    EXPECT_TRUE (loadBundleResourceAsString ("no-such-file.xml").isEmpty());
    EXPECT_FALSE (loadBundleResourceAsImage ("no-such-file.png").isValid());
    EXPECT_FALSE (loadBundleResourceAsImage ("events.xml").isValid());
}
