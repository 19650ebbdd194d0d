#include "runtime/text_file.h"

#include "runtime/exceptions.h"

namespace velmora {

TTextFile::TTextFile(const NarrowString& fileName) : FFileName(fileName) {
  if (const int error = OpenFile(fileName, faCreate, FFile)) {
    Raise(error);
  }
  FBuffer.reserve(kBufferSize);
}

TTextFile::~TTextFile() {
  if (FFile.IsOpen() && !FBuffer.empty()) {
    WriteToFile(FFile, FBuffer.data(), FBuffer.size());
  }
}

void TTextFile::Write(std::string_view text) {
  CheckOpen();
  if (FBuffer.size() + text.size() > kBufferSize) {
    Flush();
    if (text.size() >= kBufferSize) {
      if (const int error = WriteToFile(FFile, text.data(), text.size())) {
        Raise(error);
      }
      return;
    }
  }
  FBuffer += text;
}

void TTextFile::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

void TTextFile::Flush() {
  CheckOpen();
  if (FBuffer.empty()) {
    return;
  }
  const int error = WriteToFile(FFile, FBuffer.data(), FBuffer.size());
  // What failed to reach the file is not tried again.
  FBuffer.clear();
  if (error != 0) {
    Raise(error);
  }
}

void TTextFile::Close() {
  if (!FFile.IsOpen()) {
    return;
  }
  int error = 0;
  if (!FBuffer.empty()) {
    error = WriteToFile(FFile, FBuffer.data(), FBuffer.size());
    FBuffer.clear();
  }
  // A file removed while it was written holds the text nowhere.
  if (error == 0) {
    error = CheckFileStillLinked(FFile);
  }
  const int closeError = FFile.Close();
  if (error == 0) {
    error = closeError;
  }
  if (error != 0) {
    Raise(error);
  }
}

void TTextFile::CheckOpen() const {
  if (!FFile.IsOpen()) {
    // Pascal's "file not open" I/O error.
    throw EInOutError(103);
  }
}

void TTextFile::Raise(int error) const {
  throw EInOutError(FileErrorCode(error, FFileName));
}

} // namespace velmora
