#include "design/Gqmpanel32.h"

#include "design/GGraphc.h"
#include "design/GHandle.h"

#include <QCoreApplication>
#include <QSet>

namespace {

// Construction values go through the published property setters, so the
// panel needs no object library.
void setOrdinal(TGGraphicControl *o, const char *name, qint64 value)
{
    if (const TPropInfo *p = o->Properties().find(name))
        if (p->setOrd)
            p->setOrd(*o, value);
}

void setText(TGGraphicControl *o, const char *name, const QString &value)
{
    if (const TPropInfo *p = o->Properties().find(name))
        if (p->setString)
            p->setString(*o, value);
}

void copyFont(TGGraphicControl *o, const TFont &font)
{
    if (const TPropInfo *p = o->Properties().find("Font"))
        if (p->getObject)
            if (auto *f = dynamic_cast<TFont *>(p->getObject(*o)))
                f->Assign(font);
}

// Ordinals of the object classes' own enumerations.
constexpr qint64 stRectangleValue = 0, stRoundRectValue = 2, stEllipseValue = 4;
constexpr qint64 stVerticalValue = 1;

}  // namespace

TGQuillmarkPanel32::TGQuillmarkPanel32(QWidget *parent)
    : TGBasePanel(parent)
{
}

void TGQuillmarkPanel32::SetPanelState(TLPanelState state)
{
    if (state == mPanelState)
        return;
    mPanelState = state;
    SetPointing(state == psPointing);
}

QByteArray TGQuillmarkPanel32::ToolClassName(TLPanelState state)
{
    switch (state) {
    case psLabel: return "TGPLabel";
    case psSymbolLabel: return "TGSymbolLabel";
    case psCounterLabel: return "TGCounterLabel";
    case psMultiLineLabel: return "TGMultiLineLabel";
    case psRectangle:
    case psEllipse:
    case psRoundRectangle: return "TGLabelShapes";
    case psLine: return "TGLineShape";
    case psImage: return "TGImage";
    case psSuperShape: return "TSuperShape";
    case psRichLabel: return "TGPRichBaseLabel";
    case psSuperText: return "TGSuperText";
    case psCircleText: return "TGPCircleText";
    case psBarcode: return "TGBarcode";
    case psPointing: break;
    }
    return QByteArray();
}

QString TGQuillmarkPanel32::FreeObjectName() const
{
    // The panel's names once, not once per candidate.
    QSet<QString> panelNames;
    for (const TGGraphicControl *o : Objects())
        panelNames.insert(o->Name().toCaseFolded());
    for (int n = 1; n <= 1000; ++n) {
        const QString name = QStringLiteral("Special%1").arg(n);
        const bool used = (ObjectOwner() && ObjectOwner()->FindComponent(name))
                          || panelNames.contains(name.toCaseFolded());
        if (!used)
            return name;
    }
    return QString();
}

void TGQuillmarkPanel32::CreateObjectFromRect(const QRect &rect)
{
    const QByteArray className = ToolClassName(mPanelState);
    if (className.isEmpty())
        return;
    QRect r = rect;
    if (r.width() < 25)
        r.setWidth(50);
    if (r.height() < 15)
        r.setHeight(15);

    TGGraphicControl *o = nullptr;
    try {
        TComponent *c = TClassRegistry::instance().Create(className, ObjectOwner());
        o = dynamic_cast<TGGraphicControl *>(c);
        if (!o) {
            delete c;
            return;
        }
    } catch (const EStreamError &) {
        return;  // the tool's class is not part of this build
    }

    const TLPanelState tool = mPanelState;
    switch (tool) {
    case psRectangle: setOrdinal(o, "Shape", stRectangleValue); break;
    case psEllipse: setOrdinal(o, "Shape", stEllipseValue); break;
    case psRoundRectangle: setOrdinal(o, "Shape", stRoundRectValue); break;
    case psLine: setOrdinal(o, "LineStyle", stVerticalValue); break;
    default: break;
    }
    o->FinishLoading();
    switch (tool) {
    case psLabel:
        setText(o, "Caption", QStringLiteral("<text>"));
        copyFont(o, Font());
        break;
    case psCounterLabel:
        setOrdinal(o, "Startingnumber", 1000);
        setText(o, "TextBefore", QString());
        setText(o, "TextAfter", QString());
        copyFont(o, Font());
        break;
    case psMultiLineLabel:
        copyFont(o, Font());
        break;
    case psBarcode:
        setText(o, "Data", QStringLiteral("12345678"));
        break;
    default: break;
    }

    // Place it.
    o->hide();
    o->setParent(this);
    const QString name = FreeObjectName();
    if (!name.isEmpty())
        o->SetName(name);
    o->SetTop(r.top());
    o->SetLeft(r.left());
    o->SetWidth(r.width());
    o->SetHeight(r.height());
    if (o->Width() < 10)
        o->SetWidth(10);
    if (o->Height() < 15)
        o->SetHeight(15);
    AttachObject(o);
    o->show();
    KeepFrameOnTop();
    NotifyLabelChanged();
    QCoreApplication::processEvents();

    const bool shapeTool = tool == psRectangle || tool == psEllipse || tool == psRoundRectangle ||
                           tool == psLine;
    if (shapeTool)
        return;
    unsetCursor();
    SetPanelState(psPointing);
    if (!o->EditNew() && tool == psImage) {
        Selection()->RemoveFromSelection(o);
        delete o;
    }
}
