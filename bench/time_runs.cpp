// Times a program against a floor command in paired runs: program, floor, program, floor, ...
// after one warm-up of each. The program reads a file on standard input; its standard output
// and error are discarded; the floor is a shell command. Prints one line of figures:
//   wall=S floor=S ratio=R user=S sys=S cpu_per_floor=R peak_kib=K floor_peak_kib=K
// wall, floor, user and sys are medians in seconds; ratio is the median of the ratios of each
// pair (program wall / floor wall), which holds when the machine's speed drifts during the
// runs; cpu_per_floor is the median of (user + sys) / floor wall, pair by pair; peak_kib is the
// largest peak resident memory of the program's runs.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Figures {
  double wall = 0.0;
  double user = 0.0;
  double sys = 0.0;
  long peak_kib = 0;
};

double seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs argv with stdin_file on standard input (or /dev/null) and output discarded; exits the
// whole timing when the command fails to start or ends with a status above 1.
Figures run_once(char** argv, const char* stdin_file) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(stdin_file != nullptr ? stdin_file : "/dev/null", O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0) {
      _exit(126);
    }
    dup2(in, 0);
    dup2(out, 1);
    dup2(out, 2);
    execvp(argv[0], argv);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
    std::fprintf(stderr, "%s failed with status %d\n", argv[0], status);
    std::exit(1);
  }
  return {.wall = std::chrono::duration<double>(end - start).count(),
          .user = seconds(usage.ru_utime),
          .sys = seconds(usage.ru_stime),
          .peak_kib = usage.ru_maxrss};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || std::strcmp(argv[4], "--") != 0) {
    std::fprintf(stderr,
                 "usage: qel2br_time_runs RUNS STDIN_FILE 'FLOOR SHELL COMMAND' -- PROGRAM "
                 "[ARGS...]\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const char* stdin_file = argv[2];
  char sh[] = "/bin/sh";
  char dash_c[] = "-c";
  std::vector<char*> floor_argv{sh, dash_c, argv[3], nullptr};
  char** program = argv + 5;

  run_once(program, stdin_file);
  run_once(floor_argv.data(), nullptr);
  std::vector<double> wall;
  std::vector<double> floor;
  std::vector<double> ratio;
  std::vector<double> user;
  std::vector<double> sys;
  std::vector<double> cpu_per_floor;
  long peak = 0;
  long floor_peak = 0;
  for (int i = 0; i < runs; ++i) {
    const Figures p = run_once(program, stdin_file);
    const Figures f = run_once(floor_argv.data(), nullptr);
    wall.push_back(p.wall);
    floor.push_back(f.wall);
    ratio.push_back(p.wall / f.wall);
    user.push_back(p.user);
    sys.push_back(p.sys);
    cpu_per_floor.push_back((p.user + p.sys) / f.wall);
    peak = std::max(peak, p.peak_kib);
    floor_peak = std::max(floor_peak, f.peak_kib);
  }
  std::printf(
      "wall=%.6f floor=%.6f ratio=%.3f user=%.6f sys=%.6f cpu_per_floor=%.3f peak_kib=%ld "
      "floor_peak_kib=%ld\n",
      median(wall), median(floor), median(ratio), median(user), median(sys), median(cpu_per_floor),
      peak, floor_peak);
  return 0;
}
