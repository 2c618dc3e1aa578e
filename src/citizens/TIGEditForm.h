#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <optional>

#include "citizens/CitizenStore.h"
#include "citizens/CitizenValidation.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "dictionaries/ReferenceLists.h"
#include "gui/TerritoryOwner.h"
#include "permits/PermitStore.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace gui {
struct Context;
}

namespace controls {
class TEditSD;
class TExtDateEdit;
class TExtEdit;
class TExtSrchComboBox;
class TExtSrchEdit;
}  // namespace controls

namespace citizens {

class TPhotoArea;
class TPPEditForm;
class TRegistrationAddr;
class TTerritoryEditForm;

// "Ввод данных о иностранном гражданине": the window in which a foreign citizen is entered or
// edited with everything attached to it, the main window of the user's daily work. Modeless;
// closing only hides it, and it keeps its content until an opener resets it.
//
// Two regimes: visa (the citizen is hired under a permit, whose free quotas decide which
// countries and professions may be chosen) and visa-free (no permit; the citizen may belong
// to a package). Two modes: add (it stays open for the next citizen after each save) and edit
// (a saved citizen from the search; a save closes it). The payment document, the
// registration address and the territories are held here until the citizen is saved with
// them, in one transaction.
class TIGEditForm : public QDialog, public gui::TerritoryOwner {
    Q_OBJECT

public:
    static constexpr int kTerritoryLimit = 200;

    TIGEditForm(gui::Context& context, QWidget* parent = nullptr);
    ~TIGEditForm() override;

    // The modal dialogs of this folder that the window opens.
    void UseDialogs(TPPEditForm* payment, TRegistrationAddr* address,
                    TTerritoryEditForm* territories);

    // A new citizen from the main menu: 0 visa-free, 1 visa. What was entered is discarded.
    void OpenNewCitizen(int visaRegime);
    // A new visa-free citizen in the package: its period and territories are taken.
    void OpenNewCitizenInPackage(int packageId);
    // A stored citizen, with its payment document, address, territories and photo.
    void OpenCitizenForEditing(int key);
    // The region setting was saved: 1 own region, 2 the Moscow issuing centre.
    void SetRegionType(int regionType);
    // The end of the start-up loading: the lists of the issued-by field, the professions and
    // the citizenship.
    void TakeReferenceLists();

    // What the window holds for the citizen until it is saved.
    const std::optional<PPFormData>& HeldPaymentDocument() const { return paymentDocument_; }
    // Holds the document (or none) and shows whether one is held.
    void HoldPaymentDocument(const std::optional<PPFormData>& document);
    RegAddrFormData& HeldAddress() { return address_; }
    TPhotoArea* PhotoArea() const { return photo_; }
    bool VisaMode() const { return visa_; }
    bool EditMode() const { return editing_; }
    int RegionType() const { return regionType_; }

    // gui::TerritoryOwner: the citizen's territories of work, at most kTerritoryLimit.
    Kind territoryOwnerKind() const override { return Kind::Citizen; }
    QList<int> territoryIds() const override { return territories_; }
    int territoryLimit() const override { return kTerritoryLimit; }
    void setTerritories(const QList<int>& ids, const QString& names) override;

    // Organisation or trusted person (only one group shows), and the filling date.
    QWidget* OrganisationGroup;
    controls::TEditSD* Edit1;  // organisation name
    controls::TEditSD* Edit2;  // organisation INN
    QWidget* TrustedPersonGroup;
    controls::TEditSD* Edit5;               // trusted person surname
    controls::TEditSD* Edit7;               // given name
    controls::TEditSD* Edit8;               // patronymic
    controls::TEditSD* Edit4;               // passport series
    controls::TEditSD* Edit6;               // passport number
    QCheckBox* CheckBox3;                   // "Запомнить данные"
    controls::TExtDateEdit* CustomPanel14;  // "Дата заполнения:"

    // Permit and work.
    QLabel* PermitLabel;                       // "РНП:"
    QComboBox* ComboBox1;                      // permit numbers
    QLabel* Label40;                           // the permit's period
    QLabel* PackageLabel;                      // "Номер пакета:", never shown
    QComboBox* ComboBox2;                      // packages, never shown
    controls::TExtSrchComboBox* ComboBox11;    // profession prefix
    controls::TExtSrchComboBox* ComboProfess;  // profession
    controls::TExtDateEdit* RNPDateFrom;
    controls::TExtDateEdit* RNPDateTo;
    QCheckBox* CheckBox4;  // "Удержать" the period

