// A writer killed at random moments must leave the old file or the new one, never a
// torn one. The writer is a forked copy of this process, killed with SIGKILL.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "tests/core/kill_writer.h"
#include "tests/core/temp_dir.h"

namespace vl {
namespace {

TEST(IniKill, KilledWritersNeverLeaveATornFile) {
  test::TempDir dir;
  auto file = dir / "RavariVudovi.ini";
  std::mt19937 rng(20261207);
  // A first writer runs until its first save is on disk, however slow the machine is
  // today, so that every kill below lands where there is a file to tear.
  pid_t first = fork();
  ASSERT_GE(first, 0);
  if (first == 0) test::WriteGenerationsForever(file);
  for (int i = 0; i < 1000 && !std::filesystem::exists(file); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  kill(first, SIGKILL);
  waitpid(first, nullptr, 0);
  ASSERT_TRUE(std::filesystem::exists(file)) << "the writer never saved within 10 s";

  int midSave = 0;
  for (int round = 0; round < 150; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) test::WriteGenerationsForever(file);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 60000));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(std::filesystem::exists(file)) << "round " << round << ": the file is gone";
    // A temporary file left behind means the kill came in the middle of a save.
    midSave += std::filesystem::exists(file.native() + ".tmp");
    std::optional<std::string> torn = test::FindTornFile(test::ReadBytes(file), true);
    ASSERT_FALSE(torn) << "round " << round << ": " << *torn;
  }
  std::printf("kill test: 150 kills left a whole file, %d of them came during a save\n", midSave);
}

}  // namespace
}  // namespace vl
