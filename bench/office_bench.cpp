// Office output of a forms run: for each citizen the visa application workbook with about
// 1,000 characters written one to a cell and the FMS office text box filled, saved as .xls,
// and the reverse side document with its bookmarks, saved as .doc.
//
//   office_bench [citizens]     (20 when not given)
//
// Prints seconds per citizen for: one office for the whole run (the template workbook open
// for the run, cells written in blocks); the same with cells written one by one; and a new
// office for every document. Then the ratio of the last to the first.

#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

#include "output/ExcelAccessCore.h"
#include "output/OfficeRun.h"
#include "output/WordAccessCore.h"

namespace {

using output::ExcelAccessCore;
using output::OfficeRun;
using output::WordAccessCore;

const QString kTemplates = QStringLiteral(VELTAR_SOURCE_DIR "/data/template/");

struct Slot {
    int row;
    int column;
    QString text;
};

// The slots of one visa citizen's form, each value followed by 41 blanks: about 1,100 cells.
QList<Slot> CitizenSlots(int citizen) {
    const QString padding(41, QLatin1Char(' '));
    const QString surname = QStringLiteral("Рахимов%1").arg(citizen);
    return {
        {3, 1, surname + QString(std::max<qsizetype>(0, 26 - surname.size()), ' ')},
        {3, 26, "Алишер" + padding},
        {4, 1, "Бахтиярович" + padding},
        {7, 1, "паспорт" + padding},
        {8, 1, "AA" + padding},
        {9, 1, QString::number(1234567 + citizen) + padding},
        {12, 1, "x"},
        {13, 1, " "},
        {10, 1, "05032005" + padding},
        {11, 1, "17081980" + padding},
        {18, 1, "01022009" + padding},
        {19, 1, "31122009" + padding},
        {32, 1, "Облицовщик-плиточник" + padding},
        {5, 1, "Узбекистан" + padding},
        {17, 1, "15012009" + padding},
        {33, 1, " Разрешение на временное проживание" + padding},
        {31, 1, "Москва" + padding},
        {14, 1, "77001234" + padding},
        {15, 1, "20122008" + padding},
        {20, 1, "ООО \"Строительная компания Восток\"" + padding},
        {21, 1, "125009, г. Москва, ул. Тверская, д. 1" + padding},
        {22, 1, "1027700132195" + padding},
        {23, 1, "12031999" + padding},
    };
}

QStringList Characters(const QString& text) {
    QStringList cells;
    for (const QChar ch : text)
        cells.append(QString(ch));
    return cells;
}

bool FillWorkbook(ExcelAccessCore& excel, int citizen, bool blocks, const QString& file) {
    for (const Slot& slot : CitizenSlots(citizen)) {
        if (blocks) {
            excel.setCells(slot.row, slot.column, {Characters(slot.text)});
            continue;
        }
        for (qsizetype i = 0; i < slot.text.size(); ++i)
            excel.setCell(slot.row, slot.column + static_cast<int>(i), QString(slot.text[i]));
    }
    const QString office = QStringLiteral("ОУФМС России по г. Москве");
    const QString blanks((70 - office.size()) / 2 + 1, QLatin1Char(' '));
    excel.setTextBoxCharacters("Text Box 1868", 2, 58, blanks + office + blanks);
    excel.underlineTextBoxCharacters("Text Box 1868", 2, 70);
    return excel.saveAs(file);
}

bool FillDocument(WordAccessCore& word, const QString& file) {
    if (!word.open(kTemplates + "revert.doc"))
        return false;
    word.setBookmark("profess", "Облицовщик-плиточник");
    word.setBookmark("place", "125009,_Москва,_Тверская,_1,_01/02/2009,_31/12/2009");
    word.setBookmark("fromto", "01.02.2009 - 31.12.2009");
    const bool saved = word.saveAs(file);
    word.close();
    return saved;
}

// One office for the whole run; the template workbook stays open and serves every citizen.
bool OneOffice(int citizens, bool blocks, const QString& folder) {
    OfficeRun run;
    ExcelAccessCore excel(run);
    if (!excel.open(kTemplates + "visaapplication.xls", 4))
        return false;
    for (int i = 0; i < citizens; ++i) {
        const QString name = folder + QStringLiteral("/citizen%1").arg(i);
        WordAccessCore word(run);
        if (!FillWorkbook(excel, i, blocks, name + ".xls") || !FillDocument(word, name + ".doc"))
            return false;
    }
    return true;
}

// A new office for every workbook and every document.
bool OfficePerDocument(int citizens, const QString& folder) {
    for (int i = 0; i < citizens; ++i) {
        const QString name = folder + QStringLiteral("/citizen%1").arg(i);
        {
            OfficeRun run;
            ExcelAccessCore excel(run);
            if (!excel.open(kTemplates + "visaapplication.xls", 4) ||
                !FillWorkbook(excel, i, true, name + ".xls"))
                return false;
        }
        OfficeRun run;
        WordAccessCore word(run);
        if (!FillDocument(word, name + ".doc"))
            return false;
    }
    return true;
}

// Seconds per citizen, or -1 when the output failed.
double PerCitizen(const char* what, int citizens, const std::function<bool(const QString&)>& work) {
    QTemporaryDir folder;
    QElapsedTimer timer;
    timer.start();
    const bool done = work(folder.path());
    const double seconds = timer.nsecsElapsed() / 1e9 / citizens;
    if (!done) {
        std::printf("%-52s failed\n", what);
        return -1;
    }
    std::printf("%-52s %7.3f s per citizen\n", what, seconds);
    std::fflush(stdout);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    const int citizens = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    const int cells = [] {
        int count = 0;
        for (const Slot& slot : CitizenSlots(0))
            count += static_cast<int>(slot.text.size());
        return count;
    }();
    std::printf("%d citizens, %d cells written per workbook, one .xls and one .doc each\n",
                citizens, cells);
    const double one =
        PerCitizen("one office for the run, cells in blocks:", citizens,
                   [&](const QString& folder) { return OneOffice(citizens, true, folder); });
    PerCitizen("one office for the run, cells one by one:", citizens,
               [&](const QString& folder) { return OneOffice(citizens, false, folder); });
    const double each =
        PerCitizen("a new office for every document:", citizens,
                   [&](const QString& folder) { return OfficePerDocument(citizens, folder); });
    if (one > 0 && each > 0)
        std::printf("one office for the run is %.1f times faster\n", each / one);
    return one > 0 && each > 0 ? 0 : 1;
}
