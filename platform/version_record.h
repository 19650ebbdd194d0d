#pragma once
// The version record of a program file. On Windows it is the fixed file version of the
// VERSIONINFO resource (cmake/version_info.rc.in). On Linux every program of this system
// carries one as an ELF note (cmake/version_note.cpp.in writes it): name "Velmora", type
// kVersionNoteType, and a descriptor of three 32-bit words in the file's byte order:
// kVersionSignature, then the most and the least significant word of the fixed file
// version.

#include <cstdint>
#include <optional>

#include "runtime/strings.h"

namespace velmora {

constexpr uint32_t kVersionNoteType = 1;
constexpr uint32_t kVersionSignature = 0xFEEF04BD;

struct TFixedFileVersion {
  uint32_t FileVersionMS; // major << 16 | minor
  uint32_t FileVersionLS; // release << 16 | build
};

// The version record of fileName; none when the file cannot be read, is no program file,
// or carries no record. Damaged files give none, never a failure.
std::optional<TFixedFileVersion> ReadFileVersionRecord(const NarrowString& fileName);

} // namespace velmora
