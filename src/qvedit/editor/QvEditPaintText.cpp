// The text area of the paint pass: token runs, selection, special lines, glyphs and the
// right edge.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::PaintTextLines(TRect, Integer, Integer, Integer, Integer)
{
    QvEditNotBuilt("PaintTextLines");
}
