// The one assertion of the runtime and the host model: an invariant that only a
// programming error can break. It throws rather than aborts, so a test can see it.
#pragma once

#include <stdexcept>
#include <string>

namespace rt {

// Thrown for programming errors only: an unknown selector sent to an object, a call or
// replacement whose types differ from the method's, a class registered twice. Ordinary
// failures never throw; a missing object is nil.
class ProgrammingError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

namespace detail {
// Throws the ProgrammingError of a broken invariant. Out of line and cold, so a check on
// the send path costs one predictable branch.
[[noreturn, gnu::cold, gnu::noinline]] void assertionFailed(const char* message,
                                                            const char* condition);
}  // namespace detail

}  // namespace rt

// Checks an invariant; a broken one is a programming error naming the condition.
#define RT_ASSERT(condition, message)                     \
  do {                                                    \
    if (!(condition)) [[unlikely]]                        \
      ::rt::detail::assertionFailed(message, #condition); \
  } while (0)
