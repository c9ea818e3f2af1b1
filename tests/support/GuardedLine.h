#pragma once
// A line of text whose bytes after the terminating NUL are unreadable under the address
// sanitizer, also when the text is short enough to live inside the string object, so a
// scanner reading past a line's end is caught where it reads.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#if defined(__SANITIZE_ADDRESS__)
#define QV_GUARD_LINES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_GUARD_LINES 1
#endif
#endif

#ifdef QV_GUARD_LINES
#include <sanitizer/asan_interface.h>
#endif

class TGuardedLine {
public:
    explicit TGuardedLine(std::string_view text) : text_(std::make_unique<std::string>(text))
    {
#ifdef QV_GUARD_LINES
        ASAN_POISON_MEMORY_REGION(Tail(), TailSize());
#endif
    }
    ~TGuardedLine()
    {
#ifdef QV_GUARD_LINES
        ASAN_UNPOISON_MEMORY_REGION(Tail(), TailSize());
#endif
    }
    TGuardedLine(const TGuardedLine&) = delete;
    TGuardedLine& operator=(const TGuardedLine&) = delete;

    const std::string& Text() const { return *text_; }

private:
    char* Tail() const { return text_->data() + text_->size() + 1; }
    std::size_t TailSize() const { return text_->capacity() - text_->size(); }
    std::unique_ptr<std::string> text_;
};
