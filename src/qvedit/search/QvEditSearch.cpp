// The plain search engine (see QvEditSearch.h).
#include "qvedit/search/QvEditSearch.h"

#include "platform/runtime/CodePages.h"

TQvEditSearch::TQvEditSearch(TComponent* AOwner) : TQvEditSearchCustom(AOwner)
{
    MakeCompTable(false);
    MakeDelimiterTable();
}

// ---- Tables ----------------------------------------------------------------------------------

void TQvEditSearch::MakeCompTable(bool Sensitive)
{
    char table[256];
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<char>(c);
    if (!Sensitive)
        CharLowerBuffA(table, 256);
    for (int c = 0; c < 256; ++c)
        compTable_[static_cast<std::size_t>(c)] = static_cast<unsigned char>(table[c]);
}

void TQvEditSearch::MakeDelimiterTable()
{
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        delimTable_[static_cast<std::size_t>(c)] = !IsCharAlphaNumericA(ch) && ch != '_';
    }
}

void TQvEditSearch::InitShiftTable()
{
    patLen_ = static_cast<std::ptrdiff_t>(pattern_.size());
    if (patLen_ == 0)
        throw Exception("Pattern is empty");
    foldedPattern_.resize(pattern_.size());
    for (std::size_t i = 0; i < pattern_.size(); ++i)
        foldedPattern_[i] = static_cast<char>(compTable_[static_cast<unsigned char>(pattern_[i])]);
    shift_.fill(patLen_ + 1);
    for (std::ptrdiff_t i = 0; i < patLen_; ++i)
        shift_[static_cast<unsigned char>(foldedPattern_[static_cast<std::size_t>(i)])] = patLen_ - i;
    // After a failed comparison the window may move at least as far as from the last
    // pattern character back to its previous occurrence.
    const char last = foldedPattern_.back();
    const std::size_t previous = foldedPattern_.rfind(last, pattern_.size() - 2);
    lookAt_ = patLen_ > 1 && previous != std::string::npos
                  ? patLen_ - 1 - static_cast<std::ptrdiff_t>(previous)
                  : patLen_;
    shiftInitialized_ = true;
}

// ---- Interface -------------------------------------------------------------------------------

void TQvEditSearch::SetPattern(const std::string& Value)
{
    if (Value != pattern_) {
        pattern_ = Value;
        shiftInitialized_ = false;
    }
    count_ = 0;
}

Integer TQvEditSearch::GetLength(Integer /*Index*/) const
{
    return static_cast<Integer>(pattern_.size());
}

Integer TQvEditSearch::GetResult(Integer Index) const
{
    if (Index < 0 || Index >= GetResultCount())
        return 0;
    return results_[static_cast<std::size_t>(Index)];
}

void TQvEditSearch::SetOptions(TQvSearchOptions Value)
{
    const bool sensitive = Value.Contains(ssoMatchCase);
    if (sensitive != sensitive_) {
        sensitive_ = sensitive;
        MakeCompTable(sensitive);
        shiftInitialized_ = false;
    }
    wholeWord_ = Value.Contains(ssoWholeWord);
}

Integer TQvEditSearch::FindAll(const std::string& NewText)
{
    results_.clear();
    for (Integer found = FindFirst(NewText); found != 0; found = Next())
        results_.push_back(found);
    return GetResultCount();
}

void TQvEditSearch::Replace(const std::string& aReplacement, TObject* AEditor)
{
    QvEditSetSelTextExternal(AEditor, aReplacement);
}

// ---- Scanning --------------------------------------------------------------------------------

Integer TQvEditSearch::FindFirst(const std::string& Text)
{
    if (!shiftInitialized_)
        InitShiftTable();
    text_ = Text;
    run_ = static_cast<std::ptrdiff_t>(text_.size());
    if (static_cast<std::ptrdiff_t>(text_.size()) < patLen_)
        return 0;
    run_ = -1;
    return Next();
}

bool TQvEditSearch::WindowMatches(std::ptrdiff_t Last) const
{
    const std::ptrdiff_t first = Last - patLen_ + 1;
    for (std::ptrdiff_t i = 0; i < patLen_; ++i)
        if (Fold(first + i) != static_cast<unsigned char>(foldedPattern_[static_cast<std::size_t>(i)]))
            return false;
    if (!wholeWord_)
        return true;
    const auto end = static_cast<std::ptrdiff_t>(text_.size());
    return (first == 0 || IsDelimiter(first - 1)) && (Last + 1 == end || IsDelimiter(Last + 1));
}

Integer TQvEditSearch::Next()
{
    if (!shiftInitialized_)
        return 0;
    const auto end = static_cast<std::ptrdiff_t>(text_.size());
    const auto lastChar = static_cast<unsigned char>(foldedPattern_.back());
    run_ += patLen_;
    while (run_ < end) {
        if (Fold(run_) != lastChar) {
            // The character after the window (the string's terminating zero at the end)
            // decides how far the window moves.
            run_ += shift_[Fold(run_ + 1)];
        } else if (WindowMatches(run_)) {
            ++count_;
            return static_cast<Integer>(run_ - patLen_ + 2);
        } else {
            run_ += lookAt_;
            if (run_ >= end)
                break;
            run_ += shift_[Fold(run_)] - 1;
        }
    }
    return 0;
}

void TQvEditSearch::FixResults(Integer First, Integer Delta)
{
    for (Integer& position : results_)
        if (position > First)
            position -= Delta;
}

bool TQvEditSearch::Finished() const
{
    const auto end = static_cast<std::ptrdiff_t>(text_.size());
    return run_ >= end || patLen_ >= end;
}
