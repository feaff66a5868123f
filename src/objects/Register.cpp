#include "objects/Register.h"

#include "objects/graphic/Glines.h"
#include "objects/graphic/Glshapes.h"
#include "storage/Persist.h"

void RegisterLabelClasses()
{
    TClassRegistry &registry = TClassRegistry::instance();
    registry.Register("TGLineShape", [](TComponent *owner) { return new TGLineShape(owner); });
    registry.Register("TGLabelShapes", [](TComponent *owner) { return new TGLabelShapes(owner); });
}
