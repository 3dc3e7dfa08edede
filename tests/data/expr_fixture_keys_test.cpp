// Evaluates every tag of the sample tables that an independent xBase runtime wrote, row by
// row, and compares each key with the bytes that runtime stored: one byte of difference
// would make our keys unfindable by the other programs of the suite.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "data/expr_expression.h"
#include "data/expr_memory_source.h"
#include "data/number_format.h"
#include "data/text.h"

namespace data {
namespace {

namespace fs = std::filesystem;

fs::path fixtures_folder() {
  if (const char* configured = std::getenv("QV_FIXTURES")) return fs::path(configured) / "xbase";
  for (const char* relative : {"/../shared/fixtures/xbase", "/../../shared/fixtures/xbase"}) {
    const fs::path candidate = fs::path(QV_SOURCE_DIR + std::string(relative));
    if (fs::exists(candidate / "special" / "expected" / "tags.txt")) return candidate;
  }
  return {};
}

std::vector<std::string> split_tabs(const std::string& line) {
  std::vector<std::string> columns;
  std::stringstream stream(line);
  std::string column;
  while (std::getline(stream, column, '\t')) columns.push_back(column);
  if (!line.empty() && line.back() == '\t') columns.emplace_back();
  return columns;
}

std::string hex_of(std::string_view bytes) {
  std::string hex;
  for (const char byte : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(byte));
    hex += pair;
  }
  return hex;
}

Date date_of(const std::string& text) {
  if (text.size() != 10) return Date{};
  return Date::from_ymd(std::atoi(text.substr(0, 4).c_str()), std::atoi(text.substr(5, 2).c_str()),
                        std::atoi(text.substr(8, 2).c_str()));
}

struct Tag {
  std::string name, key, condition, type;
  int length = 0;
};

std::vector<Tag> read_tags(const fs::path& file) {
  std::vector<Tag> tags;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t colon = line.find(": ");
    const std::string name = line.substr(0, line.find(':'));
    const std::string value = colon == std::string::npos ? std::string() : line.substr(colon + 2);
    if (name == "tag") tags.push_back({value, "", "", "", 0});
    if (tags.empty()) continue;
    if (name == "key_expression") tags.back().key = value;
    if (name == "for_expression") tags.back().condition = value;
    if (name == "key_type") tags.back().type = value;
    if (name == "key_length") tags.back().length = std::atoi(value.c_str());
  }
  return tags;
}

// One sample set: its fields and the rows of dump.tsv by record number.
struct SampleSet {
  std::string folder;
  std::vector<MemoryFieldSource::Field> fields;
};

const std::vector<MemoryFieldSource::Field> kSalesFields = {
    {"NEGOCIO", {'C', 15, 0}}, {"CODIGO", {'C', 10, 0}}, {"FECHA", {'D', 8, 0}},
    {"MONTO", {'N', 12, 2}},   {"ACTIVO", {'L', 1, 0}},  {"NOTA", {'M', 10, 0}}};
const std::vector<MemoryFieldSource::Field> kOutboxFields = {
    {"ENVIADO", {'N', 1, 0}},  {"LISTO", {'N', 1, 0}},     {"FECHA", {'D', 8, 0}},     {"HORA", {'C', 8, 0}},
    {"TO_USER", {'C', 60, 0}}, {"ERR_COUNT", {'N', 3, 0}}, {"CANTIDAD", {'N', 10, 3}}, {"DIAS", {'N', 6, 0}}};

void load_row(MemoryFieldSource& row, const std::vector<MemoryFieldSource::Field>& fields,
              const std::vector<std::string>& columns) {
  row.set_recno(static_cast<std::uint32_t>(std::atoi(columns[0].c_str())));
  row.set_deleted(columns[1] == "*");
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& text = i + 2 < columns.size() ? columns[i + 2] : std::string();
    switch (fields[i].info.type) {
      case 'N':
        row.set(static_cast<int>(i), VAL(text));
        break;
      case 'D':
        row.set(static_cast<int>(i), date_of(text));
        break;
      case 'L':
        row.set(static_cast<int>(i), text == "T");
        break;
      default:
        row.set(static_cast<int>(i), text);
        break;
    }
  }
}

