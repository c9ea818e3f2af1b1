// Basic types every unit uses: fixed-size integers with the names the code reads
// naturally, the root class TObject and comparable method-pointer events.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

using Byte = std::uint8_t;
using Word = std::uint16_t;
using DWORD = std::uint32_t;
using Cardinal = std::uint32_t;
using Integer = std::int32_t;
using SmallInt = std::int16_t;
using LongBool = std::int32_t;
using Int64 = std::int64_t;
using AnsiString = std::string;  // bytes in the ANSI code page; 1-based in the helpers

// Root of the class hierarchy: every object with a virtual destructor and a class name.
class TObject {
public:
    virtual ~TObject() = default;
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

// An untyped method pointer: the object and the operation. Two refer to the same
// handler when both the object and the operation are equal, whatever the signature
// they were made with; lists of handlers (chains, hooks) store and compare these.
struct TMethodRef {
    void* Data = nullptr;                       // the object (nullptr for a plain function)
    std::array<unsigned char, 16> Code{};       // the operation's bytes
    void (*Thunk)() = nullptr;                  // typed caller, cast back by TEvent

    bool Assigned() const { return Thunk != nullptr; }
    friend bool operator==(const TMethodRef& a, const TMethodRef& b)
    {
        return a.Data == b.Data && a.Code == b.Code && a.Thunk == b.Thunk;
    }
};

template <class Signature>
class TEvent;

// A method-pointer event: empty, or an object with one of its member functions
// (or a plain function). Test with Assigned() or `if (event)` before calling.
template <class R, class... A>
class TEvent<R(A...)> {
    using Caller = R (*)(void*, const unsigned char*, A...);

public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}

    template <class C, class B>
        requires std::is_base_of_v<B, C>
    TEvent(C* object, R (B::*member)(A...))
    {
        using Member = R (B::*)(A...);
        static_assert(sizeof(Member) <= sizeof(TMethodRef::Code));
        ref_.Data = static_cast<B*>(object);
        std::memcpy(ref_.Code.data(), &member, sizeof(Member));
        Caller caller = &CallMember<B>;
        ref_.Thunk = reinterpret_cast<void (*)()>(caller);
    }

    explicit TEvent(R (*function)(A...))
    {
        using Function = R (*)(A...);
        std::memcpy(ref_.Code.data(), &function, sizeof(Function));
        Caller caller = [](void*, const unsigned char* code, A... args) -> R {
            Function f;
            std::memcpy(&f, code, sizeof(Function));
            return f(std::forward<A>(args)...);
        };
        ref_.Thunk = reinterpret_cast<void (*)()>(caller);
    }

    static TEvent FromRef(const TMethodRef& ref)
    {
        TEvent e;
        e.ref_ = ref;
        return e;
    }

    const TMethodRef& Ref() const { return ref_; }
    void* Data() const { return ref_.Data; }
    bool Assigned() const { return ref_.Assigned(); }
    explicit operator bool() const { return Assigned(); }

    R operator()(A... args) const
    {
        auto caller = reinterpret_cast<Caller>(ref_.Thunk);
        return caller(ref_.Data, ref_.Code.data(), std::forward<A>(args)...);
    }

    friend bool operator==(const TEvent& a, const TEvent& b) { return a.ref_ == b.ref_; }

private:
    // One caller per declaring class, so a handler bound through a derived-class
    // pointer equals the same handler bound through the base.
    template <class B>
    static R CallMember(void* data, const unsigned char* code, A... args)
    {
        using Member = R (B::*)(A...);
        Member m;
        std::memcpy(&m, code, sizeof(Member));
        return (static_cast<B*>(data)->*m)(std::forward<A>(args)...);
    }

    TMethodRef ref_;
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;
