#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "citizens/Base64.h"
#include "citizens/PhotoImage.h"
#include "citizens/PhotoTesting.h"
#include "citizens/ScannerTesting.h"
#include "citizens/TAcquireImage.h"
#include "citizens/TPhotoArea.h"
#include "citizens/TScanForm.h"
#include "controls/ControlTesting.h"
#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "storage/Options.h"
#include "support/HelpTesting.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using namespace citizens;
using namespace photo_testing;
using scanner_testing::TestBackend;

namespace {

class PhotoAreaTest : public ::testing::Test {
protected:
    PhotoAreaTest() { controls_testing::ShowActive(area); }

    // Loads a file through "Добавить фотографию".
    void LoadFile(const QString& name) {
        gui::FileDialogs::setNextFileName(name.isEmpty() ? QString() : folder.file(name));
        QTest::mouseClick(area.Button5, Qt::LeftButton);
    }

    // Expects one message box and returns its title and text.
    QString ShownBox() {
        const auto shown = gui::MessageBoxes::takeShown();
        EXPECT_EQ(shown.size(), 1);
        return shown.isEmpty() ? QString() : shown[0].title + " | " + shown[0].text;
    }

    QSize HeldSize() const { return JpegSize(area.Jpeg()); }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db()};
    TPhotoArea area{context};
};

const QString kNotJpeg =
    QStringLiteral("Ошибка формата изображения | Допускается загрузка только Jpeg изображений!");
const QString kCannotConnect =
    QStringLiteral("Ошибка работы со сканером | Не удается подключиться к сканеру");

// Runs `act` on the scan window as soon as it shows (it is modal: the click that opens it
// returns only when it has closed).
void WhenScanWindowShows(std::function<void(TScanForm*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* window = qobject_cast<TScanForm*>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(window);
    });
    timer->start();
}

}  // namespace

TEST_F(PhotoAreaTest, NewAreaShowsNoPhoto) {
    EXPECT_FALSE(area.HasPhoto());
    EXPECT_TRUE(area.Label23->isVisible());
    EXPECT_EQ(area.Label23->text(), "НЕТ ФОТО");
    EXPECT_FALSE(area.Image1->isVisible());
    EXPECT_EQ(area.Image1->size(), QSize(189, 253));
    EXPECT_EQ(area.Button5->text(), "Добавить фотографию");
    EXPECT_EQ(area.Button4->text(), "Сканировать");
    EXPECT_TRUE(area.StoredText().isEmpty());
}

TEST_F(PhotoAreaTest, FileOfAtMost200KbIsLoadedAndCutToThreeByFour) {
    const QByteArray jpeg = Jpeg(Portrait(640, 480));
    folder.write("largest.jpg", jpeg + QByteArray(kMaxPhotoFileBytes - jpeg.size(), '\0'));
    QSignalSpy changed(&area, &TPhotoArea::photoChanged);
    LoadFile("largest.jpg");

    const auto dialogs = gui::FileDialogs::takeShown();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].filter, "Jpeg фотографии (*.jpg *.jpeg)");
    EXPECT_TRUE(area.HasPhoto());
    EXPECT_EQ(HeldSize(), QSize(360, 480));
    EXPECT_TRUE(area.Image1->isVisible());
    EXPECT_FALSE(area.Label23->isVisible());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(area.Image1->pixmap().isNull());

    // The record's text is the held photo, and the photo comes back from it.
    const QString text = area.StoredText();
    QByteArray back;
    ASSERT_EQ(DecodeBase64(text, back, kPhotoDataCapacity).code, kBase64Done);
    EXPECT_EQ(back, area.Jpeg());
}

