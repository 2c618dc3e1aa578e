#pragma once

#include <QList>
#include <QString>

#include "citizens/CitizenStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "dictionaries/ReferenceLists.h"

namespace storage {
class Database;
}

namespace output {

// The separator that follows each present part of an address text.
enum class AddressSeparator {
    Underscore,  // ",_": the reverse side of the application form
    Blank,       // ", ": the payment documents register
};

// A registration address as one text: zip, region, district, city, street, city district,
// house, flat, building, registered from, registered to, in this order (flat before building).
// Each part that is present (a text that is not empty, a region or district that is chosen)
// is followed by the separator, except the last part (registered to), which never is.
QString FormatAddressText(const citizens::RegAddrFormData& address,
                          const dictionaries::ReferenceLists& lists, AddressSeparator separator);

// Characters 1-2, 4-5 and 7-10 of a text: the eight digits of a date text ("05/03/2009" gives
// "05032009"); the empty text stays empty.
QString CompactDate(const QString& text);
// The same parts with dots between them: "05.03.2009".
QString DottedDate(const QString& text);

// The application templates, under the start folder; the spreadsheet values go into their
// worksheet 4.
inline constexpr char kVisaTemplate[] = "template/visaapplication.xls";
inline constexpr char kVisaFreeTemplate[] = "template/nonvisaapplication.xls";
inline constexpr char kReverseSideTemplate[] = "template/revert.doc";
inline constexpr int kApplicationDataSheet = 4;
// The text box for the FMS office on the printable page, and its bookmarks on the reverse side.
inline constexpr char kFmsTextBox[] = "Text Box 1868";
inline constexpr char kProfessionBookmark[] = "profess";
inline constexpr char kPlaceBookmark[] = "place";
inline constexpr char kPeriodBookmark[] = "fromto";

// One value of an application form: its characters go one to a cell into `row`, from
// `column` on.
struct FormSlot {
    int row;
    int column;
    QString text;

    bool operator==(const FormSlot&) const = default;
};

// What a citizen's forms show besides the record itself.
struct ApplicationFormTexts {
    QString country;          // the citizenship's name
    QString profession;       // the profession's name, without prefix
    QString territory;        // slot 13: the territory names, or the own region's name
    QString permitIssueDate;  // date text of the permit's issue date, empty when none
};

// The values of the spreadsheet form in the order they are written: where boxes overlap the
// later value wins (the surname's blanks reach column 26, where the given name starts), and
// every value brings the blanks that clear what the previous citizen left in its boxes. The
// visa rows (permit, organisation) only for regime 1, the permanent address only for regime 0.
QList<FormSlot> ApplicationFormSlots(const citizens::IGFormData& citizen,
                                     const ApplicationFormTexts& texts);

// The characters 2 to 59 of the FMS office text box: the office's name centred in blanks on
// the 70 characters of the line.
QString FmsOfficeLine(const QString& office);
inline constexpr int kFmsLineStart = 2;
inline constexpr int kFmsLineReplaced = 58;
inline constexpr int kFmsLineUnderlined = 70;

// The bookmark texts of the reverse side.
struct ReverseSideTexts {
    QString profession;
    QString place;
    QString period;

    bool operator==(const ReverseSideTexts&) const = default;
};

// The name of a citizen's files: surname, given name and patronymic with blanks between
// them, then "(", passport series, a blank, passport number, ")", then the suffix; made safe
// as a file name inside the output folder.
QString ApplicationFileName(const citizens::IGFormData& citizen, const QString& suffix);

// What every citizen of a run shares: the own region (-1 when territories are in use) with
// its name, and the FMS office. Read once when the run starts.
struct FormsRunSettings {
    int regionId = -1;
    QString regionName;
    QString fmsOffice;
};
FormsRunSettings LoadFormsRunSettings(storage::Database& db,
                                      const dictionaries::ReferenceLists& lists);

// Everything a citizen's two forms hold, read from the stores: territories, permit issue
// date and registration address.
struct CitizenForms {
    QList<FormSlot> formSlots;
    ReverseSideTexts reverseSide;
    QString workbookName;  // ApplicationFileName with ".xls"
    QString documentName;  // with ".doc"
};
CitizenForms LoadCitizenForms(storage::Database& db, const dictionaries::ReferenceLists& lists,
                              const FormsRunSettings& settings,
                              const citizens::IGFormData& citizen);

}  // namespace output
