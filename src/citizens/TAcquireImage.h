#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

#include "citizens/Scanner.h"

class QWidget;

namespace citizens {

// The option (app_options) that remembers the scanner used last, offered first next time.
inline constexpr char kScannerDeviceKey[] = "SCANNER_DEVICE";

// Results of the operations that return a number.
inline constexpr int kAcquireDone = 0;
inline constexpr int kAcquireFailed = 1;
// acquirejpg only: the user stopped the scan, or closed the scan window without scanning.
inline constexpr int kAcquireCancelled = 2;

// The scanner as the citizen dialog's photo sequence uses it, over the scanner library
// (SANE). The library is loaded for one scan only: loadTwainModule starts it,
// openSourceManager lists the scanners, a scanner is chosen and opened, acquirejpg scans,
// closeTwainSession closes the scanner and unloadTwainModule releases the library.
class TAcquireImage {
public:
    // The scan window opens over the window of `owner`; its help is the photo's page of the
    // manual in `startFolder`.
    TAcquireImage(QWidget* owner, QString startFolder);
    ~TAcquireImage();
    TAcquireImage(const TAcquireImage&) = delete;
    TAcquireImage& operator=(const TAcquireImage&) = delete;

    // With true, acquirejpg shows the scan window (scanner, resolution, colour, progress and
    // "Отмена"); with false it scans at once with the scanner's settings.
    void setSHOWhide(bool show);
    // Starts the library; true when it runs.
    bool loadTwainModule();
    // Lists the scanners (the remembered one first); kAcquireDone when the library answered.
    int openSourceManager();
    // With true, the scanner to use: the remembered one when it is attached, otherwise the
    // first listed; with false, the one selected. Empty when there is none.
    QString GetSource(bool defaultSource);
    // Makes a listed scanner the one used; kAcquireFailed for a name not listed.
    int selectSource(const QString& name);
    // Opens the selected scanner; kAcquireFailed when it cannot be opened (busy, gone).
    int openSource();
    // Scans with the opened scanner into `picture`, as JPEG data of `quality`.
    // kAcquireDone, kAcquireCancelled or kAcquireFailed; `picture` changes only when done.
    int acquirejpg(QByteArray& picture, int quality);
    // Closes the scanner.
    void closeTwainSession();
    // Releases the library (closing the scanner first).
    void unloadTwainModule();

    // The scanner used last (empty when none is known), to be offered first.
    void SetRememberedSource(const QString& name);
    const QList<ScannerDevice>& Sources() const { return sources_; }
    const QString& SelectedSource() const { return selected_; }
    // The opened scanner; null while none is open.
    OpenScanner* OpenedSource() const { return opened_.get(); }

private:
    QWidget* owner_;
    QString startFolder_;
    bool show_ = false;
    std::unique_ptr<ScannerSession> session_;
    QList<ScannerDevice> sources_;
    QString remembered_;
    QString selected_;
    std::unique_ptr<OpenScanner> opened_;
};

}  // namespace citizens
