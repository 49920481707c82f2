// ai::Error: the exception the host-string layer throws when the host refuses a request.
#pragma once

#include <exception>

#include "host/ErrorCode.h"

namespace ai {

// Carries the host's ErrorCode unchanged. Thrown by value, caught by reference; the plug-in's
// message wrapper turns it back into the message's result. Its text is never shown.
class Error : public std::exception {
  public:
    explicit Error(ErrorCode errorCode) noexcept : code(errorCode) {}

    ErrorCode code;
};

}  // namespace ai
