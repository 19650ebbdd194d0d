#include "runtime/files.h"

#include "runtime/format.h"

namespace velmora {

namespace {

// Whether the delimiter at fileName[pos] belongs to a root: "/", "\", "C:\" or "C:".
bool IsRootDelimiter(const NarrowString& fileName, size_t pos) {
  if (pos == 0) {
    return true;
  }
  return kPathDelimiter == '\\' && (fileName[pos] == ':' || fileName[pos - 1] == ':');
}

} // namespace

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept {
  if (this != &other) {
    Close();
    FHandle = other.Release();
  }
  return *this;
}

TFileDescriptor::~TFileDescriptor() {
  Close();
}

TFileHandle TFileDescriptor::Release() noexcept {
  const TFileHandle handle = FHandle;
  FHandle = kNoFileHandle;
  return handle;
}

int ReadFileContent(const NarrowString& fileName, NarrowString& content) {
  content.clear();
  TFileDescriptor file;
  if (const int error = OpenFile(fileName, faRead, file)) {
    return error;
  }
  char buffer[65536];
  for (;;) {
    size_t got = 0;
    if (const int error = ReadFromFile(file, buffer, sizeof buffer, got)) {
      content.clear();
      return error;
    }
    if (got == 0) {
      return 0;
    }
    content.append(buffer, got);
  }
}

NarrowString SysErrorMessage(int errorCode) {
  switch (errorCode) {
  case kErrorFileNotFound:
    return "Das System kann die angegebene Datei nicht finden";
  case kErrorPathNotFound:
    return "Das System kann den angegebenen Pfad nicht finden";
  case kErrorTooManyOpenFiles:
    return "Das System kann die Datei nicht öffnen";
  case kErrorAccessDenied:
    return "Zugriff verweigert";
  case kErrorDiskFull:
    return "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden";
  case kErrorDeviceIo:
    return "Die Anforderung konnte wegen eines E/A-Gerätefehlers nicht ausgeführt werden";
  default:
    return Format("Systemfehler. Code: %d", {errorCode});
  }
}

NarrowString ExtractFileDir(const NarrowString& fileName) {
  const size_t last = fileName.find_last_of(kPathDelimiters);
  if (last == NarrowString::npos) {
    return NarrowString();
  }
  return fileName.substr(0, IsRootDelimiter(fileName, last) ? last + 1 : last);
}

NarrowString ExtractFileName(const NarrowString& fileName) {
  const size_t last = fileName.find_last_of(kPathDelimiters);
  return last == NarrowString::npos ? fileName : fileName.substr(last + 1);
}

NarrowString ChangeFileExt(const NarrowString& fileName, std::string_view extension) {
  const size_t last = fileName.find_last_of(kPathDelimiters);
  const size_t dot = fileName.rfind('.');
  const bool hasExtension = dot != NarrowString::npos && (last == NarrowString::npos || dot > last);
  return (hasExtension ? fileName.substr(0, dot) : fileName) + NarrowString(extension);
}

NarrowString IncludeTrailingPathDelimiter(const NarrowString& folder) {
  if (!folder.empty() && kPathDelimiters.find(folder.back()) != std::string_view::npos) {
    return folder;
  }
  return folder + kPathDelimiter;
}

} // namespace velmora
