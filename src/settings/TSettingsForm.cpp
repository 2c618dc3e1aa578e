#include "settings/TSettingsForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/SaveFailure.h"
#include "storage/Options.h"

namespace settings {

TSettingsForm::TSettingsForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Настройки"));

    PPNumberNessCheckBox = controls::Named(
        new QCheckBox(QStringLiteral("Обязательное поле \" № платежного документа\""), this),
        "PPNumberNessCheckBox");
    Button1 = controls::NamedButton("Button1", QStringLiteral("Сохранить"), this);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Отменить"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PPNumberNessCheckBox);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(nullptr, {Button1, Button2}));
    gui::InstallDialogKeys(this, Button1, Button2);

    connect(Button1, &QPushButton::clicked, this, &TSettingsForm::save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TSettingsForm::showEvent(QShowEvent* event) {
    storage::AppSettings settings;
    storage::AppSettingsDAO::instance(context_.db).Load(settings);
    PPNumberNessCheckBox->setChecked(settings.paymentNumberRequired);
    QDialog::showEvent(event);
}

void TSettingsForm::save() {
    const storage::AppSettings settings{PPNumberNessCheckBox->isChecked()};
    if (!gui::SaveOrReport(this, QStringLiteral("настройки"), [&] {
            storage::AppSettingsDAO::instance(context_.db).Insert(settings);
        }))
        return;
    accept();
}

}  // namespace settings
