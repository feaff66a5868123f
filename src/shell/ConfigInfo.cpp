#include "ConfigInfo.h"

#include "controls/DialogSupport.h"
#include "controls/MessageBoxes.h"
#include "print/engine/CupsLibrary.h"
#include "storage/AppPaths.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QInputDevice>
#include <QLabel>
#include <QScrollArea>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QTextStream>


#include <limits>

#include <sys/resource.h>
#include <sys/utsname.h>

namespace {

// Files below the root are small text files; anything longer is not what
// we are looking for.
constexpr qint64 kMaxFactFile = 1 << 20;

const QString kSep = QStringLiteral(";    ");

// An information box with the dialog's own caption.
void informConfig(const QString &message, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Configuration Information"), message,
                    QMessageBox::Ok, parent);
    ExecDialog(box);
}

QString localeName(QString value)
{
    // "de_DE.UTF-8@euro" -> "de_DE"
    value = value.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0).trimmed();
    return value.isEmpty() || value == QLatin1String("POSIX") ? QStringLiteral("C") : value;
}

QLocale localeOf(const QString &name)
{
    return name == QLatin1String("C") ? QLocale::c() : QLocale(name);
}

QString languageName(const QString &name)
{
    return QLocale::languageToString(localeOf(name).language());
}

QString countryName(const QString &name)
{
    const QLocale locale = localeOf(name);
    return locale.territory() == QLocale::AnyTerritory ? QString()
                                                       : QLocale::territoryToString(locale.territory());
}

}  // namespace

TSystemProbe::TSystemProbe(QString root, QProcessEnvironment env)
    : mRoot(QDir::cleanPath(root).endsWith(QLatin1Char('/')) ? QDir::cleanPath(root)
                                                             : QDir::cleanPath(root) + QLatin1Char('/'))
    , mEnv(std::move(env))
{
}

QString TSystemProbe::file(const QString &path) const
{
    QFile f(mRoot + path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.read(kMaxFactFile));
}

QString TSystemProbe::keyValue(const QString &path, const QString &key) const
{
    const QStringList lines = file(path).split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (!line.startsWith(key + QLatin1Char('=')))
            continue;
        QString value = line.mid(key.size() + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
            && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}

qint64 TSystemProbe::memInfo(const QString &key) const
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)\\s*(kB)?"));
    const QStringList lines = file(QStringLiteral("proc/meminfo")).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.startsWith(key + QLatin1Char(':')))
            continue;
        const QRegularExpressionMatch m = number.match(line.mid(key.size() + 1));
        if (!m.hasMatch())
            return -1;
        bool ok = false;
        const qint64 value = m.captured(1).toLongLong(&ok);
        if (!ok || value > (qint64(1) << 52))
            return -1;
        return m.captured(2).isEmpty() ? value : value * 1024;
    }
    return -1;
}

QString TSystemProbe::OperatingSystem() const
{
    QString release = QStringLiteral("etc/os-release");
    if (!QFileInfo::exists(mRoot + release))
        release = QStringLiteral("usr/lib/os-release");
    QString name = keyValue(release, QStringLiteral("NAME"));
    const QString version = keyValue(release, QStringLiteral("VERSION_ID"));
    const QString codename = keyValue(release, QStringLiteral("VERSION_CODENAME"));
    QString kernel = file(QStringLiteral("proc/sys/kernel/osrelease")).trimmed();
    QString kernelName = file(QStringLiteral("proc/sys/kernel/ostype")).trimmed();
    if (mRoot == QLatin1String("/") && (kernel.isEmpty() || kernelName.isEmpty())) {
        struct utsname u;
        if (::uname(&u) == 0) {
            kernel = QString::fromLocal8Bit(u.release);
            kernelName = QString::fromLocal8Bit(u.sysname);
        }
    }
    if (name.isEmpty())
        name = kernelName;
    QString service = codename;
    if (!kernelName.isEmpty())
        service = service.isEmpty() ? kernelName : service + QLatin1Char(' ') + kernelName;
    return name + QStringLiteral(" (version ") + version + QStringLiteral(" build:") + kernel
           + QLatin1Char(' ') + service + QLatin1Char(')');
}

