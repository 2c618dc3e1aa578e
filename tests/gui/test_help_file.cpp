#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringEncoder>

#include "gui/ChmFile.h"
#include "gui/HelpContent.h"
#include "gui/HelpTopics.h"

using gui::HelpEntry;

namespace {

QByteArray Cp1251(const QString& text) {
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QString BuiltManual() {
    return QStringLiteral(VELTAR_BINARY_DIR "/veltar_help.chm");
}

// Every entry with its depth, in document order: "name>local" indented by depth.
void Flatten(const std::vector<HelpEntry>& entries, int depth, QStringList& out) {
    for (const HelpEntry& entry : entries) {
        out << QString(depth, QLatin1Char(' ')) + entry.name + QLatin1Char('>') + entry.local;
        Flatten(entry.children, depth + 1, out);
    }
}

QStringList Outline(const QByteArray& sitemap) {
    QStringList out;
    Flatten(gui::ParseSitemap(sitemap), 0, out);
    return out;
}

}  // namespace

TEST(HelpText, DecodedByDeclarationElseUtf8ElseWindows1251) {
    const QString text = QStringLiteral("Поиск иностранного гражданина");
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"meta http-equiv 1251",
         "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=windows-1251\"></head><body>" +
             Cp1251(text) + "</body></html>"},
        {"meta charset utf-8", "<meta charset=\"utf-8\"><p>" + text.toUtf8()},
        {"xml declaration",
         "<?xml version='1.0' encoding='windows-1251'?><html><body>" + Cp1251(text)},
        {"undeclared utf-8", "<p>" + text.toUtf8()},
        {"undeclared 1251", "<p>" + Cp1251(text)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(gui::DecodeHelpText(c.bytes).contains(text)) << c.what;
}

TEST(HelpSitemap, NestingFollowsTheListsWhereverTheSubListStands) {
    // The sub-list inside its item (as our contents are written) and after it (as other
    // compilers write it) nest the same way; a heading without a page is kept.
    const QByteArray inside =
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Раздел\">"
        "</object><ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"А\">"
        "<param name=\"Local\" value=\"a.htm\"></object></ul>"
        "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Б\">"
        "<param name=\"Local\" value=\"b.htm\"></object></ul>";
    const QByteArray after =
        "<UL><LI><OBJECT type=\"text/sitemap\"><PARAM name=\"Name\" value=\"Раздел\">"
        "</OBJECT></LI><UL><LI><OBJECT type=\"text/sitemap\"><PARAM name=\"Name\" "
        "value=\"А\"><PARAM name=\"Local\" value=\"a.htm\"></OBJECT></LI></UL>"
        "<LI><OBJECT type=\"text/sitemap\"><PARAM name=\"Name\" value=\"Б\"><PARAM "
        "name=\"Local\" value=\"b.htm\"></OBJECT></LI></UL>";
    const QStringList expected = {QStringLiteral("Раздел>"), QStringLiteral(" А>a.htm"),
                                  QStringLiteral("Б>b.htm")};
    EXPECT_EQ(Outline(inside), expected);
    EXPECT_EQ(Outline(after), expected);
}

TEST(HelpSitemap, OldContentsInWindows1251WithoutDeclaration) {
    const QByteArray contents =
        "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" +
        Cp1251(QStringLiteral("Поиск")) +
        "\"><param name=\"Local\" value=\"fc_search.htm\"></object></ul>";
    EXPECT_EQ(Outline(contents), QStringList{QStringLiteral("Поиск>fc_search.htm")});
    EXPECT_TRUE(Outline("not a contents file <ul><li>").isEmpty());
}

TEST(HelpAddresses, TopicsAndLinksNamePagesInsideTheFile) {
    const QUrl base = gui::HelpPageUrl(QStringLiteral("/dir/page.htm"));
    struct Case {
        QUrl link;
        const char* expected;  // empty: leads outside the help file
    };
    const Case cases[] = {
        {gui::HelpTopicUrl(QStringLiteral("::\\fc_search.htm")), "chm:/fc_search.htm"},
        {gui::HelpTopicUrl(QStringLiteral("::/dir\\a.htm#part")), "chm:/dir/a.htm#part"},
        {QUrl(QStringLiteral("other.htm")), "chm:/dir/other.htm"},
        {QUrl(QStringLiteral("../images/a.png")), "chm:/images/a.png"},
        {QUrl(QStringLiteral("#part")), "chm:/dir/page.htm#part"},
        {QUrl(QStringLiteral("ms-its:veltar_help.chm::/about.htm")), "chm:/about.htm"},
        {QUrl(QStringLiteral("mk:@MSITStore:C:\\help\\veltar_help.chm::/a%20b.htm")),
         "chm:/a b.htm"},
        {QUrl(QStringLiteral("https://example.org/")), ""},
        {QUrl(QStringLiteral("mailto:someone@example.org")), ""},
    };
    for (const Case& c : cases) {
        const auto page = gui::InternalHelpUrl(c.link, base);
        EXPECT_EQ(page ? page->toString().toStdString() : std::string(), c.expected)
            << c.link.toString().toStdString();
    }
    EXPECT_TRUE(gui::HelpTopicUrl(QString()).isEmpty());
}

TEST(BuiltManual, HoldsEveryTopicOfTheProgram) {
    const auto file = gui::ChmFile::Open(BuiltManual());
    ASSERT_NE(file, nullptr) << "build the target veltar_help first";
    for (const QString& topic : gui::AllHelpTopics()) {
        const auto bytes = file->read(gui::HelpTopicUrl(topic).path());
        ASSERT_TRUE(bytes.has_value()) << topic.toStdString();
        // Each page names its charset and its title in Russian.
        EXPECT_TRUE(bytes->contains("charset=")) << topic.toStdString();
        EXPECT_TRUE(gui::DecodeHelpText(*bytes).contains(
            QRegularExpression(QStringLiteral("<title>[А-Яа-яЁё][^<]*</title>"))))
            << topic.toStdString();
    }
    EXPECT_EQ(file->defaultTopicPath(), "/about.htm");
    EXPECT_FALSE(file->title().isEmpty());
}

TEST(BuiltManual, ContentsAndIndexLeadToPagesOfTheFile) {
    const auto file = gui::ChmFile::Open(BuiltManual());
    ASSERT_NE(file, nullptr);
    for (const QString& sitemap : {file->contentsPath(), file->indexPath()}) {
        const auto bytes = file->read(sitemap);
        ASSERT_TRUE(bytes.has_value()) << sitemap.toStdString();
        const QStringList outline = Outline(*bytes);
        EXPECT_GT(outline.size(), 14) << sitemap.toStdString();
        for (const QString& line : outline) {
            const QString local = line.section(QLatin1Char('>'), 1);
            if (local.isEmpty())
                continue;
            const auto page = gui::InternalHelpUrl(QUrl(local), gui::HelpPageUrl(sitemap));
            ASSERT_TRUE(page.has_value()) << line.toStdString();
            EXPECT_TRUE(file->contains(page->path())) << line.toStdString();
        }
    }
}

TEST(ChmFileReading, MissingOrForeignFilesAreNotHelpFiles) {
    EXPECT_EQ(gui::ChmFile::Open(QStringLiteral("/nonexistent/veltar_help.chm")), nullptr);
    EXPECT_EQ(gui::ChmFile::Open(QStringLiteral(VELTAR_SOURCE_DIR "/help/about.htm")), nullptr);
    const auto file = gui::ChmFile::Open(BuiltManual());
    ASSERT_NE(file, nullptr);
    // Names inside compare without regard to letter case; a missing page reads as nothing.
    EXPECT_TRUE(file->contains(QStringLiteral("/ABOUT.HTM")));
    EXPECT_FALSE(file->read(QStringLiteral("/no_such_page.htm")).has_value());
}
