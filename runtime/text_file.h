#pragma once
// A text file opened for writing, buffered. Every failure of the operating system, also
// when flushing and closing, raises EInOutError with the platform's error code, so a
// caller never takes a file for written that was not.

#include <string_view>

#include "runtime/files.h"
#include "runtime/strings.h"

namespace velmora {

class TTextFile {
public:
  // Creates fileName or truncates it, and opens it for writing.
  explicit TTextFile(const NarrowString& fileName);
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;
  // Closes a file that is still open, writing what is buffered; failures are not reported
  // here (the caller is already leaving through another failure or chose not to Close).
  ~TTextFile();

  void Write(std::string_view text);
  // Writes text and CR LF.
  void WriteLine(std::string_view text);
  void Flush();
  // Flushes and closes; writing afterwards is an error. A file removed while it was open
  // fails as a missing file (code 2, or 3 with its folder gone).
  void Close();

  bool IsOpen() const { return FFile.IsOpen(); }
  const NarrowString& FileName() const { return FFileName; }

private:
  static constexpr size_t kBufferSize = 16384;

  void CheckOpen() const;
  [[noreturn]] void Raise(int error) const;

  NarrowString FFileName;
  TFileDescriptor FFile;
  NarrowString FBuffer;
};

} // namespace velmora
