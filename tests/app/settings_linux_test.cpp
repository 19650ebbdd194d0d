#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/files.h"
#include "tests/app/app_fixture.h"
#include "tests/support/unprivileged_child.h"

namespace velmora::testing {
namespace {

// Permission bits and the kernel's file events: Linux only.
class SettingsLinuxTest : public AppFixture {
protected:
  // Values of the phone manager's key in the notation of Wine's user.reg.
  void WriteWineRegistry(std::string_view values) const {
    FFolder.WriteFile("wine/user.reg",
                      "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n"
                      "[Software\\\\Kestrovan\\\\MobiusPX] 1733700000\n#time=1db4a\n" +
                          NarrowString(values) + "\n");
  }
};

TEST_F(SettingsLinuxTest, RegistryPathIsMappedThroughTheWineDrive) {
  ForceDirectories(FFolder.File("wine/drive_c/users/anna"));
  ForceDirectories(FFolder.File("wine/dosdevices"));
  ASSERT_EQ(::symlink("../drive_c", FFolder.File("wine/dosdevices/c:").c_str()), 0);
  WriteWineRegistry("\"DefaultStorage\"=\"C:\\\\users\\\\anna\\\\J\\x00f6rg.lmc\"");
  StartUp();
  EXPECT_EQ(FView.Fields[feLMCFile], FFolder.File("wine/dosdevices/c:/users/anna/Jörg.lmc"));
}

TEST_F(SettingsLinuxTest, RegistryStringsOfEveryFormGiveTheBackupField) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"x.lmc\"", "x.lmc"},
      // Not expanded; without a drive link the path stays as stored.
      {"str(2):\"%USERPROFILE%\\\\Mobius.lmc\"", "%USERPROFILE%\\Mobius.lmc"},
      // UTF-16LE bytes as Wine writes strings of odd byte length.
      {"hex(1):4a,00,f6,00,2e,00,6c,00,6d,00,63,00,00", "Jö.lmc"},
      {"hex(2):25,00,41,00,25,00,2e,00,\\\n  6c,00,6d,00,63,00,00,00", "%A%.lmc"},
  };
  for (const auto& [stored, expected] : cases) {
    WriteWineRegistry("\"DefaultStorage\"=" + NarrowString(stored));
    TFakeMainView view;
    TfrmMain* form = new TfrmMain(nullptr, view);
    form->HandleShow();
    EXPECT_EQ(view.Fields[feLMCFile], expected) << stored;
    EXPECT_TRUE(view.ErrorBoxes.empty()) << stored;
    form->FormStorage1()->SetActive(false);
    form->Free();
  }
}

// How often the kernel saw a file in one folder opened and renamed onto.
class TFileEvents {
public:
  struct TCounts {
    int Opened = 0;
    int Replaced = 0;
    bool operator==(const TCounts&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const TCounts& counts) {
      return out << counts.Opened << " opened, " << counts.Replaced << " replaced";
    }
  };

  explicit TFileEvents(const NarrowString& folder)
      : FFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    // The kernel merges an event with the one queued just before when they are equal; the
    // closes between the opens keep repeated opens apart.
    EXPECT_GE(::inotify_add_watch(FFd, folder.c_str(), IN_OPEN | IN_CLOSE_NOWRITE | IN_MOVED_TO),
              0);
  }
  ~TFileEvents() { ::close(FFd); }

  // The events on name since the last call.
  TCounts Take(const NarrowString& name) {
    TCounts counts;
    alignas(inotify_event) char buffer[8192];
    ssize_t length;
    while ((length = ::read(FFd, buffer, sizeof buffer)) > 0) {
      for (char* at = buffer; at < buffer + length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if (event->len > 0 && name == event->name) {
          counts.Opened += (event->mask & IN_OPEN) ? 1 : 0;
          counts.Replaced += (event->mask & IN_MOVED_TO) ? 1 : 0;
        }
        at += sizeof(inotify_event) + event->len;
      }
    }
    return counts;
  }

private:
  int FFd;
};

TEST_F(SettingsLinuxTest, RestoreReadsTheFileOnceAndSaveWritesItOnce) {
  WriteSettings("[TfrmMain]\nLMCFileName=a.lmc\nNormPos=10,20,410,220\n");
  TFileEvents events(FFolder.File("bin"));
  StartUp();
  EXPECT_EQ(events.Take("velmora.INI"), (TFileEvents::TCounts{1, 0}));
  CloseWindow();
  EXPECT_EQ(events.Take("velmora.INI"), (TFileEvents::TCounts{1, 1}));
  EXPECT_EQ(Setting("CountryCode"), "49");
}

TEST_F(SettingsLinuxTest, UnreadableSettingsFileIsLeftAloneAndTheSaveFails) {
  const NarrowString kept = "[TfrmMain]\nLMCFileName=keep.lmc\nCountryCode=41\n";
  EXPECT_TRUE(RunWithoutSuperuserRights(FFolder.Path(), [&] {
    WriteSettings(kept);
    ASSERT_EQ(::chmod(IniPath().c_str(), 0200), 0); // may be written, not read
    StartUp();
    EXPECT_EQ(FView.Fields[feLMCFile], "Mobius.lmc");
    EXPECT_EQ(FView.CountryCode, 49);
    CloseWindow();
    const TFakeMainView::TBox failure{"Velmora",
                                      "In " + IniPath() + " kann nicht geschrieben werden."};
    EXPECT_EQ(FView.ErrorBoxes, (std::vector<TFakeMainView::TBox>{failure, failure}));
    ASSERT_EQ(::chmod(IniPath().c_str(), 0600), 0);
    EXPECT_EQ(FFolder.ReadFile("bin/velmora.INI"), kept);
  }));
}

TEST_F(SettingsLinuxTest, ReadOnlyProgramFolderSendsTheSettingsToTheUserFolder) {
  ASSERT_TRUE(ForceDirectories(FFolder.File("read-only")));
  ASSERT_EQ(::chmod(FFolder.File("read-only").c_str(), 0555), 0);
  EXPECT_TRUE(RunWithoutSuperuserRights(FFolder.Path(), [&] {
    Application().SetEnvironment(
        {FFolder.File("read-only/velmora"), FFolder.File("config"), FFolder.File("none.reg")});
    StartUp();
    EXPECT_EQ(FForm->FormStorage1()->IniFilePath(), FFolder.File("config/velmora/velmora.INI"));
    CloseWindow();
    EXPECT_EQ(TIniFile(FFolder.File("config/velmora/velmora.INI"))
                  .ReadString("TfrmMain", "Visible", "<missing>"),
              "0");
    EXPECT_FALSE(FileExists(FFolder.File("read-only/velmora.INI")));
  }));
}

} // namespace
} // namespace velmora::testing
