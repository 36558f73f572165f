// A network namespace of the test's own, for a computer without any network: only a loopback
// interface, and that one down, so no address has a route. A socket belongs to the namespace
// of the thread that made it, so the socket is made on a thread that entered a new namespace;
// the rest of the process stays where it was.
#pragma once
#include <sched.h>

#include <cerrno>
#include <exception>
#include <optional>
#include <thread>
#include <utility>

namespace orvu::test {

// The result of make() run inside a new network namespace, or nothing (and errno noted in
// *refused) when this process may not create one (not root).
template <class Make>
auto MadeWithoutNetwork(Make make, int* refused = nullptr) -> std::optional<decltype(make())> {
  std::optional<decltype(make())> made;
  std::exception_ptr failure;
  int error = 0;
  std::thread([&] {
    if (unshare(CLONE_NEWNET) != 0) {
      error = errno;
      return;
    }
    try {
      made.emplace(make());
    } catch (...) {
      failure = std::current_exception();
    }
  }).join();
  if (refused) *refused = error;
  if (failure) std::rethrow_exception(failure);
  return made;
}

}  // namespace orvu::test