QString TSystemProbe::Processor() const
{
    const QStringList lines = file(QStringLiteral("proc/cpuinfo")).split(QLatin1Char('\n'));
    QString model;
    int count = 0;
    // x86 says "model name"; other machines "Hardware", "cpu model" or "cpu".
    const QStringList modelKeys = {QStringLiteral("model name"), QStringLiteral("cpu model"),
                                   QStringLiteral("Hardware"), QStringLiteral("cpu")};
    int modelRank = int(modelKeys.size());
    for (const QString &line : lines) {
        const int colon = int(line.indexOf(QLatin1Char(':')));
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        if (key == QLatin1String("processor"))
            ++count;
        const int rank = int(modelKeys.indexOf(key));
        if (rank >= 0 && rank < modelRank) {
            model = line.mid(colon + 1).simplified();
            modelRank = rank;
        }
    }
    QString text = QStringLiteral("Processor:  ") + model;
    if (count > 0)
        text += (count == 1 ? QStringLiteral(", 1 processor") : QStringLiteral(", %1 processors").arg(count));
    return text;
}

TScreenFacts TSystemProbe::screen() const
{
    if (Screen)
        return *Screen;
    TScreenFacts facts;
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        facts.Width = s->size().width();
        facts.Height = s->size().height();
        facts.BitsPerPixel = s->depth();
        facts.LogicalDpi = qRound(s->logicalDotsPerInch());
    }
    return facts;
}

qint64 TSystemProbe::ColourCount(int bitsPerPixel)
{
    if (bitsPerPixel <= 0)
        return 0;
    return qint64(1) << qMin(bitsPerPixel, 24);
}

QString TSystemProbe::Video() const
{
    const TScreenFacts s = screen();
    return QString::number(s.Width) + QStringLiteral(" x ") + QString::number(s.Height) + QStringLiteral(" x ")
           + Grouped(ColourCount(s.BitsPerPixel)) + QStringLiteral(" colors");
}

QString TSystemProbe::VideoDriverText() const
{
    if (VideoDriver)
        return *VideoDriver;
    return QGuiApplication::platformName();
}

QString TSystemProbe::Keyboard() const
{
    // Debian's console and X set-up keeps the layout in /etc/default/keyboard.
    const QString file = QStringLiteral("etc/default/keyboard");
    const QString layout = keyValue(file, QStringLiteral("XKBLAYOUT"));
    if (layout.isEmpty())
        return QString();
    QString text = QStringLiteral("layout ") + layout;
    const QString variant = keyValue(file, QStringLiteral("XKBVARIANT"));
    if (!variant.isEmpty())
        text += QStringLiteral(" (") + variant + QLatin1Char(')');
    const QString model = keyValue(file, QStringLiteral("XKBMODEL"));
    if (!model.isEmpty())
        text += QStringLiteral(", model ") + model;
    return text;
}

QString TSystemProbe::Mouse() const
{
    QStringList names;
    if (PointerDevices) {
        names = *PointerDevices;
    } else {
        for (const QInputDevice *device : QInputDevice::devices()) {
            if (device->type() != QInputDevice::DeviceType::Keyboard && !device->name().isEmpty())
                names << device->name();
        }
        names.removeDuplicates();
    }
    return names.join(QStringLiteral("; "));
}

QString TSystemProbe::FontSize() const
{
    const int dpi = screen().LogicalDpi;
    if (dpi == 96)
        return QStringLiteral("Small Fonts in use");
    if (dpi == 120)
        return QStringLiteral("Large Fonts in use");
    return QStringLiteral("Custom font size in use");
}

QString TSystemProbe::Grouped(qint64 value) const
{
    return localeOf(UserLocaleName()).toString(value);
}

QString TSystemProbe::MemoryLoad() const
{
    const qint64 total = memInfo(QStringLiteral("MemTotal"));
    const qint64 available = memInfo(QStringLiteral("MemAvailable"));
    if (total <= 0 || available < 0)
        return QString();
    return QString::number(qBound<qint64>(0, qRound64(100.0 * double(total - available) / double(total)), qint64(100)));
}

QString TSystemProbe::PhysicalMemory() const
{
    return Grouped(qMax<qint64>(0, memInfo(QStringLiteral("MemTotal")))) + kSep + QStringLiteral("Available: ")
           + Grouped(qMax<qint64>(0, memInfo(QStringLiteral("MemAvailable"))));
}

