// How one request of the list reader ended.
#pragma once

#include "base/fatal.h"

namespace slip {

enum class ReadError : unsigned char {
  kNone,            // the request completed
  kReadStart,       // a request began after the end of the file had been met
  kListInEof,       // the file ended where a value read still needed an entry
  kListInSystem,    // the stream reported a read error (systemError holds its number)
  kInvalidNumber,   // an entry with no digit where a value must stand
  kExponentField,   // an exponent without digits, or one above 99999999
  kBadRepetition,   // a repeat count with no nonzero digit, a minus sign or over 40 digits
};

// The {code, context} pair that ioFatal reports for a failed request.
struct ReadStatus {
  ReadError error = ReadError::kNone;
  int systemError = 0;

  bool ok() const { return error == ReadError::kNone; }

  int code() const {
    switch (error) {
      case ReadError::kReadStart:
      case ReadError::kListInEof: return kEndOfFile;
      case ReadError::kListInSystem: return systemError;
      case ReadError::kNone: return 0;
      default: return kErrListInput;
    }
  }

  const char* context() const {
    switch (error) {
      case ReadError::kReadStart: return "read start";
      case ReadError::kListInEof:
      case ReadError::kListInSystem: return "list in";
      case ReadError::kInvalidNumber: return "invalid number";
      case ReadError::kExponentField: return "exponent field";
      case ReadError::kBadRepetition: return "bad repetition count";
      case ReadError::kNone: break;
    }
    return "";
  }
};

}  // namespace slip
