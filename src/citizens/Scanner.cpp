#include "citizens/Scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace citizens {

namespace {

std::mutex sessionMutex;
int sessionCount = 0;

// Resolutions a photo is sensibly scanned at; a page at more than 600 dpi would need
// hundreds of megabytes for a picture that is kept at a few hundred kilobytes.
constexpr int kUsualResolutions[] = {75, 100, 150, 200, 300, 600};
constexpr int kHighestResolution = 600;

SANE_Handle AsHandle(void* handle) {
    return static_cast<SANE_Handle>(handle);
}

QString Utf8(SANE_String_Const text) {
    return text ? QString::fromUtf8(text) : QString();
}

const SANE_Option_Descriptor* Descriptor(void* handle, int index) {
    return index > 0 ? sane_get_option_descriptor(AsHandle(handle), index) : nullptr;
}

bool IsUsable(const SANE_Option_Descriptor* option) {
    return option && SANE_OPTION_IS_ACTIVE(option->cap) && SANE_OPTION_IS_SETTABLE(option->cap);
}

bool IsNumber(const SANE_Option_Descriptor* option) {
    return option->type == SANE_TYPE_INT || option->type == SANE_TYPE_FIXED;
}

int WordToDpi(const SANE_Option_Descriptor* option, SANE_Word word) {
    return option->type == SANE_TYPE_FIXED ? int(SANE_UNFIX(word) + 0.5) : int(word);
}

SANE_Word DpiToWord(const SANE_Option_Descriptor* option, int dpi) {
    return option->type == SANE_TYPE_FIXED ? SANE_FIX(dpi) : SANE_Word(dpi);
}

// A value buffer must be as large as the option says, whatever part of it is used.
std::vector<SANE_Word> WordBuffer(const SANE_Option_Descriptor* option) {
    return std::vector<SANE_Word>(std::max<size_t>(1, size_t(option->size) / sizeof(SANE_Word)));
}

std::optional<ScanMode> ModeOfValue(const QString& value) {
    const QString lower = value.toLower();
    if (lower.contains(QLatin1String("color")) || lower.contains(QLatin1String("colour")))
        return ScanMode::Colour;
    if (lower.contains(QLatin1String("gray")) || lower.contains(QLatin1String("grey")))
        return ScanMode::Grey;
    return std::nullopt;
}

QList<int> ResolutionsOfRange(const SANE_Option_Descriptor* option) {
    const SANE_Range* range = option->constraint.range;
    QList<int> offered;
    for (const int dpi : kUsualResolutions) {
        const SANE_Word word = DpiToWord(option, dpi);
        if (word >= range->min && word <= range->max &&
            (range->quant == 0 || (word - range->min) % range->quant == 0))
            offered.append(dpi);
    }
    if (offered.isEmpty())
        offered.append(std::max(1, WordToDpi(option, range->min)));
    return offered;
}

QList<int> ResolutionsOfList(const SANE_Option_Descriptor* option) {
    const SANE_Word* list = option->constraint.word_list;
    QList<int> offered;
    for (int i = 1; i <= list[0]; ++i)
        offered.append(WordToDpi(option, list[i]));
    std::sort(offered.begin(), offered.end());
    QList<int> usable;
    for (const int dpi : offered) {
        if (dpi > 0 && dpi <= kHighestResolution)
            usable.append(dpi);
    }
    if (usable.isEmpty() && !offered.isEmpty())
        usable.append(offered.first());
    return usable;
}

// One frame as the scanner delivered it.
struct Frame {
    SANE_Parameters parameters;
    QByteArray data;
};

// Sample `i` of a row as 8 bits. A 1-bit grey pixel of 1 is black; a 1-bit colour sample of
// 1 is full intensity. 16-bit samples come in the machine's byte order.
int Sample(const uchar* row, int i, int depth, bool grey) {
    switch (depth) {
        case 1: {
            const bool set = (row[i / 8] >> (7 - i % 8)) & 1;
            return set == grey ? 0 : 255;
        }
        case 16: {
            quint16 value;
            std::memcpy(&value, row + 2 * i, 2);
            return value >> 8;
        }
        default:
            return row[i];
    }
}

bool IsSingleColourFrame(SANE_Frame format) {
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

int ChannelOfFrame(SANE_Frame format) {
    return format == SANE_FRAME_RED ? 0 : format == SANE_FRAME_GREEN ? 1 : 2;
}

// The picture made from the frames read; null when they make none.
RawImage PictureOfFrames(const std::vector<Frame>& frames) {
    if (frames.empty())
        return {};
    const SANE_Parameters& first = frames.front().parameters;
    const int width = first.pixels_per_line;
    const int depth = first.depth;
    if (width <= 0 || first.bytes_per_line <= 0 || (depth != 1 && depth != 8 && depth != 16))
        return {};
    const bool grey = first.format == SANE_FRAME_GRAY;
    const bool separate = IsSingleColourFrame(first.format);
    if (!grey && !separate && first.format != SANE_FRAME_RGB)
        return {};
    // Every frame must hold its rows as the first says, or a row would be read past its end.
    const qint64 samplesPerRow = qint64(width) * (grey || separate ? 1 : 3);
    if (qint64(first.bytes_per_line) * 8 < samplesPerRow * depth)
        return {};
    for (const Frame& frame : frames) {
        const SANE_Parameters& other = frame.parameters;
        if (other.pixels_per_line != width || other.depth != depth ||
            other.bytes_per_line != first.bytes_per_line ||
            IsSingleColourFrame(other.format) != separate)
            return {};
    }
    int height = int(frames.front().data.size() / first.bytes_per_line);
    for (const Frame& frame : frames)
        height = std::min(height, int(frame.data.size() / first.bytes_per_line));
    if (height <= 0)
        return {};
    RawImage image(width, height, grey ? 1 : 3);
    for (const Frame& frame : frames) {
        const bool single = IsSingleColourFrame(frame.parameters.format);
        const int channel = single ? ChannelOfFrame(frame.parameters.format) : 0;
        for (int y = 0; y < height; ++y) {
            const uchar* source = reinterpret_cast<const uchar*>(frame.data.constData()) +
                                  qsizetype(y) * first.bytes_per_line;
            uchar* target = image.row(y);
            if (single) {
                for (int x = 0; x < width; ++x)
                    target[x * 3 + channel] = uchar(Sample(source, x, depth, false));
            } else {
                const int samples = width * image.channels;
                for (int i = 0; i < samples; ++i)
                    target[i] = uchar(Sample(source, i, depth, grey));
            }
        }
    }
    return image;
}

// Backends that read through a helper thread stop it with an asynchronous thread
// cancellation; landing inside malloc or free, that leaves the allocator locked and the
// cancel waits for the thread for ever. A page that ended by itself (its end, or an error at
// once after the start) gives the helper a moment to finish or to block on its pipe.
void LetReaderSettle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

ScanResult Finished(SANE_Handle handle, ScanResult::Status status, const QString& reason = {}) {
    if (status != ScanResult::Status::Cancelled)
        LetReaderSettle();
    sane_cancel(handle);
    ScanResult result;
    result.status = status;
    result.reason = reason;
    return result;
}

ScanResult Stopped(SANE_Handle handle, SANE_Status status, const std::atomic<bool>* cancelled) {
    if (status == SANE_STATUS_CANCELLED || (cancelled && *cancelled))
        return Finished(handle, ScanResult::Status::Cancelled);
    return Finished(handle, ScanResult::Status::Failed, Utf8(sane_strstatus(status)));
}

}  // namespace

ScannerSession::ScannerSession() {
    std::lock_guard lock(sessionMutex);
    if (sessionCount == 0) {
        SANE_Int version = 0;
        if (sane_init(&version, nullptr) != SANE_STATUS_GOOD)
            return;
    }
    ++sessionCount;
    open_ = true;
}

ScannerSession::~ScannerSession() {
    if (!open_)
        return;
    std::lock_guard lock(sessionMutex);
    if (--sessionCount == 0)
        sane_exit();
}

bool ScannerSession::ListDevices(QList<ScannerDevice>& devices) const {
    devices.clear();
    if (!open_)
        return false;
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return false;
    for (int i = 0; list[i]; ++i) {
        const QString name = Utf8(list[i]->name);
        const QString model =
            (Utf8(list[i]->vendor) + QLatin1Char(' ') + Utf8(list[i]->model)).trimmed();
        devices.append({name, model.isEmpty()
                                  ? name
                                  : model + QStringLiteral(" (") + name + QLatin1Char(')')});
    }
    return true;
}

std::unique_ptr<OpenScanner> OpenScanner::Open(const ScannerSession& session, const QString& name) {
    if (!session.IsOpen() || name.isEmpty())
        return nullptr;
    SANE_Handle handle = nullptr;
    if (sane_open(name.toUtf8().constData(), &handle) != SANE_STATUS_GOOD || !handle)
        return nullptr;
    return std::unique_ptr<OpenScanner>(new OpenScanner(name, handle));
}

OpenScanner::OpenScanner(QString name, void* handle) : name_(std::move(name)), handle_(handle) {}

OpenScanner::~OpenScanner() {
    sane_close(AsHandle(handle_));
}

int OpenScanner::OptionIndex(const char* name) const {
    SANE_Int count = 0;
    if (sane_control_option(AsHandle(handle_), 0, SANE_ACTION_GET_VALUE, &count, nullptr) !=
        SANE_STATUS_GOOD)
        return -1;
    for (int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* option = Descriptor(handle_, i);
        if (option && option->name && std::strcmp(option->name, name) == 0)
            return i;
    }
    return -1;
}

QList<int> OpenScanner::Resolutions() const {
    const SANE_Option_Descriptor* option =
        Descriptor(handle_, OptionIndex(SANE_NAME_SCAN_RESOLUTION));
    if (!IsUsable(option) || !IsNumber(option))
        return {};
    switch (option->constraint_type) {
        case SANE_CONSTRAINT_RANGE:
            return ResolutionsOfRange(option);
        case SANE_CONSTRAINT_WORD_LIST:
            return ResolutionsOfList(option);
        default:
            return {Resolution()};
    }
}

int OpenScanner::Resolution() const {
    const int index = OptionIndex(SANE_NAME_SCAN_RESOLUTION);
    const SANE_Option_Descriptor* option = Descriptor(handle_, index);
    if (!option || !IsNumber(option))
        return 0;
    std::vector<SANE_Word> value = WordBuffer(option);
    if (sane_control_option(AsHandle(handle_), index, SANE_ACTION_GET_VALUE, value.data(),
                            nullptr) != SANE_STATUS_GOOD)
        return 0;
    return WordToDpi(option, value[0]);
}

bool OpenScanner::SetResolution(int dpi) {
    const int index = OptionIndex(SANE_NAME_SCAN_RESOLUTION);
    const SANE_Option_Descriptor* option = Descriptor(handle_, index);
    if (!IsUsable(option) || !IsNumber(option))
        return false;
    std::vector<SANE_Word> value = WordBuffer(option);
    std::fill(value.begin(), value.end(), DpiToWord(option, dpi));
    return sane_control_option(AsHandle(handle_), index, SANE_ACTION_SET_VALUE, value.data(),
                               nullptr) == SANE_STATUS_GOOD;
}

QList<ScanMode> OpenScanner::Modes() const {
    QList<ScanMode> modes;
    for (const ScanMode mode : {ScanMode::Colour, ScanMode::Grey}) {
        if (!ModeValue(mode).isEmpty())
            modes.append(mode);
    }
    return modes;
}

QString OpenScanner::ModeValue(ScanMode mode) const {
    const SANE_Option_Descriptor* option = Descriptor(handle_, OptionIndex(SANE_NAME_SCAN_MODE));
    if (!IsUsable(option) || option->type != SANE_TYPE_STRING ||
        option->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return {};
    for (const SANE_String_Const* value = option->constraint.string_list; *value; ++value) {
        if (ModeOfValue(Utf8(*value)) == mode)
            return Utf8(*value);
    }
    return {};
}

std::optional<ScanMode> OpenScanner::Mode() const {
    const int index = OptionIndex(SANE_NAME_SCAN_MODE);
    const SANE_Option_Descriptor* option = Descriptor(handle_, index);
    if (!option || option->type != SANE_TYPE_STRING || option->size <= 0)
        return std::nullopt;
    QByteArray value(option->size, '\0');
    if (sane_control_option(AsHandle(handle_), index, SANE_ACTION_GET_VALUE, value.data(),
                            nullptr) != SANE_STATUS_GOOD)
        return std::nullopt;
    return ModeOfValue(QString::fromUtf8(value.constData()));
}

bool OpenScanner::SetMode(ScanMode mode) {
    const int index = OptionIndex(SANE_NAME_SCAN_MODE);
    const SANE_Option_Descriptor* option = Descriptor(handle_, index);
    const QByteArray wanted = ModeValue(mode).toUtf8();
    if (wanted.isEmpty() || wanted.size() >= option->size)
        return false;
    QByteArray value(option->size, '\0');
    std::memcpy(value.data(), wanted.constData(), size_t(wanted.size()));
    return sane_control_option(AsHandle(handle_), index, SANE_ACTION_SET_VALUE, value.data(),
                               nullptr) == SANE_STATUS_GOOD;
}

ScanResult ScanPage(OpenScanner& scanner, const std::atomic<bool>* cancelled,
                    const std::function<void(int)>& progress) {
    const SANE_Handle handle = AsHandle(scanner.Handle());
    std::vector<Frame> frames;
    std::vector<SANE_Byte> buffer(64 * 1024);
    int expectedFrames = 1;
    int shown = -1;
    for (;;) {
        SANE_Status status = sane_start(handle);
        if (status != SANE_STATUS_GOOD)
            return Stopped(handle, status, cancelled);
        Frame frame{};
        status = sane_get_parameters(handle, &frame.parameters);
        if (status != SANE_STATUS_GOOD)
            return Stopped(handle, status, cancelled);
        if (frames.empty() && IsSingleColourFrame(frame.parameters.format))
            expectedFrames = 3;
        const qint64 frameBytes =
            qint64(frame.parameters.bytes_per_line) * std::max(0, frame.parameters.lines);
        for (;;) {
            if (cancelled && *cancelled)
                return Finished(handle, ScanResult::Status::Cancelled);
            SANE_Int length = 0;
            status = sane_read(handle, buffer.data(), SANE_Int(buffer.size()), &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return Stopped(handle, status, cancelled);
            frame.data.append(reinterpret_cast<const char*>(buffer.data()), length);
            if (progress && frameBytes > 0) {
                const qint64 done = qint64(frames.size()) * frameBytes + frame.data.size();
                const int percent =
                    int(std::min<qint64>(99, done * 100 / (frameBytes * expectedFrames)));
                if (percent > shown)
                    progress(shown = percent);
            }
        }
        // A scanner told to stop may end the page early instead of saying it was cancelled.
        if (cancelled && *cancelled)
            return Finished(handle, ScanResult::Status::Cancelled);
        const bool last = frame.parameters.last_frame || frames.size() >= 2;
        frames.push_back(std::move(frame));
        if (last)
            break;
    }
    LetReaderSettle();
    sane_cancel(handle);
    ScanResult result;
    result.image = PictureOfFrames(frames);
    result.status = result.image.isNull() ? ScanResult::Status::Failed : ScanResult::Status::Done;
    if (result.image.isNull())
        result.reason = QStringLiteral("the scanner delivered no picture of a known kind");
    else if (progress)
        progress(100);
    return result;
}

ScanJob::ScanJob(OpenScanner& scanner, QObject* parent) : QObject(parent), scanner_(scanner) {}

ScanJob::~ScanJob() {
    if (thread_.joinable()) {
        Cancel();
        thread_.join();
    }
}

void ScanJob::Start() {
    if (running_)
        return;
    if (thread_.joinable())
        thread_.join();
    cancelled_ = false;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
}

void ScanJob::Cancel() {
    if (!running_ || cancelled_.exchange(true))
        return;
    // The library allows this from any thread while a read is under way.
    sane_cancel(AsHandle(scanner_.Handle()));
}

void ScanJob::Run() {
    ScanResult result =
        ScanPage(scanner_, &cancelled_, [this](int percent) { emit progressed(percent); });
    // The result is taken over in the object's own thread; a job destroyed first drops it.
    QMetaObject::invokeMethod(
        this,
        [this, result = std::move(result)]() mutable {
            if (thread_.joinable())
                thread_.join();
            running_ = false;
            result_ = std::move(result);
            emit finished();
        },
        Qt::QueuedConnection);
}

ScanResult ScanJob::TakeResult() {
    return std::exchange(result_, ScanResult());
}

}  // namespace citizens
