// The office outputs as the user starts them: the citizen list, the application forms run and
// the payment documents register, written by a real headless office and read back from the
// saved files. One office serves the list and the forms; the register dialog starts its own.

#include <gtest/gtest.h>

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellVertJustify2.hpp>

#include "OfficeReadBack.h"
#include "OutputFixtures.h"
#include "citizens/PaymentDocumentStore.h"
#include "citizens/RegistrationAddressStore.h"
#include "controls/TExtDateEdit.h"
#include "dates/DateConventions.h"
#include "gui/Context.h"
#include "gui/FileDialogs.h"
#include "gui/MessageBoxes.h"
#include "output/ApplicationFormsFlow.h"
#include "output/CitizenListFlow.h"
#include "output/CitizenSelection.h"
#include "output/FileNames.h"
#include "output/OfficeRun.h"
#include "output/TDocumentsFillStatusForm.h"
#include "output/TReportReestrPP.h"
#include "permits/PermitStore.h"
#include "settings/OrganisationStore.h"
#include "storage/Options.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"
#include "support/TestFolder.h"

using gui::FileDialogs;
using gui::MessageBoxes;
using output::OfficeRun;

namespace {

// 30 characters.
const QString kDataSheetFms = QStringLiteral("УФМС России по городу Москве 1");

// The texts the progress window's status label showed, in the order they were painted.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList texts;
    std::function<void(const QString&)> onPaint;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == label_ && event->type() == QEvent::Paint &&
            (texts.isEmpty() || texts.last() != label_->text())) {
            texts.append(label_->text());
            if (onPaint)
                onPaint(label_->text());
        }
        return false;
    }

private:
    QLabel* label_;
};

QStringList Texts(const QList<MessageBoxes::Record>& boxes) {
    QStringList texts;
    for (const MessageBoxes::Record& box : boxes)
        texts.append(box.title + ": " + box.text);
    return texts;
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

class OfficeOutputsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        office_ = std::make_unique<OfficeRun>();
        QString detail;
        ASSERT_TRUE(office_->office(&detail)) << detail.toStdString();
    }
    static void TearDownTestSuite() { office_.reset(); }
    static OfficeRun& office() { return *office_; }

    void SetUp() override {
        QDir(folder.path()).mkpath("template");
        for (const char* name : {"visaapplication.xls", "nonvisaapplication.xls", "revert.doc"}) {
            const QString file = QString::fromLatin1(name);
            ASSERT_TRUE(QFile::copy(QStringLiteral(VELTAR_SOURCE_DIR "/data/template/") + file,
                                    folder.file("template/" + file)));
        }
        QDir(folder.path()).mkpath("out");
    }

    int addCitizen(const citizens::IGFormData& citizen) {
        citizens::InsertCitizen(data.db(), citizen, ++lastKey_);
        return lastKey_;
    }
    // Visa-free citizens that differ by their surnames.
    QList<int> addCitizens(std::initializer_list<const char*> surnames) {
        QList<int> keys;
        for (const char* surname : surnames) {
            citizens::IGFormData citizen = SampleCitizen();
            citizen.surname = QString::fromUtf8(surname);
            keys.append(addCitizen(citizen));
        }
        return keys;
    }
    void setOrganisation(const QString& name) {
        settings::OrgFormData organisation;
        organisation.name = name;
        settings::SaveOrganisation(data.db(), organisation);
    }
    QString out() const { return folder.file("out"); }

    void addDocument(int citizen, const QString& number, const QString& date, int kind) {
        citizens::PPFormData document;
        document.number = number;
        document.date = date;
        document.payer = QStringLiteral("Плательщик %1").arg(citizen);
        document.sum = "1500";
        document.documentKind = kind;
        citizens::InsertPaymentDocument(data.db(), document, ++lastKey_, citizen);
    }
    void report(const QString& from, const QString& to) {
        dialog.CustomPanel11->SetText(from);
        dialog.CustomPanel12->SetText(to);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    }

    TestFolder folder;
    TestDatabase data{folder.path()};
    gui::Context context{folder.path(), data.db(), SampleLists()};
    output::TDocumentsFillStatusForm progress;
    // The register starts an office of its own for each report.
    output::TReportReestrPP dialog{context};

