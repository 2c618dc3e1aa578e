#include "output/ExportFile.h"

#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <QHash>
#include <QStringDecoder>
#include <QStringList>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>

#include "citizens/CitizenTerritoryStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "output/FileReplacement.h"
#include "settings/RegionSetting.h"
#include "storage/Database.h"

namespace output {

namespace {

// --- Texts as the file holds them ---------------------------------------------------------

// Unicode to windows-1251 for the characters above ASCII, built from the code page itself.
const QHash<char16_t, char>& Cp1251Table() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> characters;
        QStringDecoder decode("windows-1251");
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char c = static_cast<char>(byte);
            const QString decoded = decode(QByteArrayView(&c, 1));
            if (decoded.size() == 1 && decoded.at(0) != QChar::ReplacementCharacter)
                characters.insert(decoded.at(0).unicode(), c);
        }
        return characters;
    }();
    return table;
}

QByteArray Cp1251Bytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        bytes += Cp1251Table().value(c, '?');
        // A character beyond the basic plane is one character, written as one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return bytes;
}

// Blanks and control characters removed at both ends.
QString Trim(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// The first `count` characters (a character beyond the basic plane counts once).
QString FirstCharacters(const QString& text, int count) {
    qsizetype end = 0;
    for (int taken = 0; taken < count && end < text.size(); ++taken) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

// The characters XML 1.0 admits: tab, line feed, carriage return, and from the blank on,
// except U+FFFE, U+FFFF and halves of surrogate pairs standing alone.
QString XmlCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
            continue;
        }
        const bool allowed = u == 0x09 || u == 0x0A || u == 0x0D ||
                             (u >= 0x20 && !c.isSurrogate() && u != 0xFFFE && u != 0xFFFF);
        if (allowed)
            kept += c;
    }
    return kept;
}

QString PositiveOrEmpty(int value) {
    return value > 0 ? QString::number(value) : QString();
}

QString IdOrEmpty(int id) {
    return id == -1 ? QString() : QString::number(id);
}

// The permit number counts only when it sorts after "0" byte by byte: "", "0" and "-1" do not.
QString PermitAttribute(const QString& stored) {
    return Cp1251Bytes(stored) > QByteArrayView("0") ? Trim(stored) : QString();
}

// Whether every byte is printable ASCII (0x20 to 0x7E) other than "]": a Base64 text without
// line breaks is. Eight bytes at a time, as the photos run to tens of kilobytes each.
bool PlainSectionText(QByteArrayView bytes) {
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    constexpr quint64 kHighBits = 0x8080808080808080ULL;
    const auto hasByteBelow = [](quint64 x, quint64 n) { return (x - kOnes * n) & ~x & kHighBits; };
    const auto hasByteAbove = [](quint64 x, quint64 n) {
        return ((x + kOnes * (127 - n)) | x) & kHighBits;
    };
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (hasByteBelow(word, 0x20) || hasByteAbove(word, 0x7E))
            return false;
    }
    for (; i < bytes.size(); ++i) {
        const auto u = static_cast<unsigned char>(bytes[i]);
        if (u < 0x20 || u > 0x7E)
            return false;
    }
    return !std::memchr(bytes.data(), ']', static_cast<size_t>(bytes.size()));
}

// A photo's text (the UTF-8 bytes the store keeps) as its CDATA section may hold it: a Base64
// text is its own windows-1251 bytes. Anything but printable ASCII and line breaks is left
// out, and "]]>" (which no Base64 text holds) is split over two sections.
QByteArray SectionTextOf(QByteArrayView photo) {
    QByteArray bytes = photo.toByteArray();
    bytes.removeIf([](char c) {
        const auto u = static_cast<unsigned char>(c);
        return !((u >= 0x20 && u < 0x7F) || c == '\t' || c == '\n' || c == '\r');
    });
    return bytes.replace("]]>", "]]]]><![CDATA[>");
}

// --- Elements -----------------------------------------------------------------------------

