#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/GtkDialogs.h"
#include "tests/support/TestSupport.h"

// No session bus: the toolkit is kept off D-Bus, the variable the user set is
// kept. Mended: with XDG_RUNTIME_DIR unset, looking for a bus made ~/.cache.
TEST(GtkDialogs, WithoutASessionBusTheToolkitStaysOffDBusKeepingWhatTheUserSet) {
  cScratchDir home;
  EXPECT_EXIT(_exit(RunBodyInChild([&] {  // the environment is the child's
                for (const char* name : {"DISPLAY", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS",
                                         "NO_AT_BRIDGE", "GIO_USE_VFS"})
                  unsetenv(name);
                setenv("HOME", home.Path().c_str(), 1);
                setenv("GSETTINGS_BACKEND", "dconf", 1);
                GtkKeepOffDBusWithoutSessionBus();
                EXPECT_STREQ(getenv("NO_AT_BRIDGE"), "1");
                EXPECT_STREQ(getenv("GIO_USE_VFS"), "local");
                EXPECT_STREQ(getenv("GSETTINGS_BACKEND"), "dconf");
                EXPECT_TRUE(std::filesystem::is_empty(home.Path())) << "made in the home folder";
              })),
              ::testing::ExitedWithCode(0), "");
}
