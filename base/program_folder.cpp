// The folder of the running program.
#include "program_folder.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace tessaly {

std::filesystem::path ProgramFolder() {
#if defined(_WIN32)
  wchar_t buffer[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (n == 0 || n >= std::size(buffer)) return {};
  return std::filesystem::path(std::wstring(buffer, n)).parent_path();
#else
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path();
#endif
}

}  // namespace tessaly
