// Placeholder definitions that let the library link until this unit is written: each
// raises EQvEditError naming the operation. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEdit.h"

void TCustomQvEdit::SetSearchEngine(TQvEditSearchCustom*) { QvEditNotBuilt("SetSearchEngine"); }

void TCustomQvEdit::FindMatchingBracket() { QvEditNotBuilt("FindMatchingBracket"); }

TPoint TCustomQvEdit::GetMatchingBracket() { QvEditNotBuilt("GetMatchingBracket"); }

TPoint TCustomQvEdit::GetMatchingBracketEx(const TPoint&, bool) { QvEditNotBuilt("GetMatchingBracketEx"); }

TQvReplaceAction TCustomQvEdit::DoOnReplaceText(const std::string&, const std::string&, Integer, Integer)
{
    QvEditNotBuilt("DoOnReplaceText");
}
