#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <QSet>
#include <QStringEncoder>

#include "dictionaries/ReferenceLoader.h"
#include "support/TestFolder.h"

using namespace dictionaries;

namespace {

const char* const kFiles[] = {
    kCountriesFile, kProfessionsFile, kTerritoriesFile,        kRegionsFile,
    kDistrictsFile, kPrefixesFile,    kGenitiveProfessionsFile};

// What the loading reported, in order: progress texts, and "<repaint>" for each repaint.
struct Recorder {
    QStringList events;
    LoadingProgress progress{[this](const QString& text) { events << text; },
                             [this] { events << QStringLiteral("<repaint>"); }};
};

// The seven small reference files of tests/data: countries, professions and districts in
// windows-1251, the others in UTF-8 (one with a byte-order mark, one without a declaration).
class ReferenceListsTest : public ::testing::Test {
protected:
    TestFolder folder;
    Recorder recorder;
    ReferenceLists lists;
    QString error;

    void SetUp() override {
        for (const char* name : kFiles)
            folder.copyFixture(QStringLiteral("dictionaries/") + QLatin1String(name));
    }

    bool load() { return LoadReferenceLists(folder.path(), lists, recorder.progress, &error); }

    void restore(const char* name) {
        QFile::remove(folder.file(QLatin1String(name)));
        folder.copyFixture(QStringLiteral("dictionaries/") + QLatin1String(name));
    }

    // Writes a reference file in windows-1251, as users' files usually are.
    void writeCp1251(const char* name, const QString& text) {
        QStringEncoder encoder("windows-1251");
        folder.write(QLatin1String(name),
                     QByteArray(encoder.encode(
                         "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" + text)));
    }
};

ReferenceList Entries(std::initializer_list<ReferenceEntry> entries) {
    return ReferenceList(entries);
}

}  // namespace

TEST_F(ReferenceListsTest, EightListsInFileOrderFromBothEncodings) {
    ASSERT_TRUE(load()) << error.toStdString();
    EXPECT_EQ(lists.visaFreeCountries,
              Entries({{"Азербайджан", ComboItem(31)}, {"Армения", ComboItem(51)}}));
    EXPECT_EQ(lists.allCountries, Entries({{"Азербайджан", ComboItem(31)},
                                           {"Армения", ComboItem(51)},
                                           {"Китай", ComboItem(156)},
                                           {"Вьетнам", ComboItem(704)},
                                           {"Турция", ComboItem(792)}}));
    EXPECT_EQ(lists.professions, Entries({{"Каменщик", ComboItem(12680)},
                                          {"Маляр", ComboItem(13450)},
                                          {"Штукатур", ComboItem(19727)}}));
    EXPECT_EQ(lists.genitiveProfessions, Entries({{"каменщика", ComboItem(12680)},
                                                  {"маляра", ComboItem(13450)},
                                                  {"штукатура", ComboItem(19727)}}));
    EXPECT_EQ(lists.territories,
              Entries({{"Москва", ComboItem(77)}, {"Московская область", ComboItem(50)}}));
    EXPECT_EQ(lists.regions, Entries({{"Ленинградская область", ComboItem(47)},
                                      {"Московская область", ComboItem(50)},
                                      {"Москва", ComboItem(77)}}));
    EXPECT_EQ(lists.districts, Entries({{"Бокситогорский район", ComboItem(4701, 47)},
                                        {"Волоколамский район", ComboItem(5001, 50)},
                                        {"Волосовский район", ComboItem(4702, 47)}}));
    EXPECT_EQ(lists.professionPrefixes,
              Entries({{"Помощник", ComboItem(1, 1)}, {"Старший", ComboItem(2, 0)}}));

    // The countries show no percentage; every other file counts its entries.
    EXPECT_EQ(recorder.events.mid(0, 4), QStringList({"Загрузка безвизовых стран...", "<repaint>",
                                                      "Загрузка визовых стран...", "<repaint>"}));
    EXPECT_EQ(recorder.events.mid(4, 4),
              QStringList({"Загрузка профессий...(0% )", "<repaint>", "Загрузка профессий...(33% )",
                           "Загрузка профессий...(66% )"}));
    for (const char* last : {"Загрузка территорий...(50% )", "Загрузка регионов...(66% )",
                             "Загрузка районов...(66% )", "Загрузка префиксов профессий...(50% )"})
        EXPECT_TRUE(recorder.events.contains(QString::fromUtf8(last))) << last;
    EXPECT_EQ(recorder.events.last(), "Загрузка падежей профессий...(66% )");
}

