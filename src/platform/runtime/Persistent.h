// TPersistent: an object whose state can be copied from another through Assign.
#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

class TPersistent : public TObject {
public:
    // Copies Source into this object. A class that knows how overrides Assign;
    // otherwise the source may know how to copy itself here (AssignTo).
    virtual void Assign(TPersistent* Source)
    {
        if (Source != nullptr)
            Source->AssignTo(this);
        else
            AssignError(nullptr);
    }

protected:
    virtual void AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

    void AssignError(TPersistent* Source)
    {
        throw EConvertError(std::string("Cannot assign ") + (Source ? "an object" : "nil") +
                            " to this object");
    }
};
