#include "gui/HelpContent.h"

#include <libxml/HTMLparser.h>

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <iterator>
#include <memory>

namespace gui {

namespace {

// A declaration, if any, sits in the head: the first few kilobytes.
constexpr qsizetype kDeclarationReach = 4096;

QByteArray DeclaredCharset(const QByteArray& bytes) {
    const QString head = QString::fromLatin1(bytes.left(kDeclarationReach));
    static const QRegularExpression xmlDeclaration(
        QStringLiteral(R"(^\s*<\?xml[^>]*encoding\s*=\s*["']([A-Za-z0-9_.:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?\s*([A-Za-z0-9_.:\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpression* declaration : {&xmlDeclaration, &meta}) {
        const QRegularExpressionMatch match = declaration->match(head);
        if (match.hasMatch())
            return match.captured(1).toLatin1();
    }
    return {};
}

QString DecodeUtf8Or1251(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1251("windows-1251");
    return cp1251.decode(bytes);
}

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

bool NameIs(const xmlNode* node, const char* name) {
    return xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

QString Attribute(xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

// <object type="text/sitemap"><param name="Name" value="..."><param name="Local" ...>
HelpEntry EntryOfObject(xmlNode* object) {
    HelpEntry entry;
    for (xmlNode* param = object->children; param; param = param->next) {
        if (param->type != XML_ELEMENT_NODE || !NameIs(param, "param"))
            continue;
        const QString name = Attribute(param, "name");
        // An index entry may name several pages; the first one is opened.
        if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 && entry.name.isEmpty())
            entry.name = Attribute(param, "value");
        else if (name.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0 &&
                 entry.local.isEmpty())
            entry.local = Attribute(param, "value");
    }
    return entry;
}

struct FlatEntry {
    int depth;
    HelpEntry entry;
};

// Entries in document order with the number of lists around each. Nesting is read from the
// lists alone, since the files nest a sub-list both inside and after its item.
void CollectEntries(xmlNode* first, int depth, std::vector<FlatEntry>& out) {
    for (xmlNode* node = first; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (NameIs(node, "object")) {
            if (Attribute(node, "type")
                    .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0)
                out.push_back({depth, EntryOfObject(node)});
            continue;
        }
        CollectEntries(node->children, depth + (NameIs(node, "ul") ? 1 : 0), out);
    }
}

std::vector<HelpEntry> BuildLevel(std::vector<FlatEntry>& flat, size_t& pos, int depth) {
    std::vector<HelpEntry> level;
    while (pos < flat.size() && flat[pos].depth >= depth) {
        if (flat[pos].depth > depth && !level.empty()) {
            std::vector<HelpEntry> nested = BuildLevel(flat, pos, flat[pos].depth);
            auto& children = level.back().children;
            children.insert(children.end(), std::make_move_iterator(nested.begin()),
                            std::make_move_iterator(nested.end()));
            continue;
        }
        level.push_back(std::move(flat[pos].entry));
        ++pos;
    }
    return level;
}

}  // namespace

QString DecodeHelpText(const QByteArray& bytes) {
    if (const auto byteOrderMark = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*byteOrderMark);
        return decoder.decode(bytes);
    }
    const QByteArray declared = DeclaredCharset(bytes);
    if (!declared.isEmpty()) {
        QStringDecoder decoder(declared.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return DecodeUtf8Or1251(bytes);
}

QString DecodeHelpName(const QByteArray& bytes) {
    return DecodeUtf8Or1251(bytes);
}

std::vector<HelpEntry> ParseSitemap(const QByteArray& bytes) {
    // Decoded first, so that the parser reads UTF-8 whatever the file declares.
    const QByteArray utf8 = DecodeHelpText(bytes).toUtf8();
    const std::unique_ptr<xmlDoc, XmlDocFree> doc(
        htmlReadMemory(utf8.constData(), static_cast<int>(utf8.size()), nullptr, "UTF-8",
                       HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC));
    if (!doc)
        return {};
    std::vector<FlatEntry> flat;
    CollectEntries(xmlDocGetRootElement(doc.get()), 0, flat);
    if (flat.empty())
        return {};
    int top = flat.front().depth;
    for (const FlatEntry& entry : flat)
        top = std::min(top, entry.depth);
    size_t pos = 0;
    return BuildLevel(flat, pos, top);
}

QUrl HelpPageUrl(const QString& path) {
    QString page = path;
    page.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString fragment;
    if (const qsizetype hash = page.indexOf(QLatin1Char('#')); hash >= 0) {
        fragment = page.mid(hash + 1);
        page.truncate(hash);
    }
    if (!page.startsWith(QLatin1Char('/')))
        page.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(QStringLiteral("chm"));
    url.setPath(page);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

QUrl HelpTopicUrl(const QString& topic) {
    if (topic.isEmpty())
        return {};
    const qsizetype inside = topic.indexOf(QLatin1String("::"));
    return HelpPageUrl(inside >= 0 ? topic.mid(inside + 2) : topic);
}

std::optional<QUrl> InternalHelpUrl(const QUrl& link, const QUrl& base) {
    const QString text = link.toString();
    if (const qsizetype inside = text.indexOf(QLatin1String("::")); inside >= 0)
        return HelpPageUrl(QUrl::fromPercentEncoding(text.mid(inside + 2).toUtf8()));
    const QUrl root = base.isEmpty() ? HelpPageUrl(QStringLiteral("/")) : base;
    const QUrl absolute = link.isRelative() ? root.resolved(link) : link;
    if (absolute.scheme() == QLatin1String("chm"))
        return absolute;
    return std::nullopt;
}

}  // namespace gui
