#include "docservice/html/unknown_tags.h"

namespace velmora {

namespace {

NarrowString LowerAscii(std::string_view text) {
  NarrowString lower(text);
  for (char& c : lower) {
    c = AsciiLower(c);
  }
  return lower;
}

} // namespace

void tUnknownTags::Record(std::string_view message) {
  constexpr std::string_view kNotRecognized = "> is not recognized!";
  constexpr std::string_view kDiscarding = "discarding unexpected </";
  if (message.starts_with('<') && message.find(kNotRecognized) != std::string_view::npos) {
    const std::string_view name = message.substr(1, message.find('>') - 1);
    if (FIndex.emplace(LowerAscii(name), FNames.size()).second) {
      FNames.push_back({NarrowString(name), false});
    }
  } else if (message.starts_with(kDiscarding)) {
    const std::string_view rest = message.substr(kDiscarding.size());
    const auto found = FIndex.find(LowerAscii(rest.substr(0, rest.find('>'))));
    if (found != FIndex.end()) {
      FNames[found->second].EndTagSeen = true;
    }
  }
}

std::vector<NarrowString> tUnknownTags::Names() const {
  std::vector<NarrowString> names;
  for (const TTag& tag : FNames) {
    names.push_back(tag.Name);
  }
  return names;
}

std::vector<NarrowString> tUnknownTags::NamesWithoutEndTag() const {
  std::vector<NarrowString> names;
  for (const TTag& tag : FNames) {
    if (!tag.EndTagSeen) {
      names.push_back(tag.Name);
    }
  }
  return names;
}

NarrowString tUnknownTags::Extended(std::string_view saved,
                                    const std::vector<NarrowString>& names) {
  NarrowString value(saved);
  for (const NarrowString& name : names) {
    if (!value.empty()) {
      value += ',';
    }
    value += name;
  }
  return value;
}

void tUnknownTags::SaveOptions(NarrowString inlineTags, NarrowString emptyTags) {
  FSaved.emplace(std::move(inlineTags), std::move(emptyTags));
}

void tUnknownTags::Forget() {
  FNames.clear();
  FIndex.clear();
  FSaved.reset();
}

} // namespace velmora
