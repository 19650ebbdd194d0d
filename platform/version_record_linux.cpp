#include "platform/version_record.h"

#include <unistd.h>

#include <cstring>
#include <vector>

#include "runtime/files.h"

namespace velmora {

namespace {

constexpr uint32_t kSectionTypeNote = 7;
// Bounds that no real program reaches; they keep a damaged header from costing much.
constexpr uint64_t kMaxSections = 1u << 16;
constexpr uint64_t kMaxNoteSectionSize = 1u << 20;

class TElfFile {
public:
  explicit TElfFile(const TFileDescriptor& file) : FFile(file) {}

  bool ReadAt(uint64_t offset, void* buffer, size_t count) const {
    if (offset > static_cast<uint64_t>(INT64_MAX)) {
      return false;
    }
    char* out = static_cast<char*>(buffer);
    while (count > 0) {
      const ssize_t got = ::pread(FFile.Get(), out, count, static_cast<off_t>(offset));
      if (got <= 0) {
        return false;
      }
      out += got;
      offset += static_cast<uint64_t>(got);
      count -= static_cast<size_t>(got);
    }
    return true;
  }

  // Reads the header; false when this is no ELF file of a known class and byte order.
  bool ReadHeader() {
    unsigned char ident[16];
    if (!ReadAt(0, ident, sizeof ident) || std::memcmp(ident,
                                                       "\x7F"
                                                       "ELF",
                                                       4) != 0) {
      return false;
    }
    if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2)) {
      return false;
    }
    FIs64 = ident[4] == 2;
    FBigEndian = ident[5] == 2;
    unsigned char header[64];
    if (!ReadAt(0, header, FIs64 ? 64 : 52)) {
      return false;
    }
    FSectionTableOffset = FIs64 ? Word(header + 40, 8) : Word(header + 32, 4);
    FSectionEntrySize = Word(header + (FIs64 ? 58 : 46), 2);
    FSectionCount = Word(header + (FIs64 ? 60 : 48), 2);
    if (FSectionEntrySize < (FIs64 ? 64u : 40u)) {
      return false;
    }
    if (FSectionCount == 0 && FSectionTableOffset != 0) {
      // Extended numbering: the count sits in the size field of section 0.
      Section first;
      if (!ReadSection(0, first)) {
        return false;
      }
      FSectionCount = first.Size;
    }
    return FSectionCount <= kMaxSections;
  }

  struct Section {
    uint32_t Type = 0;
    uint64_t Offset = 0;
    uint64_t Size = 0;
    uint64_t Alignment = 0;
  };

  uint64_t SectionCount() const { return FSectionCount; }

  bool ReadSection(uint64_t index, Section& section) const {
    unsigned char entry[64];
    if (index > kMaxSections || FSectionTableOffset > UINT64_MAX - index * FSectionEntrySize ||
        !ReadAt(FSectionTableOffset + index * FSectionEntrySize, entry, FIs64 ? 64 : 40)) {
      return false;
    }
    section.Type = static_cast<uint32_t>(Word(entry + 4, 4));
    if (FIs64) {
      section.Offset = Word(entry + 24, 8);
      section.Size = Word(entry + 32, 8);
      section.Alignment = Word(entry + 48, 8);
    } else {
      section.Offset = Word(entry + 16, 4);
      section.Size = Word(entry + 20, 4);
      section.Alignment = Word(entry + 32, 4);
    }
    return true;
  }

  uint64_t Word(const unsigned char* bytes, int size) const {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
      const int index = FBigEndian ? i : size - 1 - i;
      value = (value << 8) | bytes[index];
    }
    return value;
  }

private:
  const TFileDescriptor& FFile;
  bool FIs64 = false;
  bool FBigEndian = false;
  uint64_t FSectionTableOffset = 0;
  uint64_t FSectionEntrySize = 0;
  uint64_t FSectionCount = 0;
};

uint64_t AlignUp(uint64_t value, uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// Looks through the notes of one note section for the version record.
std::optional<TFixedFileVersion> FindVersionNote(const TElfFile& elf,
                                                 const TElfFile::Section& section) {
  if (section.Size > kMaxNoteSectionSize) {
    return std::nullopt;
  }
  std::vector<unsigned char> data(static_cast<size_t>(section.Size));
  if (!elf.ReadAt(section.Offset, data.data(), data.size())) {
    return std::nullopt;
  }
  const uint64_t alignment = section.Alignment == 8 ? 8 : 4;
  static constexpr char kName[] = "Velmora";
  uint64_t pos = 0;
  while (pos + 12 <= data.size()) {
    const uint64_t nameSize = elf.Word(&data[pos], 4);
    const uint64_t descSize = elf.Word(&data[pos + 4], 4);
    const uint64_t type = elf.Word(&data[pos + 8], 4);
    const uint64_t nameAt = pos + 12;
    const uint64_t descAt = AlignUp(nameAt + nameSize, alignment);
    const uint64_t next = AlignUp(descAt + descSize, alignment);
    if (next > data.size()) {
      return std::nullopt;
    }
    if (type == kVersionNoteType && nameSize == sizeof kName &&
        std::memcmp(&data[nameAt], kName, sizeof kName) == 0 && descSize >= 12 &&
        elf.Word(&data[descAt], 4) == kVersionSignature) {
      return TFixedFileVersion{static_cast<uint32_t>(elf.Word(&data[descAt + 4], 4)),
                               static_cast<uint32_t>(elf.Word(&data[descAt + 8], 4))};
    }
    pos = next;
  }
  return std::nullopt;
}

} // namespace

std::optional<TFixedFileVersion> ReadFileVersionRecord(const NarrowString& fileName) {
  TFileDescriptor file;
  if (OpenFile(fileName, faRead, file) != 0) {
    return std::nullopt;
  }
  TElfFile elf(file);
  if (!elf.ReadHeader()) {
    return std::nullopt;
  }
  for (uint64_t i = 0; i < elf.SectionCount(); ++i) {
    TElfFile::Section section;
    if (!elf.ReadSection(i, section)) {
      return std::nullopt;
    }
    if (section.Type == kSectionTypeNote) {
      if (auto version = FindVersionNote(elf, section)) {
        return version;
      }
    }
  }
  return std::nullopt;
}

} // namespace velmora
