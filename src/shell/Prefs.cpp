#include "Prefs.h"

#include "storage/AppPaths.h"
#include "IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

const QString kPrinter = QStringLiteral("Printer");
const QString kUser = QStringLiteral("User");
const QString kPaths = QStringLiteral("Paths");
const QString kFont = QStringLiteral("Default Font");
const QString kMisc = QStringLiteral("Misc");

int readRanged(const TIniFile &ini, const QString &section, const QString &key, int def,
               int lowest, int highest)
{
    const int value = ini.ReadInteger(section, key, def);
    return value < lowest || value > highest ? def : value;
}

int readNudge(const TIniFile &ini, const QString &key)
{
    return readRanged(ini, kPrinter, key, 0, -8, 8);
}

QString readPath(const TIniFile &ini, const QString &key)
{
    const QString path = ini.ReadString(kPaths, key, QString());
    // An empty start folder would leave the dialog wherever the process happens to be.
    return path.isEmpty() ? AppPaths::ProgramDir() : path;
}

} // namespace

void TPreferences::LoadPreferences(const TIniFile &ini)
{
    const TPreferences defaults;
    TopMarginNudge = readNudge(ini, QStringLiteral("TopMarginNudge"));
    LeftMarginNudge = readNudge(ini, QStringLiteral("LeftMarginNudge"));
    VerticalSpacing = readNudge(ini, QStringLiteral("VerticalSpacing"));
    HorizontalSpacing = readNudge(ini, QStringLiteral("HorizontalSpacing"));
    UseMM = ini.ReadBool(kUser, QStringLiteral("UseMM"), defaults.UseMM);
    FileOpenLastPath = readPath(ini, QStringLiteral("FileOpenLastPath"));
    FileSaveLastPath = readPath(ini, QStringLiteral("FileSaveLastPath"));
    FontName = ini.ReadString(kFont, QStringLiteral("Name"), defaults.FontName);
    if (FontName.isEmpty())
        FontName = defaults.FontName;
    FontSize = readRanged(ini, kFont, QStringLiteral("Size"), defaults.FontSize, 1, 1000);
    FontBold = ini.ReadBool(kFont, QStringLiteral("Bold"), defaults.FontBold);
    FontItalic = ini.ReadBool(kFont, QStringLiteral("Italic"), defaults.FontItalic);
    FontUnderline = ini.ReadBool(kFont, QStringLiteral("Underline"), defaults.FontUnderline);
    ShowHints = ini.ReadBool(kMisc, QStringLiteral("Show Hints"), defaults.ShowHints);
}

void TPreferences::SavePreferences(TIniFile &ini) const
{
    ini.WriteInteger(kPrinter, QStringLiteral("TopMarginNudge"), TopMarginNudge);
    ini.WriteInteger(kPrinter, QStringLiteral("LeftMarginNudge"), LeftMarginNudge);
    ini.WriteInteger(kPrinter, QStringLiteral("VerticalSpacing"), VerticalSpacing);
    ini.WriteInteger(kPrinter, QStringLiteral("HorizontalSpacing"), HorizontalSpacing);
    ini.WriteBool(kUser, QStringLiteral("UseMM"), UseMM);
    ini.WriteString(kPaths, QStringLiteral("FileOpenLastPath"), FileOpenLastPath);
    ini.WriteString(kPaths, QStringLiteral("FileSaveLastPath"), FileSaveLastPath);
    ini.WriteString(kFont, QStringLiteral("Name"), FontName);
    ini.WriteInteger(kFont, QStringLiteral("Size"), FontSize);
    ini.WriteBool(kFont, QStringLiteral("Bold"), FontBold);
    ini.WriteBool(kFont, QStringLiteral("Italic"), FontItalic);
    ini.WriteBool(kFont, QStringLiteral("Underline"), FontUnderline);
    ini.WriteBool(kMisc, QStringLiteral("Show Hints"), ShowHints);
}

