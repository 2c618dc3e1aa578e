#include "gui/HelpTopicList.h"

namespace gui {

QStringList AllHelpTopics() {
    QStringList topics;
    for (const char* page :
         {topic::kAbout, topic::kCitizenWithoutVisa, topic::kCitizenWithVisa,
          topic::kPaymentDocument, topic::kTerritories, topic::kCitizenSearch, topic::kPhoto,
          topic::kPermit, topic::kPermitSearch, topic::kOrganisation, topic::kPackage,
          topic::kPackageSearch, topic::kRegistrationAddress, topic::kRegion})
        topics << QString::fromLatin1(page);
    return topics;
}

}  // namespace gui
