#include "platform/single_instance.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace vendaro {
namespace {

TEST(SingleInstance, ASecondCopyIsRefusedUntilTheFirstEndsHoweverItEnds) {
  test::TempDir dir;
  setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t first = fork();
  if (first == 0) {
    SingleInstance lock("EX_Vendaro");
    char ok = lock.acquired() ? 1 : 0;
    (void)!write(ready[1], &ok, 1);
    pause();
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 1);
  {
    SingleInstance second("EX_Vendaro");
    EXPECT_FALSE(second.acquired());
    EXPECT_FALSE(second.failed());  // held by the first: the second ends silently
    SingleInstance other("EX_Other");
    EXPECT_TRUE(other.acquired());
  }
  kill(first, SIGKILL);  // a crash releases the lock as well
  waitpid(first, nullptr, 0);
  SingleInstance after("EX_Vendaro");
  EXPECT_TRUE(after.acquired());
  unsetenv("XDG_RUNTIME_DIR");
}

TEST(SingleInstance, ALockFileThatCannotBeMadeIsAFailureNamingThePath) {
  test::TempDir dir;
  struct Case {
    const char* what;
    std::string runtime;
  } cases[] = {
      {"a runtime directory that does not exist", dir.file("gone")},
      {"a runtime directory that is a file", dir.file("plain")},
  };
  { std::ofstream(dir.file("plain")) << "x"; }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    setenv("XDG_RUNTIME_DIR", c.runtime.c_str(), 1);
    SingleInstance lock("EX_Vendaro");
    EXPECT_FALSE(lock.acquired());
    EXPECT_TRUE(lock.failed());
    EXPECT_EQ(lock.path(), c.runtime + "/EX_Vendaro");
    EXPECT_FALSE(lock.error().empty());
  }
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace vendaro
