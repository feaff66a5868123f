#include "Drawing.h"
#include "Commands.h"

#include "controls/Fonts.h"
#include "design/GGraphc.h"
#include "objects/Register.h"
#include "print/LabelRun.h"
#include "storage/Filer.h"

#include <QFileInfo>

#include <cstdio>

namespace {

// The name space of the objects read; it is nothing else.
class TDocumentOwner : public TComponent
{
public:
    QByteArray ClassName() const override { return "TLabelDocument"; }
    const TPropertyTable &Properties() const override
    {
        static const TPropertyTable table(nullptr, {});
        return table;
    }
};

}  // namespace

void SetUpDrawing()
{
    RegisterLabelClasses();
    InstallFontSubstitutions();
}

void PrintError(const QString &message)
{
    std::fprintf(stderr, "qmtool: %s\n", message.toLocal8Bit().constData());
}

TLabelDocument::TLabelDocument()
    : mOwner(std::make_unique<TDocumentOwner>()), mPanel(std::make_unique<TGQuillmarkPanel32>())
{
    mPanel->SetObjectOwner(mOwner.get());
    mPanel->SetDrawOutline(true);
    mPanel->SetShowGrid(false);
    // The program's clipboard file is not the tool's to delete.
    DetachScratchFiles(mPanel.get());
}

TLabelDocument::~TLabelDocument()
{
    // The objects go with the panel, before their owner.
    mPanel.reset();
}

void TLabelDocument::Open(const QString &fileName)
{
    const QString openMessage = QStringLiteral("Unable to open ") + fileName
                                + QStringLiteral(". Possibly corrupted, posibly not a Quillmark file");
    const QFileInfo info(fileName);
    if (!info.isFile())
        throw EToolError(openMessage + QStringLiteral("\n(the file does not exist)"));
    try {
        TGLabelObjectFiler filer;
        filer.ReadLabelFile(mOwner.get(), mPanel.get(), mLayout, fileName);
    } catch (const std::exception &e) {
        throw EToolError(openMessage + QStringLiteral("\n(") + QString::fromUtf8(e.what())
                         + QStringLiteral(")"));
    }
    mPanel->AttachObjects();

    const int ppi = TGGraphicControl::ScreenPixelsPerInch();
    if (mLayout.LabelShape == QLatin1String("RR"))
        mPanel->SetShape(lsRoundRect);
    else if (mLayout.LabelShape == QLatin1String("SR"))
        mPanel->SetShape(lsRectangle);
    else if (mLayout.LabelShape == QLatin1String("EL"))
        mPanel->SetShape(lsEllipse);
    const double width = mLayout.LabelWidth, height = mLayout.LabelHeight;
    if (!(width > 0 && height > 0 && width <= 100 && height <= 100))
        throw EToolError(openMessage + QStringLiteral("\n(the label size is not usable)"));
    mPanel->resize(RoundNearest(ppi * double(float(width))), RoundNearest(ppi * double(float(height))));
}
