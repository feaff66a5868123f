// The label-art pictures: names, proportions and what rendering yields.

#include "CsvTable.h"

#include "layout/LabelArt.h"

#include <QSvgRenderer>
#include <QTest>

namespace {

const QStringList ArtNames = {
    "AV12295", "AV12297", "AV2180", "AV4160", "AV4161", "AV4168", "AV4169", "AV4266", "AV5097",
    "AV5196", "AV5198", "AV5305", "AV5385", "AV5386", "AV5391", "AV5766", "AV5776", "AV5824",
    "AV5895", "AV5896", "AV8166", "AVWSD5", "AVWSD8", "AVWSI13", "AVWSI15"};

const QRgb Silver = qRgb(192, 192, 192);
const QRgb White = qRgb(255, 255, 255);

}  // namespace

// TestLabelArt: the built-in label-art pictures.
class TestLabelArt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesAreTheBuiltInPictures()
    {
        QStringList names = LabelArtNames();
        QStringList expected = ArtNames;
        names.sort();
        expected.sort();
        QCOMPARE(names, expected);
    }

    void pictureNames_data()
    {
        QTest::addColumn<QString>("artName");
        QTest::addColumn<QString>("picture");
        QTest::newRow("plain") << "AV5824" << "AV5824";
        QTest::newRow("lower case with extension") << "av5196.bmp" << "AV5196";
        QTest::newRow("two dots") << "AvWsI13.x.y" << "AVWSI13";
        QTest::newRow("not built in") << "AV5160" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("leading dot") << ".AV5196" << "";
        QTest::newRow("prefix of a name") << "AV519" << "";
    }

    void pictureNames()
    {
        QFETCH(QString, artName);
        QFETCH(QString, picture);
        QCOMPARE(LabelArtPicture(artName), picture);
        QCOMPARE(RenderLabelArt(artName, QSize(40, 30), QStringLiteral("SR")).isNull(),
                 picture.isEmpty());
    }

    // Every picture has the proportions of the labels that carry it.
    void proportions()
    {
        int checked = 0;
        for (const QStringList &row : templateTableRows()) {
            if (row.size() != 18 || row.at(17).isEmpty())
                continue;
            const QString picture = LabelArtPicture(row.at(17));
            QVERIFY2(!picture.isEmpty(), qPrintable(row.at(17)));
            const QSizeF size =
                QSvgRenderer(QStringLiteral(":/labelart/") + picture).viewBoxF().size();
            const double labelRatio = row.at(2).toDouble() / row.at(1).toDouble();
            QVERIFY2(qAbs(size.width() / size.height() / labelRatio - 1) < 0.02,
                     qPrintable(picture));
            ++checked;
        }
        QCOMPARE(checked, 15);
    }

    void rendering_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shape");
        for (const QString &name : ArtNames) {
            for (const char *shape : {"RR", "SR", "EL"})
                QTest::addRow("%s %s", qPrintable(name), shape)
                    << name << QString::fromLatin1(shape);
        }
    }

    void rendering()
    {
        QFETCH(QString, name);
        QFETCH(QString, shape);
        const QSize size(250, 100);
        const QImage art = RenderLabelArt(name, size, shape);
        QCOMPARE(art.size(), size);
        int silver = 0, white = 0;
        for (int y = 0; y < art.height(); ++y) {
            for (int x = 0; x < art.width(); ++x) {
                const QRgb p = art.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                QVERIFY2(p == Silver || p == White, qPrintable(QString::number(p, 16)));
                ++(p == Silver ? silver : white);
            }
        }
        // Outlines, not blots: something is drawn and most is left white.
        QVERIFY(silver > 0);
        QVERIFY(white > silver);

        const bool cornerShown = qAlpha(art.pixel(0, 0)) != 0;
        QCOMPARE(cornerShown, shape == QLatin1String("SR"));
        QCOMPARE(qAlpha(art.pixel(125, 50)), 255);
        // Rounded corners are 24 pixels across: the edge is inside soon after.
        QCOMPARE(qAlpha(art.pixel(12, 0)) != 0, shape != QLatin1String("EL"));
    }

    void unknownShapeIsRectangle()
    {
        const QImage art = RenderLabelArt("AV5305", QSize(90, 50), "XX");
        QCOMPARE(qAlpha(art.pixel(0, 0)), 255);
        QCOMPARE(qAlpha(art.pixel(89, 49)), 255);
    }

    void emptySizeGivesNoArt()
    {
        QVERIFY(RenderLabelArt("AV5305", QSize(0, 50), "SR").isNull());
        QVERIFY(RenderLabelArt("AV5305", QSize(-3, -3), "SR").isNull());
    }
};

QObject *newLabelArtTest()
{
    return new TestLabelArt;
}

#include "tst_labelart.moc"
