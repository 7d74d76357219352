// Runs a command several times with a file on standard input and standard output discarded,
// and prints the median wall time in seconds and the largest peak resident memory in KiB.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: qel2br_time_runs RUNS STDIN_FILE COMMAND [ARGS...]\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  std::vector<double> walls;
  long peak_kib = 0;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      const int in = open(argv[2], O_RDONLY);
      const int out = open("/dev/null", O_WRONLY);
      if (in < 0 || out < 0) {
        _exit(126);
      }
      dup2(in, 0);
      dup2(out, 1);
      dup2(out, 2);
      execvp(argv[3], argv + 3);
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    walls.push_back(std::chrono::duration<double>(end - start).count());
    peak_kib = std::max(peak_kib, usage.ru_maxrss);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
      std::fprintf(stderr, "command failed with status %d\n", status);
      return 1;
    }
  }
  std::sort(walls.begin(), walls.end());
  std::printf("%.6f %ld\n", walls[walls.size() / 2], peak_kib);
  return 0;
}
