// The exception hierarchy: one base class carrying a message, one class per area.
// EAbort is the silent abort: the top-level handler shows no message for it.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define QV_DECLARE_EXCEPTION(Name, Base)          \
    class Name : public Base {                    \
    public:                                       \
        using Base::Base;                         \
    }

QV_DECLARE_EXCEPTION(EAbort, Exception);
QV_DECLARE_EXCEPTION(EConvertError, Exception);
QV_DECLARE_EXCEPTION(EStringListError, Exception);
QV_DECLARE_EXCEPTION(EListError, Exception);
QV_DECLARE_EXCEPTION(EStreamError, Exception);
QV_DECLARE_EXCEPTION(EFOpenError, EStreamError);
QV_DECLARE_EXCEPTION(EFCreateError, EStreamError);
QV_DECLARE_EXCEPTION(EReadError, EStreamError);
QV_DECLARE_EXCEPTION(EWriteError, EStreamError);
QV_DECLARE_EXCEPTION(EInOutError, Exception);
QV_DECLARE_EXCEPTION(EOutOfResources, Exception);
QV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
// An internal invariant that well-formed use never breaks was broken.
QV_DECLARE_EXCEPTION(EAssertionFailed, Exception);

// Raises the silent abort that ends a command without a message.
[[noreturn]] inline void Abort()
{
    throw EAbort("Operation aborted");
}
