// The main window's print commands: the printer check, the scratch copy
// handed to the print preparation window, fine tuning kept in the
// preferences file, and where the preview window opens.

#include "controls/DialogSupport.h"
#include "design/Gqmpanel32.h"
#include "objects/Register.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gpclabel.h"
#include "print/LabelRun.h"
#include "print/Prelpr.h"
#include "print/Printft.h"
#include "print/Printlbl.h"
#include "print/Prevue.h"
#include "print/engine/PrinterEngine.h"
#include "shell/IniFile.h"
#include "shell/Main.h"
#include "shell/Prefs.h"
#include "storage/AppPaths.h"
#include "storage/Filer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

TPrinterList pdfOnly()
{
    return {{TPrinterEngine::PdfPrinterName()}, 0};
}

const QString NoPrinter = QStringLiteral(
    "No printers and/or no default printer found.\nPrint related action cannot continue.");

// Answers the message boxes with OK and hands every other dialog to
// `OnDialog`.
struct TUser
{
    TUser()
    {
        SetDialogRunner([this](QDialog &dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
                Messages.append(box->text());
                return int(QMessageBox::Ok);
            }
            ++Dialogs;
            return OnDialog ? OnDialog(dialog) : int(QDialog::Rejected);
        });
    }
    ~TUser() { SetDialogRunner(nullptr); }

    std::function<int(QDialog &)> OnDialog;
    QStringList Messages;
    int Dialogs = 0;
};

QStringList scratchFiles(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("QM*.TMP")}, QDir::Files, QDir::Name);
}

}  // namespace

class TestMainPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void printFileName_data();
    void printFileName();
    void printerCheck_data();
    void printerCheck();
    void printHandsOverACopy();
    void printErrorShowsMessage();
    void fineTuning_data();
    void fineTuning();
    void previewPlacement();

private:
    void openWindow();

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<TQMMainScreen> mWindow;
};

void TestMainPrint::initTestCase()
{
    RegisterLabelClasses();
}

void TestMainPrint::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    AppPaths::SetProgramDirOverride(mDir->path());
    TQMMainScreen::PrinterListSource = pdfOnly;
}

void TestMainPrint::cleanup()
{
    mWindow.reset();
    AppPaths::SetProgramDirOverride(QString());
    mDir.reset();
}

void TestMainPrint::openWindow()
{
    mWindow = std::make_unique<TQMMainScreen>();
    mWindow->show();
    QVERIFY(QTest::qWaitForWindowActive(mWindow.get()));
}

void TestMainPrint::printFileName_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << QStringList{} << "QM0.TMP";
    QTest::newRow("first taken") << QStringList{"QM0.TMP"} << "QM1.TMP";
    QTest::newRow("first free gap") << QStringList{"QM0.TMP", "QM1.TMP", "QM3.TMP"} << "QM2.TMP";
    QTest::newRow("later ones do not matter") << QStringList{"QM1.TMP"} << "QM0.TMP";
}

void TestMainPrint::printFileName()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString &name : existing) {
        QFile f(mDir->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(TQMMainScreen::PrintFileName(mDir->path()), mDir->filePath(expected));
}

void TestMainPrint::printerCheck_data()
{
    QTest::addColumn<bool>("printers");
    QTest::newRow("PDF printer only") << true;
    QTest::newRow("no printer") << false;
}

void TestMainPrint::printerCheck()
{
    QFETCH(bool, printers);
    if (!printers)
        TQMMainScreen::PrinterListSource = [] { return TPrinterList{}; };
    TUser user;
    openWindow();
    // No message at start-up either way.
    QCOMPARE(user.Messages, QStringList());
    QCOMPARE(mWindow->PrinterAvailable(), printers);
    QCOMPARE(mWindow->ReportPrinter() != nullptr, printers);
    for (const char *name : {"mnuPrint", "mnuFineTuning", "mnuPrinterSetup"})
        QCOMPARE(mWindow->findChild<QAction *>(QLatin1String(name))->isEnabled(), printers);
    if (printers)
        return;

    // The commands themselves refuse, whatever calls them.
    mWindow->mnuPrintClick();
    mWindow->mnuFineTuningClick();
    mWindow->mnuPrinterSetupClick();
    QCOMPARE(user.Messages, (QStringList{NoPrinter, NoPrinter, NoPrinter}));
    QCOMPARE(user.Dialogs, 0);
    QCOMPARE(scratchFiles(mDir->path()), QStringList());
}

void TestMainPrint::printHandsOverACopy()
{
    {
        TIniFile ini(PreferencesFileName());
        ini.WriteInteger(QStringLiteral("Printer"), QStringLiteral("VerticalSpacing"), 3);
        ini.UpdateFile();
    }
    openWindow();
    TGQuillmarkPanel32 *panel = mWindow->Panel();
    auto *shape = new TGLabelShapes;
    shape->SetParentComponent(panel);
    shape->FinishLoading();
    shape->SetBounds(10, 10, 48, 24);
    auto *counter = new TGCounterLabel;
    counter->SetParentComponent(panel);
    counter->FinishLoading();
    counter->SetBounds(60, 40, 90, 24);
    counter->SetStartingnumber(1000);
    for (int i = 0; i < 5; ++i)
        mWindow->ZoomIn();
    QCOMPARE(mWindow->ZoomCaption(), QStringLiteral("150%"));

    // An earlier print file is left alone, the next number is taken; the
    // print window's copy leaves the main window's scratch files alone too.
    for (const char *name : {"QM0.TMP", "Clipbrd.tmp", "TempFile.tmp"}) {
        QFile f(mDir->filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("someone else's");
    }

    const bool changesMade = mWindow->ChangesMade();
    TUser user;
    bool seen = false;
    QList<QRect> copied;
    user.OnDialog = [&](QDialog &dialog) -> int {
        if (auto *status = qobject_cast<TLabelPrinter *>(&dialog)) {
            status->RunJob();
            return QDialog::Accepted;
        }
        auto *prep = qobject_cast<TLabelPrintPrep *>(&dialog);
        if (!prep)
            return QDialog::Rejected;
        seen = true;
        const QString scratch = mDir->filePath(QStringLiteral("QM1.TMP"));
        [&] {
            QVERIFY(QFile::exists(scratch));
            QCOMPARE(prep->windowTitle(), QStringLiteral("Labels Print"));
            QCOMPARE(prep->LabelsPerPageCaption()->text(), QStringLiteral("(30 labels per page)"));
            QCOMPARE(prep->Sheet().LabelWidth, 2.65f);
            QCOMPARE(prep->Sheet().Across, 3);
            QCOMPARE(prep->Sheet().PaperSize, QStringLiteral("LTR"));
            QCOMPARE(prep->Sheet().LabelShape, QStringLiteral("RR"));
            QCOMPARE(prep->Nudges, (TPrinterNudges{0, 0, 3, 0}));
            QCOMPARE(prep->PrinterList()->count(), 1);

            // The scratch file holds the design at 100 % and the sheet
            // without the template's names.
            TGBasePanel check;
            DetachScratchFiles(&check);
            TLabelLayout layout;
            TGLabelObjectFiler().ReadLabelFile(nullptr, &check, layout, scratch);
            QCOMPARE(layout.Name, QString());
            QCOMPARE(layout.LabelShape, QString());
            QCOMPARE(layout.ArtName, QString());
            QCOMPARE(layout.PaperSize, QStringLiteral("LTR"));
            QCOMPARE(layout.VerticalPitch, double(1.01f));

            // The window's copy: the same objects at zoom 1.0 geometry.
            const QList<TGGraphicControl *> copy = prep->LabelPanel()->Objects();
            QCOMPARE(copy.size(), 2);
            copied = {copy.at(0)->BoundsRect(), copy.at(1)->BoundsRect()};
            QCOMPARE(copy.at(1)->ClassName(), QByteArray("TGCounterLabel"));

            // A run counts on the copy only.
            prep->ReportPrinter1()->SetOutputFileName(mDir->filePath(QStringLiteral("out.pdf")));
            prep->PrintClick();
            QVERIFY(QFile::exists(mDir->filePath(QStringLiteral("out.pdf"))));
            QCOMPARE(static_cast<TGCounterLabel *>(copy.at(1))->CurrentValue(), 1030);
        }();
        return QDialog::Rejected;
    };
    mWindow->mnuPrintClick();

    QVERIFY(seen);
    QCOMPARE(user.Messages, QStringList());
    QCOMPARE(scratchFiles(mDir->path()), QStringList{QStringLiteral("QM0.TMP")});
    QVERIFY(QFile::exists(mDir->filePath(QStringLiteral("Clipbrd.tmp"))));
    QVERIFY(QFile::exists(mDir->filePath(QStringLiteral("TempFile.tmp"))));
    QCOMPARE(counter->CurrentValue(), 1000);
    QCOMPARE(mWindow->ZoomCaption(), QStringLiteral("150%"));
    QCOMPARE(panel->Zoom(), 1.5f);
    QCOMPARE(mWindow->ChangesMade(), changesMade);
    // The printer set up in the print window stays set up.
    QCOMPARE(mWindow->ReportPrinter()->OutputFileName(), mDir->filePath(QStringLiteral("out.pdf")));
    // The copy was written at 100 %.
    panel->SetZoom(1.0f);
    QCOMPARE(copied, (QList<QRect>{shape->BoundsRect(), counter->BoundsRect()}));
}

void TestMainPrint::printErrorShowsMessage()
{
    openWindow();
    mWindow->ZoomOut();
    TUser user;
    user.OnDialog = [](QDialog &dialog) -> int {
        if (qobject_cast<TLabelPrintPrep *>(&dialog))
            throw std::runtime_error("driver trouble");
        return QDialog::Rejected;
    };
    mWindow->mnuPrintClick();
    QCOMPARE(user.Messages,
             QStringList{QStringLiteral("An error was encountered trying Print/Preview.\n"
                                        " (possibly Printer Driver related)")});
    QCOMPARE(scratchFiles(mDir->path()), QStringList());
    QCOMPARE(mWindow->ZoomCaption(), QStringLiteral("90%"));
}

void TestMainPrint::fineTuning_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("Ok") << true;
    QTest::newRow("Cancel") << false;
}

void TestMainPrint::fineTuning()
{
    QFETCH(bool, ok);
    {
        TIniFile ini(PreferencesFileName());
        ini.WriteInteger(QStringLiteral("Printer"), QStringLiteral("TopMarginNudge"), -2);
        ini.WriteString(QStringLiteral("Elsewhere"), QStringLiteral("Kept"), QStringLiteral("yes"));
        ini.UpdateFile();
    }
    openWindow();
    TUser user;
    TPrinterNudges shown;
    user.OnDialog = [&](QDialog &dialog) -> int {
        auto *tune = qobject_cast<TPrintFineTune *>(&dialog);
        if (!tune)
            return QDialog::Rejected;
        shown = tune->Values();
        tune->DownArrowClick(TPrintFineTune::LeftMarginPanel);
        tune->UpArrowClick(TPrintFineTune::HorizontalSpacingPanel);
        tune->UpArrowClick(TPrintFineTune::HorizontalSpacingPanel);
        return ok ? QDialog::Accepted : QDialog::Rejected;
    };
    mWindow->mnuFineTuningClick();
    QCOMPARE(shown, (TPrinterNudges{-2, 0, 0, 0}));

    const TIniFile ini(PreferencesFileName());
    TPreferences prefs;
    prefs.LoadPreferences(ini);
    QCOMPARE(prefs.TopMarginNudge, -2);
    QCOMPARE(prefs.LeftMarginNudge, ok ? 1 : 0);
    QCOMPARE(prefs.VerticalSpacing, 0);
    QCOMPARE(prefs.HorizontalSpacing, ok ? -2 : 0);
    QCOMPARE(ini.ReadString(QStringLiteral("Elsewhere"), QStringLiteral("Kept"), QString()),
             QStringLiteral("yes"));
    QCOMPARE(user.Messages, QStringList());
}

void TestMainPrint::previewPlacement()
{
    openWindow();
    mWindow->move(100, 80);
    QTRY_COMPARE(mWindow->pos(), QPoint(100, 80));
    QVERIFY(TPreviewForm::RestorePlacementHook);
    QVERIFY(TPreviewForm::SavePlacementHook);

    // Nothing stored: its own size, centred over the main window.
    TPreviewForm first;
    TPreviewForm::RestorePlacementHook(&first);
    const QRect main = mWindow->frameGeometry();
    QCOMPARE(first.size(), QSize(608, 424));
    QCOMPARE(first.geometry().topLeft(),
             QPoint(main.left() + (main.width() - 608) / 2, main.top() + (main.height() - 424) / 2));

    // Moved and resized, stored on closing, restored next time.
    first.setGeometry(40, 50, 500, 300);
    TPreviewForm::SavePlacementHook(&first);
    const TIniFile ini(PreferencesFileName());
    QCOMPARE(ini.ReadInteger(QStringLiteral("TPreviewForm_Placement"), QStringLiteral("Right"), 0), 540);
    TPreviewForm second;
    TPreviewForm::RestorePlacementHook(&second);
    QCOMPARE(second.geometry(), QRect(40, 50, 500, 300));
}

QTEST_MAIN(TestMainPrint)
#include "tst_mainprint.moc"
