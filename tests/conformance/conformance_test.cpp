// The W3C XML 1.0 conformance cases, external entities read where a case has them: every
// not-wf case must be refused, every valid and invalid case accepted; in validating mode
// every valid case must validate and every invalid case must be flagged; and every valid
// case with an output file must give exactly that output in canonical form. Failures that
// are known and explained in known_failures.tsv are counted, not failed; any other
// failure fails the test.

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "cli/xml_tool.h"
#include "dom/document.h"
#include "xml/xml_to_dom_parser.h"

namespace velmora::testing {
namespace {

struct TCase {
  std::string Id, Type, Entities, Namespace, Version, Edition, Recommendation, Uri, Output;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, '\t')) {
    fields.push_back(field);
  }
  return fields;
}

std::vector<TCase> ReadManifest() {
  std::ifstream in(std::string(VELMORA_XMLCONF) + "/manifest.tsv");
  std::vector<TCase> cases;
  std::string line;
  std::getline(in, line); // the header
  while (std::getline(in, line)) {
    std::vector<std::string> f = SplitTabs(line);
    f.resize(10);
    cases.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8]});
  }
  return cases;
}

// id -> reason
std::map<std::string, std::string> ReadKnownFailures() {
  std::ifstream in(VELMORA_KNOWN_FAILURES);
  std::map<std::string, std::string> known;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::vector<std::string> f = SplitTabs(line);
    known[f[0]] = f.size() > 1 ? f[1] : "";
  }
  return known;
}

// XML 1.0, editions 1 to 4 (an empty edition is all of them).
bool Selected(const TCase& c) {
  if (c.Version != "1.0" || c.Recommendation != "XML1.0") {
    return false;
  }
  if (c.Type != "not-wf" && c.Type != "valid" && c.Type != "invalid") {
    return false;
  }
  if (c.Edition.empty()) {
    return true;
  }
  for (char edition : std::string("1234")) {
    if (c.Edition.find(edition) != std::string::npos) {
      return true;
    }
  }
  return false;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// Cases with external entities are checked with them read.
bool WellFormed(const std::string& path, const TCase& c) {
  std::ostringstream records;
  return CheckFile(path, c.Entities != "none", records);
}

bool Valid(const std::string& path) {
  std::ostringstream records;
  return ValidateFile(path, records);
}

// What went wrong with one case, or empty.
std::string Check(const TCase& c) {
  const std::string path = std::string(VELMORA_XMLCONF) + "/" + c.Uri;
  if (c.Type == "not-wf") {
    return WellFormed(path, c) ? "accepted" : "";
  }
  if (!WellFormed(path, c)) {
    return "refused";
  }
  if (c.Type == "invalid") {
    return Valid(path) ? "not flagged as invalid" : "";
  }
  if (!Valid(path)) {
    return "not valid";
  }
  if (c.Output.empty()) {
    return "";
  }
  NarrowString form;
  NarrowString error;
  if (!CanonicalFormOfFile(path, form, error)) {
    return "refused: " + error.substr(0, error.find('\n'));
  }
  const std::string expected = ReadFile(std::string(VELMORA_XMLCONF) + "/" + c.Output);
  return form == expected ? "" : "output differs";
}

TEST(Conformance, XmlOneCases) {
  const std::map<std::string, std::string> known = ReadKnownFailures();
  std::map<std::string, std::pair<int, int>> counts; // type -> passed, total
  std::set<std::string> knownSeen;
  int unexpected = 0;
  for (const TCase& c : ReadManifest()) {
    if (!Selected(c)) {
      continue;
    }
    const std::string failure = Check(c);
    std::pair<int, int>& count = counts[c.Type];
    ++count.second;
    if (failure.empty()) {
      ++count.first;
      if (known.count(c.Id) != 0) {
        ADD_FAILURE() << c.Id << " passes but is listed as a known failure";
      }
      continue;
    }
    const auto entry = known.find(c.Id);
    if (entry != known.end()) {
      knownSeen.insert(c.Id);
      std::cout << "known failure " << c.Id << " (" << c.Uri << "): " << failure << " - "
                << entry->second << "\n";
      continue;
    }
    ++unexpected;
    ADD_FAILURE() << c.Id << " (" << c.Uri << "): " << failure;
  }
  for (const auto& [type, count] : counts) {
    std::cout << type << ": " << count.first << " of " << count.second << " pass\n";
  }
  std::cout << "known failures: " << knownSeen.size() << "\n";
  EXPECT_EQ(unexpected, 0);
}

} // namespace
} // namespace velmora::testing