QString TSystemProbe::PageFile() const
{
    return Grouped(qMax<qint64>(0, memInfo(QStringLiteral("SwapTotal")))) + kSep + QStringLiteral("Available: ")
           + Grouped(qMax<qint64>(0, memInfo(QStringLiteral("SwapFree"))));
}

QString TSystemProbe::VirtualMemory() const
{
    qint64 limit = -1;
    if (AddressSpaceLimit) {
        limit = *AddressSpaceLimit;
    } else {
        struct rlimit rl;
        if (::getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY)
            limit = qint64(qMin<rlim_t>(rl.rlim_cur, rlim_t(std::numeric_limits<qint64>::max())));
    }
    if (limit < 0)
        return QStringLiteral("unlimited") + kSep + QStringLiteral("Available: unlimited");
    // What this process already has mapped, from its status file.
    const QString status = file(QStringLiteral("proc/self/status"));
    static const QRegularExpression vmSize(QStringLiteral("^VmSize:\\s*(\\d+)\\s*kB"),
                                           QRegularExpression::MultilineOption);
    const qint64 used = vmSize.match(status).captured(1).toLongLong() * 1024;
    return Grouped(limit) + kSep + QStringLiteral("Available: ") + Grouped(qMax<qint64>(0, limit - used));
}

QString TSystemProbe::UserLocaleName() const
{
    for (const char *name : {"LC_ALL", "LANG"}) {
        const QString value = mEnv.value(QLatin1String(name));
        if (!value.isEmpty())
            return localeName(value);
    }
    return QStringLiteral("C");
}

QString TSystemProbe::SystemLocaleName() const
{
    QString value = keyValue(QStringLiteral("etc/default/locale"), QStringLiteral("LANG"));
    if (value.isEmpty())
        value = keyValue(QStringLiteral("etc/locale.conf"), QStringLiteral("LANG"));
    return localeName(value);
}

QString TSystemProbe::Language() const
{
    return QStringLiteral("User: ") + languageName(UserLocaleName()) + kSep + QStringLiteral("System: ")
           + languageName(SystemLocaleName());
}

QString TSystemProbe::Country() const
{
    return QStringLiteral("User: ") + countryName(UserLocaleName()) + kSep + QStringLiteral("System: ")
           + countryName(SystemLocaleName());
}

QString TSystemProbe::DateFormat() const
{
    const QLocale locale = localeOf(UserLocaleName());
    return locale.dateFormat(QLocale::ShortFormat) + kSep + QStringLiteral("Long: ")
           + locale.dateFormat(QLocale::LongFormat);
}

QString TSystemProbe::TimeFormat() const
{
    const QLocale locale = localeOf(UserLocaleName());
    return locale.timeFormat(QLocale::ShortFormat) + kSep + QStringLiteral("Long: ")
           + locale.timeFormat(QLocale::LongFormat);
}

QString TSystemProbe::Path() const
{
    return mEnv.value(QStringLiteral("PATH"));
}

QList<TPrinterDestination> TSystemProbe::printers() const
{
    if (Printers)
        return *Printers;
    QList<TPrinterDestination> list;
    const cups::TLibrary *library = cups::Library();
    if (!library)
        return list;
    cups_dest_t *dests = nullptr;
    const int count = library->GetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        const cups_dest_t &d = dests[i];
        TPrinterDestination p;
        p.Name = QString::fromUtf8(d.name);
        if (d.instance)
            p.Name += QLatin1Char('/') + QString::fromUtf8(d.instance);
        p.MakeAndModel = QString::fromUtf8(library->GetOption("printer-make-and-model", d.num_options, d.options));
        p.DeviceUri = QString::fromUtf8(library->GetOption("device-uri", d.num_options, d.options));
        list << p;
    }
    library->FreeDests(count, dests);
    return list;
}

