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
    // Another TRegex, so that the line of the last FindAll stays where ReplacementFor
    // finds it.
    TRegex selection;
    selection.SetExpression(regex_->GetExpression());
    selection.SetModifierStr(regex_->GetModifierStr());
    QvEditSetSelTextExternal(AEditor, selection.Replace(QvEditGetSelText(AEditor), aReplacement, true));
}

std::string TQvEditRegexSearch::ReplacementFor(Integer Index, const std::string& aReplacement)
{
    CheckIndex(positions_, Index);
    // A template without references or escapes is the replacement of every match.
    if (aReplacement.find_first_of("$\\") == std::string::npos)
        return aReplacement;
    const Integer at = positions_[static_cast<std::size_t>(Index)];
    if (!regex_->ExecPos(at) || regex_->MatchPos(0) != at ||
        regex_->MatchLen(0) != lengths_[static_cast<std::size_t>(Index)])
        throw EListError("The match " + std::to_string(Index) + " is not found again where it was");
    return regex_->Substitute(aReplacement);
}

void TQvEditRegexSearch::BeginOperation()
{
    regex_->BeginOperation();
}

void TQvEditRegexSearch::EndOperation()
{
    regex_->EndOperation();
}
