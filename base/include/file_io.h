// Files on disk: the one reader every program of Tessaly reads a whole file
// with, and the one writer that replaces a file without ever leaving it
// half written.
//
//   Result<std::string> bytes = ReadWholeFile("cy.dat");
//   if (!bytes.ok()) report(bytes.error().reason);
//   if (Error e = WriteFileSafely("cy.dat", *bytes); !e.ok()) report(e.reason);
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "error.h"

namespace tessaly {

// The largest file ReadWholeFile and the idiom loader accept: a bound
// stated up front, so that a wrong file (a disk image, a device) is refused
// from its size instead of being read for minutes.
inline constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;  // 1 GiB

// Failures are Errors of kind CannotOpen, NotRegularFile, TooLarge,
// ReadFailed or WriteFailed; `reason` is a short Chinese text that ends with
// the system's own words in parentheses where the system gave any.

// Descriptor owns a file descriptor of the system (-1 for none) and closes
// it when it goes; OpenedFile, FolderLock and the safe writer hold theirs
// in one.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) noexcept : m_fd(fd) {}
  ~Descriptor();
  Descriptor(Descriptor&& other) noexcept : m_fd(other.release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept;
  Descriptor(const Descriptor&) = delete;             // owns the descriptor
  Descriptor& operator=(const Descriptor&) = delete;  // owns the descriptor

  int get() const { return m_fd; }
  // close closes now; a failure (kind WriteFailed) gives the system's
  // reason as its text.
  Error close();

 private:
  int release() noexcept {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }

  int m_fd;
};

// OpenedFile is a file opened for reading that is known to be a regular
// file of at most kMaxFileBytes. It owns the descriptor.
class OpenedFile {
 public:
  // open opens `path`. A FIFO or a device is refused without blocking and
  // without reading a byte of it.
  static Result<OpenedFile> open(const std::filesystem::path& path);

  OpenedFile() = default;
  ~OpenedFile();
  OpenedFile(OpenedFile&& other) noexcept;
  OpenedFile& operator=(OpenedFile&& other) noexcept;
  OpenedFile(const OpenedFile&) = delete;             // owns the descriptor
  OpenedFile& operator=(const OpenedFile&) = delete;  // owns the descriptor

  // size is the file's size when it was opened.
  uint64_t size() const { return m_size; }
  // read reads up to `capacity` bytes into `buffer`; returns the bytes
  // read, 0 at the end of the file.
  Result<size_t> read(char* buffer, size_t capacity) const;
  // readAt reads up to `capacity` bytes from `offset` on, without moving
  // the file's position, so that several threads may read one file at
  // once. Returns as read().
  Result<size_t> readAt(uint64_t offset, char* buffer, size_t capacity) const;

 private:
  Descriptor m_fd;
  uint64_t m_size = 0;
};

// ReadWholeFile returns the bytes of the file at `path`. A path of "-"
// reads standard input instead, with the same size bound. Memory running
// out is an OutOfMemory error.
Result<std::string> ReadWholeFile(const std::filesystem::path& path);

// WriteFileSafely replaces the file at `path` with `bytes`. The bytes go to
// a new temporary file in the same folder, created exclusively (a link
// planted under its name is never followed); every write and the flush to
// disk are checked, and only then is the temporary file renamed over
// `path`. A `path` that is a symbolic link is written through to its
// target; an existing `path` that is not a regular file, or that has
// further hard links (which would keep the old text), is refused. The new
// file keeps the old one's permission bits (and owner, where allowed). On
// any failure the old file is left byte for byte as it was and the
// temporary file is removed. When all went well but the last steps (the
// close, the flush of the folder) the file is replaced and the error is of
// kind Unsynced.
Error WriteFileSafely(const std::filesystem::path& path, std::string_view bytes);

// The temporary files of WriteFileSafely start with ".tessaly-" (short,
// whatever the name they replace: any name the file system accepts can be
// written), and the writer holds a lock on its own; the next write into the
// same folder removes those whose writer has gone without cleaning up.
//
// RemoveTemporaryOnSignals makes SIGINT, SIGTERM and SIGHUP remove the
// temporary file being written, if any, before they end the process. For
// programs (a library does not take over signals on its own).
void RemoveTemporaryOnSignals();

// FolderLock holds an exclusive lock on a folder: a read-modify-write of a
// file in it (tessaly-import --append) takes it first, so that two of them
// never work at once and neither loses the other's records.
class FolderLock {
 public:
  // take locks `folder`; when another holds it, calls `onWait` and waits.
  static Result<FolderLock> take(const std::filesystem::path& folder, const std::function<void()>& onWait);

  // Moves only: it holds the lock until it goes.

 private:
  Descriptor m_fd;
};

// SystemReason returns the system's text for `errnum`, in the user's
// locale.
std::string SystemReason(int errnum);

}  // namespace tessaly
