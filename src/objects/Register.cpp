#include "objects/Register.h"

#include "objects/graphic/Gimage.h"
#include "objects/graphic/Glines.h"
#include "objects/graphic/Glshapes.h"
#include "objects/text/Gpclabel.h"
#include "objects/text/Gplabel.h"
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
    registry.Register("TGImage", [](TComponent *owner) { return new TGImage(owner); });
    RegisterPictureClasses();
}
