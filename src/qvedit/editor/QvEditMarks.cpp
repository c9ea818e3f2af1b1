// Placeholder: the mark list's and the plug-in's construction and destruction only, and
// raising stand-ins for the marks' operations, so that the editor can be built before this
// unit is written. The unit's owner replaces this whole file.
#include "qvedit/editor/QvEditMarks.h"

#include "qvedit/editor/QvEdit.h"

#include <algorithm>

TQvEditMark::TQvEditMark(TCustomQvEdit* AOwner) : edit_(AOwner)
{
    QvEditNotBuilt("TQvEditMark");
}

TCustomQvEdit* TQvEditMark::GetEdit() { QvEditNotBuilt("TQvEditMark::GetEdit"); }

void TQvEditMark::SetLine(Integer) { QvEditNotBuilt("TQvEditMark::SetLine"); }

void TQvEditMark::SetColumn(Integer) { QvEditNotBuilt("TQvEditMark::SetColumn"); }

void TQvEditMark::SetImage(Integer) { QvEditNotBuilt("TQvEditMark::SetImage"); }

TQvEditMarkList::TQvEditMarkList(TCustomQvEdit* AOwner) : edit_(AOwner)
{
}

TQvEditMarkList::~TQvEditMarkList()
{
    for (int i = 0; i < Count(); ++i)
        delete Get(i);
}

TQvEditPlugin::TQvEditPlugin(TCustomQvEdit* AOwner) : owner_(AOwner)
{
    if (owner_ != nullptr)
        owner_->plugins_.push_back(this);
}

TQvEditPlugin::~TQvEditPlugin()
{
    if (owner_ != nullptr)
        std::erase(owner_->plugins_, this);
}
