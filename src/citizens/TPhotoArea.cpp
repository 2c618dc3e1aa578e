#include "citizens/TPhotoArea.h"

#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "citizens/Base64.h"
#include "citizens/PhotoImage.h"
#include "citizens/TAcquireImage.h"
#include "controls/FormParts.h"
#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/HelpTopics.h"
#include "gui/MessageBoxes.h"
#include "gui/SaveFailure.h"
#include "storage/Database.h"
#include "storage/Options.h"

namespace citizens {

namespace {

const QString kNoPhoto = QStringLiteral("НЕТ ФОТО");

QImage ToImage(const RawImage& raw) {
    const QImage view(reinterpret_cast<const uchar*>(raw.pixels.constData()), raw.width, raw.height,
                      raw.rowBytes(),
                      raw.channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    return view.copy();  // the view does not own the pixels
}

void ShowNotJpeg(QWidget* parent) {
    gui::MessageBoxes::error(parent, QStringLiteral("Ошибка формата изображения"),
                             QStringLiteral("Допускается загрузка только Jpeg изображений!"));
}

}  // namespace

TPhotoArea::TPhotoArea(gui::Context& context, QWidget* parent)
    : QFrame(parent)
    , context_(context)
    , acquire_(std::make_unique<TAcquireImage>(this, context.startFolder)) {
    Image1 = controls::Named(new QLabel(this), "Image1");
    Image1->setFixedSize(189, 253);
    Image1->setScaledContents(true);
    Image1->setAlignment(Qt::AlignCenter);
    Label23 = controls::Named(new QLabel(kNoPhoto, this), "Label23");
    Label23->setAlignment(Qt::AlignCenter);
    Label23->setFixedSize(189, 253);
    // The frame shows where the photo goes while there is none.
    Label23->setFrameShape(QFrame::Box);
    Label23->setStyleSheet(QStringLiteral("color: silver; font-weight: bold;"));
    Button4 = controls::NamedButton("Button4", QStringLiteral("Сканировать"), this);
    Button5 = controls::NamedButton("Button5", QStringLiteral("Добавить фотографию"), this);
    Button8 = controls::NamedButton("Button8", QStringLiteral("?"), this);
    controls::FitToCaption(Button8);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1, 0, 0, 1, 3, Qt::AlignCenter);
    layout->addWidget(Label23, 0, 0, 1, 3, Qt::AlignCenter);
    layout->addWidget(Button4, 1, 0);
    layout->addWidget(Button5, 1, 1);
    layout->addWidget(Button8, 1, 2);

    connect(Button5, &QPushButton::clicked, this, &TPhotoArea::LoadFromFile);
    connect(Button4, &QPushButton::clicked, this, &TPhotoArea::Scan);
    gui::ConnectHelpButton(Button8, context_.startFolder, gui::topic::kPhoto);
    Clear();
}

TPhotoArea::~TPhotoArea() = default;

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
    Label23->setText(kNoPhoto);
    Label23->show();
    Button5->setText(QStringLiteral("Добавить фотографию"));
    emit photoChanged();
}

// A stored photo that can be read (500,000 bytes) but not stored again (487,497 bytes; it
// can only have come from outside this dialog) is made smaller, so that saving the citizen
// again keeps a photo rather than losing it.
void TPhotoArea::ShowStoredPhoto(const QString& storedText) {
    if (storedText.isEmpty()) {
        Clear();
        return;
    }
    QByteArray jpeg;
    std::optional<QByteArray> storable;
    if (DecodeBase64(storedText, jpeg, kPhotoDataCapacity).code == kBase64Done)
        storable = FitPhotoToStore(jpeg);
    if (!storable || !ShowPicture(*storable)) {
        Clear();
        gui::MessageBoxes::error(this, QStringLiteral("Ошибка формата изображения"),
                                 QStringLiteral("Сохранённая фотография повреждена и не может "
                                                "быть показана. Добавьте фотографию заново."));
        return;
    }
    jpeg_ = *storable;
    Label23->hide();
    Button5->setText(QStringLiteral("Изменить фотографию"));
    emit photoChanged();
}

