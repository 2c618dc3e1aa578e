#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "dictionaries/ReferenceLists.h"

namespace storage {
class Database;
}

namespace output {

// One line of the payment documents register.
struct PPReportUnit {
    QString number;   // sNPlatPoruch
    QString date;     // sDate, as typed
    QString payer;    // sName
    QString address;  // the payer's registration address, parts separated by ", "
    QString kind;     // "п/п", "кв." or "пр."
    QString sum;      // sSumma

    bool operator==(const PPReportUnit&) const = default;
};

// The short name of a document kind: 1 "п/п", 2 "кв.", any other "пр.".
QString PaymentDocumentKindText(int kind);

// Every payment document whose date lies from `from` to `to` (date numbers, both days
// included), in the stored order of pp; the documents of deleted citizens too. A document
// without a date, or with a date text that is not a date, is never listed; a document whose
// citizen has no registration address gets an empty address.
QList<PPReportUnit> ListPaymentDocumentsInPeriod(storage::Database& db,
                                                 const dictionaries::ReferenceLists& lists,
                                                 int from, int to);

// The file name proposed for the register of a period given as date texts:
// "Реестр_ПД_ddmmyyyy-ddmmyyyy.xls".
QString PaymentRegisterFileName(const QString& fromText, const QString& toText);

// The register's title over its table, for the period as typed.
QString PaymentRegisterTitle(const QString& fromText, const QString& toText);
// The cells of the register below its title: the header row, then per line its number from 1
// and the six texts.
QList<QStringList> PaymentRegisterRows(const QList<PPReportUnit>& units);

}  // namespace output
