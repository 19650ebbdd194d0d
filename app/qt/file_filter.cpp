#include "app/qt/file_filter.h"

#include "toolkit/string_toolkit.h"

namespace velmora {

namespace {

NarrowString QtPatterns(std::string_view patterns) {
  NarrowString result;
  for (const NarrowString& pattern : SplitText(';', patterns)) {
    if (!result.empty()) {
      result += ' ';
    }
    result += pattern == "*.*" ? "*" : pattern;
  }
  return result;
}

} // namespace

NarrowString QtFileDialogFilter(std::string_view filter) {
  const std::vector<NarrowString> parts = SplitText('|', filter);
  NarrowString result;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    const NarrowString& description = parts[i];
    const NarrowString shown = "(" + parts[i + 1] + ")";
    const NarrowString qtShown = "(" + QtPatterns(parts[i + 1]) + ")";
    if (!result.empty()) {
      result += ";;";
    }
    // A description that already shows its patterns shows them once, in Qt's form.
    if (description.size() >= shown.size() &&
        description.compare(description.size() - shown.size(), shown.size(), shown) == 0) {
      result += description.substr(0, description.size() - shown.size()) + qtShown;
    } else {
      result += description + " " + qtShown;
    }
  }
  return result;
}

} // namespace velmora
