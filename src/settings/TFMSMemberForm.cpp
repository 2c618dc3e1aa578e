#include "settings/TFMSMemberForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/FormParts.h"
#include "gui/Context.h"
#include "storage/Options.h"

namespace settings {

TFMSMemberForm::TFMSMemberForm(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("FMSMemberForm"));
    setWindowTitle(QStringLiteral("Орган ФМС"));

    Edit1 = controls::Named(new QLineEdit(this), "Edit1");
    Edit1->setMinimumWidth(420);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Сохранить"), this);
    Button3 = controls::NamedButton("Button3", QStringLiteral("Отмена"), this);
    Button1 = controls::NamedButton("Button1", QStringLiteral("?"), this);
    Button1->setAutoDefault(false);
    Button2->setDefault(true);

    auto* fields = new QGridLayout;
    fields->addWidget(controls::FieldLabel(QStringLiteral("Орган ФМС:"), this), 0, 0);
    fields->addWidget(Edit1, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(Button2, &QPushButton::clicked, this, &TFMSMemberForm::save);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void TFMSMemberForm::showEvent(QShowEvent* event) {
    Edit1->setText(storage::GetOption(context_.db, QString::fromLatin1(storage::kFmsMemberKey)));
    QDialog::showEvent(event);
}

void TFMSMemberForm::save() {
    storage::SetOption(context_.db, QString::fromLatin1(storage::kFmsMemberKey), Edit1->text());
    accept();
}

}  // namespace settings