QString PreferencesFileName()
{
    return AppPaths::FindFileNoCase(AppPaths::ProgramDir(), QStringLiteral("QM.INI"));
}

void MigrateOldPreferencesFile(const QString &dir)
{
    const QString old = AppPaths::FindFileNoCase(dir, QStringLiteral("qm2.ini"));
    if (!QFileInfo(old).isFile())
        return;
    // On this file system "qm.ini" and "QM.INI" are different names, so
    // look for a preferences file of any spelling before renaming.
    if (QFileInfo::exists(AppPaths::FindFileNoCase(dir, QStringLiteral("qm.ini"))))
        return;
    QFile::rename(old, QFileInfo(old).absolutePath() + QStringLiteral("/qm.ini"));
}

TScreenInfo PrimaryScreenInfo()
{
    TScreenInfo info;
    info.Area = QRect(0, 0, 1024, 768);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        info.Area = screen->availableGeometry();
        info.PixelsPerInch = qRound(screen->logicalDotsPerInch());
    }
    return info;
}

QString PlacementSection(const QString &className, int pixelsPerInch)
{
    QString section = className + QStringLiteral("_Placement");
    if (pixelsPerInch > 96)
        section += QString::number(pixelsPerInch);
    return section;
}

void SaveWindowPlacement(const QWidget *window, const QString &className, TIniFile &ini,
                         const TScreenInfo &screen)
{
    const QString section = PlacementSection(className, screen.PixelsPerInch);
    QRect rect = window->normalGeometry();
    if (!rect.isValid())
        rect = window->geometry();
    ini.WriteInteger(section, QStringLiteral("Left"), rect.x());
    ini.WriteInteger(section, QStringLiteral("Top"), rect.y());
    ini.WriteInteger(section, QStringLiteral("Right"), rect.x() + rect.width());
    ini.WriteInteger(section, QStringLiteral("Bottom"), rect.y() + rect.height());
    ini.WriteBool(section, QStringLiteral("Maximized"), window->isMaximized());
}

void RestoreWindowPlacement(QWidget *window, const QString &className, const TIniFile &ini,
                            const TScreenInfo &screen)
{
    const QString section = PlacementSection(className, screen.PixelsPerInch);
    // 64 bits: the sums below must not overflow on absurd stored values.
    qint64 left = ini.ReadInteger(section, QStringLiteral("Left"), 0);
    qint64 top = ini.ReadInteger(section, QStringLiteral("Top"), 0);
    qint64 right = ini.ReadInteger(section, QStringLiteral("Right"), 0);
    qint64 bottom = ini.ReadInteger(section, QStringLiteral("Bottom"), 0);
    if (ini.ReadBool(section, QStringLiteral("Maximized"), window->isMaximized())) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }

    const QRect area = screen.Area;
    // Bottom 0 means nothing is stored; an empty, inside-out or absurdly
    // large rectangle can only come from a damaged file and counts the same.
    const qint64 limit = QWIDGETSIZE_MAX;
    if (bottom == 0 || right <= left || bottom <= top || right - left > limit
        || bottom - top > limit) {
        const QSize size = window->size();
        left = area.x() + (area.width() - size.width()) / 2;
        top = area.y() + (area.height() - size.height()) / 2;
        right = left + size.width();
        bottom = top + size.height();
    }

    const qint64 areaRight = qint64(area.x()) + area.width();
    const qint64 areaBottom = qint64(area.y()) + area.height();
    if (right > areaRight) {
        left -= right - areaRight;
        right = areaRight;
    }
    if (left < area.x()) {
        right += area.x() + 1 - left;
        left = area.x() + 1;
    }
    if (bottom > areaBottom) {
        top -= bottom - areaBottom;
        bottom = areaBottom;
    }
    if (top < area.y()) {
        bottom += area.y() + 1 - top;
        top = area.y() + 1;
    }
    window->setGeometry(int(left), int(top), int(right - left), int(bottom - top));
}
