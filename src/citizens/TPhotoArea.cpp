#include "citizens/TPhotoArea.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "citizens/Base64.h"
#include "controls/FormParts.h"
#include "gui/Context.h"

namespace citizens {

// The least photo holder: it shows what it holds. Taking a photo from a file or a scanner
// joins it later.
TPhotoArea::TPhotoArea(gui::Context& context, QWidget* parent) : QFrame(parent), context_(context) {
    Image1 = controls::Named(new QLabel(this), "Image1");
    Image1->setFixedSize(189, 253);
    Image1->setScaledContents(true);
    Label23 = controls::Named(new QLabel(QStringLiteral("НЕТ ФОТО"), this), "Label23");
    Label23->setAlignment(Qt::AlignCenter);
    Label23->setFixedSize(189, 253);
    Label23->setStyleSheet(QStringLiteral("color: silver; font-weight: bold;"));
    Button4 = controls::NamedButton("Button4", QStringLiteral("Сканировать"), this);
    Button5 = controls::NamedButton("Button5", QStringLiteral("Добавить фотографию"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1, 0, 0, 1, 3);
    layout->addWidget(Label23, 0, 0, 1, 3);
    layout->addWidget(Button4, 1, 0);
    layout->addWidget(Button5, 1, 1);
    layout->addWidget(Button8, 1, 2);
    Clear();
}

bool TPhotoArea::HasPhoto() const {
    return !Label23->isVisibleTo(this) && !jpeg_.isEmpty();
}

QByteArray TPhotoArea::Jpeg() const {
    return HasPhoto() ? jpeg_ : QByteArray();
}

QString TPhotoArea::StoredText() const {
    QString text;
    if (HasPhoto())
        EncodeBase64(jpeg_, text, kPhotoTextCapacity);
    return text;
}

void TPhotoArea::Clear() {
    jpeg_.clear();
    Image1->clear();
    Image1->hide();
    Label23->setText(QStringLiteral("НЕТ ФОТО"));
    Label23->show();
    Button5->setText(QStringLiteral("Добавить фотографию"));
    emit photoChanged();
}

void TPhotoArea::ShowStoredPhoto(const QString& storedText) {
    if (storedText.isEmpty()) {
        Clear();
        return;
    }
    QByteArray jpeg;
    DecodeBase64(storedText, jpeg, kPhotoDataCapacity);
    hold(jpeg);
    Button5->setText(QStringLiteral("Изменить фотографию"));
}

void TPhotoArea::hold(const QByteArray& jpeg) {
    QPixmap picture;
    if (!picture.loadFromData(jpeg, "JPEG")) {
        Clear();
        return;
    }
    jpeg_ = jpeg;
    Image1->setPixmap(picture);
    Image1->show();
    Label23->hide();
    emit photoChanged();
}

}  // namespace citizens
