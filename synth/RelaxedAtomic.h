#pragma once

#include <atomic>

/*  A value that one thread may read while another writes it, with no ordering
    between threads: each load and store is atomic and relaxed. It copies and
    assigns like the plain value, so value types such as pattern steps can hold
    it. The pattern memory uses it: the audio thread reads it without a lock
    while the message thread edits it.
*/
template <typename Type>
class RelaxedAtomic
{
public:
    RelaxedAtomic() noexcept = default;
    RelaxedAtomic (Type initialValue) noexcept : value (initialValue) {}
    RelaxedAtomic (const RelaxedAtomic& other) noexcept : value (other.get()) {}

    RelaxedAtomic& operator= (const RelaxedAtomic& other) noexcept
    {
        set (other.get());
        return *this;
    }

    RelaxedAtomic& operator= (Type newValue) noexcept
    {
        set (newValue);
        return *this;
    }

    Type get() const noexcept                   { return value.load (std::memory_order_relaxed); }
    void set (Type newValue) noexcept           { value.store (newValue, std::memory_order_relaxed); }
    operator Type() const noexcept              { return get(); }

private:
    std::atomic<Type> value {};

    static_assert (std::atomic<Type>::is_always_lock_free, "the audio thread must never wait on it");
};
