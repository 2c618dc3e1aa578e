#include "output/TReportReestrPP.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "controls/TExtDateEdit.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/DialogFrame.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/FileNames.h"
#include "output/OfficeMessages.h"
#include "output/OfficeOutputs.h"
#include "output/OfficeRun.h"
#include "output/PaymentRegister.h"

namespace output {

namespace {

QLabel* DateLabel(const QString& text, controls::TExtDateEdit* field, QWidget* parent) {
    QLabel* label = controls::FieldLabel(text, parent, true);
    label->setBuddy(field->Edit());
    return label;
}

OfficeError WriteRegister(const QString& fileName, const QString& from, const QString& to,
                          const QList<PPReportUnit>& units) {
    OfficeRun run;
    const OfficeBusy busy(run);
    return WritePaymentRegisterWorkbook(run, fileName, from, to, units);
}

}  // namespace

TReportReestrPP::TReportReestrPP(gui::Context& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("ReportReestrPP"));
    setWindowTitle(QStringLiteral("Отчеты: Реестр ПД"));
    // Modal over the window that opens it (the main window).
    setWindowModality(Qt::WindowModal);

    CustomPanel11 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel11");
    CustomPanel12 = controls::Named(new controls::TExtDateEdit(this), "CustomPanel12");
    Button1 = controls::NamedButton("Button1", QStringLiteral("Отчет"), this);
    Button2 = controls::NamedButton("Button2", QStringLiteral("Отмена"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(DateLabel(QStringLiteral("Дата ввода ПД: С"), CustomPanel11, this), 0, 0);
    fields->addWidget(CustomPanel11, 0, 1);
    fields->addWidget(DateLabel(QStringLiteral("По:"), CustomPanel12, this), 0, 2);
    fields->addWidget(CustomPanel12, 0, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(gui::DialogButtonRow(nullptr, {Button1, Button2}));
    gui::InstallDialogKeys(this, Button1, Button2);

    connect(Button1, &QPushButton::clicked, this, &TReportReestrPP::makeReport);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TReportReestrPP::showEvent(QShowEvent* event) {
    CustomPanel11->SetText({});
    CustomPanel12->SetText({});
    QDialog::showEvent(event);
    CustomPanel11->Edit()->setFocus();
}

// Both dates given and valid; otherwise the user is told, and the field has the focus.
bool TReportReestrPP::periodAccepted() {
    const struct {
        controls::TExtDateEdit* field;
        const char* name;
    } fields[] = {{CustomPanel11, "С"}, {CustomPanel12, "По"}};
    for (const auto& [field, name] : fields) {
        if (field->Text().isEmpty()) {
            gui::MessageBoxes::error(
                this, QStringLiteral("Ошибка заполнения данных"),
                QStringLiteral("Поле 'Дата ввода ПД %1' является обязательным для заполнения.")
                    .arg(QString::fromUtf8(name)));
            field->Edit()->setFocus();
            return false;
        }
    }
    for (const auto& [field, name] : fields) {
        if (!dates::IsValidDateText(field->Text()).valid) {
            gui::MessageBoxes::error(this, QStringLiteral("сохранение"),
                                     QStringLiteral("Ошибка заполнения даты"));
            field->Edit()->setFocus();
            return false;
        }
    }
    return true;
}

void TReportReestrPP::makeReport() {
    if (!periodAccepted())
        return;
    const QString from = CustomPanel11->Text();
    const QString to = CustomPanel12->Text();
    const QString chosen = gui::FileDialogs::getSaveFileName(
        this, QStringLiteral("Сохранить как"),
        QDir(context_.startFolder).filePath(PaymentRegisterFileName(from, to)),
        QStringLiteral("Excel Files(*.xls)"));
    if (chosen.isEmpty())
        return;
    const QString fileName = WithDefaultSuffix(chosen, QStringLiteral(".xls"));
    const QList<PPReportUnit> units = ListPaymentDocumentsInPeriod(
        context_.db, context_.lists, dates::DateTextToNumber(from), dates::DateTextToNumber(to));
    if (units.isEmpty()) {
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка"),
                                 QStringLiteral("Не найдено ни одного ПД за указанный период"));
        return;
    }
    const OfficeError error = WriteRegister(fileName, from, to, units);
    if (error.isError()) {
        ShowOfficeError(this, error);
        return;
    }
    gui::MessageBoxes::information(this, QStringLiteral("Операция завершена"),
                                   QStringLiteral("Выгрузка ПД успешно завершена"));
}

}  // namespace output
