// The one way to read or write a word that the audio thread and another thread both touch.
#pragma once
#include <type_traits>

// A relaxed atomic load or store of one aligned word (a 32-bit whole number, a float or a
// pointer). The reader sees the word whole, from before or after the writer's change, and the
// thread sanitizer knows the two threads share it. On x86 either compiles to the single move a
// plain access gives; only its order against other fields is left free, and no reader relies on
// that order: a change of several words that must be seen together holds the callback instead.
template <class T> inline T shared_load(const T& field) {
    static_assert(std::is_trivially_copyable<T>::value && sizeof(T) <= sizeof(void*), "one word only");
    T v;
    __atomic_load(&field, &v, __ATOMIC_RELAXED);
    return v;
}

template <class T> struct shared_word_type {
    using type = T;
};

// The value takes the field's type, so shared_store(gate, 1) needs no cast.
template <class T> inline void shared_store(T& field, typename shared_word_type<T>::type value) {
    static_assert(std::is_trivially_copyable<T>::value && sizeof(T) <= sizeof(void*), "one word only");
    __atomic_store(&field, &value, __ATOMIC_RELAXED);
}
