#pragma once
// The design surface's own cursors.

#include <QCursor>

// Pointing hand: over objects and while a rubber band is drawn.
QCursor HandPointCursor();
// Grabbing hand: over the selection frame.
QCursor HandGrabCursor();
// The cursor of the panel while a drawing tool is active.
QCursor DrawingToolCursor();
