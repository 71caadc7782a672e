// Reading whole files and replacing files safely.
#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "locale_text.h"
#include "messages.h"

namespace tessaly {

Descriptor::~Descriptor() { (void)close(); }

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
  if (this != &other) {
    (void)close();
    m_fd = other.release();
  }
  return *this;
}

Error Descriptor::close() {
  const int fd = release();
  if (fd < 0 || ::close(fd) == 0) return {};
  return MakeError(ErrorKind::WriteFailed, SystemReason(errno));
}

namespace {

Error Failure(ErrorKind kind, std::string what, int errnum = 0) {
  if (errnum != 0) what += Format(TR(" (%s)"), {SystemReason(errnum)});
  return MakeError(kind, std::move(what));
}

const char* KindOfNode(mode_t mode) {
  if (S_ISDIR(mode)) return TR("a folder, not a regular file");
  if (S_ISFIFO(mode)) return TR("a pipe (FIFO), not a regular file");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return TR("a device, not a regular file");
  return TR("not a regular file");
}

// Follows `path` through symbolic links (also dangling ones, whose target
// is then created) to the file that is really written.
Result<std::filesystem::path> ResolveLinks(std::filesystem::path path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
    if (ec) return Failure(ErrorKind::WriteFailed, TR("cannot read a symbolic link on the way"), ec.value());
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return Failure(ErrorKind::WriteFailed, TR("too many symbolic links on the way"), ELOOP);
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

}  // namespace

std::string SystemReason(int errnum) {
  // strerror speaks the locale's language in the locale's encoding; the
  // program's own texts are UTF-8.
  return LocaleText().toUtf8(std::strerror(errnum));
}

Result<OpenedFile> OpenedFile::open(const std::filesystem::path& path) {
  OpenedFile file;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
  // writer forever. Regular files ignore the flag.
  file.m_fd = Descriptor(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (file.m_fd.get() < 0 || ::fstat(file.m_fd.get(), &st) != 0) return Failure(ErrorKind::CannotOpen, TR("cannot open the file"), errno);
  if (!S_ISREG(st.st_mode)) return Failure(ErrorKind::NotRegularFile, KindOfNode(st.st_mode));
  if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) {
    return Failure(ErrorKind::TooLarge, TR("the file is larger than 1 GiB"));
  }
  file.m_size = static_cast<uint64_t>(st.st_size);
  return file;
}

OpenedFile::~OpenedFile() = default;
OpenedFile::OpenedFile(OpenedFile&& other) noexcept = default;
OpenedFile& OpenedFile::operator=(OpenedFile&& other) noexcept = default;

Result<size_t> OpenedFile::read(char* buffer, size_t capacity) const {
  for (;;) {
    const ssize_t n = ::read(m_fd.get(), buffer, capacity);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno == EINTR) continue;
    return Failure(ErrorKind::ReadFailed, TR("cannot read the file"), errno);
  }
}

Result<size_t> OpenedFile::readAt(uint64_t offset, char* buffer, size_t capacity) const {
  for (;;) {
    const ssize_t n = ::pread(m_fd.get(), buffer, capacity, static_cast<off_t>(offset));
    if (n >= 0) return static_cast<size_t>(n);
    if (errno == EINTR) continue;
    return Failure(ErrorKind::ReadFailed, TR("cannot read the file"), errno);
  }
}

