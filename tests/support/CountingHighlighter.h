// A highlighter that counts the calls of Next made through the highlighter interface:
// the work of a scan that goes token by token.
#pragma once

#include "platform/runtime/Classes.h"

template <class THighlighter>
class TCountingHighlighter : public THighlighter {
public:
    explicit TCountingHighlighter(TComponent* AOwner) : THighlighter(AOwner) {}
    void Next() override
    {
        ++NextCalls;
        THighlighter::Next();
    }
    int NextCalls = 0;
};
