// Stands in for a "running program" in tests: sleeps until killed or until its time is up,
// so a test that forgets it never leaves it behind for long.
#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  return 0;
}
