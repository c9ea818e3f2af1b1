// The regular-expression search engine (see QvEditRegexSearch.h).
#include "qvedit/search/QvEditRegexSearch.h"

#include "qvedit/search/QvEditSearch.h"

namespace {

constexpr int ModifierIndexI = 1;  // TRegex's index of modifier i (case-insensitive)

}  // namespace

TQvEditRegexSearch::TQvEditRegexSearch(TComponent* AOwner)
    : TQvEditSearchCustom(AOwner), regex_(std::make_unique<TRegex>())
{
}

TQvEditRegexSearch::~TQvEditRegexSearch() = default;

std::string TQvEditRegexSearch::GetPattern() const
{
    return regex_->GetExpression();
}

void TQvEditRegexSearch::SetPattern(const std::string& Value)
{
    regex_->SetExpression(Value);
}

void TQvEditRegexSearch::CheckIndex(const std::vector<Integer>& List, Integer Index)
{
    if (Index < 0 || Index >= static_cast<Integer>(List.size()))
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

Integer TQvEditRegexSearch::GetLength(Integer Index) const
{
    CheckIndex(lengths_, Index);
    return lengths_[static_cast<std::size_t>(Index)];
}

Integer TQvEditRegexSearch::GetResult(Integer Index) const
{
    CheckIndex(positions_, Index);
    return positions_[static_cast<std::size_t>(Index)];
}

void TQvEditRegexSearch::SetOptions(TQvSearchOptions Value)
{
    regex_->SetModifier(ModifierIndexI, !Value.Contains(ssoMatchCase));
}

Integer TQvEditRegexSearch::FindAll(const std::string& NewText)
{
    positions_.clear();
    lengths_.clear();
    regex_->GrowOperation(static_cast<long>(NewText.size()));
    for (bool found = regex_->Exec(NewText); found; found = regex_->ExecNext()) {
        positions_.push_back(regex_->MatchPos(0));
        lengths_.push_back(regex_->MatchLen(0));
    }
    return GetResultCount();
}

void TQvEditRegexSearch::Replace(const std::string& aReplacement, TObject* AEditor)
{
    QvEditSetSelTextExternal(AEditor, ReplacementFor(QvEditGetSelText(AEditor), aReplacement));
}

std::string TQvEditRegexSearch::ReplacementFor(const std::string& MatchText, const std::string& aReplacement)
{
    return regex_->Replace(MatchText, aReplacement, true);
}

void TQvEditRegexSearch::BeginOperation()
{
    regex_->BeginOperation();
}

void TQvEditRegexSearch::EndOperation()
{
    regex_->EndOperation();
}