QStringList TSystemProbe::PrinterSections() const
{
    const QList<TPrinterDestination> list = printers();
    QStringList lines{QStringLiteral("[Devices]")};
    for (const TPrinterDestination &p : list)
        lines << p.Name + QLatin1Char('=') + p.MakeAndModel + QLatin1Char(',') + p.DeviceUri;
    lines << QStringLiteral("[PrinterPorts]");
    for (const TPrinterDestination &p : list)
        lines << p.Name + QLatin1Char('=') + p.DeviceUri;
    // Each port once, with the printers that use it.
    lines << QStringLiteral("[Ports]");
    QStringList ports;
    for (const TPrinterDestination &p : list) {
        if (!p.DeviceUri.isEmpty() && !ports.contains(p.DeviceUri))
            ports << p.DeviceUri;
    }
    for (const QString &port : std::as_const(ports)) {
        QStringList users;
        for (const TPrinterDestination &p : list) {
            if (p.DeviceUri == port)
                users << p.Name;
        }
        lines << port + QLatin1Char('=') + users.join(QLatin1Char(','));
    }
    return lines;
}

QStringList ConfigurationReport(const TReportSettings &settings, const TSystemProbe &probe,
                                const std::function<void(const QString &)> &progress)
{
    auto step = [&progress](const char *text) {
        if (progress)
            progress(QString::fromLatin1(text));
    };
    const QLocale locale = probe.UserLocaleName() == QLatin1String("C") ? QLocale::c()
                                                                         : QLocale(probe.UserLocaleName());
    QStringList lines;
    lines << locale.toString(settings.Date, QLocale::LongFormat) << QString();
    lines << QStringLiteral("[Product]") << QStringLiteral("Program:     \t") + settings.ProgramName
          << QStringLiteral("Version:     \t") + settings.Version
          << QStringLiteral("Build Date:  \t") + settings.BuildDate << QString();

    lines << QStringLiteral("[Environment]");
    step("Finding Windows Version...");
    lines << QStringLiteral("Windows:     \t") + probe.OperatingSystem();
    step("Finding processor info...");
    lines << QStringLiteral("CPU:         \t") + probe.Processor();
    step("Finding video info...");
    lines << QStringLiteral("Video:       \t") + probe.Video();
    step("Finding system ini info...");
    lines << QStringLiteral("Video Driver:\t") + probe.VideoDriverText()
          << QStringLiteral("Keyboard:    \t") + probe.Keyboard()
          << QStringLiteral("Mouse:       \t") + probe.Mouse();
    step("Finding font size...");
    lines << QStringLiteral("Font:        \t") + probe.FontSize();
    step("Finding memory info...");
    lines << QStringLiteral("Memory Load: \t") + probe.MemoryLoad()
          << QStringLiteral("Phys Memory: \tTotal: ") + probe.PhysicalMemory()
          << QStringLiteral("Page File:   \tTotal: ") + probe.PageFile()
          << QStringLiteral("Virt Memory: \tTotal: ") + probe.VirtualMemory();
    step("Finding language info...");
    lines << QStringLiteral("Language:    \t") + probe.Language();
    step("Finding country info...");
    lines << QStringLiteral("Country:     \t") + probe.Country()
          << QStringLiteral("Date Format: \tShort: ") + probe.DateFormat()
          << QStringLiteral("Time Format: \tShort: ") + probe.TimeFormat()
          << QStringLiteral("Path:        \t") + probe.Path();
    step("Finding printer info...");
    lines << probe.PrinterSections();
    lines << QString();

    lines << QLatin1Char('[') + settings.IniFileName + QLatin1Char(']') << QString();
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    lines << QStringLiteral("DeFFont      \t") + settings.FontName + QLatin1Char(',')
                 + QString::number(settings.FontSize) + QLatin1Char(',') + flag(settings.Bold)
                 + QLatin1Char(',') + flag(settings.Italic) + QLatin1Char(',') + flag(settings.Underline);
    lines << QStringLiteral("Nudges:      \tTop:%1,Left:%2,Vert:%3,Horz:%4   {1/1000ths}")
                 .arg(settings.TopNudge)
                 .arg(settings.LeftNudge)
                 .arg(settings.VerticalSpacing)
                 .arg(settings.HorizontalSpacing);
    return lines;
}

