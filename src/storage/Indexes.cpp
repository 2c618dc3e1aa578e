#include "storage/Indexes.h"

#include "storage/Database.h"
#include "storage/Views.h"

namespace storage {

const QList<Index>& Indexes() {
    static const QList<Index> indexes{
        {"ig_igid", "ig", "igid"},
        {"ig_permit", "ig", "iRNP_ig_num, iGrazdanstvo, iProfess, iProfessPrefix"},
        {"ig_package", "ig", "iIGPkgNumber"},
        {"pp_pppid", "pp", "pppid"},
        {"igphaddr_phaddr_pid", "igphaddr", "phaddr_pid"},
        {"igterritory_terr_pid", "igterritory", "terr_pid"},
        {"rnpirs_rnpnum", "rnpirs", "rnpnum"},
        {"rnpirsCOUNTRY_c_rnp_pid", "rnpirsCOUNTRY", "c_rnp_pid"},
        {"rnpirsPROFESS_p_rnp_pid", "rnpirsPROFESS", "p_rnp_pid"},
        {"rnpterritory_terr_pid", "rnpterritory", "terr_pid"},
        {"igpackage_package_id", "igpackage", "package_id"},
        {"igpackage_pkgnumber", "igpackage", "pkgnumber"},
        {"pkgterritory_pkg_pid", "pkgterritory", "pkg_pid"},
    };
    return indexes;
}

void CreateIndexes(Database& db) {
    Transaction transaction(db);
    for (const Index& index : Indexes()) {
        db.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                    .arg(QuotedName(index.name), QuotedName(index.view), index.columns)
                    .toStdString());
    }
    transaction.commit();
}

}  // namespace storage
