#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QWidget;

namespace gui {

// The pages of the manual that windows open, as topics ("::\" and the page's file name).
// Windows name their page from here, and the manual is checked to hold every one of them.
namespace topic {
inline constexpr char kAbout[] = "::\\about.htm";
inline constexpr char kCitizenWithoutVisa[] = "::\\fc_adding_without_visa.htm";
inline constexpr char kCitizenWithVisa[] = "::\\fc_adding_with_visa.htm";
inline constexpr char kPaymentDocument[] = "::\\fc_payment_order_addiing.htm";
inline constexpr char kTerritories[] = "::\\fc_adding_rnr_action_territory.htm";
inline constexpr char kCitizenSearch[] = "::\\fc_search.htm";
inline constexpr char kPhoto[] = "::\\photo_adding.htm";
inline constexpr char kPermit[] = "::\\rnp_adding.htm";
inline constexpr char kPermitSearch[] = "::\\rnp_search.htm";
inline constexpr char kOrganisation[] = "::\\org_attributes_edit.htm";
inline constexpr char kPackage[] = "::\\fc_package_adding.htm";
inline constexpr char kPackageSearch[] = "::\\fc_package_search.htm";
inline constexpr char kRegistrationAddress[] = "::\\fc_registration_address.htm";
inline constexpr char kRegion[] = "::\\region_selection.htm";
}  // namespace topic

// Every topic above.
QStringList AllHelpTopics();

// The help file of the program: veltar_help.chm in the folder the program was started from.
QString HelpFilePath(const QString& startFolder);

// Opens the help file of `startFolder` at `topic` ("::\fc_search.htm" is the page
// fc_search.htm inside the file; an empty topic opens its default page) in the program's one
// help window, created on first use and raised by every later request. The window belongs to
// no dialog: it stays when the dialog that asked closes. A missing file or page is reported
// in the help window; the caller never has to handle a failure.
void ShowHelpTopic(const QString& startFolder, const QString& topic);

// The topic of a dialog whose topic depends on its state (asked at each request).
using HelpTopicSource = std::function<QString()>;

// The one call a dialog makes for its help: F1 anywhere in `window` (before its controls see
// the key) and a click on `button` (the "?" button; may be null) open the topic.
//
// A modal dialog that offers help should be window-modal (setWindowModality(Qt::WindowModal)
// with its opener as parent): an application-modal dialog blocks every other window of the
// program, the help window too, so the page would show but could not be scrolled or followed.
void InstallHelp(QWidget* window, QAbstractButton* button, const QString& startFolder,
                 const QString& topic);
void InstallHelp(QWidget* window, QAbstractButton* button, const QString& startFolder,
                 HelpTopicSource topic);

// A further "?" button with a topic of its own (the photo's button in the citizen dialog).
void ConnectHelpButton(QAbstractButton* button, const QString& startFolder, const QString& topic);

}  // namespace gui