void TPhotoArea::hold(const QByteArray& jpeg) {
    if (!ShowPicture(jpeg))
        return;
    jpeg_ = jpeg;
    Label23->hide();
    emit photoChanged();
}

bool TPhotoArea::ShowPicture(const QByteArray& jpeg) {
    const std::optional<RawImage> picture = DecodeJpegForDisplay(jpeg, Image1->size());
    if (!picture)
        return false;
    Image1->setPixmap(QPixmap::fromImage(ToImage(*picture)));
    Image1->show();
    return true;
}

void TPhotoArea::LoadFromFile() {
    const QString path = gui::FileDialogs::getOpenFileName(this, Button5->text(), {},
                                                           QString::fromUtf8(kPhotoFileFilter));
    if (path.isEmpty())
        return;
    const PhotoFile file = LoadPhotoFile(path);
    switch (file.status) {
        case PhotoFileStatus::TooLarge:
            gui::MessageBoxes::error(this, QStringLiteral("Ошибка загрузки изображения"),
                                     QStringLiteral("Размер загружаемого файла не должен превышать "
                                                    "200 Кб"));
            return;
        case PhotoFileStatus::NotJpeg:
            ShowNotJpeg(this);
            return;
        case PhotoFileStatus::Loaded:
            hold(file.jpeg);
            return;
    }
}

// The library is released at the end of every scan, whatever happened in it.
void TPhotoArea::Scan() {
    acquire_->setSHOWhide(true);
    if (!scannerModuleLoaded_)
        scannerModuleLoaded_ = acquire_->loadTwainModule();
    acquire_->SetRememberedSource(RememberedScanner());
    if (scannerModuleLoaded_ && acquire_->openSourceManager() == kAcquireDone)
        ScanWithLoadedModule();
    if (scannerModuleLoaded_) {
        scannerModuleLoaded_ = false;
        acquire_->closeTwainSession();
        acquire_->unloadTwainModule();
    }
}

void TPhotoArea::ScanWithLoadedModule() {
    const QString source = acquire_->GetSource(true);
    if (source.isEmpty()) {
        acquire_->setSHOWhide(false);
        ReportScannerFailure();
        return;
    }
    if (acquire_->selectSource(source) != kAcquireDone) {
        gui::MessageBoxes::error(this, QStringLiteral("Системная ошибка"),
                                 QStringLiteral("Не подключен сканер."));
        return;
    }
    QByteArray picture;
    if (acquire_->openSource() != kAcquireDone) {
        ReportScannerFailure();
        return;
    }
    const int scanned = acquire_->acquirejpg(picture, kScanQuality);
    if (scanned == kAcquireCancelled)
        return;  // the user stopped it: nothing changes
    const std::optional<QByteArray> photo =
        scanned == kAcquireDone ? NormalisePhoto(picture) : std::nullopt;
    if (!photo) {
        ReportScannerFailure();
        return;
    }
    hold(*photo);
    Label23->clear();
    RememberScanner(acquire_->SelectedSource());
}

void TPhotoArea::ReportScannerFailure() {
    gui::MessageBoxes::error(this, QStringLiteral("Ошибка работы со сканером"),
                             QStringLiteral("Не удается подключиться к сканеру"));
}

QString TPhotoArea::RememberedScanner() const {
    try {
        return storage::GetOption(context_.db, QString::fromLatin1(kScannerDeviceKey));
    } catch (const storage::DatabaseError&) {
        return {};  // then the first scanner is offered first
    }
}

// The photo is taken whether or not the choice can be remembered.
void TPhotoArea::RememberScanner(const QString& name) {
    if (name.isEmpty() || name == RememberedScanner())
        return;
    gui::SaveOrReport(this, QStringLiteral("выбранный сканер"), [&] {
        storage::SetOption(context_.db, QString::fromLatin1(kScannerDeviceKey), name);
    });
}

}  // namespace citizens
