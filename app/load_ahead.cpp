// Loading the idiom table ahead of the window.
#include "load_ahead.h"

#include <future>
#include <memory>
#include <system_error>

namespace tessaly {

std::function<Result<IdiomTable>()> LoadAhead(std::function<Result<IdiomTable>()> load) {
  try {
    auto pending = std::make_shared<std::future<Result<IdiomTable>>>(std::async(std::launch::async, load));
    return [pending] { return pending->get(); };
  } catch (const std::system_error&) {
    return load;  // no thread to spare: the window's load reads the file itself
  }
}

}  // namespace tessaly
