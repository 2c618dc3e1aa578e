#include "dictionaries/ReferenceLoader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <QDir>
#include <QFile>
#include <memory>
#include <stdexcept>

namespace dictionaries {

namespace {

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct XPathContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
struct XmlCharFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;
using XPathContextPtr = std::unique_ptr<xmlXPathContext, XPathContextFree>;
using XPathObjectPtr = std::unique_ptr<xmlXPathObject, XPathObjectFree>;
using XmlCharPtr = std::unique_ptr<xmlChar, XmlCharFree>;

// An entry that the loading cannot accept; its text is the message for the user.
class BadEntry : public std::runtime_error {
public:
    explicit BadEntry(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Parsing never reaches out: no network, no external DTD or entity is loaded (neither
// XML_PARSE_DTDLOAD nor XML_PARSE_NOENT is given), and parse errors stay quiet.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// The parsed file, or null when it cannot be read or parsed.
XmlDocPtr ReadDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.readAll();
    return XmlDocPtr(xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr,
                                   nullptr, kParseOptions));
}

// One file being read: its document and the nodes of one path at a time.
class ReferenceFile {
public:
    ReferenceFile(const QString& folder, const char* name)
        : name_(QString::fromLatin1(name)), doc_(ReadDocument(QDir(folder).filePath(name_))) {}

    // The elements at `path`, in document order; none when the file could not be parsed.
    QList<xmlNode*> select(const char* path) {
        path_ = QString::fromLatin1(path);
        QList<xmlNode*> nodes;
        if (!doc_)
            return nodes;
        XPathContextPtr context(xmlXPathNewContext(doc_.get()));
        XPathObjectPtr result(
            xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path), context.get()));
        if (!result || !result->nodesetval)
            return nodes;
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
            nodes.append(result->nodesetval->nodeTab[i]);
        return nodes;
    }

    QString text(xmlNode* node, int position, const char* attribute) const {
        XmlCharPtr value(xmlGetProp(node, reinterpret_cast<const xmlChar*>(attribute)));
        if (!value) {
            throw BadEntry(
                message(node, position, QStringLiteral("нет атрибута \"%1\"").arg(attribute)));
        }
        return QString::fromUtf8(reinterpret_cast<const char*>(value.get()));
    }

    int integer(xmlNode* node, int position, const char* attribute) const {
        const QString value = text(node, position, attribute);
        bool ok = false;
        const int number = value.trimmed().toInt(&ok, 10);
        if (!ok) {
            throw BadEntry(message(node, position,
                                   QStringLiteral("атрибут \"%1\" не является целым числом: \"%2\"")
                                       .arg(QLatin1String(attribute), value)));
        }
        return number;
    }

private:
    QString message(xmlNode* node, int position, const QString& fault) const {
        return QStringLiteral(
                   "Ошибка в файле справочника '%1': запись № %2 (%3, строка %4): %5. "
                   "Приложение будет закрыто.")
            .arg(name_)
            .arg(position + 1)
            .arg(path_)
            .arg(xmlGetLineNo(node))
            .arg(fault);
    }

    QString name_;
    XmlDocPtr doc_;
    QString path_;
};

// What a step reads from each entry besides "id" and "name".
enum class Extra { None, RegionId, Case };

class Loader {
public:
    Loader(const QString& folder, const LoadingProgress& progress)
        : folder_(folder), progress_(progress) {}

    void run(ReferenceLists& lists) {
        show(QStringLiteral("Загрузка безвизовых стран..."));
        repaint();
        ReferenceFile countries(folder_, kCountriesFile);
        const ReferenceList visaFree = read(countries, "/countries/nonvisa/country");
        lists.visaFreeCountries = visaFree;
        lists.allCountries = visaFree;

        show(QStringLiteral("Загрузка визовых стран..."));
        repaint();
        lists.allCountries += read(countries, "/countries/visa/country");

        lists.professions = readWithProgress(kProfessionsFile, "/professions/profession",
                                             QStringLiteral("Загрузка профессий...("));
        lists.territories = readWithProgress(kTerritoriesFile, "/territories/territory",
                                             QStringLiteral("Загрузка территорий...("));
        lists.regions = readWithProgress(kRegionsFile, "/regions/region",
                                         QStringLiteral("Загрузка регионов...("));
        lists.districts = readWithProgress(kDistrictsFile, "/districts/district",
                                           QStringLiteral("Загрузка районов...("), Extra::RegionId);
        lists.professionPrefixes =
            readWithProgress(kPrefixesFile, "/prefixes/prefix",
                             QStringLiteral("Загрузка префиксов профессий...("), Extra::Case);
        lists.genitiveProfessions =
            readWithProgress(kGenitiveProfessionsFile, "/professions/profession",
                             QStringLiteral("Загрузка падежей профессий...("));
    }

private:
    ReferenceList read(ReferenceFile& file, const char* path) {
        ReferenceList list;
        const QList<xmlNode*> nodes = file.select(path);
        for (int k = 0; k < nodes.size(); ++k)
            list.append(entry(file, nodes[k], k, Extra::None));
        return list;
    }

    // The progress line shows the share read so far, and the window is repainted once per
    // hundred entries so that long files do not repaint per entry.
    ReferenceList readWithProgress(const char* name, const char* path, const QString& text,
                                   Extra extra = Extra::None) {
        ReferenceFile file(folder_, name);
        const QList<xmlNode*> nodes = file.select(path);
        const qint64 count = nodes.size();
        ReferenceList list;
        list.reserve(nodes.size());
        for (int k = 0; k < nodes.size(); ++k) {
            list.append(entry(file, nodes[k], k, extra));
            show(text + QString::number(k * qint64{100} / count) + QStringLiteral("% )"));
            if (k % 100 == 0)
                repaint();
        }
        return list;
    }

    static ReferenceEntry entry(const ReferenceFile& file, xmlNode* node, int k, Extra extra) {
        const QString name = file.text(node, k, "name");
        const int id = file.integer(node, k, "id");
        switch (extra) {
            case Extra::RegionId:
                return {name, ComboItem(id, file.integer(node, k, "region_id"))};
            case Extra::Case:
                return {name, ComboItem(id, file.integer(node, k, "case"))};
            case Extra::None:
                break;
        }
        return {name, ComboItem(id)};
    }

    void show(const QString& text) {
        if (progress_.showText)
            progress_.showText(text);
    }
    void repaint() {
        if (progress_.repaint)
            progress_.repaint();
    }

    QString folder_;
    const LoadingProgress& progress_;
};

}  // namespace

bool LoadReferenceLists(const QString& folder, ReferenceLists& lists,
                        const LoadingProgress& progress, QString* error) {
    ReferenceLists loaded;
    try {
        Loader(folder, progress).run(loaded);
    } catch (const BadEntry& bad) {
        if (error)
            *error = bad.message();
        return false;
    }
    lists = std::move(loaded);
    return true;
}

}  // namespace dictionaries
