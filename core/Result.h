#pragma once
// The outcome of every asynchronous service call: Success with the value in a Box, or Failure
// with an Error.

#include "base/Error.h"

#include <memory>
#include <utility>
#include <variant>

template <typename T> class Box {
public:
    explicit Box(T value)
        : unbox(std::move(value))
    {}
    const T unbox;
};

template <typename T> class Result {
public:
    enum class Case { Success = 0, Failure = 1 };

    static Result success(T value) { return Result(std::make_shared<Box<T>>(std::move(value))); }
    static Result failure(Error error) { return Result(std::move(error)); }

    Case which() const { return m_payload.index() == 0 ? Case::Success : Case::Failure; }
    bool isSuccess() const { return which() == Case::Success; }

    // Only for a Success.
    const std::shared_ptr<Box<T>>& box() const { return std::get<0>(m_payload); }
    const T& value() const { return box()->unbox; }
    // Only for a Failure.
    const Error& error() const { return std::get<1>(m_payload); }

private:
    explicit Result(std::shared_ptr<Box<T>> box)
        : m_payload(std::move(box))
    {}
    explicit Result(Error error)
        : m_payload(std::move(error))
    {}

    std::variant<std::shared_ptr<Box<T>>, Error> m_payload;
};
