// The texts of errors.
#include "error.h"

#include "messages.h"

namespace tessaly {

Error OutOfMemoryError() { return MakeError(ErrorKind::OutOfMemory, TR("out of memory")); }

std::string ErrorText(const Error& error, std::string_view subject) {
  if (subject.empty()) return error.reason;
  if (error.line > 0) {
    return Format(TR("%s, line %s: %s"), {std::string(subject), std::to_string(error.line), error.reason});
  }
  return Format(TR("%s: %s"), {std::string(subject), error.reason});
}

}  // namespace tessaly
