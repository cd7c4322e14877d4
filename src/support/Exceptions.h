#pragma once
// The failures of the system. Each carries the message that the user sees.
#include <cstdarg>
#include <stdexcept>
#include <string>

namespace ut {

/// Base of every failure that the system reports with its own message.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& msg) : std::runtime_error(msg) {}
};

/// A scanner or parser failure ("Error: ... on line %d of file %s", "Unexpected EOF", ...).
class EParserError : public Exception {
    using Exception::Exception;
};

/// A malformed {$IF} expression ("missing ')'", "division by zero"); the directive layer
/// names the directive, the line and the file around it.
class EExpressionError : public Exception {
    using Exception::Exception;
};

/// A refusal that the user is told about as a warning.
class EWarning : public Exception {
    using Exception::Exception;
};

/// A refused string-list operation ("List index out of bounds (%d)", "Dup string!", ...).
class EStringListError : public Exception {
    using Exception::Exception;
};

/// A refused operation on a list of references ("List index out of bounds (%d)").
class EListError : public Exception {
    using Exception::Exception;
};

/// A file that cannot be opened.
class EFOpenError : public Exception {
    using Exception::Exception;
};

/// An input/output failure (reading a file, changing the current directory).
class EInOutError : public Exception {
    using Exception::Exception;
};

/// A rules file or a baseline that cannot be used; the message names the file and the line.
class ERulesError : public Exception {
    using Exception::Exception;
};

/// The silent abort: handlers stop on it without reporting anything.
class EAbort : public Exception {
  public:
    EAbort() : Exception("Operation aborted") {}
};

/// printf-style formatting into a std::string, for the system's message texts.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
/// The same with the arguments of a variadic caller.
std::string FormatV(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

} // namespace ut
