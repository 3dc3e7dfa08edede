#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace test_support {

// A fresh folder under the test's temporary directory, removed with everything in it
// when the test ends. Tests build program folders, tables and mail files inside it.
class TempFolder {
 public:
  explicit TempFolder(std::string_view prefix = "qv") {
    std::string pattern = (std::filesystem::path(::testing::TempDir()) / (std::string(prefix) + "_XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) std::abort();  // No folder, no test: nothing sensible to report.
    m_path = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

}  // namespace test_support
