#include "Icons.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>

// Resources of a static library are registered by hand, outside any namespace.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

void initResources()
{
    static const bool done = [] {
        initIconResources();
        return true;
    }();
    Q_UNUSED(done);
}

// The set's palette. Ink (outlines, strokes) and paper (the white inside
// of a page or frame) are swapped on a dark palette; the accent colours
// read on both and stay.
constexpr char InkColor[] = "#2e3436";
constexpr char PaperColor[] = "#ffffff";
constexpr char DarkInkColor[] = "#eeeeec";
constexpr char DarkPaperColor[] = "#3d4246";

// Commands whose picture a freedesktop icon theme may have.
const QHash<QString, QString> &themeNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("new"), QStringLiteral("document-new")},
        {QStringLiteral("open"), QStringLiteral("document-open")},
        {QStringLiteral("save"), QStringLiteral("document-save")},
        {QStringLiteral("saveas"), QStringLiteral("document-save-as")},
        {QStringLiteral("print"), QStringLiteral("document-print")},
        {QStringLiteral("delete"), QStringLiteral("edit-delete")},
        {QStringLiteral("exit"), QStringLiteral("application-exit")},
        {QStringLiteral("undo"), QStringLiteral("edit-undo")},
        {QStringLiteral("redo"), QStringLiteral("edit-redo")},
        {QStringLiteral("copy"), QStringLiteral("edit-copy")},
        {QStringLiteral("zoomin"), QStringLiteral("zoom-in")},
        {QStringLiteral("zoomout"), QStringLiteral("zoom-out")},
        {QStringLiteral("zoomwidth"), QStringLiteral("zoom-fit-width")},
        {QStringLiteral("zoompage"), QStringLiteral("zoom-fit-best")},
        {QStringLiteral("first"), QStringLiteral("go-first")},
        {QStringLiteral("previous"), QStringLiteral("go-previous")},
        {QStringLiteral("next"), QStringLiteral("go-next")},
        {QStringLiteral("last"), QStringLiteral("go-last")},
        {QStringLiteral("help"), QStringLiteral("help-contents")},
        {QStringLiteral("about"), QStringLiteral("help-about")},
        {QStringLiteral("faq"), QStringLiteral("help-faq")},
        {QStringLiteral("font"), QStringLiteral("preferences-desktop-font")},
        {QStringLiteral("ok"), QStringLiteral("dialog-ok")},
        {QStringLiteral("cancel"), QStringLiteral("dialog-cancel")},
        {QStringLiteral("website"), QStringLiteral("internet-web-browser")},
    };
    return names;
}

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

// Draws the SVG at the size asked for, so that a 2x screen gets a picture
// drawn at twice the pixels rather than one scaled up.
class TSvgIconEngine : public QIconEngine
{
public:
    explicit TSvgIconEngine(const QByteArray &svg) : mSvg(svg), mId(qHash(svg)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const bool dark = IsDarkPalette(QGuiApplication::palette());
        QSvgRenderer &r = renderer(dark);
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        r.render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        if (size.isEmpty())
            return QPixmap();
        const bool dark = IsDarkPalette(QGuiApplication::palette());
        const QString key = QStringLiteral("qmicon:%1:%2x%3:%4:%5")
                                .arg(mId)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(int(mode))
                                .arg(dark ? 1 : 0);
        QPixmap pm;
        if (QPixmapCache::find(key, &pm))
            return pm;
        pm = QPixmap(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            paint(&p, QRect(QPoint(), size), mode, state);
        }
        QPixmapCache::insert(key, pm);
        return pm;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QIconEngine *clone() const override { return new TSvgIconEngine(mSvg); }
    QString key() const override { return QStringLiteral("QuillmarkSvg"); }

private:
    QSvgRenderer &renderer(bool dark)
    {
        QSvgRenderer &r = dark ? mDark : mLight;
        if (!r.isValid()) {
            QByteArray svg = mSvg;
            if (dark) {
                svg.replace(InkColor, DarkInkColor);
                svg.replace(PaperColor, DarkPaperColor);
            }
            r.load(svg);
        }
        return r;
    }

    QByteArray mSvg;
    size_t mId;
    QSvgRenderer mLight;
    QSvgRenderer mDark;
};

}  // namespace

bool IsDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QIcon ProgramSvgIcon(const QString &name)
{
    initResources();
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return *it;
    QFile f(resourcePath(name));
    QIcon icon;
    if (f.open(QIODevice::ReadOnly))
        icon = QIcon(new TSvgIconEngine(f.readAll()));
    cache.insert(name, icon);
    return icon;
}

QIcon ProgramIcon(const QString &name)
{
    const QIcon ours = ProgramSvgIcon(name);
    const QString standard = ProgramIconThemeName(name);
    if (ours.isNull() || standard.isEmpty())
        return ours;
    return QIcon::fromTheme(standard, ours);
}

QString ProgramIconThemeName(const QString &name)
{
    return themeNames().value(name);
}

QStringList ProgramIconNames()
{
    initResources();
    QStringList names;
    const QStringList files = QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (const QString &f : files)
        names << f.chopped(4);
    return names;
}
