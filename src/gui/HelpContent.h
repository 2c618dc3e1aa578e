#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

namespace gui {

// Pages, contents and index of the help file: their text, their entries and their addresses.

// The text of a page or of a contents or index file: in the charset it declares (a meta tag
// or an XML declaration); without a declaration UTF-8 when the bytes are valid UTF-8, else
// windows-1251, the code page of the help files written for the earlier program.
QString DecodeHelpText(const QByteArray& bytes);

// A name stored in the help file's own records (title, file names): UTF-8 when valid, else
// windows-1251.
QString DecodeHelpName(const QByteArray& bytes);

// One entry of the contents or of the index: its caption, the page it opens (as written,
// possibly empty for a heading) and the entries nested under it.
struct HelpEntry {
    QString name;
    QString local;
    std::vector<HelpEntry> children;
};

// The entries of a contents (.hhc) or index (.hhk) file, nested as its lists nest. The file
// is loose HTML; what cannot be parsed gives fewer entries, never an error.
std::vector<HelpEntry> ParseSitemap(const QByteArray& bytes);

// Pages inside the help file are addressed as "chm:" URLs whose path runs from the file's
// root: chm:/fc_search.htm.
QUrl HelpPageUrl(const QString& path);

// The page of a topic: "::\fc_search.htm" names fc_search.htm inside the help file ("/"
// works too, and an anchor may follow). An empty topic gives an empty URL.
QUrl HelpTopicUrl(const QString& topic);

// A link met on a page or in the contents, made absolute against `base`: the page inside the
// help file that it names (also in the forms "ms-its:file.chm::/page.htm" and
// "mk:@MSITStore:file.chm::/page.htm"), or nothing when it leads outside (web, mail).
std::optional<QUrl> InternalHelpUrl(const QUrl& link, const QUrl& base);

}  // namespace gui
