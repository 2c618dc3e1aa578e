#include "settings/TOptionRegionForm.h"

#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/TExtSrchComboBox.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "settings/RegionSetting.h"

namespace settings {

TOptionRegionForm::TOptionRegionForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("OptionRegionForm"));
    setWindowTitle(QStringLiteral("Выбор региона"));

    RadioButton1 =
        controls::Named(new QRadioButton(QStringLiteral("Ваш регион"), this), "RadioButton1");
    ComboBox11 = controls::Named(new controls::TExtSrchComboBox(this), "ComboBox11");
    ComboBox11->setMinimumWidth(320);
    RadioButton2 = controls::Named(new QRadioButton(QStringLiteral("Центр выдачи Москва"), this),
                                   "RadioButton2");
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button1 = controls::NamedButton("Button1", QStringLiteral("Отмена"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);

    auto* choice = new QGridLayout;
    choice->addWidget(RadioButton1, 0, 0);
    choice->addWidget(ComboBox11, 0, 1);
    choice->addWidget(RadioButton2, 1, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(Button8, {Button2, Button1}));
    gui::InstallDialogKeys(this, Button2, Button1);

    // The list's choice stays while it is disabled.
    connect(RadioButton1, &QRadioButton::toggled, ComboBox11, &QWidget::setEnabled);
    connect(Button2, &QPushButton::clicked, this, &TOptionRegionForm::save);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    gui::InstallHelp(this, Button8, context_.startFolder, gui::topic::kRegion);
}

void TOptionRegionForm::showEvent(QShowEvent* event) {
    ComboBox11->LoadList(context_.lists.territories);
    const bool ownRegion = LoadRegionType(context_.db) == kOwnRegion;
    (ownRegion ? RadioButton1 : RadioButton2)->setChecked(true);
    ComboBox11->setEnabled(ownRegion);
    if (ownRegion)
        ComboBox11->SelectComboItemById(LoadRegionId(context_.db));
    QDialog::showEvent(event);
}

void TOptionRegionForm::save() {
    const int regionType = RadioButton1->isChecked() ? kOwnRegion : kMoscowIssuingCentre;
    const int regionId = ComboBox11->SelectedComboItemId();
    if (regionType == kOwnRegion && (regionId == -1 || ComboBox11->currentText().isEmpty())) {
        gui::MessageBoxes::error(
            this, QStringLiteral("Ошибка ввода данных"),
            QStringLiteral("Поле 'Регион' является обязательным для заполнения."));
        ComboBox11->setFocus();
        return;
    }
    if (!gui::SaveOrReport(this, QStringLiteral("настройку региона"),
                           [&] { SaveRegionSetting(context_.db, regionType, regionId); }))
        return;
    Q_EMIT regionTypeSaved(LoadRegionType(context_.db));
    accept();
}

}  // namespace settings
