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
  int whole = 0, absent = 0, midSave = 0;
  for (int round = 0; round < 150; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) test::WriteGenerationsForever(file);
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 60000));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    bool exists = std::filesystem::exists(file);
    // A temporary file left behind means the kill came in the middle of a save.
    midSave += std::filesystem::exists(file.native() + ".tmp");
    std::optional<std::string> torn = test::FindTornFile(test::ReadBytes(file), exists);
    ASSERT_FALSE(torn) << "round " << round << ": " << *torn;
    (exists ? whole : absent)++;
  }
  std::printf("kill test: %d kills left a whole file (%d of them during a save), %d came before "
              "the first save\n", whole, midSave, absent);
  EXPECT_GT(whole, 100) << "most kills should land after the first save";
}

}  // namespace
}  // namespace vl
