#pragma once
// The current user's registry for one test: on Linux a user.reg file in the test's folder,
// on Windows a fresh key that stands in for HKEY_CURRENT_USER in this process while the
// object lives.

#include <vector>

#include "runtime/strings.h"

namespace velmora::testing {

struct TTestRegistryValue {
  enum TType : uint8_t { rvString, rvExpandString, rvDword };
  NarrowString Name;
  TType Type = rvString;
  NarrowString Data; // the text, or the number in decimal
};

class TTestUserRegistry {
public:
  explicit TTestUserRegistry(const NarrowString& folder);
  TTestUserRegistry(const TTestUserRegistry&) = delete;
  TTestUserRegistry& operator=(const TTestUserRegistry&) = delete;
  ~TTestUserRegistry();

  // What TRegistry and TAppEnvironment::UserRegistry take.
  const NarrowString& Location() const { return FLocation; }

  // Creates key ("Software\\Vendor\\Program") with values; earlier keys are gone.
  void WriteKey(const NarrowString& key, const std::vector<TTestRegistryValue>& values);

private:
  NarrowString FLocation; // Linux: the user.reg file
  NarrowString FKeyName;  // Windows: the key that stands in for HKEY_CURRENT_USER
  void* FRoot = nullptr;
};

} // namespace velmora::testing
