#pragma once

#include <QByteArray>
#include <QFrame>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;

namespace gui {
struct Context;
}

namespace citizens {

class TAcquireImage;

// The filter of the photo's open-file dialog.
inline constexpr char kPhotoFileFilter[] = "Jpeg фотографии (*.jpg *.jpeg)";

// The photo of the citizen being entered, in the citizen entry dialog: the picture (Image1)
// or "НЕТ ФОТО" (Label23) in its place, and the buttons that take a photo from a file
// (Button5) or a scanner (Button4), with the photo's own help (Button8). It holds the
// picture as JPEG data, cut to 3 wide by 4 high, until the citizen is saved.
class TPhotoArea : public QFrame {
    Q_OBJECT

public:
    TPhotoArea(gui::Context& context, QWidget* parent = nullptr);
    ~TPhotoArea() override;

    QLabel* Image1;        // the picture, 189 by 253
    QLabel* Label23;       // "НЕТ ФОТО", shown while no photo is held
    QPushButton* Button4;  // "Сканировать"
    QPushButton* Button5;  // "Добавить фотографию" / "Изменить фотографию"
    QPushButton* Button8;  // "?"

    // Whether a photo counts for the citizen: "НЕТ ФОТО" is not shown.
    bool HasPhoto() const;
    // The held picture as JPEG data; empty when none.
    QByteArray Jpeg() const;
    // The held picture as the record stores it (Base64 of the JPEG data); empty when none.
    QString StoredText() const;

    // A new citizen: no photo, caption "Добавить фотографию".
    void Clear();
    // The photo of a citizen opened for editing, from its stored text; an empty text is
    // Clear(). A stored photo that cannot be decoded shows "НЕТ ФОТО" and says so.
    void ShowStoredPhoto(const QString& storedText);

signals:
    // The held picture changed (loaded, scanned or cleared).
    void photoChanged();

protected:
    // Holds `jpeg` as the photo and shows it.
    void hold(const QByteArray& jpeg);

    gui::Context& context_;

private:
    // "Добавить фотографию" / "Изменить фотографию": a JPEG file of at most 200 KB.
    void LoadFromFile();
    // "Сканировать": the scanner's sequence, with the scan window in place of the scanner's
    // own dialog.
    void Scan();
    void ScanWithLoadedModule();
    void ReportScannerFailure();
    QString RememberedScanner() const;
    void RememberScanner(const QString& name);
    // Shows `jpeg` in Image1; false when it cannot be decoded.
    bool ShowPicture(const QByteArray& jpeg);

    QByteArray jpeg_;
    std::unique_ptr<TAcquireImage> acquire_;
    // Set while the scanner library is loaded for a scan.
    bool scannerModuleLoaded_ = false;
};

}  // namespace citizens
