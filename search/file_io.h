// Files on disk: the one reader every program of Tessaly reads a whole file
// with, and the one writer that replaces a file without ever leaving it
// half written.
//
//   std::string bytes;
//   if (FileError e = ReadWholeFile("cy.dat", bytes); !e.ok()) report(e.reason);
//   if (FileError e = WriteFileSafely("cy.dat", bytes); !e.ok()) report(e.reason);
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessaly {

// The largest file ReadWholeFile and the idiom loader accept: a bound
// stated up front, so that a wrong file (a disk image, a device) is refused
// from its size instead of being read for minutes.
inline constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;  // 1 GiB

// Why a file could not be read or written.
enum class FileErrorKind {
  None,
  CannotOpen,      // missing, no permission, or the open itself failed
  NotRegularFile,  // a folder, a FIFO, a device or a socket
  TooLarge,        // larger than kMaxFileBytes
  ReadFailed,      // an I/O error while reading
  WriteFailed,     // creating, writing, syncing, closing or renaming failed
};

// FileError is kind None on success; otherwise `reason` is a short Chinese
// text (UTF-8) that ends with the system's own words in parentheses where
// the system gave any.
struct FileError {
  FileErrorKind kind = FileErrorKind::None;
  std::string reason;
  bool ok() const { return kind == FileErrorKind::None; }
};

// OpenedFile is a file opened for reading that is known to be a regular
// file of at most kMaxFileBytes. It owns the descriptor.
class OpenedFile {
 public:
  // open opens `path`. A FIFO or a device is refused without blocking and
  // without reading a byte of it.
  static OpenedFile open(const std::filesystem::path& path, FileError& error);

  OpenedFile() = default;
  ~OpenedFile();
  OpenedFile(OpenedFile&& other) noexcept;
  OpenedFile& operator=(OpenedFile&& other) noexcept;
  OpenedFile(const OpenedFile&) = delete;             // owns the descriptor
  OpenedFile& operator=(const OpenedFile&) = delete;  // owns the descriptor

  // size is the file's size when it was opened.
  uint64_t size() const { return m_size; }
  // read reads up to `capacity` bytes into `buffer`; returns the bytes
  // read, 0 at the end of the file, or -1 with `error` set.
  int64_t read(char* buffer, size_t capacity, FileError& error) const;
  // readAt reads up to `capacity` bytes from `offset` on, without moving
  // the file's position, so that several threads may read one file at
  // once. Returns as read().
  int64_t readAt(uint64_t offset, char* buffer, size_t capacity, FileError& error) const;

 private:
#if defined(_WIN32)
  std::FILE* m_file = nullptr;
#else
  int m_fd = -1;
#endif
  uint64_t m_size = 0;
};

// ReadWholeFile reads the file at `path` into `bytes` (replacing them). A
// path of "-" reads standard input instead, with the same size bound.
FileError ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// WriteFileSafely replaces the file at `path` with `bytes`. The bytes go to
// a new temporary file in the same folder, created exclusively (a link
// planted under its name is never followed); every write, the flush to disk
// and the close are checked, and only then is the temporary file renamed
// over `path`. A `path` that is a symbolic link is written through to its
// target; an existing `path` that is not a regular file, or that has
// further hard links (which would keep the old text), is refused. The new
// file keeps the old one's permission bits (and owner, where allowed). On
// any failure the old file is left byte for byte as it was and the
// temporary file is removed.
FileError WriteFileSafely(const std::filesystem::path& path, std::string_view bytes);

// SystemReason returns the system's text for `errnum`, in the user's
// locale.
std::string SystemReason(int errnum);

}  // namespace tessaly
