#include "settings/TFMSMemberForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/FormParts.h"
#include "controls/TEditSD.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/SaveFailure.h"
#include "storage/Options.h"

namespace settings {

TFMSMemberForm::TFMSMemberForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("FMSMemberForm"));
    setWindowTitle(QStringLiteral("Орган ФМС"));

    Edit1 = controls::Named(new controls::TEditSD(this), "Edit1");
    Edit1->setMinimumWidth(420);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button1 = controls::NamedButton("Button1", QStringLiteral("?"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(controls::FieldLabel(QStringLiteral("Орган ФМС:"), this), 0, 0);
    fields->addWidget(Edit1, 0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(Button1, {Button2, Button3}));
    gui::InstallDialogKeys(this, Button2, Button3);

    connect(Button2, &QPushButton::clicked, this, &TFMSMemberForm::save);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TFMSMemberForm::showEvent(QShowEvent* event) {
    Edit1->setText(storage::GetOption(context_.db, QString::fromLatin1(storage::kFmsMemberKey)));
    QDialog::showEvent(event);
}

void TFMSMemberForm::save() {
    const QString name = Edit1->text();
    if (!gui::SaveOrReport(this, QStringLiteral("орган ФМС"), [&] {
            storage::SetOption(context_.db, QString::fromLatin1(storage::kFmsMemberKey), name);
        }))
        return;
    accept();
}

}  // namespace settings
