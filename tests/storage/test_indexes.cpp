#include <gtest/gtest.h>

#include "storage/Indexes.h"
#include "storage/Views.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace storage;

namespace {

QStringList IndexNames(Database& db) {
    Statement query = db.prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL "
        "ORDER BY name");
    QStringList names;
    while (query.step())
        names << query.columnText(0);
    return names;
}

QStringList ExpectedNames() {
    QStringList names;
    for (const Index& index : Indexes())
        names << index.name;
    names.sort();
    return names;
}

QString Plan(Database& db, const std::string& sql) {
    Statement query = db.prepare("EXPLAIN QUERY PLAN " + sql);
    QStringList steps;
    while (query.step())
        steps << query.columnText(3);
    return steps.join(QStringLiteral("; "));
}

}  // namespace

TEST(Indexes, FreshDatabaseHasThemAndTheLayoutsStayAsTheyAre) {
    TestFolder folder;
    TestDatabase data(folder.path());
    EXPECT_EQ(IndexNames(data.db()), ExpectedNames());
    for (const Layout& layout : schema::Layouts())
        EXPECT_EQ(StoredLayout(data.db(), layout.view), layout);
}

TEST(Indexes, RestructuredTablesGetThemBack) {
    TestFolder folder;
    {
        // ig without iOrgType in a file of the current version: restructured in place.
        auto db = MakeOwnDatabase(folder.file("igdb.dat"),
                                  {"ig[igid:I,iRNP_ig_num:S]", "app_options[key:S,value:S]"});
        db->exec("INSERT INTO app_options VALUES ('DATABASE_VERSION', '2')");
        db->exec("CREATE INDEX ig_igid ON ig (igid)");
    }
    TestDatabase data(folder.path());
    EXPECT_EQ(IndexNames(data.db()), ExpectedNames());
}

TEST(Indexes, QuotaAccountingNeverReadsCitizenRows) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const QString plan = Plan(data.db(),
                              "SELECT iProfess, iProfessPrefix, count(*) FROM ig "
                              "WHERE iRNP_ig_num = 'A' GROUP BY iProfess, iProfessPrefix");
    EXPECT_TRUE(plan.contains("USING COVERING INDEX ig_permit")) << plan.toStdString();
    EXPECT_TRUE(Plan(data.db(), "SELECT * FROM ig WHERE igid = 1").contains("USING INDEX ig_igid"));
}