TEST_F(ReferenceListsTest, EmptyVisaGroupGivesAllCountriesEqualToTheVisaFreeOnes) {
    writeCp1251(kCountriesFile,
                "<countries><nonvisa><country id=\"398\" name=\"Казахстан\"/>"
                "</nonvisa><visa/></countries>");
    ASSERT_TRUE(load());
    EXPECT_EQ(lists.visaFreeCountries, Entries({{"Казахстан", ComboItem(398)}}));
    EXPECT_EQ(lists.allCountries, lists.visaFreeCountries);
}

TEST_F(ReferenceListsTest, CountryInBothGroupsIsListedTwiceAndFoundInTheVisaFreeGroup) {
    writeCp1251(kCountriesFile,
                "<countries><nonvisa><country id=\"804\" name=\"Украина\"/></nonvisa>"
                "<visa><country id=\"804\" name=\"Украина (визовая)\"/></visa></countries>");
    ASSERT_TRUE(load());
    EXPECT_EQ(lists.allCountries.size(), 2);
    EXPECT_EQ(NameById(lists.allCountries, 804), "Украина");
}

TEST_F(ReferenceListsTest, ProgressOfALongFileRepaintsOncePerHundredEntries) {
    QString professions = QStringLiteral("<professions>");
    for (int i = 0; i < 250; ++i)
        professions += QStringLiteral("<profession id=\"%1\" name=\"Профессия %1\"/>").arg(i);
    writeCp1251(kProfessionsFile, professions + QStringLiteral("</professions>"));
    ASSERT_TRUE(load());
    ASSERT_EQ(lists.professions.size(), 250);

    // The professions step only: its texts, and after which entry each repaint came.
    const QString prefix = QStringLiteral("Загрузка профессий...(");
    QStringList texts;
    QList<int> repaintedAfter;
    for (const QString& event : recorder.events) {
        if (event.startsWith(prefix))
            texts << event;
        else if (texts.isEmpty())
            continue;
        else if (event == "<repaint>")
            repaintedAfter << texts.size() - 1;
        else
            break;
    }
    ASSERT_EQ(texts.size(), 250);
    EXPECT_EQ(texts.first(), "Загрузка профессий...(0% )");
    EXPECT_EQ(texts[100], "Загрузка профессий...(40% )");
    EXPECT_EQ(texts.last(), "Загрузка профессий...(99% )");
    EXPECT_EQ(repaintedAfter, QList<int>({0, 100, 200}));
}

