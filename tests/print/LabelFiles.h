#pragma once
// Designs for the print tests, made of the program's real label objects and
// written with its own label file writer; and reading printed PDF files
// back with the poppler tools.

#include "design/Gbasepnl.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
#include "storage/Filer.h"
#include "storage/LabelLayout.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

template <class T>
T *AddObject(TGBasePanel &panel, QRect bounds)
{
    auto *o = new T();
    o->SetParentComponent(&panel);
    o->FinishLoading();
    o->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    return o;
}

inline TGLabelShapes *AddRectangle(TGBasePanel &panel, QRect bounds, TColor fill = cl::Black)
{
    auto *shape = AddObject<TGLabelShapes>(panel, bounds);
    TBrush brush;
    brush.SetColor(fill);
    brush.SetStyle(bsSolid);
    shape->SetBrush(brush);
    return shape;
}

inline TGCounterLabel *AddCounter(TGBasePanel &panel, QRect bounds, int start,
                                  const QString &before = QString())
{
    auto *counter = AddObject<TGCounterLabel>(panel, bounds);
    counter->SetStartingnumber(start);
    counter->SetTextBefore(before);
    counter->BuildCaption();
    return counter;
}

inline TGPLabel *AddText(TGBasePanel &panel, QRect bounds, const QString &text, int angle = 0)
{
    auto *label = AddObject<TGPLabel>(panel, bounds);
    label->SetCaption(text);
    label->SetAngle(angle);
    return label;
}

// A word of a PDF page and where pdftotext found it, in points.
struct TPdfWord
{
    int page = 0;  // from 1
    QString text;
    QRectF box;
};

inline QString Tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Every word of the file with its box (pdftotext -bbox).
inline QList<TPdfWord> PdfWords(const QString &pdf)
{
    QProcess p;
    p.start(Tool("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<TPdfWord> words;
    int page = 0;
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(5),
                      QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// "Pages:" and "Page size:" of pdfinfo.
inline int PdfPageCount(const QString &pdf, QSizeF *pageSize = nullptr)
{
    QProcess p;
    p.start(Tool("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const auto pages = QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))")).match(info);
    const auto size = QRegularExpression(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+))")).match(info);
    if (pageSize && size.hasMatch())
        *pageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// One page of the file rasterized at dpi pixels per inch (pdftoppm).
inline QImage PdfPage(const QString &pdf, int page, int dpi, const QString &scratchPrefix)
{
    QProcess::execute(Tool("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"),
                                         QString::number(dpi), QStringLiteral("-f"),
                                         QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), QStringLiteral("-singlefile"), pdf,
                                         scratchPrefix});
    return QImage(scratchPrefix + QStringLiteral(".png"));
}

// Dark pixel at (x, y) inches from the page's top-left corner.
inline bool DarkAt(const QImage &page, int dpi, double x, double y)
{
    const QPoint p(qRound(x * dpi), qRound(y * dpi));
    return page.rect().contains(p) && qGray(page.pixel(p)) < 100;
}
