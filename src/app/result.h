#pragma once

#include "app/error.h"

#include <utility>
#include <variant>

// A value, or the error that kept it from being made.
template<typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_value(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_value); }
    T &value() { return std::get<T>(m_value); }
    const T &value() const { return std::get<T>(m_value); }
    const Error &error() const { return std::get<Error>(m_value); }

private:
    std::variant<T, Error> m_value;
};
