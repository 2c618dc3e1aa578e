#include "citizens/TAcquireImage.h"

#include <QWidget>
#include <algorithm>

#include "citizens/PhotoImage.h"
#include "citizens/TScanForm.h"

namespace citizens {

TAcquireImage::TAcquireImage(QWidget* owner, QString startFolder)
    : owner_(owner), startFolder_(std::move(startFolder)) {}

TAcquireImage::~TAcquireImage() {
    unloadTwainModule();
}

void TAcquireImage::setSHOWhide(bool show) {
    show_ = show;
}

bool TAcquireImage::loadTwainModule() {
    if (!session_)
        session_ = std::make_unique<ScannerSession>();
    if (!session_->IsOpen())
        session_.reset();
    return session_ != nullptr;
}

int TAcquireImage::openSourceManager() {
    if (!session_ || !session_->ListDevices(sources_))
        return kAcquireFailed;
    const auto remembered =
        std::find_if(sources_.begin(), sources_.end(),
                     [this](const ScannerDevice& device) { return device.name == remembered_; });
    if (remembered != sources_.end())
        std::rotate(sources_.begin(), remembered, remembered + 1);
    return kAcquireDone;
}

QString TAcquireImage::GetSource(bool defaultSource) {
    if (!defaultSource)
        return selected_;
    return sources_.isEmpty() ? QString() : sources_.first().name;
}

int TAcquireImage::selectSource(const QString& name) {
    const bool listed = std::any_of(sources_.cbegin(), sources_.cend(),
                                    [&name](const ScannerDevice& d) { return d.name == name; });
    if (!listed || name.isEmpty())
        return kAcquireFailed;
    selected_ = name;
    return kAcquireDone;
}

int TAcquireImage::openSource() {
    opened_.reset();  // one scanner at a time
    if (!session_)
        return kAcquireFailed;
    opened_ = OpenScanner::Open(*session_, selected_);
    return opened_ ? kAcquireDone : kAcquireFailed;
}

int TAcquireImage::acquirejpg(QByteArray& picture, int quality) {
    if (!opened_)
        return kAcquireFailed;
    RawImage image;
    if (show_) {
        TScanForm window(*this, startFolder_, owner_ ? owner_->window() : nullptr);
        window.exec();
        if (window.Outcome() != TScanForm::Result::Scanned)
            return window.Outcome() == TScanForm::Result::Cancelled ? kAcquireCancelled
                                                                    : kAcquireFailed;
        image = window.TakeImage();
    } else {
        ScanResult result = ScanPage(*opened_);
        if (result.status != ScanResult::Status::Done)
            return result.status == ScanResult::Status::Cancelled ? kAcquireCancelled
                                                                  : kAcquireFailed;
        image = std::move(result.image);
    }
    const QByteArray jpeg = EncodeJpeg(image, quality);
    if (jpeg.isEmpty())
        return kAcquireFailed;
    picture = jpeg;
    return kAcquireDone;
}

void TAcquireImage::closeTwainSession() {
    opened_.reset();
}

void TAcquireImage::unloadTwainModule() {
    closeTwainSession();
    sources_.clear();
    selected_.clear();
    session_.reset();
}

void TAcquireImage::SetRememberedSource(const QString& name) {
    remembered_ = name;
}

}  // namespace citizens
