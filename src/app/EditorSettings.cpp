#include "app/EditorSettings.h"

#include "qvedit/editor/QvEdit.h"

void ApplyEditingSettings(TCustomQvEdit& Editor)
{
    Editor.SetTabWidth(2);
    Editor.SetWantTabs(true);
    Editor.SetMaxLineWidth(100000);
    TQvEditorOptions options;
    for (TQvEditorOption option :
         {eoAltSetsColumnMode, eoAutoIndent, eoDragDropEditing, eoDropFiles, eoEnhanceHomeKey, eoGroupUndo,
          eoHalfPageScroll, eoHideShowScrollbars, eoRightMouseMovesCursor, eoScrollPastEol, eoSmartTabDelete,
          eoSmartTabs, eoSpecialLineDefaultFg, eoTabIndent, eoTabsToSpaces, eoTrimTrailingSpaces,
          eoHighlightCurrentLine})
        options.Include(option);
    Editor.SetOptions(options);
}