TEST_F(ReferenceListsTest, BadEntryStopsTheLoadingWithAMessageNamingFileAndEntry) {
    struct Case {
        const char* file;
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {kDistrictsFile,
         "<districts>\n<district id=\"1\" name=\"А\" region_id=\"47\"/>\n"
         "<district id=\"2\" name=\"Б\"/>\n</districts>",
         "Ошибка в файле справочника 'district.xml': запись № 2 (/districts/district, строка 4): "
         "нет атрибута \"region_id\". Приложение будет закрыто."},
        {kProfessionsFile, "<professions><profession id=\"12a\" name=\"Маляр\"/></professions>",
         "Ошибка в файле справочника 'professions.xml': запись № 1 (/professions/profession, "
         "строка 2): атрибут \"id\" не является целым числом: \"12a\". Приложение будет закрыто."},
        {kPrefixesFile, "<prefixes><prefix id=\"1\" name=\"Старший\" case=\"\"/></prefixes>",
         "Ошибка в файле справочника 'professions_prefix.xml': запись № 1 (/prefixes/prefix, "
         "строка 2): атрибут \"case\" не является целым числом: \"\". Приложение будет "
         "закрыто."},
        {kCountriesFile,
         "<countries><nonvisa/><visa><country id=\"1\" name=\"А\"/><country name=\"Б\"/>"
         "</visa></countries>",
         "Ошибка в файле справочника 'countries.xml': запись № 2 (/countries/visa/country, "
         "строка 2): нет атрибута \"id\". Приложение будет закрыто."},
        {kGenitiveProfessionsFile,
         "<professions><profession id=\"99999999999\" name=\"x\"/></professions>",
         "Ошибка в файле справочника 'professions_case.xml': запись № 1 (/professions/profession, "
         "строка 2): атрибут \"id\" не является целым числом: \"99999999999\". Приложение будет "
         "закрыто."},
        {kTerritoriesFile, "<territories><territory id=\"77\"/></territories>",
         "Ошибка в файле справочника 'territories.xml': запись № 1 (/territories/territory, "
         "строка 2): нет атрибута \"name\". Приложение будет закрыто."},
    };
    for (const Case& c : cases) {
        writeCp1251(c.file, QString::fromUtf8(c.content));
        lists.regions = Entries({{"было", ComboItem(1)}});
        error.clear();
        EXPECT_FALSE(load()) << c.file;
        EXPECT_EQ(error, QString::fromUtf8(c.message));
        // Nothing half-loaded reaches the caller.
        EXPECT_EQ(lists.regions, Entries({{"было", ComboItem(1)}})) << c.file;
        EXPECT_TRUE(lists.professions.isEmpty()) << c.file;
        restore(c.file);
    }
}

TEST_F(ReferenceListsTest, IntegersMayCarrySignsAndBlanks) {
    writeCp1251(kDistrictsFile,
                "<districts><district id=\" 7 \" name=\"А\" region_id=\"+47\"/></districts>");
    ASSERT_TRUE(load()) << error.toStdString();
    EXPECT_EQ(lists.districts, Entries({{"А", ComboItem(7, 47)}}));
}

TEST_F(ReferenceListsTest, UnparseableOrVanishedFileGivesAnEmptyListSilently) {
    folder.write(QLatin1String(kRegionsFile), "<regions><region id=\"1\" name=\"x\"></regions>");
    QFile::remove(folder.file(QLatin1String(kTerritoriesFile)));
    ASSERT_TRUE(load()) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(lists.regions.isEmpty());
    EXPECT_TRUE(lists.territories.isEmpty());
    EXPECT_EQ(lists.districts.size(), 3);
    EXPECT_TRUE(recorder.events.contains("Загрузка районов...(0% )"));
}

TEST_F(ReferenceListsTest, NoExternalEntityOrDocumentIsEverLoaded) {
    static QStringList requested;
    requested.clear();
    const xmlExternalEntityLoader previous = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(
        [](const char* url, const char*, xmlParserCtxtPtr) -> xmlParserInputPtr {
            requested << QString::fromUtf8(url ? url : "");
            return nullptr;
        });
    folder.write("secret.xml", "<profession id=\"666\" name=\"leak\"/>");
    folder.write(QLatin1String(kProfessionsFile),
                 "<?xml version=\"1.0\"?>\n"
                 "<!DOCTYPE professions SYSTEM \"http://127.0.0.1:9/professions.dtd\" [\n"
                 "  <!ENTITY secret SYSTEM \"secret.xml\">\n]>\n"
                 "<professions><profession id=\"1\" name=\"Маляр\"/>&secret;</professions>");
    const bool loaded = load();
    xmlSetExternalEntityLoader(previous);

    EXPECT_TRUE(loaded);
    EXPECT_TRUE(requested.isEmpty()) << requested.join(", ").toStdString();
    EXPECT_EQ(lists.professions, Entries({{"Маляр", ComboItem(1)}}));
}

