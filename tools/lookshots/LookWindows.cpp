#include "LookWindows.h"

#include "controls/DialogSupport.h"
#include "design/GGraphc.h"
#include "design/GHandle.h"
#include "design/Gqmpanel32.h"
#include "layout/Edittpl.h"
#include "layout/Loadtpl.h"
#include "layout/TemplateLibrary.h"
#include "objects/graphic/Gbarprop.h"
#include "objects/graphic/Gbimageb.h"
#include "objects/graphic/Gimageb.h"
#include "objects/graphic/Gssprop.h"
#include "objects/graphic/gstprop.h"
#include "objects/graphic/gstpropGetSym.h"
#include "objects/graphic/gstpropGetTexture.h"
#include "objects/text/Gf3d.h"
#include "objects/text/Ggetctr.h"
#include "objects/text/Ggetsym.h"
#include "objects/text/Ggettext.h"
#include "objects/text/Gmlted.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gprichle.h"
#include "objects/text/gpcirctprop.h"
#include "print/MergeSourceDialog.h"
#include "print/Prelpr.h"
#include "objects/graphic/Glshapes.h"
#include "print/Printft.h"
#include "print/Printlbl.h"
#include "print/Prevue.h"
#include "print/engine/PrinterEngine.h"
#include "shell/About.h"
#include "shell/ConfigInfo.h"
#include "shell/Helpwin.h"
#include "shell/Main.h"
#include "storage/AppPaths.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

