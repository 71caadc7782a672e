// Loading the idiom table ahead of the window.
#include "load_ahead.h"

#include <future>
#include <memory>

namespace tessaly {

std::function<LoadResult()> LoadAhead(std::function<LoadResult()> load) {
  auto pending = std::make_shared<std::future<LoadResult>>(std::async(std::launch::async, std::move(load)));
  return [pending] { return pending->get(); };
}

}  // namespace tessaly
