#pragma once
// TConfigurationInfo: the "Configuration Information" dialog, a plain-text
// report about the program, its settings and the computer for technical
// support, which the user copies or saves. TSystemProbe gathers the facts
// about the computer, from files below a root folder (so tests can give it
// a made-up /proc and /etc) and from Qt, CUPS and the C library.

#include <QDate>
#include <QDialog>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

struct TPrinterDestination
{
    QString Name;
    QString MakeAndModel;
    QString DeviceUri;
};

struct TScreenFacts
{
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    int LogicalDpi = 96;
};

class TSystemProbe
{
public:
    // root is "/" on the real machine; env is the process environment.
    explicit TSystemProbe(QString root = QStringLiteral("/"),
                          QProcessEnvironment env = QProcessEnvironment::systemEnvironment());

    // Facts a test fixes instead of asking Qt, CUPS or the C library.
    std::optional<TScreenFacts> Screen;
    std::optional<QString> VideoDriver;
    std::optional<QStringList> PointerDevices;
    std::optional<QList<TPrinterDestination>> Printers;
    // The address-space limit in bytes; -1 for none.
    std::optional<qint64> AddressSpaceLimit;

    // The contents of each environment line, after its label.
    QString OperatingSystem() const;
    QString Processor() const;
    QString Video() const;
    QString VideoDriverText() const;
    QString Keyboard() const;
    QString Mouse() const;
    QString FontSize() const;
    QString MemoryLoad() const;
    QString PhysicalMemory() const;
    QString PageFile() const;
    QString VirtualMemory() const;
    QString Language() const;
    QString Country() const;
    QString DateFormat() const;
    QString TimeFormat() const;
    QString Path() const;
    // "[Devices]", "[PrinterPorts]" and "[Ports]", each with its entries.
    QStringList PrinterSections() const;

    // The user's locale (LC_ALL, else LANG), and the system's
    // (/etc/default/locale, else /etc/locale.conf); "C" when unset.
    QString UserLocaleName() const;
    QString SystemLocaleName() const;
    // Numbers grouped as the user's locale groups them.
    QString Grouped(qint64 value) const;

    // Colours a screen of that many bits per pixel shows.
    static qint64 ColourCount(int bitsPerPixel);

private:
    QString file(const QString &path) const;
    // KEY=value lines (quotes removed) of a file below the root.
    QString keyValue(const QString &path, const QString &key) const;
    // "MemTotal" and the like from /proc/meminfo, in bytes; -1 when absent.
    qint64 memInfo(const QString &key) const;
    TScreenFacts screen() const;
    QList<TPrinterDestination> printers() const;

    QString mRoot;
    QProcessEnvironment mEnv;
};

// What the report says about the program and its settings.
struct TReportSettings
{
    QString ProgramName = QStringLiteral("Quillmark");
    QString Version;
    QString BuildDate;
    QString IniFileName;
    QString FontName = QStringLiteral("Arial");
    int FontSize = 10;
    bool Bold = false, Italic = false, Underline = false;
    int TopNudge = 0, LeftNudge = 0, VerticalSpacing = 0, HorizontalSpacing = 0;
    QDate Date = QDate::currentDate();
};

// The report's lines. progress receives each step's progress text before
// the step runs.
QStringList ConfigurationReport(const TReportSettings &settings, const TSystemProbe &probe,
                                const std::function<void(const QString &)> &progress = {});

class TConfigurationInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TConfigurationInfo(QWidget *parent = nullptr);

    // Builds the report into Memo1, with the progress texts in the status label.
    void BuildReport(const TReportSettings &settings, const TSystemProbe &probe);
    void SetLines(const QStringList &lines);
    QStringList Lines() const;

    QPlainTextEdit *Memo1() const { return mMemo; }
    QLabel *StatusLabel() const { return mStatus; }
    QPushButton *CopyButton() const { return mCopy; }
    QPushButton *SaveButton() const { return mSave; }
    QPushButton *CloseButton() const { return mClose; }

    void CopyButtonClick();
    void SaveButtonClick();
    // Writes the lines as a text file; false when it could not be written.
    bool SaveLines(const QString &fileName) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *mMemo;
    QLabel *mStatus;
    QPushButton *mCopy;
    QPushButton *mSave;
    QPushButton *mClose;
};
