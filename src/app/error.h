#pragma once

#include <QString>

#include <optional>
#include <utility>

// A failure as the user is told of it: a number and a description. Raised where it
// happens (file, parser, clipboard, dialog) and shown in one place, the failure path.
struct Error {
    int number = 0;
    QString description;

    friend bool operator==(const Error &, const Error &) = default;
};

// The numbers follow the ones Windows programs have long reported for the same causes,
// so a user who searches for one finds the familiar meaning.
namespace ErrorNumber {
inline constexpr int OutOfMemory = 7;
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int FileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidFileFormat = 321;
inline constexpr int ClipboardUnavailable = 521;
} // namespace ErrorNumber

// The outcome of one step: success, or the error that stopped it.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    const Error &error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};
