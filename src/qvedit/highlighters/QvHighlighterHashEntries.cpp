#include "qvedit/highlighters/QvHighlighterHashEntries.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/SysUtils.h"

namespace {

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal when only the case of the ASCII letters differs.
bool SameKeyword(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

}  // namespace

TQvHashEntry::TQvHashEntry(std::string keyword, Integer kind)
    : keyLen_(static_cast<Integer>(keyword.size())), keyword_(std::move(keyword)), kind_(kind)
{
}

TQvHashEntry* TQvHashEntry::AddEntry(std::unique_ptr<TQvHashEntry> newEntry)
{
    if (!newEntry)
        return this;
    // Walk to the insertion point first, testing every entry passed for a duplicate, so
    // that a raise leaves the chain untouched. Entries not shorter than the new one are
    // passed; equal keywords always have equal lengths.
    if (SameKeyword(newEntry->keyword_, keyword_))
        throw Exception(Format("Keyword \"%s\" already in list", {keyword_}));
    if (newEntry->keyLen_ < keyLen_) {
        newEntry->next_.reset(this);
        return newEntry.release();
    }
    TQvHashEntry* before = this;
    while (before->next_ && newEntry->keyLen_ >= before->next_->keyLen_) {
        before = before->next_.get();
        if (SameKeyword(newEntry->keyword_, before->keyword_))
            throw Exception(Format("Keyword \"%s\" already in list", {before->keyword_}));
    }
    newEntry->next_ = std::move(before->next_);
    before->next_ = std::move(newEntry);
    return this;
}

TQvHashEntry* TQvHashEntryList::Get(Integer hash) const
{
    if (hash < 0 || hash >= Count())
        return nullptr;
    return items_[static_cast<std::size_t>(hash)].get();
}

void TQvHashEntryList::Put(Integer hash, std::unique_ptr<TQvHashEntry> entry)
{
    if (hash < 0)
        throw EListError(Format("List index out of bounds (%d)", {hash}));
    if (hash >= Count())
        items_.resize(static_cast<std::size_t>(hash) + 1);
    auto& slot = items_[static_cast<std::size_t>(hash)];
    if (!slot) {
        slot = std::move(entry);
        return;
    }
    TQvHashEntry* oldHead = slot.get();
    TQvHashEntry* newHead = oldHead->AddEntry(std::move(entry));
    if (newHead != oldHead) {
        // The new head already owns the old one through its chain.
        (void)slot.release();
        slot.reset(newHead);
    }
}

void TQvHashEntryList::Clear()
{
    items_.clear();
}

void EnumerateKeywords(Integer kind, const std::string& keywords,
                       const TQvIdentChars& identifiers,
                       const TQvEnumerateKeywordEvent& callback)
{
    if (!callback || keywords.empty())
        return;
    const std::size_t length = keywords.size();
    std::size_t i = 0;
    while (i < length) {
        while (i < length && !identifiers.Contains(keywords[i]))
            ++i;
        if (i >= length)
            return;
        const std::size_t start = i;
        while (i < length && identifiers.Contains(keywords[i]))
            ++i;
        callback(keywords.substr(start, i - start), kind);
        ++i;  // the character that ended the keyword
    }
}