private:
    int lastKey_ = 0;
    static inline std::unique_ptr<OfficeRun> office_;
};

// ---------------------------------------------------------------------------------------------
// The citizen list.

TEST_F(OfficeOutputsTest, ListMessagesBeforeAnythingIsWritten) {
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::ExportCitizenList(nullptr, context, 0, {1}, &office());
    auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка экспорта");
    EXPECT_EQ(shown[0].text, "Не найдено ИГ для экспортирования в excel.");
    EXPECT_TRUE(FileDialogs::takeShown().isEmpty());

    // The proposed name: the organisation's name made safe, in the start folder.
    setOrganisation("a/b");
    FileDialogs::setNextFileName("");
    output::ExportCitizenList(nullptr, context, 3, {1}, &office());
    const auto dialogs = FileDialogs::takeShown();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].kind, FileDialogs::Kind::Save);
    EXPECT_TRUE(dialogs[0].directory.startsWith(folder.file("a_b ")))
        << dialogs[0].directory.toStdString();
    EXPECT_TRUE(dialogs[0].directory.endsWith(".xls"));
    EXPECT_EQ(dialogs[0].filter, "Excel files(*.xls)");
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());

    FileDialogs::setNextFileName(folder.file("out/list.xls"));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::ExportCitizenList(nullptr, context, 3, {}, &office());
    shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Экспорт");
    EXPECT_EQ(shown[0].text, "Не отмечено ИГ для экспортирования");
    EXPECT_TRUE(FilesIn(out()).isEmpty());
}

TEST_F(OfficeOutputsTest, ListOfTwoCitizensInGridOrder) {
    const int first = addCitizen(SampleCitizen());
    citizens::IGFormData second = SampleVisaCitizen();
    second.passportSeries = "";
    second.professionPrefix = 1;
    const int secondKey = addCitizen(second);

    FileDialogs::setNextFileName(folder.file("out/list.xls"));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::ExportCitizenList(nullptr, context, 5, {secondKey, first}, &office());
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Операция завершена: Экспорт результатов в Excel завершен"});
    ASSERT_EQ(FilesIn(out()), QStringList{"list - 2.xls"});

    OfficeReadBack saved(office(), folder.file("out/list - 2.xls"));
    ASSERT_TRUE(saved.isOpen());
    EXPECT_EQ(saved.filterName(), "MS Excel 97");
    const QStringList expected[] = {
        {"ФИО", "Дата рождения", "Серия №Паспорта", "Профессия", "Страна"},
        {"Ли Мин ", "05/03/1980", " 0123456", "Помощник каменщика", "Китай"},
        {"Рахимов Алишер Бахтиярович", "05/03/1980", "AA 0123456", " Каменщик", "Узбекистан"},
    };
    for (int row = 1; row <= 3; ++row) {
        QStringList cells;
        for (int column = 1; column <= 5; ++column)
            cells.append(saved.cellText(1, row, column));
        EXPECT_EQ(cells, expected[row - 1]) << "row " << row;
    }
    EXPECT_EQ(saved.cellText(1, "A4"), "");
    EXPECT_EQ(saved.cellFormatCode(1, "A2"), "@");
    EXPECT_EQ(saved.cellFormatCode(1, "C3"), "@");
    EXPECT_EQ(saved.cellFormatCode(1, "B2"), "DD.MM.YYYY");
    EXPECT_EQ(saved.cellFormatCode(1, "B3"), "DD.MM.YYYY");
    EXPECT_NE(saved.cellFormatCode(1, "B4"), "DD.MM.YYYY");
    // Printed across the page, as wide as one page.
    EXPECT_TRUE(saved.pageStyleProperty(1, "IsLandscape").get<bool>());
    EXPECT_EQ(saved.pageStyleProperty(1, "ScaleToPagesX").get<sal_Int16>(), 1);
}

