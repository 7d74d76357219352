// What the end-to-end runners share: the case folders, reading and writing files, a snapshot of a
// folder, running the built qel2br in a folder with files on its standard input and outputs,
// under a time limit, and a scratch folder to run it in.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace qel2br::e2e {

namespace fs = std::filesystem;

// Each run must end within this time; QEL2BR_TIMEOUT_SECONDS changes it (slow tools such as
// valgrind need more).
inline int timeout_seconds() {
  constexpr int kTimeoutSeconds = 15;
  const char* text = std::getenv("QEL2BR_TIMEOUT_SECONDS");
  const int seconds = text == nullptr ? 0 : std::atoi(text);  // NOLINT: a test setting
  return seconds > 0 ? seconds : kTimeoutSeconds;
}

inline std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes contents as the whole of the file at path, byte for byte.
inline void write_file(const fs::path& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

// The regular files below dir (links not followed) with their contents.
inline std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::error_code ec;
    if (entry.is_regular_file(ec) && !entry.is_symlink(ec)) {
      files[fs::relative(entry.path(), dir).string()] =
          ::access(entry.path().c_str(), R_OK) == 0 ? read_file(entry.path()) : "(unreadable)";
    }
  }
  return files;
}

// The names of the case folders in cases, in name order.
inline std::vector<std::string> case_names(const fs::path& cases) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(cases)) {
    if (entry.is_directory()) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The date and time of the header line differ from run to run.
inline std::string normalise(const std::string& text) {
  static const std::regex kDate(R"('    Conversion Date : \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)");
  return std::regex_replace(text, kDate, "'    Conversion Date : YYYY-MM-DD hh:mm:ss");
}

// Lays out a golden case in the empty folder work: a copy of its input/, then its setup.sh run
// there (links, directories, permissions); false when the setup fails.
inline bool lay_out_case(const fs::path& dir, const fs::path& work) {
  if (fs::exists(dir / "input")) {
    fs::copy(dir / "input", work, fs::copy_options::recursive);
  }
  if (fs::exists(dir / "setup.sh")) {
    const std::string command =
        "cd '" + work.string() + "' && sh '" + (dir / "setup.sh").string() + "'";
    return std::system(command.c_str()) == 0;  // NOLINT(cert-env33-c): the case's own script
  }
  return true;
}

struct Outcome {
  int status = -1;
  bool timed_out = false;
};

// How the process is started besides its files.
struct Start {
  rlim_t file_size_limit = RLIM_INFINITY;  // in bytes
  bool close_output = false;               // standard output closed
  bool close_error = false;                // standard error closed
};

// Runs binary with args in work with answers on standard input (/dev/null when it does not
// exist) and standard output and error written to out and err.
inline Outcome run_binary(const std::string& binary, const fs::path& work, const fs::path& answers,
                          const fs::path& out, const fs::path& err,
                          const std::vector<std::string>& args = {}, const Start& start = {}) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));  // NOLINT: execv takes char*
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));  // NOLINT: execv takes char*
  }
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(work.c_str()) != 0) {
      ::_exit(126);
    }
    const int in =
        fs::exists(answers) ? ::open(answers.c_str(), O_RDONLY) : ::open("/dev/null", O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || o < 0 || e < 0) {
      ::_exit(126);
    }
    ::dup2(in, 0);
    ::dup2(o, 1);
    ::dup2(e, 2);
    for (const int fd : {in, o, e}) {
      if (fd > 2) {
        ::close(fd);
      }
    }
    if (start.close_output) {
      ::close(1);
    }
    if (start.close_error) {
      ::close(2);
    }
    if (start.file_size_limit != RLIM_INFINITY) {
      const rlimit limit{.rlim_cur = start.file_size_limit, .rlim_max = start.file_size_limit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  Outcome outcome;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds());
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return outcome;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      outcome.timed_out = true;
      return outcome;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// An empty working folder of one test, removed afterwards, and the qel2br binary run in it;
// its standard input and outputs are files beside the folder, never in it. The folder is
// qel2br-SUITE-NAME-PID/work under the system's temporary folder.
class Work {
 public:
  struct Result {
    int status = -1;
    std::string out;
    std::string err;
  };

  Work(std::string binary, std::string_view suite, const std::string& name)
      : binary_(std::move(binary)),
        scratch_(fs::temp_directory_path() /
                 ("qel2br-" + std::string(suite) + "-" + name + "-" + std::to_string(::getpid()))),
        dir_(scratch_ / "work") {
    fs::remove_all(scratch_);
    fs::create_directories(dir_);
  }
  ~Work() {
    std::error_code ec;
    fs::remove_all(scratch_, ec);
  }
  Work(const Work&) = delete;
  Work& operator=(const Work&) = delete;
  Work(Work&&) = delete;
  Work& operator=(Work&&) = delete;

  [[nodiscard]] const fs::path& dir() const { return dir_; }
  [[nodiscard]] const std::string& binary() const { return binary_; }
  // Writes the file name (folders made as needed) in the working folder.
  void put(const std::string& name, std::string_view contents) const {
    fs::create_directories((dir_ / name).parent_path());
    write_file(dir_ / name, contents);
  }
  [[nodiscard]] std::string file(const std::string& name) const { return read_file(dir_ / name); }
  [[nodiscard]] bool has(const std::string& name) const { return fs::exists(dir_ / name); }

  // Runs qel2br with args; stdin_text is its standard input.
  [[nodiscard]] Result run(const std::vector<std::string>& args, const std::string& stdin_text = "",
                           const Start& start = {}) const {
    const fs::path in = scratch_ / "stdin";
    write_file(in, stdin_text);
    const Outcome outcome =
        run_binary(binary_, dir_, in, scratch_ / "stdout", scratch_ / "stderr", args, start);
    EXPECT_FALSE(outcome.timed_out) << "qel2br did not finish";
    return {.status = outcome.status,
            .out = read_file(scratch_ / "stdout"),
            .err = read_file(scratch_ / "stderr")};
  }

 private:
  std::string binary_;
  fs::path scratch_;
  fs::path dir_;
};

}  // namespace qel2br::e2e