namespace {

QString &templateLibrary()
{
    static QString path;
    return path;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Draws one object with a tool, as the user would; the dialog the tool
// opens is accepted, with a caption typed into text dialogs.
void draw(TQMMainScreen &w, TLPanelState tool, QPoint from, QPoint to, const QString &text = QString())
{
    SetDialogRunner([text](QDialog &d) {
        if (auto *t = qobject_cast<TGetLabelText *>(&d))
            t->findChild<QLineEdit *>(QStringLiteral("LabelText"))->setText(text);
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(w.ToolButton(tool), Qt::LeftButton);
    QWidget *panel = w.Panel();
    QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(panel, to);
    QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, to);
    SetDialogRunner({});
    settle();
}

void click(TQMMainScreen &w, const char *button)
{
    QTest::mouseClick(w.findChild<QToolButton *>(QLatin1String(button)), Qt::LeftButton);
    settle();
}

TSheetMetrics sampleSheet()
{
    TSheetMetrics sheet;
    sheet.LabelWidth = 1.75f;
    sheet.LabelHeight = 0.75f;
    sheet.LeftMargin = 0.25f;
    sheet.TopMargin = 0.5f;
    sheet.HorizontalPitch = 2.0f;
    sheet.VerticalPitch = 1.0f;
    sheet.PageWidth = 8.5f;
    sheet.PageHeight = 11.0f;
    sheet.Across = 2;
    sheet.Down = 3;
    sheet.PaperSize = QStringLiteral("LTR");
    return sheet;
}

QWidget *makePrintPrep()
{
    auto *prep = new TLabelPrintPrep(nullptr, TPrinterList{{TPrinterEngine::PdfPrinterName()}, 0});
    prep->SetSheet(sampleSheet());
    return prep;
}

// A preview of one sheet of 2 x 3 labels, each holding a rectangle.
QWidget *makePreview()
{
    auto *form = new TPreviewForm;
    auto *stream = new QBuffer(form);
    stream->open(QIODevice::ReadWrite);
    TGQuillmarkPanel32 panel;
    panel.resize(168, 72);
    auto *box = new TGLabelShapes;
    box->setParent(&panel);
    box->setGeometry(8, 8, 120, 50);
    const TSheetMetrics sheet = sampleSheet();
    TLabelPrinter printer;
    printer.LabelPanel = &panel;
    printer.SetSheet(sheet, {});
    printer.CellSelected = QList<bool>(6, true);
    printer.SetUpRun(false, sheet.PaperSize, stream);
    printer.RunJob();
    form->SetStream(stream);
    form->ZoomMode = 1;
    return form;
}

}  // namespace

void PrepareLookEnvironment(const QString &programDir, const QString &library)
{
    AppPaths::SetProgramDirOverride(programDir);
    templateLibrary() = library;
}

QList<TWindowCase> EveryDialog()
{
    using F = std::function<QWidget *()>;
    return {
        {QStringLiteral("Select Template"), F([] { return new TSelectTemplate(nullptr, templateLibrary()); })},
        {QStringLiteral("User Defined Label Layout"), F([] { return new TUserEditLabelLayout; })},
        {QStringLiteral("Labels Print"), F(makePrintPrep)},
        {QStringLiteral("Printer Fine-Tuning"), F([] { return new TPrintFineTune(TPrinterNudges{}); })},
        {QStringLiteral("Label Preview"), F(makePreview)},
        {QStringLiteral("Mail Merge Data"), F([] { return new TMergeSourceDialog; })},
        {QStringLiteral("Text"), F([] { return new TGetLabelText; })},
        {QStringLiteral("Multi-line Text Editor"), F([] { return new TMultiLineTextEditor; })},
        {QStringLiteral("Counter"), F([] { return new TGetCounter; })},
        {QStringLiteral("Symbol Selector"), F([] { return new TGetSymbol; })},
        {QStringLiteral("Text 3D Effects"), F([] {
             auto *label = new TGPLabel;
             auto *d = new TGFont3DEffects(label);
             label->setParent(d);
             label->hide();
             return d;
         })},
        {QStringLiteral("CircleText Properties"), F([] { return new TCircleTextProperties; })},
        {QStringLiteral("Rich Text Editor"), F([] { return new TRichTextLabelEditor; })},
        {QStringLiteral("SuperText Properties"), F([] { return new TSuperTextProperties; })},
        {QStringLiteral("SuperText Symbol Selector"), F([] { return new TSuperTextGetSymbol; })},
        {QStringLiteral("SuperText Load Texture Image"), F([] { return new TSuperTextBrushImageBrowser; })},
        {QStringLiteral("Super Shape Properties"), F([] { return new TSuperShapeProperties; })},
        {QStringLiteral("Load Texture Image"), F([] { return new TGBrushImageBrowser; })},
        {QStringLiteral("Load Image File"), F([] { return new TGImageBrowser; })},
        {QStringLiteral("Barcode Properties"), F([] { return new TBarcodeProperties; })},
        {QStringLiteral("About"), F([] { return new TAboutBox; })},
        {QStringLiteral("Configuration Information"), F([] {
             auto *d = new TConfigurationInfo;
             d->SetLines({QStringLiteral("[Product]"), QStringLiteral("Program:     \tQuillmark")});
             return d;
         })},
        {QStringLiteral("Help"), F([]() -> QWidget * { return TQMHelpWindow::Instance(); })},
    };
}

QList<TMainWindowState> MainWindowStates()
{
    using F = std::function<void(TQMMainScreen &)>;
    return {
        {QStringLiteral("main-empty"), F([](TQMMainScreen &) { settle(); })},
        {QStringLiteral("main-objects"), F([](TQMMainScreen &w) {
             draw(w, psRectangle, QPoint(12, 12), QPoint(120, 70));
             draw(w, psEllipse, QPoint(150, 20), QPoint(220, 80));
             draw(w, psLine, QPoint(12, 80), QPoint(240, 86));
             draw(w, psLabel, QPoint(130, 40), QPoint(200, 60), QStringLiteral("Quillmark"));
         })},
        {QStringLiteral("main-grid"), F([](TQMMainScreen &w) {
             click(w, "ShowGrid");
         })},
        {QStringLiteral("main-zoom150"), F([](TQMMainScreen &w) {
             for (int i = 0; i < 5; ++i)
                 click(w, "FontSizeUp");
         })},
        {QStringLiteral("main-zoom50"), F([](TQMMainScreen &w) {
             for (int i = 0; i < 10; ++i)
                 click(w, "FontSizeDown");
         })},
        {QStringLiteral("main-selected"), F([](TQMMainScreen &w) {
             for (int i = 0; i < 5; ++i)
                 click(w, "FontSizeUp");
             click(w, "ShowGrid");
             const auto objects = w.Panel()->Objects();
             if (!objects.isEmpty())
                 QTest::mouseClick(objects.first(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
             settle();
         })},
    };
}

QPalette DarkPalette()
{
    QPalette p;
    const QColor window(0x2d, 0x2d, 0x30), base(0x1e, 0x1e, 0x20), text(0xe8, 0xe8, 0xe6);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    p.setColor(QPalette::Midlight, QColor(0x44, 0x44, 0x48));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x33));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x35, 0x84, 0xe4));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x78, 0xae, 0xed));
    for (QPalette::ColorRole r : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, r, QColor(0x80, 0x80, 0x80));
    return p;
}
