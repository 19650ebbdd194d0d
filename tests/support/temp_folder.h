#pragma once
// A fresh folder for one test, removed with everything in it when the test ends.

#include "runtime/strings.h"

namespace velmora::testing {

class TTempFolder {
public:
  TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();

  const NarrowString& Path() const { return FPath; }
  // The path of name ("a/b.ini" too) inside the folder, with the platform's delimiters.
  NarrowString File(const NarrowString& name) const;

  void WriteFile(const NarrowString& name, std::string_view bytes) const;
  NarrowString ReadFile(const NarrowString& name) const;

private:
  NarrowString FPath;
};

// The whole content of a file; fails the test when it cannot be read.
NarrowString ReadWholeFile(const NarrowString& path);

// A file of the test data folder (tests/data).
NarrowString TestDataFile(const NarrowString& relativePath);

} // namespace velmora::testing
