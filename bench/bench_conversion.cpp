// Times whole conversions of a generated 33,000-sample accelerogram and reads
// the peak resident memory of each run. Prints the median wall time of
// cdmg2csv on LF and on CR-LF files, and of the run-time alone doing the
// same reading and writing, with the cost of cdmg2csv's own work over it.
#include "record_layout.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSamples = 33000;
constexpr int kRuns = 21;
constexpr double kDt = 0.005;

std::string component(int index, const char *line_end) {
  std::string text;
  auto record = [&](const std::string &r) { text += r + line_end; };
  record("Corrected accelerogram   BENCHMARK STATION  Chan " +
         std::to_string(index));
  for (int r = layout::kTitleRecord + 1; r < layout::kCountRecord; ++r) {
    record("header record " + std::to_string(r));
  }
  record(std::to_string(kSamples) + " samples of acceleration");
  record("0.005 sec between samples");
  for (int r = layout::kIntervalRecord + 1; r < layout::kCaptionRecord; ++r) {
    record("header record " + std::to_string(r));
  }
  record(std::to_string(kSamples) + " points of accel data (8f10.3)");
  std::string line;
  for (int k = 0; k < kSamples; ++k) {
    const double t = k * kDt;
    char field[32];
    std::snprintf(field, sizeof field, "%10.3f",
                  300.0 * std::exp(-t / 40.0) *
                      std::sin(2.0 * t * (index + 1)));
    line += field;
    if (k % 8 == 7 || k == kSamples - 1) {
      record(line);
      line.clear();
    }
  }
  return text;
}

fs::path make_accelerogram(const char *line_end) {
  std::string pattern =
      (fs::temp_directory_path() / "cdmg2csv-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  const char *names[] = {"RRS-N41W.txt", "RRS-S49W.txt", "RRS-UP.txt"};
  for (int i = 0; i < 3; ++i) {
    std::ofstream(fs::path(pattern) / names[i], std::ios::binary)
        << component(i, line_end);
  }
  return pattern;
}

struct Measure {
  double seconds;
  long peak_kib;
};

Measure run_once(const char *program, const fs::path &directory) {
  int in[2];
  if (::pipe(in) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], STDIN_FILENO);
    ::close(in[0]);
    ::close(in[1]);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    if (::chdir(directory.c_str()) != 0) {
      ::_exit(127);
    }
    ::execl(program, program, static_cast<char *>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  const char name[] = "bench.csv\n";
  if (::write(in[1], name, sizeof name - 1) < 0) {
    throw std::runtime_error("write failed");
  }
  ::close(in[1]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  const auto stop = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(std::string(program) + " failed");
  }
  return {std::chrono::duration<double>(stop - start).count(), usage.ru_maxrss};
}

struct Summary {
  double median_ms;
  long peak_kib;
};

// Runs the programs in turn, so that the machine's drift falls on each alike.
std::vector<Summary>
measure(const std::vector<std::pair<const char *, fs::path>> &cases) {
  std::vector<std::vector<double>> times(cases.size());
  std::vector<long> peaks(cases.size(), 0);
  for (int run = 0; run < kRuns; ++run) {
    for (std::size_t c = 0; c < cases.size(); ++c) {
      const Measure m = run_once(cases[c].first, cases[c].second);
      times[c].push_back(m.seconds * 1000.0);
      peaks[c] = std::max(peaks[c], m.peak_kib);
    }
  }
  std::vector<Summary> summaries;
  for (std::size_t c = 0; c < cases.size(); ++c) {
    std::sort(times[c].begin(), times[c].end());
    summaries.push_back({times[c][times[c].size() / 2], peaks[c]});
  }
  return summaries;
}

} // namespace

int main() {
  const fs::path lf = make_accelerogram("\n");
  const fs::path crlf = make_accelerogram("\r\n");
  const std::vector<Summary> s = measure({{RUNTIME_BASELINE_EXECUTABLE, lf},
                                          {CDMG2CSV_EXECUTABLE, lf},
                                          {CDMG2CSV_EXECUTABLE, crlf}});
  std::printf("%d samples a component, median of %d runs each\n", kSamples,
              kRuns);
  std::printf("%-36s %9s %12s\n", "", "time", "peak memory");
  const char *labels[] = {"run-time alone (LF files)", "cdmg2csv, LF files",
                          "cdmg2csv, CR-LF files"};
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::printf("%-36s %6.1f ms %8.1f MiB\n", labels[i], s[i].median_ms,
                static_cast<double>(s[i].peak_kib) / 1024.0);
  }
  std::printf("cost over the run-time alone: LF %+.1f %%, CR-LF %+.1f %%\n",
              100.0 * (s[1].median_ms / s[0].median_ms - 1.0),
              100.0 * (s[2].median_ms / s[0].median_ms - 1.0));
  fs::remove_all(lf);
  fs::remove_all(crlf);
  return 0;
}
