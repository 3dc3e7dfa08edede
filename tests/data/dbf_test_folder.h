#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace data::testing {

// A temporary folder removed with everything in it when the test ends.
class TestFolder {
 public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qvdbf-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    m_path = pattern;
  }
  ~TestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// The folder of the sample tables written by an independent xBase runtime, or an empty
// path when this machine has none ($QV_XBASE_FIXTURES overrides the search).
inline std::filesystem::path xbase_fixtures() {
  if (const char* env = std::getenv("QV_XBASE_FIXTURES")) return env;
  for (const std::filesystem::path& candidate :
       {std::filesystem::path(QV_SOURCE_DIR) / ".." / "shared" / "fixtures" / "xbase",
        std::filesystem::path(QV_SOURCE_DIR) / ".." / ".." / "shared" / "fixtures" / "xbase",
        std::filesystem::path("/work/shared/fixtures/xbase")}) {
    std::error_code ec;
    if (std::filesystem::exists(candidate / "README.md", ec)) return candidate;
  }
  return {};
}

// Copies one fixture set's table files into `folder`, so a test may write to them.
inline void copy_fixture_set(const std::filesystem::path& set, const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(set)) {
    if (entry.is_regular_file()) std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
  }
}

}  // namespace data::testing
