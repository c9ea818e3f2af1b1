// TQvEditRegexSearch: the search engine for regular expressions, over a TRegex. It lists
// every match of the expression in one line (empty matches too), and makes the replacement
// of a listed match from that match in its line with substitution ("$1", "${1}", "$&" and
// "\" escapes), so that anchors, word boundaries and empty matches are judged as when the
// whole line is searched. Whole word is not offered: the expression says it.
#pragma once

#include "qvedit/core/QvEditTypes.h"
#include "qvedit/search/QvRegex.h"

#include <memory>
#include <string>
#include <vector>

class TQvEditRegexSearch : public TQvEditSearchCustom {
public:
    explicit TQvEditRegexSearch(TComponent* AOwner);
    ~TQvEditRegexSearch() override;

    // The expression; it is compiled by the next search, which raises ERegex when it is
    // invalid.
    std::string GetPattern() const override;
    void SetPattern(const std::string& Value) override;
    // An index outside the results raises EListError.
    Integer GetLength(Integer Index) const override;
    Integer GetResult(Integer Index) const override;
    Integer GetResultCount() const override { return static_cast<Integer>(positions_.size()); }
    // Case-insensitive unless ssoMatchCase; every other option is ignored.
    void SetOptions(TQvSearchOptions Value) override;
    // Raises ERegex when the expression is invalid or a search runs out of its bounds; the
    // matches found before stay listed.
    Integer FindAll(const std::string& NewText) override;
    // Replaces the editor's selection by every match in it replaced, the expression run on
    // the selected text alone.
    void Replace(const std::string& aReplacement, TObject* AEditor) override;
    // The replacement with its references to groups filled in from match Index of the last
    // FindAll: the expression is run again on that line from the match's position, which
    // finds the same match. An index outside the results raises EListError.
    std::string ReplacementFor(Integer Index, const std::string& aReplacement) override;

    // One operation of the editor's driver (a find, a replace-all). Each search within it
    // (one FindAll, one Replace) keeps the bound it has alone, and all of them together
    // share the operation's (see TRegex::BeginOperation), grown for every byte given to
    // FindAll. Ordinary expressions never reach it, whatever the size of the text; an
    // expression that is costly on every line ends the operation with the engine's error
    // after a bounded time instead of running line after line. Pairs nest;
    // TQvRegexSearchOperation holds one for a scope.
    void BeginOperation();
    void EndOperation();
    // The engine's work in the open operation (outside one: since the last FindAll), as
    // TRegex counts it: steps, and bytes scanned for where a match may begin.
    long StepsUsed() const { return regex_->StepsUsed(); }
    long BytesScanned() const { return regex_->BytesScanned(); }

private:
    static void CheckIndex(const std::vector<Integer>& List, Integer Index);

    std::unique_ptr<TRegex> regex_;
    // The line of the last FindAll is regex_'s input (Replace runs on another TRegex).
    std::vector<Integer> positions_;
    std::vector<Integer> lengths_;
};

// Holds one operation of an engine for a scope; does nothing for an engine that is not
// the regular-expression engine (or none).
class TQvRegexSearchOperation {
public:
    explicit TQvRegexSearchOperation(TQvEditSearchCustom* AEngine)
        : engine_(dynamic_cast<TQvEditRegexSearch*>(AEngine))
    {
        if (engine_ != nullptr)
            engine_->BeginOperation();
    }
    ~TQvRegexSearchOperation()
    {
        if (engine_ != nullptr)
            engine_->EndOperation();
    }
    TQvRegexSearchOperation(const TQvRegexSearchOperation&) = delete;
    TQvRegexSearchOperation& operator=(const TQvRegexSearchOperation&) = delete;

private:
    TQvEditRegexSearch* engine_;
};
