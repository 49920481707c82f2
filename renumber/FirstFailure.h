// FirstFailure: host calls made in order until one fails.
#pragma once

#include "host/ErrorCode.h"

// Runs each call given to Then while every earlier one succeeded, and keeps the first
// failure's code; once a call failed, the later ones are not made.
class FirstFailure {
  public:
    template <typename Call>
    FirstFailure& Then(Call&& call) {
        if (code == kNoError) {
            code = call();
        }
        return *this;
    }
    ErrorCode Code() const noexcept { return code; }

  private:
    ErrorCode code = kNoError;
};
