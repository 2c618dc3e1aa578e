#pragma once

#include <QDialog>
#include <memory>

#include "citizens/PhotoImage.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace citizens {

class ScanJob;
class TAcquireImage;

// "Сканирование": the scanner, its resolution and colour or grey, then the scan with its
// progress. The scanner works in a thread of its own, so the window stays responsive;
// "Отмена" (also Esc and closing the window) stops a scan under way and closes the window
// with nothing scanned.
class TScanForm : public QDialog {
    Q_OBJECT

public:
    enum class Result { Scanned, Cancelled, Failed };

    // Shown over `parent`, which it blocks while it is open.
    TScanForm(TAcquireImage& acquire, const QString& startFolder, QWidget* parent);
    ~TScanForm() override;

    QComboBox* DeviceList;      // "Сканер:", the scanner used last first
    QComboBox* ResolutionList;  // "Разрешение:"
    QComboBox* ModeList;        // "Режим:": "Цветной", "Оттенки серого"
    QProgressBar* Progress;
    QLabel* Status;
    QPushButton* ScanButton;    // "Сканировать"
    QPushButton* CancelButton;  // "Отмена"

    // How the window ended, and the picture when it was scanned.
    Result Outcome() const { return outcome_; }
    RawImage TakeImage();

public slots:
    // Stops a scan under way first; the window closes once the scanner has stopped.
    void reject() override;

private:
    void FillDevices();
    void DeviceChosen(int index);
    void FillSettings();
    void StartScan();
    void ScanFinished();
    void SetScanning(bool scanning);

    TAcquireImage& acquire_;
    std::unique_ptr<ScanJob> job_;
    Result outcome_ = Result::Cancelled;
    RawImage image_;
};

}  // namespace citizens
