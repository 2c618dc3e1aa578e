#include <gtest/gtest.h>

#include "output/CitizenSelection.h"
#include "settings/OrganisationStore.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

TEST(CitizenSelection, CountGoesBeforeTheExtensionOfTheFileNameOnly) {
    const struct {
        const char* chosen;
        int count;
        const char* expected;
    } cases[] = {
        {"/home/user/list.xml", 3, "/home/user/list - 3.xml"},
        {"a.xml", 1, "a - 1.xml"},
        {"/home/user/Реестр.xls", 12, "/home/user/Реестр - 12.xls"},
        {"/home/user/list.html", 2, "/home/user/list - 2.html"},
        {"/home/user/list", 2, "/home/user/list - 2"},
        {"/home/us.er/list", 2, "/home/us.er/list - 2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(output::FileNameWithCount(QString::fromUtf8(c.chosen), c.count),
                  QString::fromUtf8(c.expected))
            << c.chosen;
}

TEST(CitizenSelection, DefaultOutputNameDoublesTheApostrophesOfQuotes) {
    TestFolder folder;
    TestDatabase data(folder.path());
    const QDateTime moment(QDate(2009, 3, 5), QTime(14, 7));
    EXPECT_EQ(output::DefaultOutputName(data.db(), moment), " 05.03.2009-14.07");
    settings::OrgFormData organisation;
    organisation.name = QStringLiteral("ООО \"Ромашка\"");
    settings::SaveOrganisation(data.db(), organisation);
    EXPECT_EQ(output::DefaultOutputName(data.db(), moment), "ООО ''Ромашка'' 05.03.2009-14.07");
}
