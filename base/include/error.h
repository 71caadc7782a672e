// The one error type of Tessaly's libraries, and the value-or-error result.
// Every failure the core, the tools and the network layer can meet is an
// Error: what went wrong (its kind), where (a line, a field, a byte offset)
// and why, in a short Chinese sentence for the user. Nothing throws across
// a library's edge; an allocation failure at a boundary is an Error too.
//
//   Result<IdiomTable> loaded = LoadIdiomFile("cy.dat");
//   if (!loaded.ok()) report(loaded.error().line, loaded.error().reason);
//   IdiomTable table = std::move(loaded).value();
//
//   Error written = WriteFileSafely("cy.dat", bytes);   // ok() on success
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tessaly {

// What went wrong. Each kind names one way an operation can fail.
enum class ErrorKind {
  None,
  CannotOpen,       // a file is missing or cannot be opened
  NotRegularFile,   // a folder, a FIFO or a device where a file was wanted
  ReadFailed,       // reading stopped with an I/O error
  TooLarge,         // larger than the size bound of what is read
  WriteFailed,      // creating, writing, syncing, closing or renaming failed: nothing changed
  Unsynced,         // a file was replaced, but a last step (its close, its folder's flush) failed
  BadEncoding,      // bytes that are not text of the expected encoding
  NulCharacter,     // a NUL character inside a line of cy.dat
  BlankLine,        // a line of cy.dat without any text
  TooFewFields,     // a line of cy.dat with fewer than six "#"-separated fields
  EmptyField,       // one of fields 0 to 5 of a line of cy.dat is empty
  IdiomOnlyCommas,  // field 0 of a line of cy.dat is nothing but "，"
  OutOfMemory,      // an allocation failed
  NoThread,         // no thread could be started where one was required
  MissingData,      // data a feature needs is not installed (OpenCC's tables)
  EmptyQuery,       // a query with nothing to search for
  BadKeyword,       // a keyword the search it was given to cannot read
  BadInput,         // input of the tools that is not what they read (JSON, options)
  Busy,             // another program holds what is needed (a lock)
};

// Error says what went wrong and where; kind None means nothing did.
// `line` counts from 1 (0: not about a line); `field` is a field's number
// from 0 (-1: none); `offset` is a byte offset from 0 (-1: none). `reason`
// is UTF-8 text for the user.
struct Error {
  ErrorKind kind = ErrorKind::None;
  int64_t line = 0;
  int field = -1;
  int64_t offset = -1;
  std::string reason;

  bool ok() const { return kind == ErrorKind::None; }
};

// MakeError returns an Error of `kind` with `reason` and no position.
inline Error MakeError(ErrorKind kind, std::string reason) {
  Error e;
  e.kind = kind;
  e.reason = std::move(reason);
  return e;
}

// OutOfMemoryError is the Error of a failed allocation.
Error OutOfMemoryError();

// ErrorText is the one text every front end shows for `error`: what it is
// about (`subject`, a file name as the user wrote it; may be empty), the
// line where it has one, and the reason. "cy.dat, line 2: a blank line" in
// English, "cy.dat 第 2 行：空行" in Chinese.
std::string ErrorText(const Error& error, std::string_view subject);

// Result holds a value or the Error that kept it from being made.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit, as StatusOr
  Result(Error error) : m_error(std::move(error)) {  // NOLINT
    // An error of kind None would claim success without a value.
    if (m_error.ok()) m_error = MakeError(ErrorKind::BadInput, "内部错误：没有结果");
  }

  bool ok() const { return m_value.has_value(); }
  // error is the failure; of kind None when ok().
  const Error& error() const { return m_error; }

  // value is the result; only when ok().
  T& value() & { return *m_value; }
  const T& value() const& { return *m_value; }
  T&& value() && { return std::move(*m_value); }
  T* operator->() { return &*m_value; }
  const T* operator->() const { return &*m_value; }
  T& operator*() & { return *m_value; }
  const T& operator*() const& { return *m_value; }

 private:
  std::optional<T> m_value;
  Error m_error;
};

// CatchOutOfMemory runs `work`, which returns a Result or an Error, and
// turns a failed allocation inside it into an OutOfMemory error: the
// public entries that allocate by the size of their input (a file, a
// table, a query list) call it, so that no std::bad_alloc crosses them.
template <typename Work>
auto CatchOutOfMemory(Work&& work) -> decltype(work()) {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return OutOfMemoryError();
  }
}

}  // namespace tessaly