struct Attribute {
    const char* name;
    QString value;
};

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct NodeFree {
    void operator()(xmlNode* node) const { xmlFreeNode(node); }
};
struct SaveClose {
    void operator()(xmlSaveCtxt* save) const { xmlSaveClose(save); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;
using NodePtr = std::unique_ptr<xmlNode, NodeFree>;
using SavePtr = std::unique_ptr<xmlSaveCtxt, SaveClose>;

const xmlChar* Name(const char* name) {
    return reinterpret_cast<const xmlChar*>(name);
}

xmlNode* AddElement(xmlDoc* doc, xmlNode* parent, const char* name,
                    std::initializer_list<Attribute> attributes) {
    xmlNode* node = xmlNewDocNode(doc, nullptr, Name(name), nullptr);
    for (const Attribute& attribute : attributes) {
        const QByteArray value = XmlCharacters(attribute.value).toUtf8();
        xmlNewProp(node, Name(attribute.name), reinterpret_cast<const xmlChar*>(value.constData()));
    }
    if (parent)
        xmlAddChild(parent, node);
    return node;
}

NodePtr OrganizationElement(xmlDoc* doc, const citizens::IGFormData& first) {
    const bool organisation = first.orgType == 1;
    const auto own = [&](const QString& value) { return organisation ? Trim(value) : QString(); };
    const auto trusted = [&](const QString& value) {
        return organisation ? QString() : Trim(value);
    };
    return NodePtr(AddElement(doc, nullptr, "organization",
                              {
                                  {"name", own(first.orgName)},
                                  {"inn", own(first.orgInn)},
                                  {"org_real_address", own(first.orgLegalAddress)},
                                  {"org_ogrn", own(first.orgOgrn)},
                                  {"org_reg_date", own(first.orgRegistrationDate)},
                                  {"f", trusted(first.trustedSurname)},
                                  {"i", trusted(first.trustedGivenName)},
                                  {"o", trusted(first.trustedPatronymic)},
                                  {"passport_series", trusted(first.trustedPassportSeries)},
                                  {"passport_number", trusted(first.trustedPassportNumber)},
                                  {"type", QString::number(first.orgType - 1)},
                              }));
}

NodePtr IgElement(xmlDoc* doc, const citizens::IGFormData& c, const QString& territories) {
    return NodePtr(
        AddElement(doc, nullptr, "ig",
                   {
                       {"pref_profession_id", PositiveOrEmpty(c.professionPrefix)},
                       {"profession_id", PositiveOrEmpty(c.profession)},
                       {"last_name", Trim(c.surname)},
                       {"first_name", Trim(c.givenName)},
                       {"patronymic", Trim(c.patronymic)},
                       {"passport_series", Trim(c.passportSeries)},
                       {"passport_number", Trim(c.passportNumber)},
                       {"passport_issue_date", Trim(c.passportIssueDate)},
                       {"passport_granted_by", Trim(c.passportIssuedBy)},
                       {"passport_birth_date", Trim(c.birthDate)},
                       {"passport_sex", QString::number(c.sex)},
                       {"country_id", PositiveOrEmpty(c.citizenship)},
                       {"special_conditions", Trim(c.specialMarks)},
                       {"all_medical_information", QString::number(c.medicalCertificatesAccepted)},
                       {"permit_address", QString::number(c.temporaryResidence)},
                       {"rnp", PermitAttribute(c.permitNumber)},
                       {"rnr_begin_date", Trim(c.workFrom)},
                       {"rnr_end_date", Trim(c.workTo)},
                       {"requested_date", Trim(c.medicalAcceptanceDate)},
                       {"issued_date", Trim(c.medicalIssueDate)},
                       {"med_number", Trim(c.medicalNumber)},
                       {"territories", Trim(territories)},
                   }));
}

NodePtr PaymentDocumentsElement(xmlDoc* doc, const QList<citizens::PPFormData>& documents) {
    NodePtr pos(AddElement(doc, nullptr, "pos", {}));
    for (const citizens::PPFormData& d : documents) {
        AddElement(doc, pos.get(), "po",
                   {
                       {"fio", Trim(d.payer)},
                       {"inn", {}},
                       {"kpp", {}},
                       {"number_po", Trim(d.number)},
                       {"bik", {}},
                       {"date", Trim(d.date)},
                       {"bank", Trim(d.bank)},
                       {"summ", Trim(d.sum)},
                       {"correspondent_account_number", {}},
                       {"remainder", {}},
                       {"number_account", {}},
                       {"okato", {}},
                       {"po_kind", {}},
                       {"base", {}},
                       {"document_kind", QString::number(d.documentKind)},
                   });
    }
    return pos;
}

NodePtr AddressElement(xmlDoc* doc, const citizens::RegAddrFormData& a) {
    NodePtr addresses(AddElement(doc, nullptr, "addresses", {}));
    AddElement(doc, addresses.get(), "address",
               {
                   {"zip", FirstCharacters(Trim(a.postalIndex), 6)},
                   {"region_id", IdOrEmpty(a.region)},
                   {"district_id", IdOrEmpty(a.district)},
                   {"city_name", FirstCharacters(Trim(a.city), 50)},
                   {"street_name", FirstCharacters(Trim(a.street), 50)},
                   {"district_of_city_name", FirstCharacters(Trim(a.cityDistrict), 100)},
                   {"house", FirstCharacters(Trim(a.house), 12)},
                   {"build", FirstCharacters(Trim(a.building), 10)},
                   {"flat", FirstCharacters(Trim(a.flat), 10)},
                   {"date_from", Trim(a.registeredFrom)},
                   {"date_till", Trim(a.registeredTo)},
               });
    return addresses;
}

// --- Reading ------------------------------------------------------------------------------

constexpr char kPaymentDocumentColumns[] =
    "ppid, pppid, sName, sINN, sKPP, sNPlatPoruch, sBIK, sDate, sBank, sSumma, sKorShetN, "
    "sShetN, sOKATO, sVidPlatez, sOsnovanie, iOstatok, iDocType";

storage::Statement PaymentDocumentsQuery(storage::Database& db) {
    return db.prepare(std::string("SELECT ") + kPaymentDocumentColumns +
                      " FROM pp WHERE pppid = ?1 ORDER BY rowid");
}

QList<citizens::PPFormData> PaymentDocuments(storage::Statement& query, int citizenKey) {
    QString citizens::PPFormData::*const texts[] = {
        &citizens::PPFormData::payer,
        &citizens::PPFormData::inn,
        &citizens::PPFormData::kpp,
        &citizens::PPFormData::number,
        &citizens::PPFormData::bik,
        &citizens::PPFormData::date,
        &citizens::PPFormData::bank,
        &citizens::PPFormData::sum,
        &citizens::PPFormData::correspondentAccount,
        &citizens::PPFormData::account,
        &citizens::PPFormData::okato,
        &citizens::PPFormData::paymentKind,
        &citizens::PPFormData::basis,
    };
    QList<citizens::PPFormData> documents;
    query.bind(1, citizenKey);
    while (query.step()) {
        citizens::PPFormData& document = documents.emplace_back();
        document.documentKey = query.columnInt(0);
        document.citizenKey = query.columnInt(1);
        int column = 2;
        for (QString citizens::PPFormData::*text : texts)
            document.*text = query.columnText(column++);
        document.remainder = query.columnInt(15);
        document.documentKind = query.columnInt(16);
    }
    query.reset();
    return documents;
}

// --- Writing ------------------------------------------------------------------------------

// The photos, read one citizen at a time as the bytes the store keeps: no conversion of their
// tens of kilobytes to other text forms and back.
class PhotoReader {
public:
    explicit PhotoReader(storage::Database& db)
        : query_(db, "SELECT Photo FROM ig WHERE igid = ?1 ORDER BY rowid LIMIT 1") {}

    // The citizen's photo text, empty for none; valid until the next read.
    QByteArrayView read(int citizenKey) {
        query_.reset();
        query_.bind(1, citizenKey);
        return query_.step() ? query_.columnUtf8(0) : QByteArrayView();
    }

private:
    storage::Statement query_;
};

// Writes the document element by element: libxml2 serialises every element with its
// attributes in windows-1251 (escaping, character references); the tags that enclose other
// elements and the photo's CDATA text are joined around them as the serialiser would write
// them. So the whole file is never built in memory.
class ExportWriter {
public:
    ExportWriter(storage::Database& db, FileReplacement& file)
        : db_(db)
        , file_(file)
        , doc_(xmlNewDoc(Name("1.0")))
        , photos_(db)
        , payments_(PaymentDocumentsQuery(db))
        , regionId_(settings::LoadRegionId(db)) {
        // With the document's encoding known, libxml2 leaves the characters of the code page
        // as they are and the encoder writes the others as character references.
        doc_->encoding = xmlStrdup(Name("windows-1251"));
        save_.reset(
            xmlSaveToIO(&ExportWriter::Collect, nullptr, this, "windows-1251", XML_SAVE_NO_DECL));
        if (!save_)
            throw FileWriteError(file_.path(), QStringLiteral("кодировка windows-1251 недоступна"));
    }

    void write(const CitizenGroups& groups) {
        raw("<?xml version='1.0' encoding='windows-1251'?>\n");
        if (groups.empty()) {
            raw("<exportings/>\n");
        } else {
            raw("<exportings>");
            for (const auto& [key, citizens] : groups) {
                startTag(OrganizationElement(doc_.get(), citizens.first()));
                for (const citizens::IGFormData& citizen : citizens)
                    writeCitizen(citizen);
                raw("</organization>");
            }
            raw("</exportings>\n");
        }
        save_.reset();
        file_.write(pending_);
    }

private:
    static int Collect(void* context, const char* bytes, int length) {
        static_cast<ExportWriter*>(context)->pending_.append(bytes, length);
        return length;
    }

    void writeCitizen(const citizens::IGFormData& citizen) {
        const NodePtr ig = IgElement(doc_.get(), citizen, territoriesOf(citizen.key));
        const QByteArrayView photo = photos_.read(citizen.key);
        const QList<citizens::PPFormData> documents = PaymentDocuments(payments_, citizen.key);
        citizens::RegAddrFormData address;
        const bool withAddress = citizen.visaRegime == 0 &&
                                 citizens::LoadRegistrationAddress(db_, address, citizen.key) &&
                                 !citizens::IsRegistrationAddressEmpty(address);
        if (photo.isEmpty() && documents.isEmpty() && !withAddress) {
            tree(ig);
        } else {
            startTag(ig);
            if (!photo.isEmpty()) {
                raw("<photo><![CDATA[");
                writePhoto(photo);
                raw("]]></photo>");
            }
            if (!documents.isEmpty())
                tree(PaymentDocumentsElement(doc_.get(), documents));
            if (withAddress)
                tree(AddressElement(doc_.get(), address));
            raw("</ig>");
        }
        if (pending_.size() >= kWriteChunk)
            flushPending();
    }

    QString territoriesOf(int citizenKey) {
        if (regionId_ != -1)
            return QString::number(regionId_);
        QStringList ids;
        for (int id : citizens::LoadCitizenTerritories(db_, citizenKey))
            ids << QString::number(id);
        return ids.join(QLatin1Char(','));
    }

    void tree(const NodePtr& node) {
        if (xmlSaveTree(save_.get(), node.get()) < 0 || xmlSaveFlush(save_.get()) < 0)
            throw FileWriteError(file_.path(), QStringLiteral("текст не удалось преобразовать"));
    }

    // The element's start tag: its serialisation without children ends in "/>".
    void startTag(const NodePtr& node) {
        tree(node);
        pending_.chop(2);
        pending_.append('>');
    }

    void raw(QByteArrayView bytes) { pending_.append(bytes); }

    void flushPending() {
        file_.write(pending_);
        pending_.resize(0);
    }

    // A photo goes to the file as it comes from the store, without further copies.
    void writePhoto(QByteArrayView photo) {
        flushPending();
        if (PlainSectionText(photo))
            file_.write(photo);
        else
            file_.write(SectionTextOf(photo));
    }

    static constexpr qsizetype kWriteChunk = 1 << 20;

    storage::Database& db_;
    FileReplacement& file_;
    QByteArray pending_;  // outlives the serialiser, which may still hand over bytes as it goes
    DocPtr doc_;
    SavePtr save_;
    PhotoReader photos_;
    storage::Statement payments_;
    int regionId_;
};

}  // namespace

std::strong_ordering GroupKey::operator<=>(const GroupKey& other) const {
    if (const auto order = QByteArrayView(bytes).compare(other.bytes); order != 0)
        return order < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
    const int textOrder = text.compare(other.text);
    return textOrder == 0  ? std::strong_ordering::equal
           : textOrder < 0 ? std::strong_ordering::less
                           : std::strong_ordering::greater;
}

GroupKey CitizenGroupKey(const citizens::IGFormData& c) {
    const QString type = QString::number(c.orgType);
    const QString text = c.orgType == 1
                             ? QStringList{c.orgName, c.orgInn, type}.join(QLatin1Char('_'))
                             : QStringLiteral("%1 %2 %3 _%4_%5_%6")
                                   .arg(c.trustedSurname, c.trustedGivenName, c.trustedPatronymic,
                                        c.trustedPassportSeries, c.trustedPassportNumber, type);
    return {Cp1251Bytes(text), text};
}

CitizenGroups GroupCitizensByOrganisation(const QList<citizens::IGFormData>& citizens) {
    CitizenGroups groups;
    for (const citizens::IGFormData& citizen : citizens)
        groups[CitizenGroupKey(citizen)].append(citizen);
    return groups;
}

QList<citizens::PPFormData> ListCitizenPaymentDocuments(storage::Database& db, int citizenKey) {
    storage::Statement query = PaymentDocumentsQuery(db);
    return PaymentDocuments(query, citizenKey);
}

void WriteExportFile(storage::Database& db, const QString& path,
                     const QList<citizens::IGFormData>& citizens) {
    FileReplacement file(path);
    {
        // One read transaction: one view of the store, its lock taken once for every citizen.
        storage::Transaction reading(db);
        ExportWriter(db, file).write(GroupCitizensByOrganisation(citizens));
        reading.commit();
    }
    file.commit();
}

}  // namespace output
