#include "runtime/streams.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "runtime/text_file.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::TTempFolder;

TEST(MemoryStream, OwningStreamGrowsAndSeeks) {
  TMemoryStream stream;
  stream.WriteBuffer("hello", 5);
  EXPECT_EQ(stream.Size(), 5);
  EXPECT_EQ(stream.Position(), 5);
  stream.Seek(8, soBeginning); // past the end: writing fills the gap with zeros
  stream.WriteBuffer("!", 1);
  EXPECT_EQ(stream.Size(), 9);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), 9),
            std::string("hello\0\0\0!", 9));

  char buffer[16] = {};
  stream.SetPosition(3);
  EXPECT_EQ(stream.Read(buffer, 16), 6);
  EXPECT_EQ(stream.Read(buffer, 16), 0);
  EXPECT_EQ(stream.Seek(-2, soEnd), 7);
  EXPECT_THROW(stream.Seek(-10, soCurrent), EStreamError);
  EXPECT_THROW(stream.ReadBuffer(buffer, 3), EReadError);
}

TEST(Stream, ReadRestTakesUpToTheLimitAndTellsWhetherThatWasAll) {
  struct TCase {
    size_t Size;
    int64_t Limit;
    bool All;
    size_t Kept;
  };
  // Pieces are 64 KiB: 131072 bytes are two of them.
  const TCase cases[] = {
      {0, 10, true, 0},
      {10, 10, true, 10},
      {11, 10, false, 10},
      {200000, 1 << 20, true, 200000},
      {131072, 131072, true, 131072},
      {131073, 131072, false, 131072},
      {5, 0, false, 0},
  };
  for (const TCase& c : cases) {
    std::string data(c.Size, '\0');
    for (size_t i = 0; i < data.size(); ++i) {
      data[i] = static_cast<char>('a' + i % 26);
    }
    // The bytes are appended: what the text held before does not count against the limit.
    TMemoryStream stream(data.data(), static_cast<int64_t>(data.size()));
    NarrowString bytes = "held";
    EXPECT_EQ(stream.ReadRest(bytes, c.Limit), c.All) << c.Size << " of " << c.Limit;
    EXPECT_EQ(bytes, "held" + data.substr(0, c.Kept)) << c.Size << " of " << c.Limit;
  }
}

TEST(MemoryStream, ViewReadsForeignBytesAndRefusesWriting) {
  const char text[] = "abcdef";
  TMemoryStream view(text, 6);
  EXPECT_TRUE(view.IsView());
  char buffer[4] = {};
  view.ReadBuffer(buffer, 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(view.Write("x", 1), 0);
  EXPECT_THROW(view.WriteBuffer("x", 1), EWriteError);
  EXPECT_EQ(text[3], 'd');
}

TEST(FileStream, ReadsWritesAndSeeks) {
  TTempFolder folder;
  {
    TFileStream out(folder.File("data.bin"), faCreate);
    out.WriteBuffer("0123456789", 10);
    out.SetSize(8);
  }
  TFileStream in(folder.File("data.bin"), faRead);
  EXPECT_EQ(in.Size(), 8);
  in.Seek(-3, soEnd);
  char buffer[8] = {};
  EXPECT_EQ(in.Read(buffer, 8), 3);
  EXPECT_EQ(std::string(buffer, 3), "567");
  EXPECT_THROW(in.WriteBuffer("x", 1), EInOutError); // opened read-only
}

TEST(FileStream, OpenFailureNamesFullPathAndReason) {
  TTempFolder folder;
  try {
    TFileStream stream(folder.File("missing.lmc"), faRead);
    FAIL() << "no exception";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "Datei " + folder.File("missing.lmc") +
                                   " kann nicht geöffnet werden. Das System kann die "
                                   "angegebene Datei nicht finden");
  }
  try {
    TFileStream stream(folder.Path(), faRead);
    FAIL() << "a folder opened as a file";
  } catch (const EFOpenError& error) {
    EXPECT_NE(error.Message().find("Zugriff verweigert"), NarrowString::npos);
  }
}

TEST(TextFile, WritesBufferedAndTruncates) {
  TTempFolder folder;
  folder.WriteFile("out.adr", "old content that must go");
  TTextFile file(folder.File("out.adr"));
  file.WriteLine("first");
  const NarrowString large(40000, 'x'); // larger than the buffer
  file.Write(large);
  file.WriteLine("");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(folder.ReadFile("out.adr"), "first\r\n" + large + "\r\n");
  EXPECT_THROW(file.Write("late"), EInOutError);
}

TEST(TextFile, DestructorKeepsWhatWasWrittenBeforeAFailure) {
  TTempFolder folder;
  try {
    TTextFile file(folder.File("partial.adr"));
    file.WriteLine("kept");
    throw EConvertError("something else failed");
  } catch (const EConvertError&) {
  }
  EXPECT_EQ(folder.ReadFile("partial.adr"), "kept\r\n");
}

TEST(TextFile, FailuresRaiseInOutErrorsWithCodes) {
  TTempFolder folder;
  try {
    TTextFile file(folder.File("no-folder/out.adr"));
    FAIL() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode(), 3);
    EXPECT_STREQ(error.what(), "Ungültiger Dateiname");
  }
  try {
    TTextFile file(folder.Path());
    FAIL() << "no exception";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.ErrorCode(), 5);
  }
}

} // namespace
} // namespace velmora
