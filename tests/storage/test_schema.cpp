#include <gtest/gtest.h>

#include "storage/Schema.h"

using namespace storage;

TEST(Schema, SeventeenViewsWithTheirPropertyCounts) {
    const QList<Layout>& layouts = schema::Layouts();
    ASSERT_EQ(layouts.size(), 17);
    EXPECT_EQ(schema::Ig().properties.size(), 40);
    EXPECT_EQ(schema::Ig().properties[33].name, "iOrgType");
    EXPECT_EQ(schema::Pp().properties.size(), 17);
    EXPECT_EQ(schema::Org().properties[5].name, "orgType");
    EXPECT_EQ(schema::AppOptions().toString(), "app_options[key:S,value:S]");
    EXPECT_EQ(layouts.back().toString(), "IG_PKG_GEN[IG_PKG_GEN:I]");
}

TEST(Schema, LayoutTextRoundTrips) {
    for (const Layout& layout : schema::Layouts())
        EXPECT_EQ(*Layout::parse(layout.toString()), layout);
}

TEST(Schema, LookupIgnoresAsciiCase) {
    ASSERT_TRUE(schema::LayoutOf("ORG"));
    EXPECT_EQ(schema::LayoutOf("ORG")->view, "org");
    EXPECT_FALSE(schema::LayoutOf("orgs"));
    EXPECT_EQ(schema::Ig().indexOf("IORGTYPE"), 33);
    EXPECT_EQ(schema::Ig().indexOf("nothing"), -1);
    // Only Latin letters fold.
    EXPECT_FALSE(SameName("Ява", "ява"));
}

TEST(Schema, UpgradeWalksViewsInNameOrder) {
    const QStringList order = schema::ViewsInUpgradeOrder();
    ASSERT_EQ(order.size(), 17);
    EXPECT_EQ(order.first(), "IGGEN");
    EXPECT_EQ(order[1], "IG_PKG_GEN");
    EXPECT_LT(order.indexOf("optionRegion"), order.indexOf("optionpp"));
}

TEST(Schema, ParseRefusesMalformedLayouts) {
    for (const char* text : {"", "ig", "ig[", "ig[a:X]", "ig[a]", "[a:I]", "ig[a:I,]", "ig[a:I]x"})
        EXPECT_FALSE(Layout::parse(QString::fromLatin1(text))) << text;
    ASSERT_TRUE(Layout::parse("empty[]"));
    EXPECT_TRUE(Layout::parse("empty[]")->properties.isEmpty());
}

TEST(Schema, StructureDescriptionSplitsAtClosingBracketAndComma) {
    const QList<Layout> layouts =
        SplitStructureDescription("a[x:I,y:S],b[z:I],app_options[key:S,value:S]");
    ASSERT_EQ(layouts.size(), 3);
    EXPECT_EQ(layouts[0].toString(), "a[x:I,y:S]");
    EXPECT_EQ(layouts[1].toString(), "b[z:I]");
    EXPECT_EQ(layouts[2].view, "app_options");
    EXPECT_TRUE(SplitStructureDescription("").isEmpty());
}
