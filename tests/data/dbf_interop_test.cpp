// Tables this engine writes must read the same in an independent DBF reader (python3-dbf).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "data/dbf_table.h"
#include "dbf_test_folder.h"

namespace data {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

// Runs a Python script on `table` and returns what it printed, or "" when it failed.
std::string run_reader(const std::filesystem::path& folder, const std::filesystem::path& table) {
  const std::filesystem::path script = folder / "read.py";
  std::ofstream(script) << R"(import sys, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_ONLY)
print(t.codepage.name if hasattr(t.codepage, 'name') else t.codepage)
print(';'.join(t.structure()))
for r in t:
    cells = ['*' if dbf.is_deleted(r) else '-']
    for name in t.field_names:
        v = r[name]
        cells.append('' if v is None else (v.rstrip() if isinstance(v, str) else str(v)))
    print('|'.join(cells).replace('\r', '\\r').replace('\n', '\\n'))
)";
  const std::string command = std::string(kPython) + " " + script.string() + " " + table.string() + " 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return "";
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
  return out;
}

TEST(DbfInterop, AnIndependentReaderSeesTheSameStructureAndValues) {
  if (!std::filesystem::exists(kPython)) GTEST_SKIP() << "no python3";
  testing::TestFolder folder;
  const std::filesystem::path path = folder / "HUESPED.DBF";
  {
    TableCreateOptions shared;
    shared.share = Share::Shared;
    Result<std::unique_ptr<DbfTable>> created = DbfTable::create(
        path, {{"NOMBRE", 'C', 20, 0}, {"LLEGADA", 'D', 8, 0}, {"MONTO", 'N', 12, 2}, {"TASA", 'F', 10, 4},
               {"ACTIVO", 'L', 1, 0}, {"NOTA", 'M', 10, 0}},
        shared);
    ASSERT_TRUE(created) << created.error().text;
    DbfTable& table = **created;
    struct Row {
      const char* nombre;
      Date llegada;
      double monto, tasa;
      bool activo;
      std::string nota;
      bool deleted;
    };
    const Row rows[] = {
        {"Peña Núñez", Date::from_ymd(2026, 12, 11), -1234.5, 0.125, true, "Habitación con vista\r\nsegunda línea",
         false},
        {"Begoña Agüero", Date::from_ymd(1999, 12, 31), 0, 3.1416, false, std::string(700, 'x'), true},
        {"", Date{}, 123456789.12, -1, true, "", false},
    };
    for (const Row& row : rows) {
      ASSERT_TRUE(table.append());
      ASSERT_TRUE(table.put("NOMBRE", row.nombre));
      ASSERT_TRUE(table.put("LLEGADA", row.llegada));
      ASSERT_TRUE(table.put("MONTO", row.monto));
      ASSERT_TRUE(table.put("TASA", row.tasa));
      ASSERT_TRUE(table.put("ACTIVO", row.activo));
      ASSERT_TRUE(table.put("NOTA", row.nota));
      if (row.deleted) {
        ASSERT_TRUE(table.delete_record());
      }
      ASSERT_TRUE(table.unlock());
    }
    // A memo rewritten shorter and another longer, so reuse and moves are read back too.
    ASSERT_TRUE(table.go_to(1));
    ASSERT_TRUE(table.lock_current());
    ASSERT_TRUE(table.put("NOTA", "corta"));
    ASSERT_TRUE(table.go_to(3));
    ASSERT_TRUE(table.lock_current());
    ASSERT_TRUE(table.put("NOTA", std::string(150, 'y') + "ñ"));
    ASSERT_TRUE(table.close());
  }
  const std::string expected =
      "cp1252\n"
      "nombre C(20);llegada D;monto N(12,2);tasa F(10,4);activo L;nota M\n"
      "-|Peña Núñez|2026-12-11|-1234.5|0.125|True|corta\n"
      "*|Begoña Agüero|1999-12-31|0.0|3.1416|False|" + std::string(700, 'x') + "\n"
      "-|||123456789.12|-1.0|True|" + std::string(150, 'y') + "ñ\n";
  EXPECT_EQ(run_reader(folder.path(), path), expected);
}

}  // namespace
}  // namespace data