namespace {

Result<std::string> ReadAll(const std::filesystem::path& path) {
  std::string bytes;
  if (path == "-") {
    // Standard input has no size to check up front: read it in pieces and
    // stop at the bound.
    char piece[1 << 16];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, piece, sizeof piece);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failure(ErrorKind::ReadFailed, TR("cannot read standard input"), errno);
      if (n == 0) return bytes;
      if (bytes.size() + static_cast<size_t>(n) > kMaxFileBytes) {
        return Failure(ErrorKind::TooLarge, TR("standard input is larger than 1 GiB"));
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
      if (bytes.size() > kMaxFileBytes) return Failure(ErrorKind::TooLarge, TR("the file is larger than 1 GiB"));
      bytes.resize(bytes.size() * 2);
    }
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace

Result<std::string> ReadWholeFile(const std::filesystem::path& path) {
  // The size of what is read is the input's: a large file under a memory
  // limit is an error to report, not a reason to end the program.
  return CatchOutOfMemory([&] { return ReadAll(path); });
}

namespace {

// Every temporary file of WriteFileSafely starts so: short, whatever the
// name it replaces, and known to the next writer into the same folder.
constexpr char kTemporaryPrefix[] = ".tessaly-";

// The temporary file being written, for the signal handlers. Set before the
// file can exist, cleared once it is renamed or removed.
char g_temporary[4096];
volatile std::sig_atomic_t g_temporarySet = 0;

extern "C" void RemoveTemporaryAndEnd(int signal) {
  if (g_temporarySet != 0) ::unlink(g_temporary);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// RemoveStaleTemporaries removes the temporary files that writers killed
// before they could clean up left in `folder`: a live writer holds a lock
// on its file, a dead one's lock is gone with it.
void RemoveStaleTemporaries(const std::filesystem::path& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strncmp(entry->d_name, kTemporaryPrefix, sizeof kTemporaryPrefix - 1) != 0) continue;
    Descriptor fd(::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace

void RemoveTemporaryOnSignals() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action = {};
    action.sa_handler = RemoveTemporaryAndEnd;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

Result<FolderLock> FolderLock::take(const std::filesystem::path& folder, const std::function<void()>& onWait) {
  FolderLock lock;
  lock.m_fd = Descriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (lock.m_fd.get() < 0) return Failure(ErrorKind::CannotOpen, TR("cannot open the folder"), errno);
  if (::flock(lock.m_fd.get(), LOCK_EX | LOCK_NB) == 0) return lock;
  if (errno != EWOULDBLOCK) return Failure(ErrorKind::Busy, TR("cannot lock the folder"), errno);
  if (onWait) onWait();
  while (::flock(lock.m_fd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return Failure(ErrorKind::Busy, TR("cannot lock the folder"), errno);
  }
  return lock;
}

Error WriteFileSafely(const std::filesystem::path& requested, std::string_view bytes) {
  const Result<std::filesystem::path> resolved = ResolveLinks(requested);
  if (!resolved.ok()) return resolved.error();
  const std::filesystem::path& path = *resolved;

  struct stat old;
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return Failure(ErrorKind::WriteFailed, TR("cannot write the file"), errno);
  if (exists && !S_ISREG(old.st_mode)) {
    return Failure(ErrorKind::NotRegularFile, Format(TR("%s: it is not replaced"), {KindOfNode(old.st_mode)}));
  }
  if (exists && old.st_nlink > 1) {
    // A rename gives the name a new file; the other names would keep the
    // old text without anyone noticing.
    return Failure(ErrorKind::WriteFailed,
                   Format(TR("the file has %s hard links, which would keep the old text: it is not replaced"),
                          {std::to_string(old.st_nlink)}));
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
  RemoveStaleTemporaries(folder);
  const std::string temporary = (folder / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
  if (temporary.size() >= sizeof g_temporary) {
    return Failure(ErrorKind::WriteFailed, TR("cannot create a temporary file in the file's folder"), ENAMETOOLONG);
  }
  // The signal handlers see the name before the file can exist: a signal
  // between the two removes nothing, or the file just made.
  g_temporarySet = 0;
  std::memcpy(g_temporary, temporary.c_str(), temporary.size() + 1);
  // mkstemp creates the file with O_EXCL: an existing name, a planted
  // symbolic link included, is never opened; it writes the name it made
  // into g_temporary.
  g_temporarySet = 1;
  Descriptor fd(::mkostemp(g_temporary, O_CLOEXEC));
  if (fd.get() < 0) {
    const int errnum = errno;
    g_temporarySet = 0;
    return Failure(ErrorKind::WriteFailed, TR("cannot create a temporary file in the file's folder"), errnum);
  }
  const std::string made = g_temporary;
  // The lock says "a writer is at work" to the next writer's cleanup; it
  // holds as long as the descriptor, which stays open past the rename.
  (void)::flock(fd.get(), LOCK_EX | LOCK_NB);

  auto fail = [&](const std::string& what, int errnum) {
    ::unlink(made.c_str());
    g_temporarySet = 0;
    (void)fd.close();
    return Failure(ErrorKind::WriteFailed, what, errnum);
  };
  if (exists && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
    // Only root may give a file away; keep the group where allowed.
    (void)::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd.get(), mode) != 0) return fail(TR("cannot set the file's permissions"), errno);
  if (!WriteAll(fd.get(), bytes)) return fail(TR("cannot write the file"), errno);
  if (::fsync(fd.get()) != 0) return fail(TR("cannot write the file"), errno);
  if (::rename(made.c_str(), path.c_str()) != 0) return fail(TR("cannot replace the file"), errno);
  g_temporarySet = 0;
  // The text reached the disk with fsync; what is left to fail now leaves
  // the new file in place, and says so.
  if (const Error closed = fd.close(); !closed.ok()) {
    return MakeError(ErrorKind::Unsynced,
                     TR("the file was replaced, but closing it failed") + Format(TR(" (%s)"), {closed.reason}));
  }
  // The rename itself reaches the disk with the folder.
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0 || ::fsync(dir.get()) != 0) {
    return Failure(ErrorKind::Unsynced, TR("the file was replaced, but its folder could not be synced to disk"),
                   errno);
  }
  return {};
}


}  // namespace tessaly