TEST_F(OfficeOutputsTest, ListThatCannotBeSavedIsReportedWithItsName) {
    const int key = addCitizen(SampleCitizen());
    // A folder stands where the file is to be written.
    ASSERT_TRUE(QDir(out()).mkpath("list - 1.xls"));
    FileDialogs::setNextFileName(folder.file("out/list"));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::ExportCitizenList(nullptr, context, 1, {key}, &office());
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].title, "Ошибка работы с файлом");
    EXPECT_EQ(shown[0].text, "Выбранный файл используется другим приложением");
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(shown[1].title, "Ошибка работы с файлом");
    EXPECT_TRUE(shown[1].text.contains("'" + folder.file("out/list - 1.xls") + "'"))
        << shown[1].text.toStdString();
}

// ---------------------------------------------------------------------------------------------
// The application forms.

TEST_F(OfficeOutputsTest, FormsMessagesBeforeAnythingIsWritten) {
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::FillApplicationForms(nullptr, context, progress, 0, {1}, &office());
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Ошибка экспорта: Не найдено ИГ для заполнения заявлений."});

    FileDialogs::setNextFileName("");
    output::FillApplicationForms(nullptr, context, progress, 2, {1}, &office());
    const auto dialogs = FileDialogs::takeShown();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].kind, FileDialogs::Kind::Folder);
    EXPECT_EQ(dialogs[0].caption, "Выберите папку для хранения заявлений");

    FileDialogs::setNextFileName(out());
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::FillApplicationForms(nullptr, context, progress, 2, {}, &office());
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Экспорт: Не отмечено ИГ для заполнения заявлений"});
    EXPECT_TRUE(FilesIn(out()).isEmpty());
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(OfficeOutputsTest, VisaFreeAndVisaCitizenFilledIntoTheirTemplates) {
    // A hostile organisation name: the run's subfolder stays inside the chosen folder.
    setOrganisation("../x");
    ASSERT_EQ(kDataSheetFms.size(), 30);
    storage::SetOption(data.db(), "FMSMEMBER", kDataSheetFms);
    citizens::IGFormData visaFree = SampleCitizen();
    visaFree.surname = "Рахим";
    visaFree.profession = 12;  // 45 characters
    visaFree.temporaryResidence = 1;
    const int visaFreeKey = addCitizen(visaFree);
    citizens::RegAddrFormData address;
    address.postalIndex = "125009";
    address.city = "Москва";
    address.house = "1";
    citizens::InsertRegistrationAddress(data.db(), address, visaFreeKey);
    const int visaKey = addCitizen(SampleVisaCitizen());
    permits::InsertPermit(data.db(), "77001234", 39814, 40178, {}, {},
                          dates::DateTextToNumber("20/12/2008"));

    PaintedTexts painted(progress.Label2);
    FileDialogs::setNextFileName(out());
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::FillApplicationForms(nullptr, context, progress, 4, {visaFreeKey, visaKey}, &office());

    EXPECT_EQ(painted.texts, QStringList({"Подготовка шаблонов...", "0\\2", "1\\2"}));
    EXPECT_EQ(progress.ProgressBar1->maximum(), 2);
    EXPECT_FALSE(progress.isVisible());
    const QStringList subfolders = FilesIn(out());
    ASSERT_EQ(subfolders.size(), 1);
    const QString subfolder = subfolders.first();
    EXPECT_TRUE(subfolder.startsWith("___x ")) << subfolder.toStdString();
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Операция завершена: Заполнение заявлений завершено. Заполненные "
                          "файлы в папке " +
                          subfolder});
    const QString run = out() + "/" + subfolder + "/";
    const QString visaFreeName = "Рахим Алишер Бахтиярович(AA 0123456)";
    const QString visaName = "Ли Мин (AA 0123456)";
    EXPECT_EQ(FilesIn(run), QStringList({visaName + ".doc", visaName + ".xls",
                                         visaFreeName + ".doc", visaFreeName + ".xls"}));

    OfficeReadBack first(office(), run + visaFreeName + ".xls");
    ASSERT_TRUE(first.isOpen());
    EXPECT_EQ(first.filterName(), "MS Excel 97");
    ASSERT_EQ(first.sheetCount(), 4);
    EXPECT_EQ(first.sheetName(1), "Страница 1");
    EXPECT_FALSE(first.sheetVisible(4));
    // The form's pages print on A4 as the template lays them out.
    // (in hundredths of a millimetre; the .xls keeps the paper size as A4, read back within
    // a hundredth).
    EXPECT_NEAR(first.pageStyleProperty(1, "Width").get<sal_Int32>(), 21000, 2);
    EXPECT_NEAR(first.pageStyleProperty(3, "Height").get<sal_Int32>(), 29700, 2);
    EXPECT_TRUE(first.sheetVisible(1));
    EXPECT_EQ(first.rowText(4, 3, 1, 80), "Рахим" + QString(20, ' ') + "Алишер");
    EXPECT_EQ(first.rowText(4, 6, 1, 120), "г. Ташкент, ул. Навои, д. 1");
    EXPECT_EQ(first.rowText(4, 9, 1, 60), "0123456");
    EXPECT_EQ(first.cellText(4, 9, 1), "0");
    EXPECT_EQ(first.cellFormatCode(4, "A9"), "@");
    EXPECT_EQ(first.rowText(4, 11, 1, 60), "05031980");
    EXPECT_EQ(first.cellText(4, 12, 1), "x");
    EXPECT_EQ(first.cellText(4, 13, 1), " ");
    EXPECT_EQ(first.rowText(4, 32, 1, 80), "Машинист крана автомобильного");
    EXPECT_EQ(first.rowText(4, 33, 1, 120), "и гусеничного х Разрешение на временное проживание");
    EXPECT_EQ(first.rowText(4, 31, 1, 80), "");  // no territories
    EXPECT_EQ(first.rowText(4, 14, 1, 60), "");
    // Page 3 shows row 33 on three lines of boxes: room for 90 characters.
    const int professionRest = first.pageRowShowing(3, "A33");
    ASSERT_GT(professionRest, 0);
    EXPECT_EQ(first.cellText(3, professionRest, 8), "и");
    EXPECT_EQ(first.pageRowShowing(3, "AE33"), professionRest + 1);
    EXPECT_EQ(first.pageRowShowing(3, "BI33"), professionRest + 2);
    const QString line = QString(21, ' ') + kDataSheetFms + QString(21, ' ');
    EXPECT_TRUE(first.textBoxText("Text Box 1868").startsWith("В" + line));
    EXPECT_EQ(first.textBoxUnderlines("Text Box 1868").left(72), "." + QString(70, '_') + ".");

    OfficeReadBack second(office(), run + visaName + ".xls");
    ASSERT_TRUE(second.isOpen());
    EXPECT_EQ(second.rowText(4, 3, 1, 80), "Ли" + QString(23, ' ') + "Мин");
    EXPECT_EQ(second.cellText(4, 12, 1), " ");
    EXPECT_EQ(second.cellText(4, 13, 1), "x");
    EXPECT_EQ(second.rowText(4, 6, 1, 120), "");
    EXPECT_EQ(second.rowText(4, 14, 1, 60), "77001234");
    EXPECT_EQ(second.rowText(4, 15, 1, 60), "20122008");
    EXPECT_EQ(second.rowText(4, 20, 1, 60), "ООО \"Восток\"");
    EXPECT_EQ(second.rowText(4, 21, 1, 60), "125009, г. Москва, ул. Тверская, д. 1");
    EXPECT_EQ(second.rowText(4, 22, 1, 60), "1027700132195");
    EXPECT_EQ(second.rowText(4, 23, 1, 60), "12031999");
    EXPECT_EQ(second.rowText(4, 32, 1, 80), "Каменщик");
    EXPECT_EQ(second.rowText(4, 33, 1, 120), "");

    OfficeReadBack reverse(office(), run + visaFreeName + ".doc");
    ASSERT_TRUE(reverse.isOpen());
    EXPECT_EQ(reverse.filterName(), "MS Word 97");
    EXPECT_EQ(reverse.bookmarkText("profess"), "Машинист крана автомобильного и гусеничного х");
    EXPECT_EQ(reverse.bookmarkText("place"), "125009,_Москва,_1,_");
    EXPECT_EQ(reverse.bookmarkText("fromto"), "01.02.2009 - 31.12.2009");
    OfficeReadBack reverseOfVisa(office(), run + visaName + ".doc");
    EXPECT_EQ(reverseOfVisa.bookmarkText("place"), "");
    EXPECT_EQ(reverseOfVisa.bookmarkText("profess"), "Каменщик");
}

