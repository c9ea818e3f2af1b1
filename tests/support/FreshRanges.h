// The ranges a buffer stores against those a fresh highlighter gives scanning the whole
// text from the top: what every rescan must leave, however the change came.
#pragma once

#include "qvedit/core/QvEditHighlighter.h"
#include "qvedit/core/QvEditTextBuffer.h"

#include <gtest/gtest.h>

#include <string>

// Fresh: a highlighter of the class under test that has scanned nothing of Lines.
inline ::testing::AssertionResult RangesOfAFreshScan(TQvEditStringList& Lines, TQvCustomHighlighter& Fresh)
{
    Fresh.ResetRange();
    std::string line;
    for (Integer i = 0; i < Lines.GetCount(); ++i) {
        line = Lines.Get(i);
        Fresh.ScanLine(line, i);
        const auto range = static_cast<Integer>(Fresh.GetRange());
        if (Lines.GetRange(i) != range)
            return ::testing::AssertionFailure() << "line " << i + 1 << " `" << line << "` stores "
                                                 << Lines.GetRange(i) << ", a fresh scan ends it in " << range;
    }
    return ::testing::AssertionSuccess();
}
