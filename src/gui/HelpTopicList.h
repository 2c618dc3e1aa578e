#pragma once

#include <QStringList>

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

}  // namespace gui
