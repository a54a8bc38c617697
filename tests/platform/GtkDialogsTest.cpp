#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/GtkDialogs.h"
#include "tests/support/TestSupport.h"

namespace {
struct cBusLookCase {
  const char* name;
  bool socketInRuntimeFolder;  // a session bus's socket at $XDG_RUNTIME_DIR/bus, no address given
  const char* userBackend;     // GSETTINGS_BACKEND as the user set it (null: unset)
  const char* noAtBridge;      // what the variables are after the look (null: unset)
  const char* backend;
  const char* vfs;
  const char* volumeMonitor;
};

// A listening socket, as the bus daemon leaves in the runtime folder.
bool ListenAt(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  return fd >= 0 && bind(fd, (sockaddr*)&address, sizeof(address)) == 0 && listen(fd, 1) == 0;
}
}  // namespace

// No session bus: the toolkit is kept off D-Bus, the variable the user set is
// kept; a bus found in the runtime folder leaves everything as it is. Mended:
// with XDG_RUNTIME_DIR unset, looking for a bus made ~/.cache.
TEST(GtkDialogs, TheToolkitStaysOffDBusOnlyWithoutASessionBusKeepingWhatTheUserSet) {
  const cBusLookCase cases[] = {
      {"no bus, no runtime folder", false, "dconf", "1", "dconf", "local", "unix"},
      {"a bus socket in the runtime folder", true, nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  for (const cBusLookCase& c : cases) {
    SCOPED_TRACE(c.name);
    cScratchDir home, runtime;
    EXPECT_EXIT(_exit(RunBodyInChild([&] {  // the environment is the child's
                  for (const char* name : {"DISPLAY", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS",
                                           "NO_AT_BRIDGE", "GSETTINGS_BACKEND", "GIO_USE_VFS", "GIO_USE_VOLUME_MONITOR"})
                    unsetenv(name);
                  setenv("HOME", home.Path().c_str(), 1);
                  if (c.userBackend) setenv("GSETTINGS_BACKEND", c.userBackend, 1);
                  if (c.socketInRuntimeFolder) {
                    ASSERT_TRUE(ListenAt(runtime.File("bus")));
                    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
                  }
                  GtkKeepOffDBusWithoutSessionBus();
                  EXPECT_STREQ(getenv("NO_AT_BRIDGE"), c.noAtBridge);
                  EXPECT_STREQ(getenv("GSETTINGS_BACKEND"), c.backend);
                  EXPECT_STREQ(getenv("GIO_USE_VFS"), c.vfs);
                  EXPECT_STREQ(getenv("GIO_USE_VOLUME_MONITOR"), c.volumeMonitor);
                  EXPECT_TRUE(std::filesystem::is_empty(home.Path())) << "made in the home folder";
                })),
                ::testing::ExitedWithCode(0), "");
  }
}