TEST_F(OfficeOutputsTest, StoppedRunKeepsTheCitizensFilledSoFar) {
    const QList<int> keys = addCitizens({"Первый", "Второй", "Третий"});
    PaintedTexts painted(progress.Label2);
    // The user stops while the first citizen is filled.
    painted.onPaint = [&](const QString& text) {
        if (text == "0\\3")
            QMetaObject::invokeMethod(progress.StopButton, &QPushButton::click,
                                      Qt::QueuedConnection);
    };
    FileDialogs::setNextFileName(out());
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::FillApplicationForms(nullptr, context, progress, 3, keys, &office());

    EXPECT_EQ(painted.texts, QStringList({"Подготовка шаблонов...", "0\\3"}));
    const QString subfolder = FilesIn(out()).value(0);
    EXPECT_EQ(FilesIn(out() + "/" + subfolder),
              QStringList({"Первый Алишер Бахтиярович(AA 0123456).doc",
                           "Первый Алишер Бахтиярович(AA 0123456).xls"}));
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Операция остановлена: Заполнение заявлений остановлено: заявления "
                          "заполнены для 1 ИГ из 3. Заполненные файлы в папке " +
                          subfolder});
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(OfficeOutputsTest, FailedSaveStopsTheRunNamingTheFile) {
    const QList<int> keys = addCitizens({"Первый", "Второй", "Третий"});
    // The second citizen's workbook cannot be written: a folder has its name. The run's
    // subfolder is named after the minute it starts in.
    const QString blocked = "Второй Алишер Бахтиярович(AA 0123456).xls";
    const QDateTime now = QDateTime::currentDateTime();
    for (const QDateTime& minute : {now, now.addSecs(60)}) {
        const QString name = output::SafeFileName(output::DefaultOutputName(data.db(), minute));
        ASSERT_TRUE(QDir(out()).mkpath(name + "/" + blocked));
    }
    FileDialogs::setNextFileName(out());
    for (int i = 0; i < 3; ++i)
        MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::FillApplicationForms(nullptr, context, progress, 3, keys, &office());

    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 3) << Texts(shown).join('\n').toStdString();
    EXPECT_EQ(shown[0].title, "Ошибка");
    EXPECT_EQ(shown[0].text, "Ошибка сохранения книги LibreOffice Calc!");
    EXPECT_TRUE(shown[1].text.contains(blocked)) << shown[1].text.toStdString();
    EXPECT_TRUE(
        shown[2].text.startsWith("Заявления заполнены для 1 ИГ из 3. Заполненные файлы "
                                 "в папке "))
        << shown[2].text.toStdString();
    QString used;
    for (const QString& subfolder : FilesIn(out())) {
        if (FilesIn(out() + "/" + subfolder).size() > 1)
            used = out() + "/" + subfolder;
    }
    EXPECT_EQ(FilesIn(used), QStringList({blocked, "Первый Алишер Бахтиярович(AA 0123456).doc",
                                          "Первый Алишер Бахтиярович(AA 0123456).xls"}));
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(OfficeOutputsTest, SubfolderThatCannotBeMadeIsReported) {
    const int key = addCitizen(SampleCitizen());
    const QDateTime now = QDateTime::currentDateTime();
    for (const QDateTime& minute : {now, now.addSecs(60)})
        folder.write("out/" + output::SafeFileName(output::DefaultOutputName(data.db(), minute)),
                     "a file");
    FileDialogs::setNextFileName(out());
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    output::FillApplicationForms(nullptr, context, progress, 1, {key}, &office());
    const auto shown = MessageBoxes::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, "Ошибка работы с файлом");
    EXPECT_TRUE(shown[0].text.startsWith("Не удалось создать папку '" + out() + "/"))
        << shown[0].text.toStdString();
    EXPECT_FALSE(progress.isVisible());
}

