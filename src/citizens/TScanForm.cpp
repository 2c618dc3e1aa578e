#include "citizens/TScanForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "citizens/Scanner.h"
#include "citizens/TAcquireImage.h"
#include "controls/FormParts.h"
#include "gui/DialogFrame.h"
#include "gui/HelpTopics.h"

namespace citizens {

namespace {

// A passport photo needs no more; it is what the scanner is set to unless it cannot.
constexpr int kPreferredResolution = 300;

QLabel* BuddyLabel(const QString& text, QWidget* field, QWidget* parent) {
    QLabel* label = controls::FieldLabel(text, parent);
    label->setBuddy(field);
    return label;
}

}  // namespace

TScanForm::TScanForm(TAcquireImage& acquire, const QString& startFolder, QWidget* parent)
    : QDialog(parent), acquire_(acquire) {
    setObjectName(QStringLiteral("ScanForm"));
    setWindowTitle(QStringLiteral("Сканирование"));
    setWindowModality(Qt::WindowModal);

    DeviceList = controls::Named(new QComboBox(this), "DeviceList");
    DeviceList->setMinimumWidth(320);
    ResolutionList = controls::Named(new QComboBox(this), "ResolutionList");
    ModeList = controls::Named(new QComboBox(this), "ModeList");
    Progress = controls::Named(new QProgressBar(this), "Progress");
    Progress->setRange(0, 100);
    Progress->setValue(0);
    Status = controls::Named(new QLabel(this), "Status");
    ScanButton = controls::NamedButton("ScanButton", QStringLiteral("Сканировать"), this);
    CancelButton = controls::NamedButton("CancelButton", QStringLiteral("Отмена"), this);

    auto* fields = new QFormLayout;
    fields->addRow(BuddyLabel(QStringLiteral("Сканер:"), DeviceList, this), DeviceList);
    fields->addRow(BuddyLabel(QStringLiteral("Разрешение:"), ResolutionList, this), ResolutionList);
    fields->addRow(BuddyLabel(QStringLiteral("Режим:"), ModeList, this), ModeList);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(Progress);
    layout->addWidget(Status);
    layout->addLayout(gui::DialogButtonRow(nullptr, {ScanButton, CancelButton}));
    gui::InstallDialogKeys(this, ScanButton, CancelButton);
    gui::InstallHelp(this, nullptr, startFolder, gui::topic::kPhoto);

    FillDevices();
    connect(DeviceList, &QComboBox::activated, this, &TScanForm::DeviceChosen);
    connect(ScanButton, &QPushButton::clicked, this, &TScanForm::StartScan);
    connect(CancelButton, &QPushButton::clicked, this, &TScanForm::reject);
}

TScanForm::~TScanForm() = default;

RawImage TScanForm::TakeImage() {
    return std::exchange(image_, RawImage());
}

void TScanForm::reject() {
    if (job_ && job_->IsRunning()) {
        Status->setText(QStringLiteral("Сканирование прерывается..."));
        CancelButton->setEnabled(false);
        job_->Cancel();  // ScanFinished closes the window
        return;
    }
    outcome_ = Result::Cancelled;
    QDialog::reject();
}

void TScanForm::FillDevices() {
    for (const ScannerDevice& device : acquire_.Sources())
        DeviceList->addItem(device.label, device.name);
    DeviceList->setCurrentIndex(DeviceList->findData(acquire_.SelectedSource()));
    FillSettings();
}

// Another scanner replaces the open one; one that cannot be opened leaves nothing to scan with.
void TScanForm::DeviceChosen(int index) {
    const QString name = DeviceList->itemData(index).toString();
    if (name == acquire_.SelectedSource() && acquire_.OpenedSource())
        return;
    acquire_.closeTwainSession();
    if (acquire_.selectSource(name) != kAcquireDone || acquire_.openSource() != kAcquireDone)
        Status->setText(QStringLiteral("Не удается подключиться к сканеру"));
    else
        Status->clear();
    FillSettings();
}

void TScanForm::FillSettings() {
    ResolutionList->clear();
    ModeList->clear();
    OpenScanner* scanner = acquire_.OpenedSource();
    ScanButton->setEnabled(scanner != nullptr);
    if (!scanner) {
        ResolutionList->setEnabled(false);
        ModeList->setEnabled(false);
        return;
    }
    int nearest = -1;
    for (const int dpi : scanner->Resolutions()) {
        ResolutionList->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
        if (nearest < 0 ||
            std::abs(dpi - kPreferredResolution) <
                std::abs(ResolutionList->itemData(nearest).toInt() - kPreferredResolution))
            nearest = ResolutionList->count() - 1;
    }
    ResolutionList->setCurrentIndex(nearest);
    for (const ScanMode mode : scanner->Modes()) {
        ModeList->addItem(
            mode == ScanMode::Colour ? QStringLiteral("Цветной") : QStringLiteral("Оттенки серого"),
            int(mode));
    }
    ModeList->setCurrentIndex(ModeList->count() > 0 ? 0 : -1);
    ResolutionList->setEnabled(ResolutionList->count() > 0);
    ModeList->setEnabled(ModeList->count() > 0);
}

void TScanForm::StartScan() {
    OpenScanner* scanner = acquire_.OpenedSource();
    if (!scanner || (job_ && job_->IsRunning()))
        return;
    // A setting the scanner refuses leaves its own.
    if (ResolutionList->currentIndex() >= 0)
        scanner->SetResolution(ResolutionList->currentData().toInt());
    if (ModeList->currentIndex() >= 0)
        scanner->SetMode(ScanMode(ModeList->currentData().toInt()));
    job_ = std::make_unique<ScanJob>(*scanner);
    connect(job_.get(), &ScanJob::progressed, Progress, &QProgressBar::setValue);
    connect(job_.get(), &ScanJob::finished, this, &TScanForm::ScanFinished);
    Progress->setValue(0);
    Status->setText(QStringLiteral("Идёт сканирование..."));
    SetScanning(true);
    job_->Start();
}

void TScanForm::ScanFinished() {
    ScanResult result = job_->TakeResult();
    SetScanning(false);
    switch (result.status) {
        case ScanResult::Status::Done:
            image_ = std::move(result.image);
            outcome_ = Result::Scanned;
            accept();
            return;
        case ScanResult::Status::Cancelled:
            outcome_ = Result::Cancelled;
            break;
        case ScanResult::Status::Failed:
            qWarning("Scan failed: %s", qUtf8Printable(result.reason));
            outcome_ = Result::Failed;
            break;
    }
    QDialog::reject();
}

void TScanForm::SetScanning(bool scanning) {
    DeviceList->setEnabled(!scanning);
    ResolutionList->setEnabled(!scanning && ResolutionList->count() > 0);
    ModeList->setEnabled(!scanning && ModeList->count() > 0);
    ScanButton->setEnabled(!scanning);
    CancelButton->setEnabled(true);
}

}  // namespace citizens