TConfigurationInfo::TConfigurationInfo(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ConfigurationInfo"));
    SetupFixedDialog(this, QStringLiteral("Configuration Information"), 420, 373);

    auto *intro = new QLabel(
        QStringLiteral("The information below helps technical support to answer your questions. "
                       "Click \"Copy to Clipboard\" to copy it, then paste it into an e-mail."),
        this);
    intro->setWordWrap(true);
    // At a large interface font the text scrolls within its fixed place.
    auto *introBox = new QScrollArea(this);
    introBox->setFrameShape(QFrame::NoFrame);
    introBox->setWidgetResizable(true);
    introBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    introBox->setWidget(intro);
    introBox->setGeometry(12, 8, 397, 40);

    mMemo = new QPlainTextEdit(this);
    mMemo->setObjectName(QStringLiteral("Memo1"));
    mMemo->setAccessibleName(QStringLiteral("Configuration report"));
    mMemo->setGeometry(12, 52, 397, 221);
    mMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    mMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mMemo->setTabChangesFocus(false);
    mMemo->setReadOnly(true);
    mMemo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mMemo->setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    // The labels are 13 characters; their tab lands just after them.
    mMemo->setTabStopDistance(QFontMetricsF(mMemo->font()).horizontalAdvance(QLatin1Char(' ')) * 14);

    mStatus = new QLabel(this);
    mStatus->setObjectName(QStringLiteral("StatusLabel"));
    mStatus->setGeometry(12, 280, 397, 20);

    mCopy = new QPushButton(QStringLiteral("Copy to Clipboard"), this);
    mCopy->setObjectName(QStringLiteral("CopyButton"));
    mCopy->setGeometry(12, 330, 130, 28);
    mSave = new QPushButton(QStringLiteral("Save As..."), this);
    mSave->setObjectName(QStringLiteral("SaveButton"));
    mSave->setGeometry(152, 330, 110, 28);
    mClose = new QPushButton(QStringLiteral("Close"), this);
    mClose->setObjectName(QStringLiteral("CloseButton"));
    mClose->setGeometry(319, 330, 90, 28);
    // The buttons grow to their captions: Copy and Save from the left,
    // Close at the right edge.
    int left = 12;
    for (QPushButton *b : {mCopy, mSave}) {
        b->setGeometry(left, 330, qMax(b->width(), b->sizeHint().width()), qMax(28, b->sizeHint().height()));
        left = b->geometry().right() + 11;
    }
    const int closeWidth = qMax(90, mClose->sizeHint().width());
    mClose->setGeometry(409 - closeWidth, 330, closeWidth, qMax(28, mClose->sizeHint().height()));
    mClose->setDefault(true);

    connect(mCopy, &QPushButton::clicked, this, &TConfigurationInfo::CopyButtonClick);
    connect(mSave, &QPushButton::clicked, this, &TConfigurationInfo::SaveButtonClick);
    connect(mClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TConfigurationInfo::BuildReport(const TReportSettings &settings, const TSystemProbe &probe)
{
    SetLines(ConfigurationReport(settings, probe, [this](const QString &text) {
        mStatus->setText(text);
        if (isVisible())
            mStatus->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }));
    mStatus->clear();
}

void TConfigurationInfo::SetLines(const QStringList &lines)
{
    mMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList TConfigurationInfo::Lines() const
{
    return mMemo->toPlainText().split(QLatin1Char('\n'));
}

void TConfigurationInfo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    mMemo->moveCursor(QTextCursor::Start);
    mMemo->ensureCursorVisible();
}

void TConfigurationInfo::CopyButtonClick()
{
    QGuiApplication::clipboard()->setText(Lines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
    informConfig(QStringLiteral("Information copied to Windows clipboard"), this);
}

bool TConfigurationInfo::SaveLines(const QString &fileName) const
{
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    out.write(Lines().join(QLatin1Char('\n')).toUtf8() + '\n');
    return out.commit();
}

void TConfigurationInfo::SaveButtonClick()
{
    QFileDialog dialog(this, QStringLiteral("Save As"), AppPaths::ProgramDir(),
                       QStringLiteral("Text files (*.TXT)"));
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("TXT"));
    if (ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    if (!SaveLines(fileName)) {
        ErrorBox(QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(fileName)), this);
        return;
    }
    informConfig(QStringLiteral("Information was saved as: ") + fileName, this);
}
