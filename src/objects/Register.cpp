#include "objects/Register.h"

#include "objects/graphic/Gbarcode.h"
#include "objects/graphic/Gimage.h"
#include "objects/graphic/Glines.h"
#include "objects/graphic/Glshapes.h"
#include "objects/graphic/Gsshape.h"
#include "objects/graphic/gsstext.h"
#include "objects/text/Gpcirct.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
#include "objects/text/Gprichl.h"
#include "objects/text/Gpmlabel.h"
#include "objects/text/Gpslabel.h"
#include "storage/Persist.h"
#include "storage/Pictures.h"

void RegisterLabelClasses()
{
    TClassRegistry &registry = TClassRegistry::instance();
    registry.Register("TGLineShape", [](TComponent *owner) { return new TGLineShape(owner); });
    registry.Register("TGLabelShapes", [](TComponent *owner) { return new TGLabelShapes(owner); });
    registry.Register("TGPLabel", [](TComponent *owner) { return new TGPLabel(owner); });
    registry.Register("TGSymbolLabel", [](TComponent *owner) { return new TGSymbolLabel(owner); });
    registry.Register("TGCounterLabel", [](TComponent *owner) { return new TGCounterLabel(owner); });
    registry.Register("TGPRichBaseLabel", [](TComponent *owner) { return new TGPRichBaseLabel(owner); });
    registry.Register("TGMultiLineLabel", [](TComponent *owner) { return new TGMultiLineLabel(owner); });
    registry.Register("TGPCircleText", [](TComponent *owner) { return new TGPCircleText(owner); });
    registry.Register("TGImage", [](TComponent *owner) { return new TGImage(owner); });
    registry.Register("TSuperShape", [](TComponent *owner) { return new TSuperShape(owner); });
    registry.Register("TGSuperText", [](TComponent *owner) { return new TGSuperText(owner); });
    registry.Register("TGBarcode", [](TComponent *owner) { return new TGBarcode(owner); });
    RegisterPictureClasses();
}
