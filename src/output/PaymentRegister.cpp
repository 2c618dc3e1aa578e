#include "output/PaymentRegister.h"

#include "citizens/RegistrationAddressStore.h"
#include "dates/DateConventions.h"
#include "output/ApplicationForm.h"
#include "storage/Database.h"

namespace output {

QString PaymentDocumentKindText(int kind) {
    switch (kind) {
        case 1:
            return QStringLiteral("п/п");
        case 2:
            return QStringLiteral("кв.");
        default:
            return QStringLiteral("пр.");
    }
}

namespace {

// The date number of a document's date text; -1 for none or a text that is not a date.
int DocumentDate(const QString& text) {
    try {
        return dates::DateTextToNumber(text);
    } catch (const dates::DateTextError&) {
        return -1;
    }
}

}  // namespace

QList<PPReportUnit> ListPaymentDocumentsInPeriod(storage::Database& db,
                                                 const dictionaries::ReferenceLists& lists,
                                                 int from, int to) {
    storage::Statement documents = db.prepare(
        "SELECT pppid, sNPlatPoruch, sDate, sName, iDocType, sSumma FROM pp ORDER BY rowid");
    QList<PPReportUnit> units;
    while (documents.step()) {
        const QString dateText = documents.columnText(2);
        const int date = DocumentDate(dateText);
        if (date == -1 || date < from || date > to)
            continue;
        citizens::RegAddrFormData address;
        citizens::LoadRegistrationAddress(db, address, documents.columnInt(0));
        units.append({documents.columnText(1), dateText, documents.columnText(3),
                      FormatAddressText(address, lists, AddressSeparator::Blank),
                      PaymentDocumentKindText(documents.columnInt(4)), documents.columnText(5)});
    }
    return units;
}

QString PaymentRegisterFileName(const QString& fromText, const QString& toText) {
    return QStringLiteral("Реестр_ПД_") + CompactDate(fromText) + QLatin1Char('-') +
           CompactDate(toText) + QStringLiteral(".xls");
}

QString PaymentRegisterTitle(const QString& fromText, const QString& toText) {
    return QStringLiteral("Реестр платежных документов от ИГ на период с ") + fromText +
           QStringLiteral(" по ") + toText;
}

QList<QStringList> PaymentRegisterRows(const QList<PPReportUnit>& units) {
    QList<QStringList> rows;
    rows.reserve(units.size() + 1);
    rows.append({QStringLiteral("№"), QStringLiteral("Номер платежного документа"),
                 QStringLiteral("Дата операции"), QStringLiteral("ФИО"),
                 QStringLiteral("Адрес регистрации"), QStringLiteral("Вид ПД"),
                 QStringLiteral("Сумма")});
    for (qsizetype k = 0; k < units.size(); ++k) {
        const PPReportUnit& unit = units[k];
        rows.append({QString::number(k + 1), unit.number, unit.date, unit.payer, unit.address,
                     unit.kind, unit.sum});
    }
    return rows;
}

}  // namespace output
