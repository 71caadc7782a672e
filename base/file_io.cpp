// Reading whole files and replacing files safely.
#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#if defined(_WIN32)
#include <fstream>
#include <mutex>
#include <windows.h>
#else
#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <unicode/ucnv.h>

namespace tessaly {
namespace {

Error Failure(ErrorKind kind, std::string what, int errnum = 0) {
  if (errnum != 0) what += "（" + SystemReason(errnum) + "）";
  return MakeError(kind, std::move(what));
}

#if !defined(_WIN32)

// Closes a descriptor on every path out of a function.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : m_fd(fd) {}
  ~Descriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;             // owns the descriptor
  Descriptor& operator=(const Descriptor&) = delete;  // owns the descriptor
  int get() const { return m_fd; }
  // close closes now and returns 0, or -1 with errno set.
  int close() {
    const int fd = std::exchange(m_fd, -1);
    return fd >= 0 ? ::close(fd) : 0;
  }

 private:
  int m_fd;
};

const char* KindOfNode(mode_t mode) {
  if (S_ISDIR(mode)) return "是文件夹，不是普通文件";
  if (S_ISFIFO(mode)) return "是管道（FIFO），不是普通文件";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "是设备，不是普通文件";
  return "不是普通文件";
}

// Follows `path` through symbolic links (also dangling ones, whose target
// is then created) to the file that is really written.
Result<std::filesystem::path> ResolveLinks(std::filesystem::path path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
    if (ec) return Failure(ErrorKind::WriteFailed, "无法读取符号链接 " + path.string(), ec.value());
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return Failure(ErrorKind::WriteFailed, "符号链接层数太多：" + path.string(), ELOOP);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

#endif

}  // namespace

std::string SystemReason(int errnum) {
  const std::string_view text = std::strerror(errnum);
#if !defined(_WIN32)
  // strerror speaks the locale's language in the locale's encoding; the
  // program's own texts are UTF-8.
  const char* codeset = nl_langinfo(CODESET);
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii && codeset != nullptr && std::strcmp(codeset, "UTF-8") != 0) {
    std::string out(text.size() * 3 + 1, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_convert("UTF-8", codeset, out.data(), static_cast<int32_t>(out.size()),
                                   text.data(), static_cast<int32_t>(text.size()), &status);
    if (U_SUCCESS(status)) {
      out.resize(static_cast<size_t>(n));
      return out;
    }
  }
#endif
  return std::string(text);
}

#if !defined(_WIN32)

Result<OpenedFile> OpenedFile::open(const std::filesystem::path& path) {
  OpenedFile file;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
  // writer forever. Regular files ignore the flag.
  file.m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  if (file.m_fd < 0 || ::fstat(file.m_fd, &st) != 0) return Failure(ErrorKind::CannotOpen, "无法打开文件", errno);
  if (!S_ISREG(st.st_mode)) return Failure(ErrorKind::NotRegularFile, KindOfNode(st.st_mode));
  if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
    return Failure(ErrorKind::TooLarge, "文件太大（超过 1 GiB）");
  }
  file.m_size = static_cast<uint64_t>(st.st_size);
  return file;
}

OpenedFile::~OpenedFile() {
  if (m_fd >= 0) ::close(m_fd);
}

OpenedFile::OpenedFile(OpenedFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_size(other.m_size) {}

OpenedFile& OpenedFile::operator=(OpenedFile&& other) noexcept {
  if (this != &other) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = std::exchange(other.m_fd, -1);
    m_size = other.m_size;
  }
  return *this;
}

Result<size_t> OpenedFile::read(char* buffer, size_t capacity) const {
  for (;;) {
    const ssize_t n = ::read(m_fd, buffer, capacity);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno == EINTR) continue;
    return Failure(ErrorKind::ReadFailed, "读取文件时出错", errno);
  }
}

Result<size_t> OpenedFile::readAt(uint64_t offset, char* buffer, size_t capacity) const {
  for (;;) {
    const ssize_t n = ::pread(m_fd, buffer, capacity, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<size_t>(n);
    if (errno == EINTR) continue;
    return Failure(ErrorKind::ReadFailed, "读取文件时出错", errno);
  }
}

Result<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::string bytes;
  if (path == "-") {
    // Standard input has no size to check up front: read it in pieces and
    // stop at the bound.
    char piece[1 << 16];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, piece, sizeof piece);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failure(ErrorKind::ReadFailed, "读取标准输入时出错", errno);
      if (n == 0) return bytes;
      if (bytes.size() + static_cast<size_t>(n) > kMaxFileBytes) {
        return Failure(ErrorKind::TooLarge, "标准输入太大（超过 1 GiB）");
      }
      bytes.append(piece, static_cast<size_t>(n));
    }
  }
  Result<OpenedFile> file = OpenedFile::open(path);
  if (!file.ok()) return file.error();
  // Read the size fstat gave, and one byte more to notice a file that grew.
  bytes.resize(file->size() + 1);
  size_t filled = 0;
  for (;;) {
    const Result<size_t> n = file->read(bytes.data() + filled, bytes.size() - filled);
    if (!n.ok()) return n.error();
    if (*n == 0) break;
    filled += *n;
    if (filled == bytes.size()) {
      if (bytes.size() > kMaxFileBytes) return Failure(ErrorKind::TooLarge, "文件太大（超过 1 GiB）");
      bytes.resize(bytes.size() * 2);
    }
  }
  bytes.resize(filled);
  return bytes;
}

