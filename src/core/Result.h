// A value, or the reason there is none: what an operation that can fail returns, so that a failure is
// reported one way and never by an exception or an out-parameter. E is the layer's kind of reason (a
// message text in the libraries and the window's fields, a titled message in the session).
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace quandrel {

// The reason of a failed Result, spelt out where it is made: return Failure(sWhy).
template <typename E>
struct Failure {
    explicit Failure(E oWhy) : oReason(std::move(oWhy)) {}
    E oReason;
};
template <typename E>
Failure(E) -> Failure<E>;
Failure(const char*) -> Failure<std::string>;

template <typename T, typename E = std::string>
class Result {
public:
    Result(T oValue) : m_oState(std::in_place_index<0>, std::move(oValue)) {}
    template <typename F, typename = std::enable_if_t<std::is_constructible_v<E, F>>>
    Result(Failure<F> oFailure) : m_oState(std::in_place_index<1>, E(std::move(oFailure.oReason)))
    {
    }

    bool HasValue() const { return m_oState.index() == 0; }
    explicit operator bool() const { return HasValue(); }

    // The value; only when there is one.
    T& operator*() & { return std::get<0>(m_oState); }
    const T& operator*() const& { return std::get<0>(m_oState); }
    T&& operator*() && { return std::get<0>(std::move(m_oState)); }
    T* operator->() { return &std::get<0>(m_oState); }
    const T* operator->() const { return &std::get<0>(m_oState); }

    // The reason; only when there is no value.
    const E& Error() const { return std::get<1>(m_oState); }

private:
    std::variant<T, E> m_oState;
};

} // namespace quandrel
