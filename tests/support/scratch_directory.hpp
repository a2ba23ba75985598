// A fresh temporary working directory for one test, removed afterwards.
#ifndef CDMG2CSV_TESTS_SCRATCH_DIRECTORY_HPP
#define CDMG2CSV_TESTS_SCRATCH_DIRECTORY_HPP

#include <filesystem>
#include <string>
#include <vector>

class ScratchDirectory {
public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory &) = delete;
  ScratchDirectory &operator=(const ScratchDirectory &) = delete;

  const std::filesystem::path &path() const { return path_; }

  void put(const std::string &name, const std::string &content) const;
  std::string read(const std::string &name) const;
  bool has(const std::string &name) const;
  // The names of the entries in the directory, sorted.
  std::vector<std::string> names() const;

private:
  std::filesystem::path path_;
};

// The bytes of the file at `path`.
std::string read_file(const std::filesystem::path &path);

#endif