TEST(DocumentsFillStatusForm, ShowsTheStepAndStopsOnRequest) {
    output::TDocumentsFillStatusForm form;
    EXPECT_EQ(form.objectName(), "DocumentsFillStatusForm");
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.TitleLabel->text(), "Процесс заполнения заявлений");
    EXPECT_EQ(form.StepLabel->text(), "ход процесса:");
    form.Begin(3);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isModal());
    EXPECT_EQ(form.Label2->text(), "Подготовка шаблонов...");
    EXPECT_EQ(form.ProgressBar1->maximum(), 3);
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_EQ(form.geometry().center(), form.screen()->availableGeometry().center());
    form.ShowCitizen(1, 3);
    EXPECT_EQ(form.Label2->text(), "1\\3");
    EXPECT_EQ(form.ProgressBar1->value(), 1);

    // Closing the window asks the run to stop; the window stays until the run ends.
    EXPECT_FALSE(form.StopRequested());
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.StopRequested());
    EXPECT_FALSE(form.StopButton->isEnabled());
    form.Finish();
    EXPECT_FALSE(form.isVisible());

    // A new run starts afresh; Esc stops it as the button does.
    form.Begin(1);
    EXPECT_FALSE(form.StopRequested());
    EXPECT_TRUE(form.StopButton->isEnabled());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_TRUE(form.StopRequested());
    EXPECT_TRUE(form.isVisible());
    form.Finish();
}

