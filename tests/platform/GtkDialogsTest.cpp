// What the desktop's dialogs set up before GTK starts, in a child of its own
// for each row: the environment it changes is the process's.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/GtkDialogs.h"
#include "tests/support/TestSupport.h"

namespace {
const char* const kKeptOff[] = {"NO_AT_BRIDGE", "GSETTINGS_BACKEND", "GIO_USE_VFS", "GIO_USE_VOLUME_MONITOR"};

int EntriesIn(const std::string& folder) {
  int entries = 0;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) entries += strcmp(entry->d_name, ".") && strcmp(entry->d_name, "..");
    closedir(dir);
  }
  return entries;
}
}  // namespace

// Where no session bus runs, the toolkit's accessibility bridge, settings
// store and file system layer are kept off D-Bus, a variable the user set is
// kept, and with a bus nothing changes. Looking for a bus creates nothing.
// Mended: with XDG_RUNTIME_DIR unset, the look made ~/.cache.
TEST(GtkDialogs, WithoutASessionBusTheToolkitStaysOffDBusKeepingWhatTheUserSet) {
  const struct {
    const char* name;
    const char* address;      // DBUS_SESSION_BUS_ADDRESS
    const char* runtime;      // XDG_RUNTIME_DIR: none, "empty" (a folder), "bus" (a folder with the bus's socket)
    const char* userBackend;  // GSETTINGS_BACKEND the user set
    const char* expected[4];  // kKeptOff afterwards; nullptr: unset
  } rows[] = {
      {"no runtime folder", nullptr, nullptr, nullptr, {"1", "memory", "local", "unix"}},
      {"a runtime folder without a bus", nullptr, "empty", nullptr, {"1", "memory", "local", "unix"}},
      {"the user's own settings store", nullptr, nullptr, "dconf", {"1", "dconf", "local", "unix"}},
      {"a bus at its address", "unix:path=/nowhere", nullptr, nullptr, {nullptr, nullptr, nullptr, nullptr}},
      {"a bus in the runtime folder", nullptr, "bus", nullptr, {nullptr, nullptr, nullptr, nullptr}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cScratchDir home, runtime;
    if (row.runtime && std::string(row.runtime) == "bus") runtime.Write("bus", "");
    EXPECT_EXIT(_exit(RunBodyInChild([&] {
                  unsetenv("DISPLAY");  // no bus started for a display either
                  unsetenv("XDG_CACHE_HOME");
                  setenv("HOME", home.Path().c_str(), 1);
                  for (const char* name : kKeptOff) unsetenv(name);
                  if (row.address) setenv("DBUS_SESSION_BUS_ADDRESS", row.address, 1);
                  else unsetenv("DBUS_SESSION_BUS_ADDRESS");
                  if (row.runtime) setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
                  else unsetenv("XDG_RUNTIME_DIR");
                  if (row.userBackend) setenv("GSETTINGS_BACKEND", row.userBackend, 1);
                  GtkKeepOffDBusWithoutSessionBus();
                  for (int i = 0; i < 4; ++i) {
                    const char* value = getenv(kKeptOff[i]);
                    EXPECT_STREQ(value, row.expected[i]) << kKeptOff[i];
                  }
                  EXPECT_EQ(EntriesIn(home.Path()), 0) << "made in the home folder";
                })),
                ::testing::ExitedWithCode(0), "");
  }
}
