// TQvEditSearch: the search engine for plain text. It finds every non-overlapping
// occurrence of a pattern in one line at a time, with or without case (folded through the
// ANSI code page) and optionally as a whole word, by a Boyer-Moore-Horspool scan with a
// Sunday step: the window's last character is compared first and the window skips by
// table look-ups.
#pragma once

#include "qvedit/core/QvEditTypes.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// What the engines' Replace needs of the editor control passed to it: its selected text,
// and replacing the selection inside one undo block. The editor library defines them;
// an object that is not an editor control raises EQvEditError.
std::string QvEditGetSelText(TObject* AEditor);
void QvEditSetSelTextExternal(TObject* AEditor, const std::string& Value);

class TQvEditSearch : public TQvEditSearchCustom {
public:
    explicit TQvEditSearch(TComponent* AOwner);

    std::string GetPattern() const override { return pattern_; }
    // A different pattern invalidates the shift table; every call resets the match count.
    void SetPattern(const std::string& Value) override;
    // The pattern's length, for every index.
    Integer GetLength(Integer Index) const override;
    // 0 for an index outside the results.
    Integer GetResult(Integer Index) const override;
    Integer GetResultCount() const override { return static_cast<Integer>(results_.size()); }
    // Reads ssoMatchCase and ssoWholeWord; the rest belongs to the editor's driver.
    void SetOptions(TQvSearchOptions Value) override;
    Integer FindAll(const std::string& NewText) override;
    // Replaces the editor's selection by the replacement, as it stands.
    void Replace(const std::string& aReplacement, TObject* AEditor) override;

    // The 1-based position of the first match in Text (0 = none); an empty pattern raises
    // "Pattern is empty". Next continues after the last match found.
    Integer FindFirst(const std::string& Text);
    Integer Next();
    // Subtracts Delta from every stored position above First.
    void FixResults(Integer First, Integer Delta);
    // True when the scan has reached the end of the text, or the pattern is not shorter
    // than the text.
    bool Finished() const;
    // The bytes of text the scans have read, over the engine's life: the work of its
    // searches, which skip most of a text's bytes.
    long BytesScanned() const { return bytesScanned_; }

private:
    void MakeCompTable(bool Sensitive);
    void MakeDelimiterTable();
    void InitShiftTable();
    unsigned char Fold(std::ptrdiff_t At) const
    {
        ++bytesScanned_;
        return compTable_[static_cast<unsigned char>(text_[static_cast<std::size_t>(At)])];
    }
    bool IsDelimiter(std::ptrdiff_t At) const
    {
        return delimTable_[static_cast<unsigned char>(text_[static_cast<std::size_t>(At)])];
    }
    bool WindowMatches(std::ptrdiff_t Last) const;

    std::string pattern_;
    std::string foldedPattern_;
    std::ptrdiff_t patLen_ = 0;
    std::ptrdiff_t lookAt_ = 0;  // the step after a failed full comparison
    std::array<unsigned char, 256> compTable_{};
    bool sensitive_ = false;
    std::array<bool, 256> delimTable_{};
    bool wholeWord_ = false;
    std::array<std::ptrdiff_t, 256> shift_{};
    bool shiftInitialized_ = false;

    // The text being scanned (a copy: Next may be called after the caller's text is gone),
    // the 0-based index of the last character of the window being tested, and the count.
    std::string text_;
    std::ptrdiff_t run_ = 0;
    Integer count_ = 0;
    std::vector<Integer> results_;
    mutable long bytesScanned_ = 0;
};
