#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace quibo::vb {

// The run-time error numbers the program raises itself, with VB's texts for
// them, which users know.
namespace err {
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t DivisionByZero = 11;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t ObjectRequired = 424;
inline constexpr int32_t SyntaxError = 1002;          // script expression syntax error
inline constexpr int32_t DatabaseError = -2147467259; // 80004005, what a data provider reports
} // namespace err

// Everything a trap learns of a run-time error; what the error reporter prints.
struct ErrorInfo {
    int32_t number = 0; // 0: no error
    QString source;
    QString description;
    QString helpFile;
    int32_t helpContext = 0;
    int32_t line = 0;             // numbered source line, 0 when unknown
    uint32_t systemErrorCode = 0; // errno of a failed system call, 0 when none
};

// A run-time error. Procedures throw it; the procedure's own trap catches it
// (see base/Trap.h), so it never travels further than one procedure.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(ErrorInfo info)
        : m_info(std::move(info)), m_what(m_info.description.toStdString()) {}
    RuntimeError(int32_t number, const QString& description, const QString& source = QStringLiteral("Quibo"))
        : RuntimeError(ErrorInfo{number, source, description, {}, 0, 0, 0}) {}

    const ErrorInfo& info() const noexcept { return m_info; }
    int32_t number() const noexcept { return m_info.number; }
    const QString& description() const noexcept { return m_info.description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    ErrorInfo m_info;
    std::string m_what;
};

[[noreturn]] inline void Raise(int32_t number, const QString& description,
                               const QString& source = QStringLiteral("Quibo")) {
    throw RuntimeError(number, description, source);
}

// A failed system call: carries errno so the report can print its text.
[[noreturn]] void RaiseSystemError(int32_t number, const QString& description, int systemErrorCode);

} // namespace quibo::vb
