#pragma once
// A keyword store for highlighters whose keywords are known only at run time.
//
// Keywords live in chains, one chain per hash value, in a list indexed by the hash. The
// user of the list computes the hash itself and walks the chain to recognise a word. A
// chain holds its entries in ascending order of length (equal lengths in insertion order)
// and never two keywords that are equal when ASCII letters are compared without case.

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/System.h"
#include "qvedit/core/QvEditTypes.h"

class TQvHashEntry : public TObject {
public:
    TQvHashEntry(std::string keyword, Integer kind);

    // Inserts `newEntry` into the chain that starts with this entry and returns the
    // chain's new head, which owns the rest of the chain: this entry, or `newEntry` when
    // it is shorter. A nil argument returns this entry. A keyword already in the chain
    // raises Exception "Keyword \"%s\" already in list" and leaves the chain unchanged.
    virtual TQvHashEntry* AddEntry(std::unique_ptr<TQvHashEntry> newEntry);

    TQvHashEntry* Next() const { return next_.get(); }
    Integer KeyLen() const { return keyLen_; }
    const std::string& Keyword() const { return keyword_; }
    Integer Kind() const { return kind_; }

private:
    std::unique_ptr<TQvHashEntry> next_;  // the rest of the chain, owned
    Integer keyLen_;
    std::string keyword_;
    Integer kind_;
};

// The chains of a keyword store, indexed by hash value; item i is the head of the chain
// of hash i, or nil. The list owns the chains.
class TQvHashEntryList : public TObject {
public:
    // The head of the chain of `hash`; nil below 0 or at or beyond Count().
    TQvHashEntry* Get(Integer hash) const;
    TQvHashEntry* operator[](Integer hash) const { return Get(hash); }

    // Grows the list to hash + 1 items when needed, then makes `entry` the chain of
    // `hash` or inserts it into the existing chain. A negative hash is refused with
    // EListError; a duplicate keyword raises as AddEntry does.
    void Put(Integer hash, std::unique_ptr<TQvHashEntry> entry);

    // Destroys every chain and empties the list.
    void Clear();

    Integer Count() const { return static_cast<Integer>(items_.size()); }

private:
    std::vector<std::unique_ptr<TQvHashEntry>> items_;
};

using TQvEnumerateKeywordEvent = TEvent<void(const std::string& keyword, Integer kind)>;

// Splits `keywords` into words made of characters of `identifiers` and calls `callback`
// with each word and `kind`, in order. The character that ends a word is skipped unseen.
void EnumerateKeywords(Integer kind, const std::string& keywords,
                       const TQvIdentChars& identifiers,
                       const TQvEnumerateKeywordEvent& callback);
