// Saving the main window's settings: the fifteen keys of one save written one at a time
// through the profile functions (each reads, rewrites and syncs the file) against one read
// and one write of the whole save. range(0) is the number of lines the file holds beside the
// window's section.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/ini_file.h"

namespace velmora {
namespace {

constexpr std::pair<const char*, const char*> kSaveKeys[] = {
    {"FormVersion", "0"},
    {"Flags", "0"},
    {"ShowCmd", "1"},
    {"PixelsPerInch", "96"},
    {"MinMaxPos(1024x768)", "-1,-1,-1,-1"},
    {"MinMaxPos", "-1,-1,-1,-1"},
    {"NormPos(1024x768)", "297,169,689,342"},
    {"NormPos", "297,169,689,342"},
    {"Visible", "0"},
    {"seCountryCode_Value", "49"},
    {"feLMCFile_Text", "/home/anna/Mobius.lmc"},
    {"feOutFile_Text", "/home/anna/BUCH.ADR"},
    {"LMCFileName", "/home/anna/Mobius.lmc"},
    {"OutFileName", "/home/anna/BUCH.ADR"},
    {"CountryCode", "49"},
};

// A settings file in a fresh folder, with otherLines keys of another section before the
// window's; removed with its folder when the benchmark ends.
class TSettingsFile {
public:
  explicit TSettingsFile(int64_t otherLines) {
    char pattern[] = "/tmp/velmora-bench-XXXXXX";
    FFolder = ::mkdtemp(pattern);
    FPath = FFolder + "/velmora.INI";
    FContent = "[Other]\n";
    for (int64_t i = 0; i < otherLines; ++i) {
      FContent += "Key" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
    }
    FContent += "[TfrmMain]\n";
    for (const auto& [key, value] : kSaveKeys) {
      FContent += NarrowString(key) + "=" + value + "x\n"; // a save changes every key
    }
    Reset();
  }
  ~TSettingsFile() { std::filesystem::remove_all(FFolder); }

  // Durable, so that no write-back of this content falls into the timed part.
  void Reset() const {
    const int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, FContent.data(), FContent.size()) < 0 || ::fsync(fd) != 0) {
      std::abort();
    }
    ::close(fd);
  }

  const NarrowString& Path() const { return FPath; }

private:
  NarrowString FFolder;
  NarrowString FPath;
  NarrowString FContent;
};

void BM_SaveKeyByKey(benchmark::State& state) {
  TSettingsFile file(state.range(0));
  for (auto _ : state) {
    for (const auto& [key, value] : kSaveKeys) {
      TIniFile(file.Path()).WriteString("TfrmMain", key, value);
    }
    state.PauseTiming();
    file.Reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SaveKeyByKey)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SaveInOneWrite(benchmark::State& state) {
  TSettingsFile file(state.range(0));
  for (auto _ : state) {
    TMemIniFile settings(file.Path());
    for (const auto& [key, value] : kSaveKeys) {
      settings.WriteString("TfrmMain", key, value);
    }
    settings.UpdateFile();
    state.PauseTiming();
    file.Reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SaveInOneWrite)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmora
