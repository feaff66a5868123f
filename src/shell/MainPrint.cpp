// The main window's print commands: the printer check, print or preview
// through the print preparation window, fine tuning and printer set-up.
#include "Main.h"

#include "IniFile.h"
#include "Prefs.h"
#include "UndoHistory.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "print/Prelpr.h"
#include "print/Printft.h"
#include "print/Prevue.h"
#include "print/engine/PrinterEngine.h"
#include "storage/AppPaths.h"
#include "storage/Filer.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <exception>

std::function<TPrinterList()> TQMMainScreen::PrinterListSource = [] {
    return TPrinterList::System();
};

namespace {

const char NoPrinterMessage[] =
    "No printers and/or no default printer found.\nPrint related action cannot continue.";

const char PrintErrorMessage[] =
    "An error was encountered trying Print/Preview.\n (possibly Printer Driver related)";

const QString PreviewClassName = QStringLiteral("TPreviewForm");

TPrinterNudges nudgesOf(const TPreferences &prefs)
{
    return {prefs.TopMarginNudge, prefs.LeftMarginNudge, prefs.VerticalSpacing,
            prefs.HorizontalSpacing};
}

// The preview window's stored placement; when nothing is stored it keeps
// its size and is centred over the main window (over the screen when the
// main window is maximised), then pulled onto the screen.
void restorePreviewPlacement(QWidget *window)
{
    const TIniFile ini(PreferencesFileName());
    const TScreenInfo screen = PrimaryScreenInfo();
    const QString section = PlacementSection(PreviewClassName, screen.PixelsPerInch);
    const QWidget *main = DialogMainWindow();
    const bool stored = ini.ReadInteger(section, QStringLiteral("Bottom"), 0) != 0
                        || ini.ReadBool(section, QStringLiteral("Maximized"), false);
    if (stored || !main || main->isMaximized()) {
        RestoreWindowPlacement(window, PreviewClassName, ini, screen);
        return;
    }
    // An unsaved copy holding the centred rectangle, so that the usual
    // placement rules fit it to the screen.
    TIniFile centred(QString{});
    const QRect m = main->frameGeometry();
    const QSize size = window->size();
    const int left = m.left() + (m.width() - size.width()) / 2;
    const int top = m.top() + (m.height() - size.height()) / 2;
    centred.WriteInteger(section, QStringLiteral("Left"), left);
    centred.WriteInteger(section, QStringLiteral("Top"), top);
    centred.WriteInteger(section, QStringLiteral("Right"), left + size.width());
    centred.WriteInteger(section, QStringLiteral("Bottom"), top + size.height());
    RestoreWindowPlacement(window, PreviewClassName, centred, screen);
}

void savePreviewPlacement(QWidget *window)
{
    try {
        TIniFile ini(PreferencesFileName());
        SaveWindowPlacement(window, PreviewClassName, ini);
        ini.UpdateFile();
    } catch (const EIniError &) {
        // A placement that cannot be stored is simply not restored next time.
    }
}

}  // namespace

void TQMMainScreen::CheckPrinters()
{
    TPreviewForm::RestorePlacementHook = restorePreviewPlacement;
    TPreviewForm::SavePlacementHook = savePreviewPlacement;

    const TPrinterList printers = PrinterListSource ? PrinterListSource() : TPrinterList{};
    mPrinterAvailable = TPrinterEngine::PrinterAvailable(printers);
    if (mPrinterAvailable)
        mReportPrinter = std::make_unique<TPrinterEngine>(printers);
    else
        mReportPrinter.reset();
}

QString TQMMainScreen::PrintFileName(const QString &dir)
{
    const QDir d(dir);
    int n = 0;
    for (; n <= 99999; ++n)
        if (!QFile::exists(d.filePath(QStringLiteral("QM%1.TMP").arg(n))))
            break;
    return d.filePath(QStringLiteral("QM%1.TMP").arg(n));
}

void TQMMainScreen::mnuPrintClick()
{
    if (!mPrinterAvailable || !mReportPrinter) {
        InformationBox(QString::fromLatin1(NoPrinterMessage), this);
        return;
    }

    QString fileName;
    const float zoom = mPanel->Zoom();
    try {
        QCoreApplication::processEvents();
        mHistory->Commit();
        if (zoom != 1.0f)
            mPanel->SetZoom(1.0f);
        fileName = PrintFileName(AppPaths::ProgramDir());
        // The print copy needs the sheet only.
        TLabelLayout layout = CurrentLabelLayout();
        layout.Name.clear();
        layout.PrinterType.clear();
        layout.LabelShape.clear();
        layout.ProductType.clear();
        layout.ArtName.clear();
        TGLabelObjectFiler filer;
        try {
            filer.WriteLabelFile(mPanel, fileName, layout);
        } catch (...) {
            if (zoom != 1.0f)
                mPanel->SetZoom(zoom);
            throw;
        }
        if (zoom != 1.0f)
            mPanel->SetZoom(zoom);
        QCoreApplication::processEvents();
        // The zoom there and back is no change of the design.
        mHistory->Rebase();

        TLabelPrintPrep prep(this, TPrinterList{mReportPrinter->Printers(),
                                                mReportPrinter->PrinterIndex()});
        prep.AssignPrinterSettings(*mReportPrinter);
        prep.SetSheet(TSheetMetrics::FromLayout(CurrentLabelLayout()));
        prep.Nudges = nudgesOf(mPrefs);
        filer.ReadLabelFile(&prep, prep.LabelPanel(), layout, fileName);
        prep.LabelPanel()->SettleObjects();
        PlaceDialog(&prep);
        ExecDialog(prep);
        // The printer chosen or set up there stays chosen for the program.
        mReportPrinter->AssignSettings(*prep.ReportPrinter1());
    } catch (const std::exception &) {
        InformationBox(QString::fromLatin1(PrintErrorMessage), this);
    }
    // The scratch copy goes in any case; a file that cannot be removed
    // is left behind.
    if (!fileName.isEmpty())
        QFile::remove(fileName);
}

void TQMMainScreen::mnuFineTuningClick()
{
    if (!mPrinterAvailable) {
        InformationBox(QString::fromLatin1(NoPrinterMessage), this);
        return;
    }
    TPrintFineTune dialog(nudgesOf(mPrefs), this);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return;
    const TPrinterNudges n = dialog.Values();
    mPrefs.TopMarginNudge = n.TopMargin;
    mPrefs.LeftMarginNudge = n.LeftMargin;
    mPrefs.VerticalSpacing = n.VerticalSpacing;
    mPrefs.HorizontalSpacing = n.HorizontalSpacing;
    SavePreferences();
}

void TQMMainScreen::mnuPrinterSetupClick()
{
    if (!mPrinterAvailable || !mReportPrinter) {
        InformationBox(QString::fromLatin1(NoPrinterMessage), this);
        return;
    }
    mReportPrinter->PrinterSetupDialog(this);
}
