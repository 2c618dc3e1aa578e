#include "storage/Schema.h"

#include <QRegularExpression>
#include <algorithm>

namespace storage {

namespace {

// The seventeen layouts of igdb.dat; the text of each is the file format.
const char* const kLayoutTexts[] = {
    "ig[crdate:I,igid:I,iProfess:I,sSurname:S,sName:S,sSecondName:S,sPassSerr:S,sPassNum:S,"
    "sDateReceive:I,sKemVidan:S,sBirthday:I,iGrazdanstvo:I,sOsobiOtmetki:S,iMedSpravki:I,"
    "iVremennoe:I,Photo:S,iSex:I,iRNP_ig_num:S,iVisa_ig_type:I,sRNRDateFrom:I,sRNRDateTo:I,"
    "sOrgName:S,sOrgINN:S,scrhour:I,sReqDate:S,sIssueDate:S,sMedNumber:S,iIGPkgNumber:I,"
    "iFillDate:I,sPhisicalAddr:S,sOrgFF:S,sOrgSeriya:S,sOrgNumber:S,iOrgType:I,sOrgII:S,"
    "sOrgOO:S,iProfessPrefix:I,sOrgUrAddr:S,sOrgOGRN:S,sOrgRegDate:S]",
    "pp[ppid:I,pppid:I,sName:S,sINN:S,sKPP:S,sNPlatPoruch:S,sBIK:S,sDate:S,sBank:S,sSumma:S,"
    "sKorShetN:S,sShetN:S,sOKATO:S,sVidPlatez:S,sOsnovanie:S,iOstatok:I,iDocType:I]",
    "org[orgname:S,orgINN:S,orgFF:S,orgSeriya:S,orgNumber:S,orgType:I,orgII:S,orgOO:S,"
    "orgUrAddr:S,orgOGRN:S,orgRegDate:S]",
    "rnpirs[rnpnum:S,rnpDateFrom:I,rnpDateTo:I,rnpRegDate:I]",
    "rnpirsCOUNTRY[c_rnp_pid:S,c_cid:I,c_quot:I]",
    "rnpirsPROFESS[p_rnp_pid:S,p_pid:I,p_quot:I,p_prefix:I]",
    "igterritory[terr_pid:I,terr_id:I]",
    "rnpterritory[terr_pid:S,terr_id:I]",
    "optionpp[inn:S,okato:S,kpp:S]",
    "optionRegion[regiontype:I,regionid:I]",
    "igpackage[package_id:I,crdate:I,pkgnumber:S,pkg_active_from:I,pkg_active_to:I,"
    "pkginfo:S]",
    "igphaddr[phaddr_pid:I,sIndex:S,iRegion:I,iDistrict:I,sCity:S,sStreet:S,sCityDistrict:S,"
    "sDvl:S,sStrKorp:S,sKvOf:S,iAddrRegDateFrom:I,iAddrRegDateTo:I]",
    "app_options[key:S,value:S]",
    "pkgterritory[pkg_pid:I,pkgterr_id:I]",
    "IGGEN[IGGEN:I]",
    "PPGEN[PPGEN:I]",
    "IG_PKG_GEN[IG_PKG_GEN:I]",
};

enum ViewIndex {
    kIg,
    kPp,
    kOrg,
    kRnpirs,
    kRnpirsCountry,
    kRnpirsProfess,
    kIgTerritory,
    kRnpTerritory,
    kOptionPp,
    kOptionRegion,
    kIgPackage,
    kIgPhAddr,
    kAppOptions,
    kPkgTerritory,
};

const QRegularExpression& LayoutPattern() {
    static const QRegularExpression pattern(QStringLiteral("^([^\\[\\],:]+)\\[(.*)\\]$"));
    return pattern;
}

std::optional<Property> ParseProperty(const QString& text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0 || colon != text.size() - 2)
        return std::nullopt;
    const QChar letter = text.back();
    if (letter != QLatin1Char('I') && letter != QLatin1Char('S'))
        return std::nullopt;
    return Property{text.left(colon),
                    letter == QLatin1Char('I') ? PropertyType::Integer : PropertyType::Text};
}

}  // namespace

std::optional<Layout> Layout::parse(const QString& text) {
    const auto match = LayoutPattern().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    Layout layout{match.captured(1), {}};
    const QString body = match.captured(2);
    if (body.isEmpty())
        return layout;
    for (const QString& piece : body.split(QLatin1Char(','))) {
        auto property = ParseProperty(piece);
        if (!property)
            return std::nullopt;
        layout.properties.append(*property);
    }
    return layout;
}

QString Layout::toString() const {
    QStringList parts;
    for (const Property& p : properties)
        parts << p.name + (p.type == PropertyType::Integer ? QStringLiteral(":I")
                                                           : QStringLiteral(":S"));
    return view + QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

int Layout::indexOf(const QString& name) const {
    for (int i = 0; i < properties.size(); ++i) {
        if (SameName(properties[i].name, name))
            return i;
    }
    return -1;
}

QList<Layout> SplitStructureDescription(const QString& description) {
    QList<Layout> layouts;
    qsizetype start = 0;
    while (start < description.size()) {
        const qsizetype end = description.indexOf(QStringLiteral("],"), start);
        const qsizetype pieceEnd = end < 0 ? description.size() : end + 1;
        if (auto layout = Layout::parse(description.mid(start, pieceEnd - start)))
            layouts.append(*layout);
        start = end < 0 ? description.size() : end + 2;
    }
    return layouts;
}

bool SameName(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        const auto fold = [](char16_t c) {
            return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
        };
        if (fold(x) != fold(y))
            return false;
    }
    return true;
}

namespace schema {

const QList<Layout>& Layouts() {
    static const QList<Layout> layouts = [] {
        QList<Layout> all;
        for (const char* text : kLayoutTexts)
            all.append(*Layout::parse(QString::fromLatin1(text)));
        return all;
    }();
    return layouts;
}

std::optional<Layout> LayoutOf(const QString& view) {
    for (const Layout& layout : Layouts()) {
        if (SameName(layout.view, view))
            return layout;
    }
    return std::nullopt;
}

QStringList ViewsInUpgradeOrder() {
    QStringList names;
    for (const Layout& layout : Layouts())
        names << layout.view;
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.toLatin1() < b.toLatin1(); });
    return names;
}

const Layout& Ig() {
    return Layouts()[kIg];
}
const Layout& Pp() {
    return Layouts()[kPp];
}
const Layout& Org() {
    return Layouts()[kOrg];
}
const Layout& Rnpirs() {
    return Layouts()[kRnpirs];
}
const Layout& RnpirsCountry() {
    return Layouts()[kRnpirsCountry];
}
const Layout& RnpirsProfess() {
    return Layouts()[kRnpirsProfess];
}
const Layout& IgTerritory() {
    return Layouts()[kIgTerritory];
}
const Layout& RnpTerritory() {
    return Layouts()[kRnpTerritory];
}
const Layout& OptionPp() {
    return Layouts()[kOptionPp];
}
const Layout& OptionRegion() {
    return Layouts()[kOptionRegion];
}
const Layout& IgPackage() {
    return Layouts()[kIgPackage];
}
const Layout& IgPhAddr() {
    return Layouts()[kIgPhAddr];
}
const Layout& AppOptions() {
    return Layouts()[kAppOptions];
}
const Layout& PkgTerritory() {
    return Layouts()[kPkgTerritory];
}

}  // namespace schema
}  // namespace storage