// ---------------------------------------------------------------------------------------------
// The payment documents register.

TEST_F(OfficeOutputsTest, RegisterPeriodChecksInTheirOrder) {
    EXPECT_EQ(dialog.windowTitle(), "Отчеты: Реестр ПД");
    EXPECT_EQ(dialog.Button1->text(), "Отчет");
    EXPECT_EQ(dialog.Button2->text(), "Отмена");
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    const struct {
        const char* from;
        const char* to;
        const char* title;
        const char* text;
        bool focusOnFrom;
    } cases[] = {
        {"", "", "Ошибка заполнения данных",
         "Поле 'Дата ввода ПД С' является обязательным для заполнения.", true},
        {"01/02/2009", "", "Ошибка заполнения данных",
         "Поле 'Дата ввода ПД По' является обязательным для заполнения.", false},
        {"31022009", "", "Ошибка заполнения данных",
         "Поле 'Дата ввода ПД По' является обязательным для заполнения.", false},
        {"31022009", "28/02/2009", "сохранение", "Ошибка заполнения даты", true},
        {"01/02/2009", "30/02/2009", "сохранение", "Ошибка заполнения даты", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + c.to);
        MessageBoxes::setNextAnswer(QMessageBox::Ok);
        report(QString::fromUtf8(c.from), QString::fromUtf8(c.to));
        const auto shown = MessageBoxes::takeShown();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].title, QString::fromUtf8(c.title));
        EXPECT_EQ(shown[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
        controls::TExtDateEdit* field = c.focusOnFrom ? dialog.CustomPanel11 : dialog.CustomPanel12;
        EXPECT_TRUE(field->Edit()->hasFocus());
        EXPECT_TRUE(dialog.isVisible());
    }
    EXPECT_TRUE(FileDialogs::takeShown().isEmpty());

    // Each showing starts with empty dates.
    dialog.hide();
    dialog.show();
    EXPECT_EQ(dialog.CustomPanel11->Text(), "");
    EXPECT_EQ(dialog.CustomPanel12->Text(), "");
}

TEST_F(OfficeOutputsTest, RegisterProposedNameAndNoDocumentInThePeriod) {
    addDocument(1, "1", "31/01/2009", 1);
    addDocument(1, "2", "", 1);
    dialog.show();
    FileDialogs::setNextFileName("");
    report("01/02/2009", "28/02/2009");
    const auto dialogs = FileDialogs::takeShown();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].directory, folder.file("Реестр_ПД_01022009-28022009.xls"));
    EXPECT_EQ(dialogs[0].filter, "Excel Files(*.xls)");
    EXPECT_TRUE(MessageBoxes::takeShown().isEmpty());

    FileDialogs::setNextFileName(folder.file("register"));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    report("01/02/2009", "28/02/2009");
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Ошибка: Не найдено ни одного ПД за указанный период"});
    EXPECT_FALSE(QFile::exists(folder.file("register.xls")));
}

