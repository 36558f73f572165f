// What a call raises, for tests that compare it with a table's expected error.
#pragma once
#include <optional>

#include "comm/udpdev.h"

namespace orvu::test {

// The UErr that f raises; nullopt when f returns.
template <class F>
std::optional<UErr> RaisedBy(F&& f) {
  try {
    f();
  } catch (const UErr& e) {
    return e;
  }
  return std::nullopt;
}

// The code of the UErr that f raises; nullopt when f returns.
template <class F>
std::optional<ErrCode> ErrorCode(F&& f) {
  const std::optional<UErr> err = RaisedBy(f);
  return err ? std::optional<ErrCode>(err->code) : std::nullopt;
}

}  // namespace orvu::test
