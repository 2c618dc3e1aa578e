#pragma once

#include <QByteArray>
#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;

namespace gui {
struct Context;
}

namespace citizens {

// The photo of the citizen being entered, in the citizen entry dialog: the picture (Image1)
// or "НЕТ ФОТО" (Label23) in its place, and the buttons that take a photo from a file
// (Button5) or a scanner (Button4), with the photo's own help (Button8). It holds the
// picture as JPEG data, cut to 3 wide by 4 high, until the citizen is saved.
class TPhotoArea : public QFrame {
    Q_OBJECT

public:
    TPhotoArea(gui::Context& context, QWidget* parent = nullptr);

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
    QByteArray jpeg_;
};

}  // namespace citizens