TEST_F(OfficeOutputsTest, RegisterThreeDocumentsWithTheirTableFormats) {
    addDocument(1, "007", "01/02/2009", 2);
    addDocument(2, "8", "31/01/2009", 1);  // before the period
    addDocument(2, "9", "15/02/2009", 0);
    addDocument(3, "10", "28/02/2009", 3);
    citizens::RegAddrFormData address;
    address.postalIndex = "125009";
    address.city = "Москва";
    citizens::InsertRegistrationAddress(data.db(), address, 1);
    dialog.show();
    FileDialogs::setNextFileName(folder.file("register"));
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    report("01/02/2009", "28/02/2009");
    EXPECT_EQ(Texts(MessageBoxes::takeShown()),
              QStringList{"Операция завершена: Выгрузка ПД успешно завершена"});

    OfficeReadBack saved(office(), folder.file("register.xls"));
    ASSERT_TRUE(saved.isOpen());
    EXPECT_EQ(saved.filterName(), "MS Excel 97");
    EXPECT_EQ(saved.cellText(1, "A1"),
              "Реестр платежных документов от ИГ на период с 01/02/2009 по 28/02/2009");
    EXPECT_EQ(saved.mergedArea(1, "A1"), "A1:G1");
    EXPECT_TRUE(saved.pageStyleProperty(1, "IsLandscape").get<bool>());
    EXPECT_EQ(saved.pageStyleProperty(1, "ScaleToPagesX").get<sal_Int16>(), 1);
    EXPECT_FALSE(saved.pageStyleProperty(1, "HeaderIsOn").get<bool>());
    EXPECT_NEAR(saved.rowHeightPoints(1, 1), 30, 0.5);
    EXPECT_NEAR(saved.rowHeightPoints(1, 2), 30, 0.5);
    const QStringList header = {"№",    "Номер платежного документа", "Дата операции",
                                "ФИО",  "Адрес регистрации",          "Вид ПД",
                                "Сумма"};
    const QStringList lines[] = {
        {"1", "007", "01/02/2009", "Плательщик 1", "125009, Москва, ", "кв.", "1500"},
        {"2", "9", "15/02/2009", "Плательщик 2", "", "пр.", "1500"},
        {"3", "10", "28/02/2009", "Плательщик 3", "", "пр.", "1500"},
    };
    const auto row = [&](int number) {
        QStringList cells;
        for (int column = 1; column <= 7; ++column)
            cells.append(saved.cellText(1, number, column));
        return cells;
    };
    EXPECT_EQ(row(2), header);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(row(k + 3), lines[k]);
    EXPECT_EQ(saved.cellText(1, "A6"), "");
    EXPECT_EQ(saved.cellFormatCode(1, "B3"), "@");
    EXPECT_EQ(saved.cellFormatCode(1, "C3"), "DD.MM.YYYY");
    EXPECT_EQ(saved.cellFormatCode(1, "C5"), "DD.MM.YYYY");
    EXPECT_EQ(saved.cellProperty(1, "A2", "CellBackColor").get<sal_Int32>(), 0x969696);
    EXPECT_EQ(saved.cellProperty(1, "G2", "CharWeight").get<float>(), css::awt::FontWeight::BOLD);
    EXPECT_EQ(saved.cellProperty(1, "A3", "CharWeight").get<float>(), css::awt::FontWeight::NORMAL);
    // Borders round every cell from A2 to G5, none below.
    for (const QString cell : {"A2", "D4", "G5"}) {
        const auto bottom =
            saved.cellProperty(1, cell, "BottomBorder2").get<css::table::BorderLine2>();
        EXPECT_EQ(bottom.LineStyle, css::table::BorderLineStyle::SOLID) << cell.toStdString();
        EXPECT_GT(bottom.OuterLineWidth, 0) << cell.toStdString();
    }
    EXPECT_EQ(
        saved.cellProperty(1, "A6", "BottomBorder2").get<css::table::BorderLine2>().OuterLineWidth,
        0);
    for (const QString cell : {"A1", "G5"}) {
        EXPECT_EQ(saved.cellProperty(1, cell, "HoriJustify").get<css::table::CellHoriJustify>(),
                  css::table::CellHoriJustify_CENTER);
        EXPECT_EQ(saved.cellProperty(1, cell, "VertJustify").get<sal_Int32>(),
                  css::table::CellVertJustify2::CENTER);
    }
}

}  // namespace
