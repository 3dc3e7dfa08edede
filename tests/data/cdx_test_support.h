#pragma once

// Reading the expected files that come with the sample tables written by an
// independent xBase runtime, shared by the index tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "data/cdx_key.h"
#include "data/date.h"

namespace data::cdx_test {

// The folder of the sample sets (small, large, special, appended); empty when absent.
inline std::filesystem::path fixtures_dir() {
  namespace fs = std::filesystem;
  if (const char* env = std::getenv("QV_FIXTURES")) return fs::path(env) / "xbase";
  for (const fs::path& candidate : {fs::path(QV_SOURCE_DIR) / ".." / "shared" / "fixtures" / "xbase",
                                   fs::path("/work/shared/fixtures/xbase")}) {
    if (fs::exists(candidate / "small")) return candidate;
  }
  return {};
}

inline std::vector<std::string> split(const std::string& line, char sep = '\t') {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(line);
  while (std::getline(in, part, sep)) parts.push_back(part);
  if (!line.empty() && line.back() == sep) parts.emplace_back();
  return parts;
}

inline std::vector<std::string> read_lines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

inline std::string from_hex(const std::string& hex) {
  std::string bytes;
  std::string digits;
  for (char c : hex)
    if (c != ' ') digits.push_back(c);
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

// One tag block of tags.txt.
struct ExpectedTag {
  std::string name, key_expression, for_expression, key_type;
  bool descending = false, unique = false;
  int key_length = 0;
  std::uint64_t keys = 0, keys_not_deleted = 0;
  int tree_depth = 0;
};

inline std::vector<ExpectedTag> read_expected_tags(const std::filesystem::path& set) {
  std::vector<ExpectedTag> tags;
  for (const std::string& line : read_lines(set / "expected" / "tags.txt")) {
    const auto colon = line.find(": ");
    if (colon == std::string::npos && line.find(':') == std::string::npos) continue;
    const std::string name = line.substr(0, line.find(':'));
    const std::string value = colon == std::string::npos ? "" : line.substr(colon + 2);
    if (name == "tag") {
      tags.emplace_back();
      tags.back().name = value;
    }
    if (tags.empty()) continue;
    ExpectedTag& t = tags.back();
    if (name == "key_expression") t.key_expression = value;
    if (name == "for_expression") t.for_expression = value;
    if (name == "descending") t.descending = value == "yes";
    if (name == "unique") t.unique = value == "yes";
    if (name == "key_type") t.key_type = value;
    if (name == "key_length") t.key_length = std::stoi(value);
    if (name == "keys") t.keys = std::stoull(value);
    if (name == "keys_not_deleted") t.keys_not_deleted = std::stoull(value);
    if (name == "tree_depth") t.tree_depth = std::stoi(value);
  }
  return tags;
}

inline CdxKeyType key_type_of(const std::string& letter) {
  if (letter == "N") return CdxKeyType::Numeric;
  if (letter == "D") return CdxKeyType::Date;
  return CdxKeyType::Character;
}

// Deletion flags by record number (index 0 unused), from dump.tsv.
inline std::vector<bool> read_deleted(const std::filesystem::path& set) {
  std::vector<bool> deleted(1, false);
  for (const std::string& line : read_lines(set / "expected" / "dump.tsv")) {
    const auto parts = split(line);
    const std::size_t recno = std::stoul(parts.at(0));
    if (deleted.size() <= recno) deleted.resize(recno + 1, false);
    deleted[recno] = parts.at(1) == "*";
  }
  return deleted;
}

inline std::vector<std::uint32_t> read_walk(const std::filesystem::path& file) {
  std::vector<std::uint32_t> recnos;
  for (const std::string& line : read_lines(file))
    if (!line.empty()) recnos.push_back(static_cast<std::uint32_t>(std::stoul(line)));
  return recnos;
}

// The key bytes a seeks.tsv row hands to the seek.
inline std::string seek_key(const std::string& type, const std::string& key, const std::string& key_hex) {
  if (type == "N") return cdx_numeric_key(std::stod(key));
  if (type == "D") {
    if (key.empty()) return cdx_date_key(Date{});
    return cdx_date_key(Date::from_ymd(std::stoi(key.substr(0, 4)), std::stoi(key.substr(5, 2)),
                                       std::stoi(key.substr(8, 2))));
  }
  return from_hex(key_hex);
}

}  // namespace data::cdx_test