TEST_F(PhotoAreaTest, RefusedFileKeepsThePhotoShownBefore) {
    folder.write("before.jpg", Jpeg(Portrait(600, 800)));
    LoadFile("before.jpg");
    const QByteArray before = area.Jpeg();
    ASSERT_FALSE(before.isEmpty());

    const QByteArray jpeg = Jpeg(Portrait(300, 400));
    folder.write("too-large.jpg", jpeg + QByteArray(kMaxPhotoFileBytes + 1 - jpeg.size(), '\0'));
    folder.write("picture.jpg", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") + jpeg);
    folder.write("truncated.jpg", jpeg.left(jpeg.size() / 2));
    folder.write("empty.jpg", {});
    ASSERT_TRUE(QDir(folder.path()).mkdir("unreadable.jpg"));
    const struct {
        const char* file;
        QString box;
    } cases[] = {
        {"too-large.jpg",
         "Ошибка загрузки изображения | Размер загружаемого файла не должен "
         "превышать 200 Кб"},
        {"picture.jpg", kNotJpeg},
        {"truncated.jpg", kNotJpeg},
        {"empty.jpg", kNotJpeg},
        {"unreadable.jpg", kNotJpeg},
    };
    for (const auto& c : cases) {
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        LoadFile(c.file);
        EXPECT_EQ(ShownBox(), c.box) << c.file;
        EXPECT_EQ(area.Jpeg(), before) << c.file;
        EXPECT_TRUE(area.Image1->isVisible()) << c.file;
    }

    // A cancelled dialog changes nothing either.
    LoadFile({});
    EXPECT_EQ(area.Jpeg(), before);
    gui::FileDialogs::takeShown();
}

TEST_F(PhotoAreaTest, StoredPhotoIsShownAndDamagedOneSaysSo) {
    const QByteArray jpeg = Jpeg(Portrait(300, 400));
    QString text;
    EncodeBase64(jpeg, text, kPhotoTextCapacity);
    area.ShowStoredPhoto(text);
    EXPECT_TRUE(area.HasPhoto());
    EXPECT_EQ(area.Jpeg(), jpeg) << "a stored photo is kept byte for byte";
    EXPECT_EQ(area.Button5->text(), "Изменить фотографию");
    EXPECT_FALSE(area.Label23->isVisible());

    QString damaged;
    EncodeBase64(jpeg.left(jpeg.size() / 2), damaged, kPhotoTextCapacity);
    QString tooLong;
    EncodeBase64(QByteArray(kPhotoDataCapacity + 1, 'x'), tooLong, 2 * kPhotoTextCapacity);
    for (const QString& bad : {damaged, QString("not Base64 at all!"), tooLong}) {
        area.ShowStoredPhoto(text);
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        area.ShowStoredPhoto(bad);
        const auto shown = gui::MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].title, "Ошибка формата изображения");
        EXPECT_FALSE(area.HasPhoto());
        EXPECT_TRUE(area.Label23->isVisible());
        EXPECT_EQ(area.Label23->text(), "НЕТ ФОТО");
        EXPECT_EQ(area.Button5->text(), "Добавить фотографию");
        EXPECT_TRUE(area.StoredText().isEmpty());
    }

    area.ShowStoredPhoto({});
    EXPECT_FALSE(area.HasPhoto());
}

// A stored photo the dialog can read (500,000 bytes) but could not store again (487,497) is
// made to fit, so that saving the citizen again keeps it whole.
TEST_F(PhotoAreaTest, StoredPhotoOverTheStoreLimitIsMadeToFit) {
    QByteArray jpeg = Jpeg(Portrait(600, 800));
    jpeg += QByteArray(490000 - jpeg.size(), '\0');  // bytes after the end marker
    QString text;
    ASSERT_EQ(EncodeBase64(jpeg, text, 2 * kPhotoTextCapacity).code, kBase64Done);
    area.ShowStoredPhoto(text);
    ASSERT_TRUE(area.HasPhoto());
    EXPECT_LE(area.Jpeg().size(), kMaxPhotoBytes);
    EXPECT_FALSE(area.StoredText().isEmpty());
    EXPECT_LE(area.StoredText().size(), 649996);
    EXPECT_EQ(HeldSize(), QSize(600, 800));
}

TEST_F(PhotoAreaTest, ClearForANewCitizen) {
    folder.write("photo.jpg", Jpeg(Portrait(300, 400)));
    LoadFile("photo.jpg");
    ASSERT_TRUE(area.HasPhoto());
    area.Clear();
    EXPECT_FALSE(area.HasPhoto());
    EXPECT_TRUE(area.Jpeg().isEmpty());
    EXPECT_TRUE(area.Label23->isVisible());
    EXPECT_EQ(area.Button5->text(), "Добавить фотографию");
}

