#pragma once
// The tags one run's library reports call unknown, in the order first met, and the tag
// options as they stood before the wrapper taught the library those names.

#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/strings.h"

namespace velmora {

class tUnknownTags {
public:
  // Takes the tag that a library report names: "<x> is not recognized!" adds x,
  // "discarding unexpected </x>" marks a recorded x as having an end tag.
  void Record(std::string_view message);

  bool Empty() const { return FNames.empty(); }
  // Every recorded name, then the names seen without an end tag.
  std::vector<NarrowString> Names() const;
  std::vector<NarrowString> NamesWithoutEndTag() const;

  // The value of a tag option extended by names: saved followed by them, joined by ",".
  static NarrowString Extended(std::string_view saved, const std::vector<NarrowString>& names);

  // The option values before the extension; kept until Forget.
  void SaveOptions(NarrowString inlineTags, NarrowString emptyTags);
  bool HasSavedOptions() const { return FSaved.has_value(); }
  const NarrowString& SavedInlineTags() const { return FSaved->first; }
  const NarrowString& SavedEmptyTags() const { return FSaved->second; }

  // Forgets the names and the saved values.
  void Forget();

private:
  struct TTag {
    NarrowString Name;
    bool EndTagSeen = false;
  };

  std::vector<TTag> FNames;
  // Lower-cased name to its index: names compare ignoring case.
  std::unordered_map<NarrowString, size_t> FIndex;
  std::optional<std::pair<NarrowString, NarrowString>> FSaved;
};

} // namespace velmora
