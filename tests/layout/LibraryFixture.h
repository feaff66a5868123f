#pragma once
// Small template libraries written by the tests themselves.

#include "storage/LabelLayout.h"
#include "storage/Stream.h"

#include <QFile>
#include <QList>

inline TLabelLayout fixtureTemplate(const QString &name, const QString &printer,
                                    const QString &paper, const QString &product,
                                    double width = 2.625, double height = 1)
{
    TLabelLayout t;
    t.Name = name;
    t.LabelHeight = height;
    t.LabelWidth = width;
    t.Across = 3;
    t.Down = 10;
    t.TopMargin = 0.5;
    t.LeftMargin = 0.1875;
    t.HorizontalPitch = 2.75;
    t.VerticalPitch = 1;
    t.PageWidth = 8.5;
    t.PageHeight = 11;
    t.PrinterType = printer;
    t.PaperSize = paper;
    t.LabelShape = QStringLiteral("RR");
    t.ProductType = product;
    return t;
}

inline QByteArray libraryBytes(const QList<TLabelLayout> &templates)
{
    PropertyWriter w;
    w.writeListBegin();
    for (const TLabelLayout &t : templates)
        t.Write(w);
    w.writeListEnd();
    return w.data();
}

inline bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile f(fileName);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Twelve templates covering the filters' corner cases.
inline QList<TLabelLayout> fixtureLibrary()
{
    const QString address = QStringLiteral("ADDRESS/SHIPPING LABELS");
    const QString labels = QStringLiteral("ADDRESS LABELS");
    return {
        fixtureTemplate(QStringLiteral("Avery 5160 Address"), "LJ", "LTR", address, 2.625),  // 1
        fixtureTemplate(QStringLiteral("Avery 5163 Shipping"), "LJ", "LTR", address, 4, 2),
        fixtureTemplate(QStringLiteral("Avery 8160 Inkjet Address"), "IJ", "LTR", address),
        fixtureTemplate(QStringLiteral("Avery L7160 Address"), "LJ", "A4", labels),
        fixtureTemplate(QStringLiteral("Avery 5196 Diskette"), "LJ", "LTR", "DISKETTE LABELS"),  // 5
        fixtureTemplate(QStringLiteral("Avery 5066 File Folder"), "LJ", "LTR", "FILE FOLDER LABELS"),
        fixtureTemplate(QStringLiteral("Avery L7171 Lever Arch"), "LJ", "A4", "LEVER ARCH FILE LABELS"),
        fixtureTemplate(QStringLiteral("Herma 4360 Lowercase"), "LJ", "a4", labels),
        fixtureTemplate(QStringLiteral("Herma 4360 Lowercase Wide"), "LJ", "a4", labels),
        fixtureTemplate(QStringLiteral("Avery 5371 Business Card"), "LJ", "LTR", "BUSINESS CARDS"),  // 10
        fixtureTemplate(QStringLiteral("Avery J8160 Inkjet A5"), "IJ", "A5", labels),
        fixtureTemplate(QStringLiteral("Avery badge Holder"), "LJ", "LTR", "MISC NAME BADGES"),
    };
}