    // Passport data.
    controls::TExtEdit* Edit14;  // surname
    controls::TExtEdit* Edit15;  // given name
    controls::TExtEdit* Edit;    // patronymic
    controls::TExtEdit* Edit11;  // passport series
    controls::TExtEdit* EditPassNum;
    controls::TExtDateEdit* DateREceive;     // passport issue date
    controls::TExtSrchEdit* IssuedBy;        // "Кем выдан:"
    controls::TExtDateEdit* CustomPanel12;   // birth date
    QRadioButton* RadioButton1;              // "Мужской"
    QRadioButton* RadioButton2;              // "Женский"
    controls::TExtSrchComboBox* ComboBox12;  // citizenship
    controls::TEditSD* EdOsOtm;              // special marks

    // Certificates, payment, addresses, territories.
    QCheckBox* CheckBox1;  // "Все медицинские справки приняты"
    QLabel* AcceptanceLabel;
    controls::TExtDateEdit* CustomPanel11;  // acceptance date
    QLabel* CertificateIssueLabel;
    controls::TExtDateEdit* CustomPanel13;  // issue date
    QLabel* CertificateNumberLabel;
    controls::TEditSD* Edit3;  // certificate number
    QLabel* Label15;           // "Не принято" / "Платеж принят"
    QPushButton* Button1;      // "Принять" / "Редактировать"
    QPushButton* ButtonPPDel;  // "Удалить"
    QCheckBox* CheckBox2;  // "Разрешение на временное проживание"
    QPushButton* Button9;  // "Адрес регистрации"
    controls::TEditSD* Edit12;  // permanent residence address
    QLabel* Label41;            // "Территории действия:"
    QPushButton* Button6;       // "Территории действия"
    QLabel* TerritoriesAsterisk;
    QPlainTextEdit* Memo1;  // the territories' names
    QCheckBox* CheckBox5;   // "Удержать" the territories
    QPushButton* Button2;   // "Сохранить"
    QPushButton* Button3;   // "Отмена"
    QPushButton* Button7;   // "?"

signals:
    // A citizen opened for editing was saved.
    void citizenEdited();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createPassportControls();
    void createAttachedControls();
    void layOut();
    QWidget* organisationArea();
    QWidget* workArea();
    QWidget* passportArea();
    QWidget* attachedArea();
    void connectControls();

    void present();
    void onShowing();
    void showOrganisationGroup();
    int organisationType() const;
    void clear();
    void setUpMode();
    void setUpTerritoryControls();
    void setUpTabOrder();
    void enableDataFields(bool enabled);
    void fillPermitList();
    void fillPackageList(bool withEmptyEntry);
    void fillFromRecord(const IGFormData& record);
    void selectPermit(const QString& number);

    void permitChosen();
    void professionChosen();
    void citizenshipChosen();
    void temporaryResidenceToggled(bool checked);
    void medicalCertificatesToggled(bool checked);
    void proposePeriodEnd();
    void packageChosen();
    void removePaymentDocument();
    void editPaymentDocument();
    void editAddress();
    void editTerritories();
    void cancel();

    void save();
    void remember();
    bool validate();
    CitizenInput input() const;
    QWidget* fieldOf(InputField field) const;
    IGFormData record() const;
    int chosenPackage() const;
    void afterAddSave(const QString& permitNumber);

    void showTerritories(const QList<int>& ids);
    void loadCountries(const dictionaries::ReferenceList& list, bool keepChoice);

    gui::Context& context_;
    TPhotoArea* photo_;
    TPPEditForm* paymentDialog_ = nullptr;
    TRegistrationAddr* addressDialog_ = nullptr;
    TTerritoryEditForm* territoryDialog_ = nullptr;

    bool visa_ = false;
    bool editing_ = false;
    bool packageLink_ = false;
    int editedKey_ = -1;
    int storedProfession_ = -1;
    int storedCitizenship_ = -1;
    int storedOrgType_ = 1;
    int storedPackage_ = -1;
    int regionType_ = 2;
    std::optional<PPFormData> paymentDocument_;
    RegAddrFormData address_;
    QList<int> territories_;
    bool quotaLoaded_ = false;
    permits::ProfessionPrefixIndex prefixIndex_;

    struct Remembered {
        bool on = false;
        QString orgName, orgInn, surname, givenName, patronymic, passportSeries, passportNumber;
    } remembered_;
};

}  // namespace citizens
