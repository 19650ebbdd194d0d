#include "platform/version_record.h"

#include <windows.h>

#include <vector>

// The fixed file version of a program's version resource, through the version functions.

namespace velmora {

std::optional<TFixedFileVersion> ReadFileVersionRecord(const NarrowString& fileName) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(fileName.c_str(), &ignored);
  if (size == 0) {
    return std::nullopt;
  }
  std::vector<char> data(size);
  if (!::GetFileVersionInfoA(fileName.c_str(), 0, size, data.data())) {
    return std::nullopt;
  }
  void* block = nullptr;
  UINT length = 0;
  char root[] = "\\";
  if (!::VerQueryValueA(data.data(), root, &block, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
  if (info->dwSignature != kVersionSignature) {
    return std::nullopt;
  }
  return TFixedFileVersion{info->dwFileVersionMS, info->dwFileVersionLS};
}

} // namespace velmora