TEST_F(PhotoAreaTest, QuestionButtonOpensThePhotoPage) {
    help_testing::CopyManual(folder);
    help_testing::CloseHelpWindow();
    QTest::mouseClick(area.Button8, Qt::LeftButton);
    EXPECT_EQ(help_testing::ShownHelpPage(), gui::HelpTopicUrl(gui::topic::kPhoto).path());
    help_testing::CloseHelpWindow();
}

class PhotoScanTest : public PhotoAreaTest {
protected:
    void SetUp() override { SKIP_WITHOUT_SANE_TEST_BACKEND(); }
};

TEST_F(PhotoScanTest, ScanThroughTheScanWindowHoldsAThreeByFourPhotoAndRemembersTheScanner) {
    TestBackend backend;
    QStringList offered;
    WhenScanWindowShows([&](TScanForm* window) {
        EXPECT_EQ(window->windowTitle(), "Сканирование");
        EXPECT_EQ(window->parentWidget(), area.window());
        EXPECT_EQ(window->windowModality(), Qt::WindowModal);
        for (int i = 0; i < window->DeviceList->count(); ++i)
            offered.append(window->DeviceList->itemData(i).toString());
        EXPECT_EQ(window->ResolutionList->currentText(), "300 dpi");
        EXPECT_EQ(window->ModeList->currentText(), "Цветной");
        window->DeviceList->setCurrentIndex(1);
        emit window->DeviceList->activated(1);  // the user picks the second scanner
        window->ResolutionList->setCurrentIndex(window->ResolutionList->findData(100));
        QTest::mouseClick(window->ScanButton, Qt::LeftButton);
    });
    QTest::mouseClick(area.Button4, Qt::LeftButton);

    EXPECT_EQ(offered, (QStringList{"test:0", "test:1"}));
    ASSERT_TRUE(area.HasPhoto());
    const QSize size = HeldSize();
    // 60 by 80 mm at 100 dpi, cut to 3:4.
    EXPECT_EQ(size.width() * 4, size.height() * 3);
    EXPECT_NEAR(size.height(), 312, 4);
    EXPECT_FALSE(area.Label23->isVisible());
    EXPECT_TRUE(area.Label23->text().isEmpty());
    EXPECT_EQ(storage::GetOption(data.db(), kScannerDeviceKey), "test:1");

    // Next time the scanner used last comes first.
    WhenScanWindowShows([&](TScanForm* window) {
        EXPECT_EQ(window->DeviceList->itemData(0).toString(), "test:1");
        EXPECT_EQ(window->DeviceList->currentIndex(), 0);
        QTest::mouseClick(window->CancelButton, Qt::LeftButton);
    });
    const QByteArray before = area.Jpeg();
    QTest::mouseClick(area.Button4, Qt::LeftButton);
    EXPECT_EQ(area.Jpeg(), before) << "closing the window without scanning changes nothing";
}

TEST_F(PhotoScanTest, CancelledScanChangesNothingAndTheWindowStaysResponsive) {
    folder.write("before.jpg", Jpeg(Portrait(600, 800)));
    LoadFile("before.jpg");
    const QByteArray before = area.Jpeg();
    // Some seconds for the whole page.
    TestBackend backend({{"read-delay", "true"}, {"read-delay-duration", "200000"}});
    int progressSeen = 0;
    qint64 longestPause = 0;
    WhenScanWindowShows([&](TScanForm* window) {
        QTest::mouseClick(window->ScanButton, Qt::LeftButton);
        EXPECT_FALSE(window->ScanButton->isEnabled());
        EXPECT_FALSE(window->DeviceList->isEnabled());
        // The event loop keeps running while the scanner works: a timer of 20 ms keeps firing.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        while (window->Progress->value() == 0 && clock.elapsed() < 10000) {
            QTest::qWait(20);
            longestPause = std::max(longestPause, clock.elapsed() - last);
            last = clock.elapsed();
        }
        progressSeen = window->Progress->value();
        QTest::mouseClick(window->CancelButton, Qt::LeftButton);
    });
    QTest::mouseClick(area.Button4, Qt::LeftButton);

    EXPECT_GT(progressSeen, 0);
    EXPECT_LT(progressSeen, 100);
    EXPECT_LT(longestPause, 1000);
    EXPECT_EQ(area.Jpeg(), before);
    EXPECT_TRUE(storage::GetOption(data.db(), kScannerDeviceKey).isEmpty());
}

