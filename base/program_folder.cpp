// The folder of the running program.
#include "program_folder.h"

namespace tessaly {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path();
}

}  // namespace tessaly
