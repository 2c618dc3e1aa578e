#include "output/TDocumentsFillStatusForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "controls/FormParts.h"
#include "gui/DialogFrame.h"

namespace output {

namespace {

const QString kStop = QStringLiteral("Остановить");

}  // namespace

TDocumentsFillStatusForm::TDocumentsFillStatusForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("DocumentsFillStatusForm"));
    setWindowTitle(QStringLiteral("Процесс заполнения заявлений"));
    // The run holds the program: nothing else may be started until it ends.
    setWindowModality(Qt::ApplicationModal);

    TitleLabel = controls::Named(new QLabel(QStringLiteral("Процесс заполнения заявлений"), this),
                                 "TitleLabel");
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TitleLabel->setAlignment(Qt::AlignCenter);
    StepLabel = controls::Named(new QLabel(QStringLiteral("ход процесса:"), this), "StepLabel");
    Label2 = controls::Named(new QLabel(this), "Label2");
    Label2->setMinimumWidth(160);
    ProgressBar1 = controls::Named(new QProgressBar(this), "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMinimumWidth(320);
    StopButton = controls::NamedButton("StopButton", kStop, this);
    StepLabel->setBuddy(ProgressBar1);

    // Without a window frame, the panel's own edge sets the window off from what lies below.
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    auto* step = new QHBoxLayout;
    step->addWidget(StepLabel);
    step->addWidget(Label2, 1);
    auto* inside = new QVBoxLayout(panel);
    inside->setContentsMargins(16, 12, 16, 12);
    inside->addWidget(TitleLabel);
    inside->addLayout(step);
    inside->addWidget(ProgressBar1);
    inside->addLayout(gui::DialogButtonRow(nullptr, {StopButton}));
    auto* outside = new QVBoxLayout(this);
    outside->setContentsMargins(0, 0, 0, 0);
    outside->addWidget(panel);
    gui::InstallDialogKeys(this, nullptr, StopButton);

    connect(StopButton, &QPushButton::clicked, this, &TDocumentsFillStatusForm::requestStop);
}

void TDocumentsFillStatusForm::Begin(int count) {
    stopRequested_ = false;
    StopButton->setText(kStop);
    StopButton->setEnabled(true);
    ProgressBar1->setMaximum(std::max(count, 1));
    ProgressBar1->setValue(0);
    Label2->setText(QStringLiteral("Подготовка шаблонов..."));
    adjustSize();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    paintNow();
}

void TDocumentsFillStatusForm::ShowCitizen(int index, int count) {
    Label2->setText(QStringLiteral("%1\\%2").arg(index).arg(count));
    ProgressBar1->setValue(index);
    paintNow();
}

void TDocumentsFillStatusForm::Finish() {
    hide();
}

void TDocumentsFillStatusForm::closeEvent(QCloseEvent* event) {
    // Closing the window means stopping the run; the run hides it when it has stopped.
    event->ignore();
    requestStop();
}

void TDocumentsFillStatusForm::reject() {
    requestStop();
}

void TDocumentsFillStatusForm::requestStop() {
    if (!isVisible())
        return;
    stopRequested_ = true;
    StopButton->setEnabled(false);
    StopButton->setText(QStringLiteral("Остановка..."));
}

void TDocumentsFillStatusForm::paintNow() {
    if (isVisible())
        repaint();
}

}  // namespace output