TEST(ExpressionFixtureKeys, ReproducesEveryStoredKey) {
  const fs::path root = fixtures_folder();
  if (root.empty()) GTEST_SKIP() << "sample tables not found; set QV_FIXTURES";
  const SampleSet kSets[] = {{"small", kSalesFields},
                             {"appended", kSalesFields},
                             {"large", kSalesFields},
                             {"special", kOutboxFields}};
  for (const SampleSet& set : kSets) {
    SCOPED_TRACE(set.folder);
    const fs::path expected = root / set.folder / "expected";
    std::map<std::uint32_t, std::vector<std::string>> rows;
    std::ifstream dump(expected / "dump.tsv");
    for (std::string line; std::getline(dump, line);) {
      std::vector<std::string> columns = split_tabs(line);
      rows[static_cast<std::uint32_t>(std::atoi(columns[0].c_str()))] = std::move(columns);
    }
    ASSERT_FALSE(rows.empty());
    MemoryFieldSource row(set.fields);

    for (const Tag& tag : read_tags(expected / "tags.txt")) {
      SCOPED_TRACE(tag.name + ": " + tag.key);
      Result<Expression> key = Expression::compile(tag.key, row);
      ASSERT_TRUE(key) << key.error().text;
      EXPECT_EQ(static_cast<char>(key->result_kind()), tag.type[0]);
      if (tag.type == "C") {
        EXPECT_EQ(key->result_width(), tag.length);
      }
      std::optional<Expression> condition;
      if (!tag.condition.empty()) {
        Result<Expression> compiled = Expression::compile(tag.condition, row);
        ASSERT_TRUE(compiled) << compiled.error().text;
        ASSERT_EQ(compiled->result_kind(), ResultKind::Logical);
        condition = *compiled;
      }

      std::ifstream keys(expected / ("keys-" + tag.name + ".tsv"));
      if (!keys) continue;  // The large set lists no keys; compiling its tags is the check.
      std::set<std::uint32_t> listed;
      std::string bytes;
      int mismatches = 0;
      for (std::string line; std::getline(keys, line) && mismatches < 5;) {
        const std::vector<std::string> columns = split_tabs(line);
        const auto recno = static_cast<std::uint32_t>(std::atoi(columns[0].c_str()));
        listed.insert(recno);
        load_row(row, set.fields, rows.at(recno));
        const std::string stored = columns.size() > 2 ? columns[2] : std::string();
        std::string ours;
        if (tag.type == "C") {
          key->key(row, bytes);
          ours = hex_of(bytes);
        } else if (tag.type == "N") {
          // A never-assigned number is listed blank and indexed as 0.
          const double number = key->evaluate_number(row);
          ours = number == VAL(stored) ? stored : ALLTRIM(STR(number, 20, 3));
        } else {
          const Date date = key->evaluate_date(row);
          ours = date.is_blank() ? "" : DTOS(date).insert(6, "-").insert(4, "-");
        }
        if (ours != stored) {
          ++mismatches;
          ADD_FAILURE() << "record " << recno << ": ours " << ours << ", stored " << stored;
        }
        if (condition) {
          EXPECT_TRUE(condition->evaluate_logical(row)) << "record " << recno;
        }
      }
      EXPECT_FALSE(listed.empty());
      if (condition) {
        // Every record the condition admits has an entry, and only those.
        std::size_t admitted = 0;
        for (const auto& [recno, columns] : rows) {
          load_row(row, set.fields, columns);
          admitted += condition->evaluate_logical(row) ? 1 : 0;
        }
        EXPECT_EQ(admitted, listed.size());
      }
    }
  }
}

}  // namespace
}  // namespace data