Error WriteFileSafely(const std::filesystem::path& requested, std::string_view bytes) {
  const Result<std::filesystem::path> resolved = ResolveLinks(requested);
  if (!resolved.ok()) return resolved.error();
  const std::filesystem::path& path = *resolved;
  const std::string name = path.string();

  struct stat old;
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return Failure(ErrorKind::WriteFailed, "无法写入 " + name, errno);
  if (exists && !S_ISREG(old.st_mode)) {
    return Failure(ErrorKind::NotRegularFile, name + " " + KindOfNode(old.st_mode) + "，不能覆盖");
  }
  if (exists && old.st_nlink > 1) {
    // A rename gives the name a new file; the other names would keep the
    // old text without anyone noticing.
    return Failure(ErrorKind::WriteFailed, name + " 有 " + std::to_string(old.st_nlink) +
                                                   " 个硬链接，替换后其他链接仍是旧内容，不能覆盖");
  }
  mode_t mode;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    // What a plain open(O_CREAT, 0666) would have given.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  // mkstemp creates the file with O_EXCL: an existing name, a planted
  // symbolic link included, is never opened.
  Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
  if (fd.get() < 0) return Failure(ErrorKind::WriteFailed, "无法在 " + folder.string() + " 中创建临时文件", errno);

  auto fail = [&](const std::string& what, int errnum) {
    fd.close();
    ::unlink(temporary.c_str());
    return Failure(ErrorKind::WriteFailed, what, errnum);
  };
  if (exists && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
    // Only root may give a file away; keep the group where allowed.
    (void)::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd.get(), mode) != 0) return fail("无法设置 " + name + " 的权限", errno);
  if (!WriteAll(fd.get(), bytes)) return fail("写入 " + name + " 失败", errno);
  if (::fsync(fd.get()) != 0) return fail("写入 " + name + " 失败", errno);
  if (fd.close() != 0) return fail("写入 " + name + " 失败", errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int errnum = errno;
    ::unlink(temporary.c_str());
    return Failure(ErrorKind::WriteFailed, "无法替换 " + name, errnum);
  }
  // The rename itself reaches the disk with the folder.
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) (void)::fsync(dir.get());
  return {};
}

#else  // _WIN32: the same contracts on the C++ library alone.

Result<OpenedFile> OpenedFile::open(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec) return Failure(ErrorKind::CannotOpen, "无法打开文件（" + ec.message() + "）");
  if (!std::filesystem::is_regular_file(status)) return Failure(ErrorKind::NotRegularFile, "不是普通文件");
  OpenedFile file;
  file.m_size = std::filesystem::file_size(path, ec);
  if (file.m_size > kMaxFileBytes) return Failure(ErrorKind::TooLarge, "文件太大（超过 1 GiB）");
  file.m_file = _wfopen(path.c_str(), L"rb");
  if (file.m_file == nullptr) return Failure(ErrorKind::CannotOpen, "无法打开文件", errno);
  return file;
}

OpenedFile::~OpenedFile() {
  if (m_file != nullptr) std::fclose(m_file);
}

OpenedFile::OpenedFile(OpenedFile&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr)), m_size(other.m_size) {}

OpenedFile& OpenedFile::operator=(OpenedFile&& other) noexcept {
  if (this != &other) {
    if (m_file != nullptr) std::fclose(m_file);
    m_file = std::exchange(other.m_file, nullptr);
    m_size = other.m_size;
  }
  return *this;
}

Result<size_t> OpenedFile::read(char* buffer, size_t capacity) const {
  const size_t n = std::fread(buffer, 1, capacity, m_file);
  if (n == 0 && std::ferror(m_file)) return Failure(ErrorKind::ReadFailed, "读取文件时出错", errno);
  return n;
}

Result<size_t> OpenedFile::readAt(uint64_t offset, char* buffer, size_t capacity) const {
  // One thread at a time on this platform: the position is shared.
  static std::mutex lock;
  std::lock_guard<std::mutex> hold(lock);
  if (_fseeki64(m_file, static_cast<long long>(offset), SEEK_SET) != 0) {
    return Failure(ErrorKind::ReadFailed, "读取文件时出错", errno);
  }
  return read(buffer, capacity);
}

Result<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::string bytes;
  Result<OpenedFile> file = OpenedFile::open(path);
  if (!file.ok()) return file.error();
  char piece[1 << 16];
  for (;;) {
    const Result<size_t> n = file->read(piece, sizeof piece);
    if (!n.ok()) return n.error();
    if (*n == 0) return bytes;
    bytes.append(piece, *n);
  }
}

Error WriteFileSafely(const std::filesystem::path& path, std::string_view bytes) {
  const std::filesystem::path temporary = path.wstring() + L".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(temporary, ec);
      return Failure(ErrorKind::WriteFailed, "写入 " + path.string() + " 失败");
    }
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    return Failure(ErrorKind::WriteFailed, "无法替换 " + path.string());
  }
  return {};
}

#endif

}  // namespace tessaly
