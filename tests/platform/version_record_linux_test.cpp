#include "platform/version_record.h"

#include <gtest/gtest.h>

#include "platform/executable_path.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::ReadWholeFile;
using testing::TTempFolder;

// Writes value as size bytes in the chosen byte order.
void PutWord(NarrowString& bytes, size_t at, uint64_t value, int size, bool bigEndian) {
  for (int i = 0; i < size; ++i) {
    const int shift = 8 * (bigEndian ? size - 1 - i : i);
    bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> shift) & 0xFF);
  }
}

// A minimal 32-bit ELF file with one note section holding the given notes.
NarrowString Elf32WithNotes(bool bigEndian, const NarrowString& notes) {
  const size_t notesAt = 52;
  const size_t tableAt = notesAt + notes.size();
  NarrowString bytes(tableAt + 2 * 40, '\0');
  bytes.replace(0, 4,
                "\x7F"
                "ELF");
  bytes[4] = 1;                 // 32-bit
  bytes[5] = bigEndian ? 2 : 1; // byte order
  bytes[6] = 1;
  PutWord(bytes, 32, tableAt, 4, bigEndian); // section table offset
  PutWord(bytes, 46, 40, 2, bigEndian);      // entry size
  PutWord(bytes, 48, 2, 2, bigEndian);       // count: the null section and the notes
  bytes.replace(notesAt, notes.size(), notes);
  const size_t entry = tableAt + 40;
  PutWord(bytes, entry + 4, 7, 4, bigEndian); // SHT_NOTE
  PutWord(bytes, entry + 16, notesAt, 4, bigEndian);
  PutWord(bytes, entry + 20, notes.size(), 4, bigEndian);
  PutWord(bytes, entry + 32, 4, 4, bigEndian);
  return bytes;
}

NarrowString Note(const NarrowString& name, uint32_t type, const std::vector<uint32_t>& words,
                  bool bigEndian) {
  const size_t nameSize = name.size() + 1;
  const size_t namePadded = (nameSize + 3) / 4 * 4;
  NarrowString note(12 + namePadded + 4 * words.size(), '\0');
  PutWord(note, 0, nameSize, 4, bigEndian);
  PutWord(note, 4, 4 * words.size(), 4, bigEndian);
  PutWord(note, 8, type, 4, bigEndian);
  note.replace(12, name.size(), name);
  for (size_t i = 0; i < words.size(); ++i) {
    PutWord(note, 12 + namePadded + 4 * i, words[i], 4, bigEndian);
  }
  return note;
}

TEST(VersionRecord, TheRunningProgramCarriesItsVersion) {
  const auto version = ReadFileVersionRecord(ExecutablePath());
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->FileVersionMS, (0u << 16) | 2u);
  EXPECT_EQ(version->FileVersionLS, (1u << 16) | 19u);
}

TEST(VersionRecord, FoundBehindOtherNotesInEitherByteOrder) {
  TTempFolder folder;
  for (bool bigEndian : {false, true}) {
    const NarrowString notes =
        Note("GNU", 3, {1, 2, 3}, bigEndian) +
        Note("Velmora", 2, {kVersionSignature, 5, 6}, bigEndian) +
        Note("Velmora", 1, {kVersionSignature, 0x00030004, 0x00050006}, bigEndian);
    folder.WriteFile("prog", Elf32WithNotes(bigEndian, notes));
    const auto version = ReadFileVersionRecord(folder.File("prog"));
    ASSERT_TRUE(version.has_value()) << bigEndian;
    EXPECT_EQ(version->FileVersionMS, 0x00030004u);
    EXPECT_EQ(version->FileVersionLS, 0x00050006u);
  }
}

TEST(VersionRecord, FilesWithoutARecordGiveNone) {
  TTempFolder folder;
  folder.WriteFile("text.txt", "not a program");
  folder.WriteFile("empty", "");
  folder.WriteFile("foreign",
                   Elf32WithNotes(false, Note("GNU", 1, {kVersionSignature, 1, 2}, false)));
  folder.WriteFile("bad-signature",
                   Elf32WithNotes(false, Note("Velmora", 1, {0x12345678, 1, 2}, false)));
  for (const char* name : {"text.txt", "empty", "foreign", "bad-signature", "missing"}) {
    EXPECT_FALSE(ReadFileVersionRecord(folder.File(name)).has_value()) << name;
  }
  EXPECT_FALSE(ReadFileVersionRecord(folder.Path()).has_value());
  EXPECT_FALSE(ReadFileVersionRecord("/bin/sh").has_value());
}

TEST(VersionRecord, DamagedFilesGiveNoneWithoutReadingOutOfBounds) {
  TTempFolder folder;
  const NarrowString program = ReadWholeFile(ExecutablePath());
  ASSERT_GT(program.size(), 4096u);
  // Cut copies of a real program: header only, header and part of the body.
  for (size_t length : {size_t{20}, size_t{64}, size_t{4096}, program.size() / 2}) {
    folder.WriteFile("cut", program.substr(0, length));
    EXPECT_FALSE(ReadFileVersionRecord(folder.File("cut")).has_value()) << length;
  }
  // Note sizes that point far beyond the section.
  NarrowString note = Note("Velmora", 1, {kVersionSignature, 1, 2}, false);
  PutWord(note, 0, 0xFFFFFFF0u, 4, false);
  folder.WriteFile("huge-name", Elf32WithNotes(false, note));
  EXPECT_FALSE(ReadFileVersionRecord(folder.File("huge-name")).has_value());
  // A section table with absurd counts and offsets.
  NarrowString header = Elf32WithNotes(false, "");
  PutWord(header, 32, 0xFFFFFFFFu, 4, false);
  PutWord(header, 48, 0xFFFF, 2, false);
  folder.WriteFile("bad-table", header);
  EXPECT_FALSE(ReadFileVersionRecord(folder.File("bad-table")).has_value());
}

} // namespace
} // namespace velmora
