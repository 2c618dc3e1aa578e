#include <gtest/gtest.h>

#include "citizens/CitizenStore.h"
#include "output/CitizenSearch.h"
#include "storage/Database.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using output::FilterField;
using output::SearchFilter;

namespace {

const QDateTime kMorning(QDate(2009, 3, 1), QTime(10, 0));

class CitizenSearchTest : public ::testing::Test {
protected:
    // Adds a citizen under the next key; returns the key.
    int add(const QString& surname, const QString& givenName = QStringLiteral("Иван"),
            const QDateTime& created = kMorning) {
        citizens::IGFormData record;
        record.surname = surname;
        record.givenName = givenName;
        record.birthDate = QStringLiteral("01/01/1980");
        record.citizenship = 22;
        record.photo = QStringLiteral("/9j/4A==");
        return citizens::InsertCitizen(data.db(), record, ++lastKey, created);
    }

    QStringList surnames(const SearchFilter& filter) {
        QStringList found;
        for (const citizens::IGFormData& record : output::SearchCitizens(data.db(), filter))
            found << record.surname;
        return found;
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    int lastKey = 0;
};

}  // namespace

TEST_F(CitizenSearchTest, NamePartsMatchAnywhereInEitherCaseWithBlanksKept) {
    for (const char* surname : {"Иванов", "Сиванова", "Петрович-Ива", "Ива нова", "Петров", "ЁЛКИН",
                                "Елкин", "Smith", "Straße", "Müller"})
        add(QString::fromUtf8(surname));
    add(QStringLiteral("Иванов"), QStringLiteral("Пётр"));

    const struct {
        const char* surname;
        const char* givenName;
        QStringList expected;
    } cases[] = {
        {"",
         "",
         {"Иванов", "Сиванова", "Петрович-Ива", "Ива нова", "Петров", "ЁЛКИН", "Елкин", "Smith",
          "Straße", "Müller", "Иванов"}},
        {"ива", "", {"Иванов", "Сиванова", "Петрович-Ива", "Ива нова", "Иванов"}},
        {"ива ", "", {"Ива нова"}},
        {" ива", "", {}},
        {"ёлк", "", {"ЁЛКИН"}},
        {"ЕЛК", "", {"Елкин"}},
        {"SMI", "", {"Smith"}},
        {"ss", "", {"Straße"}},  // "ß" is "SS" in upper case
        {"üll", "", {"Müller"}},
        {"иванов", "пётр", {"Иванов"}},
        {"", "ПЁТР", {"Иванов"}},
    };
    for (const auto& c : cases) {
        SearchFilter filter;
        filter.surname = QString::fromUtf8(c.surname);
        filter.givenName = QString::fromUtf8(c.givenName);
        EXPECT_EQ(surnames(filter), c.expected) << c.surname << " / " << c.givenName;
    }
}

TEST_F(CitizenSearchTest, CreationRangeIncludesBothHoursOfItsBounds) {
    const QDate day(2009, 3, 1);
    add("накануне", "", QDateTime(day.addDays(-1), QTime(10, 30)));
    add("в 9:59", "", QDateTime(day, QTime(9, 59)));
    add("в 10:00", "", QDateTime(day, QTime(10, 0)));
    add("в 10:59", "", QDateTime(day, QTime(10, 59)));
    add("в 11:00", "", QDateTime(day, QTime(11, 0)));
    add("назавтра", "", QDateTime(day.addDays(1), QTime(0, 0)));

    const struct {
        const char *fromDate, *fromHour, *toDate, *toHour;
        QStringList expected;
    } cases[] = {
        {"01/03/2009", "10", "01/03/2009", "10", {"в 10:00", "в 10:59"}},
        {"01/03/2009", "10", "", "23", {"в 10:00", "в 10:59", "в 11:00", "назавтра"}},
        {"01/03/2009", "", "01/03/2009", "", {"в 9:59", "в 10:00", "в 10:59", "в 11:00"}},
        {"", "0", "28/02/2009", "23", {"накануне"}},
        {"02/03/2009", "1", "", "", {}},
    };
    for (const auto& c : cases) {
        SearchFilter filter;
        filter.addedFromDate = QString::fromUtf8(c.fromDate);
        filter.addedFromHour = QString::fromUtf8(c.fromHour);
        filter.addedToDate = QString::fromUtf8(c.toDate);
        filter.addedToHour = QString::fromUtf8(c.toHour);
        EXPECT_EQ(surnames(filter), c.expected)
            << c.fromDate << ' ' << c.fromHour << " - " << c.toDate << ' ' << c.toHour;
    }
}

TEST_F(CitizenSearchTest, BirthDateAndCitizenshipAreSelectedByTheStore) {
    add("Первый");
    citizens::IGFormData other;
    other.surname = QStringLiteral("Второй");
    other.birthDate = QStringLiteral("02/02/1990");
    other.citizenship = 7;
    citizens::InsertCitizen(data.db(), other, ++lastKey, kMorning);

    SearchFilter byBirth;
    byBirth.birthDate = QStringLiteral("02/02/1990");
    EXPECT_EQ(surnames(byBirth), QStringList{"Второй"});
    SearchFilter byCountry;
    byCountry.citizenship = QStringLiteral("22");
    EXPECT_EQ(surnames(byCountry), QStringList{"Первый"});
    byCountry.citizenship = QStringLiteral("8");
    EXPECT_EQ(surnames(byCountry), QStringList{});
}

TEST_F(CitizenSearchTest, RecordsAreFilledAsLoadCitizenFillsThemWithoutThePhoto) {
    const int key = add("Иванов");
    citizens::IGFormData loaded;
    ASSERT_TRUE(citizens::LoadCitizen(data.db(), loaded, key));
    ASSERT_FALSE(loaded.photo.isEmpty());
    const QList<citizens::IGFormData> found = output::SearchCitizens(data.db(), {});
    ASSERT_EQ(found.size(), 1);
    loaded.photo.clear();
    EXPECT_EQ(found[0], loaded);
}

TEST_F(CitizenSearchTest, AtMostTwoThousandAreListedInStoredOrder) {
    {
        storage::Transaction transaction(data.db());
        for (int i = 0; i < output::kSearchLimit + 5; ++i)
            add(QStringLiteral("Гражданин %1").arg(i));
        transaction.commit();
    }
    // An updated citizen keeps its place in the stored order.
    citizens::IGFormData first;
    citizens::LoadCitizen(data.db(), first, 1);
    first.surname = QStringLiteral("Обновлённый");
    citizens::UpdateCitizen(data.db(), first, 1);

    const QList<citizens::IGFormData> found = output::SearchCitizens(data.db(), {});
    ASSERT_EQ(found.size(), output::kSearchLimit);
    EXPECT_EQ(found.first().surname, "Обновлённый");
    EXPECT_EQ(found.last().key, output::kSearchLimit);
}

TEST_F(CitizenSearchTest, AFilterTextThatCannotBeConvertedIsNamed) {
    add("Иванов");
    const struct {
        QString SearchFilter::*text;
        const char* value;
        FilterField field;
    } cases[] = {
        {&SearchFilter::birthDate, "31/02/2009", FilterField::BirthDate},
        {&SearchFilter::addedFromDate, "0103", FilterField::AddedFromDate},
        {&SearchFilter::addedToDate, "ab/cd/efgh", FilterField::AddedToDate},
        {&SearchFilter::citizenship, "", FilterField::Citizenship},
        {&SearchFilter::addedFromHour, "x", FilterField::AddedFromHour},
        {&SearchFilter::addedToHour, "24", FilterField::AddedToHour},
    };
    for (const auto& c : cases) {
        SearchFilter filter;
        filter.*c.text = QString::fromUtf8(c.value);
        try {
            output::SearchCitizens(data.db(), filter);
            ADD_FAILURE() << c.value << " was accepted";
        } catch (const output::SearchFilterError& error) {
            EXPECT_EQ(error.field(), c.field) << c.value;
        }
    }
}
