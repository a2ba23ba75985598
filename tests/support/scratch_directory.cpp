#include "scratch_directory.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() {
  std::string pattern =
      (fs::temp_directory_path() / "cdmg2csv-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  path_ = pattern;
  // Readable by every user, for the run that drops its privileges.
  fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchDirectory::put(const std::string &name,
                           const std::string &content) const {
  std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) {
    throw std::runtime_error("cannot write " + name);
  }
}

std::string read_file(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path.string());
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string ScratchDirectory::read(const std::string &name) const {
  return read_file(path_ / name);
}

bool ScratchDirectory::has(const std::string &name) const {
  return fs::exists(path_ / name);
}

std::vector<std::string> ScratchDirectory::names() const {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