TEST(ReferenceLookups, FirstMatchWinsAndMissingGivesDefaults) {
    const ReferenceList districts = Entries({{"Бокситогорский район", ComboItem(4701, 47)},
                                             {"Волоколамский район", ComboItem(5001, 50)},
                                             {"Волосовский район", ComboItem(4702, 47)},
                                             {"Двойник", ComboItem(4701, 99)}});
    EXPECT_EQ(NameById(districts, 4701), "Бокситогорский район");
    EXPECT_EQ(ExtraById(districts, 4701), 47);
    for (int missing : {-1, 0, 12345}) {
        EXPECT_EQ(NameById(districts, missing), "") << missing;
        EXPECT_EQ(ExtraById(districts, missing), 0) << missing;
    }
    // The region's districts in list order, with items that hold the identifier alone.
    EXPECT_EQ(EntriesWithExtra(districts, 47), Entries({{"Бокситогорский район", ComboItem(4701)},
                                                        {"Волосовский район", ComboItem(4702)}}));
    EXPECT_TRUE(EntriesWithExtra(districts, 77).isEmpty());
}

TEST(ReferenceLookups, JoinedNamesKeepTheOrderAndAnEmptyPlaceForAnUnknownIdentifier) {
    const ReferenceList territories = Entries({{"Москва", ComboItem(77)},
                                               {"Тверская область", ComboItem(69)},
                                               {"Двойник", ComboItem(77)}});
    EXPECT_EQ(JoinedNames(territories, {69, 77}, u','), "Тверская область,Москва");
    EXPECT_EQ(JoinedNames(territories, {77, 5, 69}, u','), "Москва,,Тверская область");
    EXPECT_EQ(JoinedNames(territories, {5}, u','), "");
    EXPECT_EQ(JoinedNames(territories, {}, u','), "");
}

// The reference files shipped beside the program load without a fault and agree with each
// other.
TEST(ShippedReferenceFiles, LoadCompleteAndConsistent) {
    ReferenceLists lists;
    QString error;
    ASSERT_TRUE(LoadReferenceLists(QStringLiteral(VELTAR_SOURCE_DIR "/data"), lists, {}, &error))
        << error.toStdString();

    EXPECT_EQ(lists.visaFreeCountries.size(), 9);
    EXPECT_GE(lists.allCountries.size(), 240);
    EXPECT_EQ(NameById(lists.visaFreeCountries, 860), "Узбекистан");
    EXPECT_EQ(NameById(lists.allCountries, 156), "Китай");
    EXPECT_EQ(lists.territories, lists.regions);
    EXPECT_EQ(NameById(lists.regions, 77), "Москва");

    QSet<int> countryIds;
    for (const ReferenceEntry& country : lists.allCountries) {
        EXPECT_FALSE(countryIds.contains(country.item.id)) << country.item.id;
        countryIds.insert(country.item.id);
    }

    // Every district belongs to a listed region; at least five regions have districts.
    QSet<int> regionsWithDistricts;
    for (const ReferenceEntry& district : lists.districts) {
        EXPECT_FALSE(NameById(lists.regions, district.item.extra).isEmpty()) << district.item.id;
        regionsWithDistricts.insert(district.item.extra);
    }
    EXPECT_GE(regionsWithDistricts.size(), 5);

    // Professions carry five-digit codes, each with its genitive form under the same code.
    ASSERT_EQ(lists.genitiveProfessions.size(), lists.professions.size());
    for (int i = 0; i < lists.professions.size(); ++i) {
        const ReferenceEntry& profession = lists.professions[i];
        EXPECT_TRUE(profession.item.id >= 10000 && profession.item.id <= 99999)
            << profession.item.id;
        EXPECT_EQ(lists.genitiveProfessions[i].item.id, profession.item.id);
    }
    EXPECT_EQ(NameById(lists.genitiveProfessions, 13790), "машиниста крана (крановщика)");

    EXPECT_GE(lists.professionPrefixes.size(), 10);
    EXPECT_EQ(ExtraById(lists.professionPrefixes, 1), 1);  // "Помощник" takes the genitive
    for (const ReferenceEntry& prefix : lists.professionPrefixes)
        EXPECT_TRUE(prefix.item.extra == 0 || prefix.item.extra == 1) << prefix.item.id;
}
