// Figures of the database file: a durable single-row append, drawing an identifier, and
// opening a database whose `ig` holds 100,000 citizens.
#include <QCoreApplication>
#include <QTemporaryDir>

#include "Timing.h"
#include "storage/Database.h"
#include "storage/DatabaseConnector.h"
#include "storage/Options.h"
#include "storage/Sequences.h"

using namespace storage;

namespace {

void FillCitizens(Database& db, int count) {
    Transaction transaction(db);
    Statement insert = db.prepare(
        "INSERT INTO ig (crdate, igid, sSurname, sName, sPassNum, iOrgType) "
        "VALUES (?1, ?2, ?3, ?4, ?5, 1)");
    for (int i = 1; i <= count; ++i) {
        insert.bind(1, 876638 + i).bind(2, i).bind(3, QStringLiteral("Иванов%1").arg(i));
        insert.bind(4, QStringLiteral("Иван")).bind(5, QString::number(1000000 + i));
        insert.run();
        insert.reset();
    }
    transaction.commit();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;

    {
        DatabaseConnector connector(folder.path());
        connector.OpenDatabase();
        Database& db = connector.db();
        int n = 0;
        MeasureMedianMs("append one row and commit (durable)", 200, [&] {
            Transaction transaction(db);
            Statement add =
                db.prepare("INSERT INTO igterritory (terr_pid, terr_id) VALUES (?1, ?2)");
            add.bind(1, ++n).bind(2, 77).run();
            transaction.commit();
        });
        MeasureMedianMs("NextSequenceValue(\"IGGEN\")", 200,
                        [&] { NextSequenceValue(db, QStringLiteral("IGGEN")); });
        MeasureMedianMs("SetOption", 200,
                        [&] { SetOption(db, QStringLiteral("FMSMEMBER"), QStringLiteral("x")); });
        FillCitizens(db, 100000);
    }
    MeasureMedianMs("OpenDatabase with 100,000 citizens", 20, [&] {
        DatabaseConnector connector(folder.path());
        connector.OpenDatabase();
    });
    return 0;
}
