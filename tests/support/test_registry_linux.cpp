#include "tests/support/test_registry.h"

#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/text_file.h"

namespace velmora::testing {

namespace {

// A text in the quoted form of user.reg.
NarrowString Quoted(const NarrowString& text) {
  NarrowString quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') {
      quoted += '\\';
    }
    quoted += c;
  }
  return quoted + "\"";
}

NarrowString EscapedKey(const NarrowString& key) {
  NarrowString escaped;
  for (char c : key) {
    escaped += c;
    if (c == '\\') {
      escaped += '\\';
    }
  }
  return escaped;
}

} // namespace

TTestUserRegistry::TTestUserRegistry(const NarrowString& folder)
    : FLocation(IncludeTrailingPathDelimiter(folder) + "user.reg") {
  ForceDirectories(folder);
}

TTestUserRegistry::~TTestUserRegistry() = default;

void TTestUserRegistry::WriteKey(const NarrowString& key,
                                 const std::vector<TTestRegistryValue>& values) {
  NarrowString content =
      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n[" +
      EscapedKey(key) + "] 1733700000\n#time=1db4a\n";
  for (const TTestRegistryValue& value : values) {
    content += Quoted(value.Name) + "=";
    switch (value.Type) {
    case TTestRegistryValue::rvString:
      content += Quoted(value.Data);
      break;
    case TTestRegistryValue::rvExpandString:
      content += "str(2):" + Quoted(value.Data);
      break;
    case TTestRegistryValue::rvDword: {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08lx", std::stoul(value.Data));
      content += "dword:" + NarrowString(hex);
      break;
    }
    }
    content += "\n";
  }
  TTextFile file(FLocation);
  file.Write(content);
  file.Close();
}

} // namespace velmora::testing
