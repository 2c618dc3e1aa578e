#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "citizens/PhotoImage.h"

namespace citizens {

// A scanner the scanner library (SANE) knows of.
struct ScannerDevice {
    QString name;   // what the library opens it by ("test:0", "genesys:libusb:001:004")
    QString label;  // what the user is shown: maker, model and name

    friend bool operator==(const ScannerDevice&, const ScannerDevice&) = default;
};

// The process's use of the scanner library. The library is process-wide: it is initialised
// when the first session starts and released when the last one ends, so that two users in
// one process never initialise it twice.
class ScannerSession {
public:
    ScannerSession();
    ~ScannerSession();
    ScannerSession(const ScannerSession&) = delete;
    ScannerSession& operator=(const ScannerSession&) = delete;

    // Whether the library could be initialised.
    bool IsOpen() const { return open_; }

    // The scanners attached now; false when the library cannot list them.
    bool ListDevices(QList<ScannerDevice>& devices) const;

private:
    bool open_ = false;
};

// Colour or shades of grey.
enum class ScanMode { Colour, Grey };

// One scanner opened for scanning; closed with the object. Its settings are the options the
// scanner itself describes: the resolution (an integer or a fixed-point value, as the
// scanner's own option says) and the mode.
class OpenScanner {
public:
    // The scanner, or null when it cannot be opened (busy, gone, refused).
    static std::unique_ptr<OpenScanner> Open(const ScannerSession& session, const QString& name);
    ~OpenScanner();
    OpenScanner(const OpenScanner&) = delete;
    OpenScanner& operator=(const OpenScanner&) = delete;

    const QString& Name() const { return name_; }

    // The resolutions offered (dots per inch, ascending; the usual ones the scanner allows,
    // up to 600); empty when the scanner has no settable resolution.
    QList<int> Resolutions() const;
    // The current resolution; 0 when unknown.
    int Resolution() const;
    bool SetResolution(int dpi);

    // The modes the scanner offers among colour and grey.
    QList<ScanMode> Modes() const;
    std::optional<ScanMode> Mode() const;
    bool SetMode(ScanMode mode);

    void* Handle() const { return handle_; }

private:
    OpenScanner(QString name, void* handle);
    int OptionIndex(const char* name) const;
    QString ModeValue(ScanMode mode) const;

    QString name_;
    void* handle_;
};

// What a scan gave.
struct ScanResult {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Failed;
    RawImage image;  // with Done
    QString reason;  // with Failed: the library's own words, for the developer
};

// Scans one page: starts the scanner and reads the picture (all frames of a three-pass
// scanner), 8-bit grey or colour whatever depth the scanner delivers. `cancelled` is looked
// at between reads; `progress` is told the percentage read whenever it grows.
ScanResult ScanPage(OpenScanner& scanner, const std::atomic<bool>* cancelled = nullptr,
                    const std::function<void(int)>& progress = {});

// A scan in a thread of its own, so that the window that asked for it stays responsive while
// the scanner works. The thread touches nothing but the scanner; its results come back as
// signals, delivered in the thread of this object.
class ScanJob : public QObject {
    Q_OBJECT

public:
    explicit ScanJob(OpenScanner& scanner, QObject* parent = nullptr);
    // Cancels a scan still running and waits for its thread.
    ~ScanJob() override;

    void Start();
    // Asks the scanner to stop; finished() follows, with a cancelled result.
    void Cancel();
    bool IsRunning() const { return running_; }
    // The result once finished() has come.
    ScanResult TakeResult();

signals:
    void progressed(int percent);
    void finished();

private:
    void Run();

    OpenScanner& scanner_;
    std::thread thread_;
    std::atomic<bool> cancelled_ = false;
    bool running_ = false;
    ScanResult result_;
};

}  // namespace citizens
