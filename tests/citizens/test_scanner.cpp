#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>

#include "citizens/Scanner.h"
#include "citizens/ScannerTesting.h"

using namespace citizens;
using scanner_testing::TestBackend;

namespace {

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_SANE_TEST_BACKEND(); }
};

std::unique_ptr<OpenScanner> OpenFirst(const ScannerSession& session) {
    return OpenScanner::Open(session, QStringLiteral("test:0"));
}

// Waits for the job's end while the event loop runs, as the scan window does.
bool WaitForEnd(ScanJob& job, int timeoutMs = 20000) {
    QEventLoop loop;
    QObject::connect(&job, &ScanJob::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (job.IsRunning())
        loop.exec();
    return !job.IsRunning();
}

}  // namespace

TEST_F(ScannerTest, DevicesAreListedAndOpenedOnceAtATime) {
    TestBackend backend;
    ScannerSession session;
    ASSERT_TRUE(session.IsOpen());
    QList<ScannerDevice> devices;
    ASSERT_TRUE(session.ListDevices(devices));
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_EQ(devices[1].name, "test:1");
    EXPECT_TRUE(devices[0].label.endsWith("(test:0)")) << devices[0].label.toStdString();

    std::unique_ptr<OpenScanner> first = OpenFirst(session);
    ASSERT_TRUE(first);
    EXPECT_FALSE(OpenFirst(session)) << "a scanner in use is busy";
    EXPECT_FALSE(OpenScanner::Open(session, "nosuch:0"));
    first.reset();
    EXPECT_TRUE(OpenFirst(session)) << "free again once closed";

    // A second session in the same process shares the library instead of starting it anew.
    ScannerSession second;
    EXPECT_TRUE(second.IsOpen());
    EXPECT_TRUE(session.ListDevices(devices));
}

TEST_F(ScannerTest, ResolutionAndModeFollowTheScannersOwnOptions) {
    TestBackend backend;
    ScannerSession session;
    std::unique_ptr<OpenScanner> scanner = OpenFirst(session);
    ASSERT_TRUE(scanner);
    // The test backend's resolution is a fixed-point range of 1 to 1200.
    EXPECT_EQ(scanner->Resolutions(), (QList<int>{75, 100, 150, 200, 300, 600}));
    EXPECT_EQ(scanner->Resolution(), 50);
    ASSERT_TRUE(scanner->SetResolution(150));
    EXPECT_EQ(scanner->Resolution(), 150);
    EXPECT_EQ(scanner->Modes(), (QList<ScanMode>{ScanMode::Colour, ScanMode::Grey}));
    EXPECT_EQ(scanner->Mode(), ScanMode::Grey);
    ASSERT_TRUE(scanner->SetMode(ScanMode::Colour));
    EXPECT_EQ(scanner->Mode(), ScanMode::Colour);
}

TEST_F(ScannerTest, PagesOfEveryKindBecomeEightBitPictures) {
    const struct {
        const char* what;
        QMap<QString, QString> settings;
        ScanMode mode;
        int channels;
    } cases[] = {
        {"grey", {}, ScanMode::Grey, 1},
        {"colour", {}, ScanMode::Colour, 3},
        {"colour of 16 bits", {{"depth", "16"}}, ScanMode::Colour, 3},
        {"grey of 1 bit", {{"depth", "1"}}, ScanMode::Grey, 1},
        {"colour in three passes", {{"three-pass", "true"}}, ScanMode::Colour, 3},
        {"hand scanner of unknown length", {{"hand-scanner", "true"}}, ScanMode::Grey, 1},
    };
    for (const auto& c : cases) {
        TestBackend backend(c.settings);
        ScannerSession session;
        std::unique_ptr<OpenScanner> scanner = OpenFirst(session);
        ASSERT_TRUE(scanner) << c.what;
        ASSERT_TRUE(scanner->SetMode(c.mode)) << c.what;
        ASSERT_TRUE(scanner->SetResolution(100)) << c.what;
        QList<int> percents;
        const ScanResult result = ScanPage(*scanner, nullptr, [&](int p) { percents.append(p); });
        ASSERT_EQ(result.status, ScanResult::Status::Done) << c.what << result.reason.toStdString();
        EXPECT_EQ(result.image.channels, c.channels) << c.what;
        EXPECT_GT(result.image.height, 0) << c.what;
        EXPECT_EQ(result.image.pixels.size(), result.image.rowBytes() * result.image.height);
        if (!c.settings.contains("hand-scanner")) {
            // 60 by 80 mm at 100 dpi.
            EXPECT_NEAR(result.image.width, 236, 2) << c.what;
            EXPECT_NEAR(result.image.height, 315, 2) << c.what;
            ASSERT_FALSE(percents.isEmpty()) << c.what;
            EXPECT_EQ(percents.last(), 100) << c.what;
            EXPECT_TRUE(std::is_sorted(percents.cbegin(), percents.cend())) << c.what;
        }
    }
}

TEST_F(ScannerTest, FailingScannerGivesAFailureAndStaysUsable) {
    TestBackend backend({{"read-status-code", "\"SANE_STATUS_IO_ERROR\""}});
    ScannerSession session;
    std::unique_ptr<OpenScanner> scanner = OpenFirst(session);
    ASSERT_TRUE(scanner);
    const ScanResult result = ScanPage(*scanner);
    EXPECT_EQ(result.status, ScanResult::Status::Failed);
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_TRUE(result.image.isNull());
}

TEST_F(ScannerTest, JobScansInItsOwnThreadAndCanBeCancelled) {
    // 0.2 s for every block of the page: a scan of some seconds.
    TestBackend backend({{"read-delay", "true"}, {"read-delay-duration", "200000"}});
    ScannerSession session;
    std::unique_ptr<OpenScanner> scanner = OpenFirst(session);
    ASSERT_TRUE(scanner);
    ASSERT_TRUE(scanner->SetMode(ScanMode::Colour));
    ASSERT_TRUE(scanner->SetResolution(300));

    ScanJob job(*scanner);
    QSignalSpy progressed(&job, &ScanJob::progressed);
    QElapsedTimer clock;
    clock.start();
    job.Start();
    EXPECT_TRUE(job.IsRunning());
    EXPECT_LT(clock.elapsed(), 500) << "Start does not wait for the scanner";
    EXPECT_TRUE(progressed.wait(5000)) << "progress comes while the event loop runs";
    job.Cancel();
    ASSERT_TRUE(WaitForEnd(job));
    EXPECT_EQ(job.TakeResult().status, ScanResult::Status::Cancelled);

    // The scanner is usable again after a cancelled scan.
    ASSERT_TRUE(scanner->SetResolution(75));
    job.Start();
    ASSERT_TRUE(WaitForEnd(job));
    EXPECT_EQ(job.TakeResult().status, ScanResult::Status::Done);
}

TEST_F(ScannerTest, JobDeliversThePictureAndMayBeDestroyedWhileRunning) {
    TestBackend backend;
    ScannerSession session;
    std::unique_ptr<OpenScanner> scanner = OpenFirst(session);
    ASSERT_TRUE(scanner);
    {
        ScanJob job(*scanner);
        job.Start();
        ASSERT_TRUE(WaitForEnd(job));
        const ScanResult result = job.TakeResult();
        EXPECT_EQ(result.status, ScanResult::Status::Done);
        EXPECT_FALSE(result.image.isNull());
    }
    {
        ScanJob job(*scanner);
        job.Start();
    }  // cancelled and waited for, with no result delivered to a destroyed job
    QCoreApplication::processEvents();
    EXPECT_TRUE(OpenScanner::Open(session, "test:1"));
}
