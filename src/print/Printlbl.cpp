#include "print/Printlbl.h"

#include "controls/DialogSupport.h"
#include "design/Gbasepnl.h"
#include "print/engine/PageRecorder.h"
#include "print/engine/PrinterEngine.h"
#include "storage/Persist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString joinLines(std::initializer_list<const char *> lines)
{
    QStringList list;
    for (const char *line : lines)
        list.append(QString::fromLatin1(line));
    return list.join(u'\n');
}

}  // namespace

void ShowErrorBox(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                    QMessageBox::Ok, parent);
    ExecDialog(box);
}

TLabelPrinter::TLabelPrinter(QWidget *parent) : QDialog(parent)
{
    SetupFixedDialog(this, QStringLiteral("Print Status Screen"), 364, 170);

    auto *frame = new QFrame;
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto *frameLayout = new QVBoxLayout(frame);
    mStatusText = new QLabel;
    mStatusText->setAlignment(Qt::AlignCenter);
    mStatusText->setFont(QFont(QStringLiteral("Arial"), 10));
    mStatusText->setWordWrap(true);
    frameLayout->addWidget(mStatusText);

    mCancelButton = new QPushButton(QStringLiteral("Cancel"));
    mCancelButton->setAutoDefault(false);
    connect(mCancelButton, &QPushButton::clicked, this, &TLabelPrinter::CancelButtonClick);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(mCancelButton);
    buttonRow->addStretch(1);
    layout->addLayout(buttonRow);
    PlaceDialog(this);
}

TLabelPrinter::~TLabelPrinter() = default;

TPrinterEngine *TLabelPrinter::ReportPrinter()
{
    if (!mReportPrinter)
        mReportPrinter = std::make_unique<TPrinterEngine>();
    return mReportPrinter.get();
}

TPageRecorder *TLabelPrinter::ReportRecorder()
{
    if (!mReportRecorder)
        mReportRecorder = std::make_unique<TPageRecorder>();
    return mReportRecorder.get();
}

void TLabelPrinter::SetUpRun(bool isPrinting, const QString &paperSize, QIODevice *previewStream)
{
    TReportEngine *engine = nullptr;
    if (isPrinting) {
        engine = ReportPrinter();
        setWindowTitle(QStringLiteral("Print Status"));
        mCancelButton->setText(QStringLiteral("Cancel"));
    } else {
        TPageRecorder *recorder = ReportRecorder();
        recorder->SetStream(previewStream);
        engine = recorder;
        setWindowTitle(QStringLiteral("Preview Status"));
        mCancelButton->setText(QStringLiteral("Stop"));
    }
    SetEngine(engine, isPrinting, paperSize);
}

void TLabelPrinter::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!mJobStarted)
        QMetaObject::invokeMethod(this, &TLabelPrinter::RunJob, Qt::QueuedConnection);
}

void TLabelPrinter::RunJob()
{
    if (mJobStarted)
        return;
    mJobStarted = true;
    setWindowTitle(IsPrinting ? QStringLiteral("Print Status ") : QStringLiteral("Preview Status"));

    try {
        if (ActiveReport)
            ActiveReport->SetStatusLabel(mStatusText);
        Execute();
    } catch (const EReportError &e) {
        mJobError = e.message();
    } catch (const EStreamError &e) {
        mJobError = e.message();
    } catch (const std::exception &e) {
        mJobError = QString::fromUtf8(e.what());
    }

    mCancelButton->setText(QStringLiteral("OK"));
    if (JobAborted()) {
        setStatus(IsPrinting ? QStringLiteral("\nLabel Print Canceled!")
                             : QStringLiteral("\nLabel Preview Canceled!"));
    } else if (LabelPanel && LabelPanel->HasEffectObjects()) {
        setStatus(IsPrinting ? joinLines({"Print job completed and sent to printer!", "",
                                          "Note: this label contains complex shapes or text.",
                                          "Please be patient while the printer produces its",
                                          "output..."})
                             : joinLines({"Label preview ready to view!", "",
                                          "Note: This label contains complex shapes or text.",
                                          "Please be patient while the label previewer",
                                          "prepares the viewing page"}));
    } else {
        setStatus(IsPrinting ? QStringLiteral("Label Print Completed!")
                             : QStringLiteral("\nLabel Preview Ready!"));
    }
    mJobFinished = true;
    if (!mJobError.isEmpty())
        ShowErrorBox(this, mJobError);
}

bool TLabelPrinter::JobAborted() const
{
    return !mJobError.isEmpty() || !ActiveReport || ActiveReport->Aborted();
}

void TLabelPrinter::setStatus(const QString &text)
{
    mStatusText->setText(text);
    mStatusText->repaint();
}

void TLabelPrinter::BeforePrintLabels()
{
    ActiveReport->StatusFormat = IsPrinting ? QStringLiteral("Printing Page %p\n%0\n%1")
                                            : QStringLiteral("Preparing Preview Page %p\n%0\n%1");
    ActiveReport->StatusText.append(QString());
    ActiveReport->StatusText.append(QString());
}

void TLabelPrinter::LabelPrinted(int label, int page)
{
    ActiveReport->StatusFormat = QStringLiteral("Printed label %1 on page %2").arg(label).arg(page);
    ActiveReport->UpdateStatus();
    QCoreApplication::processEvents();
}

void TLabelPrinter::CancelButtonClick()
{
    const QString caption = mCancelButton->text().toUpper();
    if (caption != u"CANCEL" && caption != u"STOP") {
        accept();
        return;
    }
    if (IsPrinting) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"),
                        QStringLiteral("Cancel Label Printing?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        if (ExecDialog(box) == QMessageBox::Yes && ActiveReport)
            ActiveReport->Abort();
        return;
    }
    Stopped = true;
    if (ActiveReport) {
        ActiveReport->Abort();
        ActiveReport->StatusFormat = QStringLiteral("\nCancelling...!");
        ActiveReport->UpdateStatus();
    }
    QCoreApplication::processEvents();
}

void TLabelPrinter::reject()
{
    // The cancel key presses the button.
    CancelButtonClick();
}

void TLabelPrinter::closeEvent(QCloseEvent *event)
{
    if (mJobStarted && !mJobFinished) {
        // Closing the window mid-job would leave the loop without a window.
        event->ignore();
        CancelButtonClick();
        return;
    }
    QDialog::closeEvent(event);
}
