#pragma once
// The exception base of the system and the runtime's own exception classes. Callers tell
// failures apart by class; every class names itself for messages that quote it.

#include <exception>

#include "runtime/strings.h"

namespace velmora {

class Exception : public std::exception {
public:
  explicit Exception(NarrowString message) : FMessage(std::move(message)) {}

  // The UTF-8 message.
  const char* what() const noexcept override { return FMessage.c_str(); }
  const NarrowString& Message() const noexcept { return FMessage; }
  virtual const char* ClassName() const noexcept { return "Exception"; }

private:
  NarrowString FMessage;
};

// Declares an exception class that adds nothing but its name.
#define VELMORA_EXCEPTION_CLASS(Name, Parent)                                                      \
  class Name : public Parent {                                                                     \
  public:                                                                                          \
    using Parent::Parent;                                                                          \
    const char* ClassName() const noexcept override { return #Name; }                              \
  }

VELMORA_EXCEPTION_CLASS(EConvertError, Exception);
VELMORA_EXCEPTION_CLASS(EAccessViolation, Exception);
VELMORA_EXCEPTION_CLASS(EListError, Exception);
VELMORA_EXCEPTION_CLASS(EStringListError, Exception);
VELMORA_EXCEPTION_CLASS(EInvalidCast, Exception);
VELMORA_EXCEPTION_CLASS(EStreamError, Exception);
VELMORA_EXCEPTION_CLASS(EFOpenError, EStreamError);
VELMORA_EXCEPTION_CLASS(EFCreateError, EStreamError);
VELMORA_EXCEPTION_CLASS(EReadError, EStreamError);
VELMORA_EXCEPTION_CLASS(EWriteError, EStreamError);

// A failed file operation of a text file, carrying the platform's error code
// (2 file not found, 3 invalid file name, 5 access denied, 101 disk full, ...).
class EInOutError : public Exception {
public:
  explicit EInOutError(int errorCode);
  int ErrorCode() const noexcept { return FErrorCode; }
  const char* ClassName() const noexcept override { return "EInOutError"; }

private:
  int FErrorCode;
};

// The German message of an I/O error code: "Datei nicht gefunden", ..., "E/A-Fehler %d".
NarrowString InOutErrorMessage(int errorCode);

// What a failure says to the user: its message, and for memory that ran out (std::bad_alloc,
// whose own text names only the C++ class) kOutOfMemory.
constexpr const char* kOutOfMemory = "Zu wenig Arbeitsspeicher";
NarrowString FailureText(const std::exception& failure);

} // namespace velmora
