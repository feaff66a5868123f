#include "Drawing.h"
#include "InputFile.h"

#include "design/GGraphc.h"
#include "storage/Filer.h"

#include <QFileInfo>

#include <cstdio>

void PrintError(const QString &message)
{
    std::fprintf(stderr, "qmtool: %s\n", message.toLocal8Bit().constData());
}

TLabelDocument::TLabelDocument()
{
    Panel()->SetDrawOutline(true);
    Panel()->SetShowGrid(false);
}

void TLabelDocument::Open(const QString &fileName)
{
    const QString openMessage = QStringLiteral("Unable to open ") + fileName
                                + QStringLiteral(". Possibly corrupted, posibly not a Quillmark file");
    const QString problem = inputfile::Problem(fileName, inputfile::MaxStreamBytes);
    if (!problem.isEmpty())
        throw EToolError(openMessage + QStringLiteral("\n(") + problem + QStringLiteral(")"));
    try {
        TGLabelObjectFiler filer;
        filer.ReadLabelFile(&mDesign.window(), Panel(), mLayout, fileName);
    } catch (const EStreamError &e) {
        throw EToolError(openMessage + QStringLiteral("\n(") + e.describe() + QStringLiteral(")"));
    } catch (const std::exception &e) {
        throw EToolError(openMessage + QStringLiteral("\n(") + QString::fromUtf8(e.what())
                         + QStringLiteral(")"));
    }
    Panel()->AttachObjects();
    Panel()->SettleObjects();

    const int ppi = TGGraphicControl::ScreenPixelsPerInch();
    if (mLayout.LabelShape == QLatin1String("RR"))
        Panel()->SetShape(lsRoundRect);
    else if (mLayout.LabelShape == QLatin1String("SR"))
        Panel()->SetShape(lsRectangle);
    else if (mLayout.LabelShape == QLatin1String("EL"))
        Panel()->SetShape(lsEllipse);
    const double width = mLayout.LabelWidth, height = mLayout.LabelHeight;
    if (!mLayout.IsUsable())
        throw EToolError(openMessage + QStringLiteral("\n(the label layout is not usable)"));
    Panel()->resize(RoundNearest(ppi * double(float(width))), RoundNearest(ppi * double(float(height))));
}
