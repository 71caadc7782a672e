// Loading the idiom table ahead of the window.
#include "load_ahead.h"

#include <chrono>
#include <future>
#include <memory>
#include <system_error>

namespace tessaly {

PendingTable LoadAhead(std::function<Result<IdiomTable>()> load) {
  try {
    auto pending = std::make_shared<std::future<Result<IdiomTable>>>(std::async(std::launch::async, load));
    return {[pending] { return pending->get(); },
            [pending] { return pending->wait_for(std::chrono::seconds(0)) == std::future_status::ready; }};
  } catch (const std::system_error&) {
    // No thread to spare: the window's load reads the file itself.
    return {std::move(load), [] { return true; }};
  }
}

}  // namespace tessaly