TEST_F(PhotoScanTest, ScannerFailuresShowTheirMessageAndKeepThePhoto) {
    folder.write("before.jpg", Jpeg(Portrait(600, 800)));
    LoadFile("before.jpg");
    const QByteArray before = area.Jpeg();

    {  // no scanner attached
        TestBackend backend;
        backend.ListNothing();
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(area.Button4, Qt::LeftButton);
        EXPECT_EQ(ShownBox(), kCannotConnect) << "no scanner";
    }
    {  // the scanner is in use and cannot be opened
        TestBackend backend;
        ScannerSession session;
        std::unique_ptr<OpenScanner> held = OpenScanner::Open(session, "test:0");
        ASSERT_TRUE(held);
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(area.Button4, Qt::LeftButton);
        EXPECT_EQ(ShownBox(), kCannotConnect) << "busy scanner";
    }
    {  // the scan itself fails
        TestBackend backend({{"read-status-code", "\"SANE_STATUS_IO_ERROR\""}});
        WhenScanWindowShows([](TScanForm* window) { window->ScanButton->click(); });
        gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
        QTest::mouseClick(area.Button4, Qt::LeftButton);
        EXPECT_EQ(ShownBox(), kCannotConnect) << "failed scan";
    }
    EXPECT_EQ(area.Jpeg(), before);
    EXPECT_TRUE(storage::GetOption(data.db(), kScannerDeviceKey).isEmpty());
}

TEST_F(PhotoScanTest, ScannerThatCannotBeRememberedStillGivesThePhoto) {
    TestBackend backend;
    data.db().exec("PRAGMA query_only = ON");
    WhenScanWindowShows([](TScanForm* window) { window->ScanButton->click(); });
    gui::MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(area.Button4, Qt::LeftButton);
    const auto shown = gui::MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка сохранения");
    EXPECT_TRUE(shown[0].text.contains("выбранный сканер"));
    EXPECT_TRUE(area.HasPhoto());
}

TEST_F(PhotoScanTest, OperationsOfTheAcquisitionInTheirOrder) {
    TestBackend backend;
    TAcquireImage acquire(&area, folder.path());
    acquire.setSHOWhide(false);
    EXPECT_EQ(acquire.openSourceManager(), kAcquireFailed) << "not loaded yet";
    ASSERT_TRUE(acquire.loadTwainModule());
    acquire.SetRememberedSource("test:1");
    ASSERT_EQ(acquire.openSourceManager(), kAcquireDone);
    EXPECT_EQ(acquire.GetSource(true), "test:1");
    EXPECT_EQ(acquire.selectSource("nosuch:0"), kAcquireFailed);
    ASSERT_EQ(acquire.selectSource("test:0"), kAcquireDone);
    EXPECT_EQ(acquire.GetSource(false), "test:0");
    QByteArray picture("unchanged");
    EXPECT_EQ(acquire.acquirejpg(picture, kScanQuality), kAcquireFailed) << "not opened";
    EXPECT_EQ(picture, "unchanged");
    ASSERT_EQ(acquire.openSource(), kAcquireDone);
    ASSERT_EQ(acquire.acquirejpg(picture, kScanQuality), kAcquireDone);
    EXPECT_TRUE(JpegSize(picture).isValid());
    acquire.closeTwainSession();
    EXPECT_EQ(acquire.OpenedSource(), nullptr);
    acquire.unloadTwainModule();
    EXPECT_TRUE(acquire.Sources().isEmpty());
}
