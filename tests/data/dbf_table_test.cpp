#include "data/dbf_table.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "data/file_lock.h"
#include "data/dbf_header.h"
#include "data/fpt_file.h"
#include "data/runtime_error.h"
#include "dbf_test_folder.h"

namespace data {
namespace {

const TableStructure kGuests = {
    {"NOMBRE", 'C', 15, 0}, {"FECHA", 'D', 8, 0}, {"MONTO", 'N', 12, 2},
    {"ACTIVO", 'L', 1, 0},  {"NOTA", 'M', 10, 0}, {"TASA", 'F', 8, 3},
};

std::unique_ptr<DbfTable> create_table(const std::filesystem::path& path, const TableStructure& structure = kGuests,
                                       TableCreateOptions options = {}) {
  Result<std::unique_ptr<DbfTable>> table = DbfTable::create(path, structure, options);
  if (!table) ADD_FAILURE() << table.error().text;
  return table ? std::move(*table) : nullptr;
}

std::unique_ptr<DbfTable> open_table(const std::filesystem::path& path, Share share = Share::Shared) {
  TableOpenOptions options;
  options.share = share;
  Result<std::unique_ptr<DbfTable>> table = DbfTable::open(path, options);
  if (!table) ADD_FAILURE() << table.error().text;
  return table ? std::move(*table) : nullptr;
}

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(DbfTable, RoundTripsEveryWritableType) {
  testing::TestFolder folder;
  const Date fecha = Date::from_ymd(2026, 12, 11);
  {
    auto table = create_table(folder / "GUESTS.DBF");
    ASSERT_TRUE(table);
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->put("NOMBRE", "Muñoz Gárcia"));
    ASSERT_TRUE(table->put("FECHA", fecha));
    ASSERT_TRUE(table->put("MONTO", -1234.5));
    ASSERT_TRUE(table->put("ACTIVO", true));
    ASSERT_TRUE(table->put("NOTA", "Pingüino\r\nsegunda línea"));
    ASSERT_TRUE(table->put("TASA", 3.14159));
    ASSERT_TRUE(table->append());  // A blank row.
    ASSERT_TRUE(table->close());
  }
  auto table = open_table(folder / "GUESTS.DBF");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->last_rec(), 2u);
  EXPECT_EQ(table->rec_no(), 1u);
  EXPECT_EQ(table->get("NOMBRE").text(), "Muñoz Gárcia   ");  // Padded to 15 stored bytes.
  EXPECT_EQ(table->raw_field(1), "Mu\xF1oz G\xE1rcia   ");  // Windows-1252 on disk.
  EXPECT_EQ(table->get("FECHA").date(), fecha);
  EXPECT_DOUBLE_EQ(table->get("MONTO").number(), -1234.5);
  EXPECT_EQ(table->raw_field(3), "    -1234.50");
  EXPECT_TRUE(table->get("ACTIVO").logical());
  EXPECT_EQ(table->get("NOTA").text(), "Pingüino\r\nsegunda línea");
  EXPECT_EQ(table->raw_field(6), "   3.142");
  ASSERT_TRUE(table->skip());
  EXPECT_EQ(table->rec_no(), 2u);
  EXPECT_EQ(table->get("NOMBRE").text(), std::string(15, ' '));
  EXPECT_TRUE(table->get("FECHA").date().is_blank());
  EXPECT_EQ(table->get("MONTO").number(), 0);
  EXPECT_FALSE(table->get("ACTIVO").logical());
  EXPECT_EQ(table->get("NOTA").text(), "");

  const std::string bytes = file_bytes(folder / "GUESTS.DBF");
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xF5);  // FoxPro 2.x table with an FPT.
  EXPECT_EQ(bytes[4], 2);                                // Record count.
  EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x03);  // Windows-1252 mark.
  EXPECT_EQ(bytes.back(), '\x1A');
}

TEST(DbfTable, ReadsTheBinaryTypesOfOtherPrograms) {
  testing::TestFolder folder;
  {
    auto table = create_table(folder / "BIN.DBF", {{"ID", 'I', 4, 0}, {"PRECIO", 'Y', 8, 0}, {"PESO", 'B', 8, 2}});
    ASSERT_TRUE(table);
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->put("ID", -2));
    ASSERT_TRUE(table->put("PRECIO", 12.34));
    ASSERT_TRUE(table->put("PESO", 2.5));
    ASSERT_TRUE(table->close());
  }
  auto table = open_table(folder / "BIN.DBF");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->raw_field(1), std::string("\xFE\xFF\xFF\xFF", 4));
  EXPECT_EQ(table->raw_field(2), std::string("\x08\xE2\x01\x00\x00\x00\x00\x00", 8));
  EXPECT_EQ(table->raw_field(3), std::string("\x00\x00\x00\x00\x00\x00\x04\x40", 8));
  EXPECT_EQ(table->get(1).number(), -2);
  EXPECT_DOUBLE_EQ(table->get(2).number(), 12.34);
  EXPECT_EQ(table->get(3).number(), 2.5);
}

TEST(DbfTable, ReadsVisualFoxProTablesWithBinaryMemoPointers) {
  testing::TestFolder folder;
  std::vector<DbfField> fields = {{"ID", 'I', 4, 0, 0, 0},   {"ALTA", 'T', 8, 0, 0, 0}, {"NOTA", 'M', 4, 0, 0, 0},
                                  {"FOTO", 'G', 4, 0, 0, 0}, {"NOMBRE", 'C', 6, 0, 0, 0}};
  Result<DbfHeader> header = make_dbf_header(fields, 0x30, 0x03);
  ASSERT_TRUE(header) << header.error().text;
  header->record_count = 1;
  EXPECT_EQ(header->table_flags, 0x02);  // The memo-file flag of Visual FoxPro tables.
  std::vector<std::byte> bytes = encode_dbf_header(*header);
  ASSERT_EQ(bytes.size(), 32u + 5 * 32 + 1 + 263);  // The backlink follows the terminator.
  {
    Result<std::unique_ptr<FptFile>> memo = FptFile::create(folder / "VFP.FPT");
    ASSERT_TRUE(memo);
    ASSERT_EQ(*(*memo)->write(0, "Hello"), 8u);
    ASSERT_EQ(*(*memo)->write(0, std::string("\x89PNG\0", 5), 2), 9u);
  }
  const std::string record = std::string(" ") + std::string("\xFE\xFF\xFF\xFF", 4) +
                             std::string("\xE1\x8A\x25\x00\x40\xA5\xAE\x02", 8) + std::string("\x08\0\0\0", 4) +
                             std::string("\x09\0\0\0", 4) + "Pe\xF1" "a  " + "\x1A";
  for (const char c : record) bytes.push_back(std::byte(c));
  std::ofstream(folder / "VFP.DBF", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  auto table = open_table(folder / "VFP.DBF");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->get("ID").number(), -2);
  EXPECT_EQ(table->get("ALTA").text(), "2024-03-15 12:30:00");
  EXPECT_EQ(table->get("NOTA").text(), "Hello");
  EXPECT_EQ(table->get("FOTO").text(), std::string("\x89PNG\0", 5));  // Binary, never converted.
  EXPECT_EQ(table->get("NOMBRE").text(), "Peña  ");
  ASSERT_TRUE(table->lock_current());
  EXPECT_FALSE(table->put("ALTA", "2024-03-15"));  // Date-times are only read.
  ASSERT_TRUE(table->put("NOTA", "Hello, world: longer than before"));
  ASSERT_TRUE(table->unlock());
  EXPECT_EQ(table->raw_field(3), std::string("\x08\0\0\0", 4));  // Still fits its block.
}

TEST(DbfTable, RejectsValuesThatDoNotFitAndLeavesTheField) {
  testing::TestFolder folder;
  auto table = create_table(folder / "T.DBF");
  ASSERT_TRUE(table);
  ASSERT_TRUE(table->append());
  ASSERT_TRUE(table->put("MONTO", 5.0));
  struct Case {
    const char* field;
    Value value;
  };
  const Case kCases[] = {
      {"MONTO", 1e12},        // Wider than N(12,2): other programs would store asterisks.
      {"MONTO", "12"},        // Text into a numeric field.
      {"FECHA", 3.0},         // A number into a date field.
      {"ACTIVO", "T"},        // Text into a logical field.
      {"NOTA", 1.0},          // A number into a memo.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.field);
    Result<void> put = table->put(c.field, c.value);
    ASSERT_FALSE(put);
    EXPECT_TRUE(has_code(put.error(), TableErrorCode::BadValue));
  }
  EXPECT_EQ(table->raw_field(3), "        5.00");
  EXPECT_THROW((void)table->put("NO_EXISTE", 1.0), RuntimeError);
  EXPECT_EQ(table->field_pos("NO_EXISTE"), 0);
  EXPECT_EQ(table->field_pos("monto"), 3);
}

TEST(DbfTable, CutsTextInStoredBytesAndMarksWhatTheCodePageLacks) {
  testing::TestFolder folder;
  struct Case {
    CodePage page;
    std::string_view stored;  // NOMBRE after writing "Ñandú €uro 漢字 añejo"
  };
  const Case kCases[] = {
      {CodePage::Windows1252, "\xD1" "and\xFA \x80uro ?? "},  // € exists in 1252; the Han characters do not.
      {CodePage::Dos850, "\xA5" "and\xA3 ?uro ?? "},          // DOS 850 has no euro sign.
      {CodePage::Dos437, "\xA5" "and\xA3 ?uro ?? "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(code_page_name(c.page));
    const std::filesystem::path path = folder / ("CP" + std::string(code_page_name(c.page)) + ".DBF");
    TableCreateOptions options;
    options.code_page = c.page;
    {
      auto table = create_table(path, {{"NOMBRE", 'C', 14, 0}, {"NOTA", 'M', 10, 0}}, options);
      ASSERT_TRUE(table);
      ASSERT_TRUE(table->append());
      ASSERT_TRUE(table->put("NOMBRE", "Ñandú €uro 漢字 añejo"));
      ASSERT_TRUE(table->put("NOTA", "cigüeña, acción, pingüino"));
      ASSERT_TRUE(table->close());
    }
    auto table = open_table(path);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->code_page(), c.page);
    EXPECT_EQ(table->raw_field(1), c.stored);
    EXPECT_EQ(table->get("NOTA").text(), "cigüeña, acción, pingüino");
    EXPECT_EQ(table->text(1), c.page == CodePage::Windows1252 ? "Ñandú €uro ?? " : "Ñandú ?uro ?? ");
  }
}

TEST(DbfTable, MemosReuseTheirBlocksWhenTheyFitAndKeepTheNextFreePointer) {
  testing::TestFolder folder;
  auto table = create_table(folder / "M.DBF", {{"NOTA", 'M', 10, 0}}, TableCreateOptions{});
  ASSERT_TRUE(table);
  const auto next_free = [&] {
    Result<std::unique_ptr<FptFile>> memo = FptFile::open(folder / "M.FPT", Access::ReadOnly, Share::Shared);
    return memo ? *(*memo)->next_free_block() : 0u;
  };
  const auto block_of_row = [&] { return std::stoul(std::string(table->raw_field(1))); };
  for (int row = 0; row < 2; ++row) {
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->put("NOTA", std::string(100, static_cast<char>('a' + row))));  // 108 bytes: 2 blocks.
  }
  ASSERT_TRUE(table->flush());
  EXPECT_EQ(next_free(), 12u);
  ASSERT_TRUE(table->go_to(1));
  EXPECT_EQ(block_of_row(), 8u);
  ASSERT_TRUE(table->put("NOTA", "corto"));  // Shrinks: stays in block 8.
  ASSERT_TRUE(table->commit());
  EXPECT_EQ(block_of_row(), 8u);
  ASSERT_TRUE(table->put("NOTA", std::string(300, 'x')));  // Grows past its 2 blocks: goes to the end.
  ASSERT_TRUE(table->commit());
  EXPECT_EQ(block_of_row(), 12u);
  EXPECT_EQ(next_free(), 17u);
  ASSERT_TRUE(table->put("NOTA", std::string(400, 'z')));  // The last memo grows where it is.
  ASSERT_TRUE(table->commit());
  EXPECT_EQ(block_of_row(), 12u);
  EXPECT_EQ(next_free(), 19u);
  ASSERT_TRUE(table->put("NOTA", ""));  // An empty memo has no block.
  ASSERT_TRUE(table->commit());
  EXPECT_EQ(table->raw_field(1), std::string(10, ' '));
  ASSERT_TRUE(table->go_to(2));
  EXPECT_EQ(table->get("NOTA").text(), std::string(100, 'b'));
}

TEST(DbfTable, NavigatesAroundDeletedRowsAndThePhantomRecord) {
  testing::TestFolder folder;
  auto table = create_table(folder / "N.DBF", {{"N", 'N', 3, 0}});
  ASSERT_TRUE(table);
  for (int i = 1; i <= 6; ++i) {
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->put(1, i));
    if (i == 1 || i == 4 || i == 6) {
      ASSERT_TRUE(table->delete_record());
    }
  }
  ASSERT_TRUE(table->go_top());
  EXPECT_EQ(table->rec_no(), 2u);
  EXPECT_FALSE(table->bof());
  ASSERT_TRUE(table->skip());
  EXPECT_EQ(table->rec_no(), 3u);
  ASSERT_TRUE(table->skip());
  EXPECT_EQ(table->rec_no(), 5u);  // 4 is deleted.
  ASSERT_TRUE(table->skip());
  EXPECT_TRUE(table->eof());       // 6 is deleted: the phantom record follows.
  EXPECT_EQ(table->rec_no(), 7u);
  EXPECT_EQ(table->get(1).number(), 0);
  EXPECT_FALSE(table->put(1, 9));  // Nothing to change at EOF.
  ASSERT_TRUE(table->skip(-1));
  EXPECT_EQ(table->rec_no(), 5u);
  ASSERT_TRUE(table->skip(-5));
  EXPECT_TRUE(table->bof());
  EXPECT_EQ(table->rec_no(), 2u);  // BOF stays on the first visible record.
  ASSERT_TRUE(table->go_bottom());
  EXPECT_EQ(table->rec_no(), 5u);
  ASSERT_TRUE(table->go_to(4));    // GoTo reaches a deleted record by number.
  EXPECT_TRUE(table->deleted());
  ASSERT_TRUE(table->recall());
  ASSERT_TRUE(table->go_to(99));
  EXPECT_TRUE(table->eof());
  EXPECT_TRUE(table->bof());
  ASSERT_TRUE(table->go_top());
  ASSERT_TRUE(table->skip(2));
  EXPECT_EQ(table->rec_no(), 4u);  // Recalled, so visible again.
  table->set_deleted_rows(DeletedRows::Shown);
  ASSERT_TRUE(table->go_top());
  EXPECT_EQ(table->rec_no(), 1u);
}

TEST(DbfTable, EmptyTableIsBothBofAndEof) {
  testing::TestFolder folder;
  auto table = create_table(folder / "E.DBF", {{"N", 'N', 3, 0}});
  ASSERT_TRUE(table);
  for (auto move : {&DbfTable::go_top, &DbfTable::go_bottom}) {
    ASSERT_TRUE((table.get()->*move)());
    EXPECT_TRUE(table->eof());
    EXPECT_TRUE(table->bof());
    EXPECT_EQ(table->rec_no(), 1u);
  }
  ASSERT_TRUE(table->skip(-1));
  EXPECT_TRUE(table->bof());
  EXPECT_TRUE(table->eof());
}

TEST(DbfTable, TwoHandlesExcludeEachOtherOnRecordsAndAppends) {
  testing::TestFolder folder;
  create_table(folder / "S.DBF", {{"N", 'N', 3, 0}}).reset();
  auto first = open_table(folder / "S.DBF");
  auto second = open_table(folder / "S.DBF");
  ASSERT_TRUE(first && second);
  ASSERT_TRUE(first->append());  // Record 1 is current and locked.
  ASSERT_TRUE(first->put(1, 7));
  EXPECT_TRUE(first->is_locked(1));
  EXPECT_EQ(second->last_rec(), 1u);  // The other handle sees the appended row at once.
  ASSERT_TRUE(second->go_to(1));
  EXPECT_FALSE(second->lock_current());
  Result<void> unlocked_put = second->put(1, 8);
  ASSERT_FALSE(unlocked_put);
  EXPECT_TRUE(has_code(unlocked_put.error(), TableErrorCode::NotLocked));
  ASSERT_TRUE(first->unlock());  // Writes 7 and lets go.
  ASSERT_TRUE(second->lock_current());
  EXPECT_EQ(second->get(1).number(), 7);  // Locking re-read the record.
  ASSERT_TRUE(second->put(1, 8));
  EXPECT_FALSE(first->lock_record(1));
  EXPECT_FALSE(first->lock_file());
  ASSERT_TRUE(second->unlock());
  ASSERT_TRUE(first->lock_record(1));
  EXPECT_EQ(first->get(1).number(), 8);

  // Locking another record releases the first one.
  ASSERT_TRUE(first->append());
  EXPECT_FALSE(first->is_locked(1));
  EXPECT_TRUE(second->lock_record(1));
  ASSERT_TRUE(second->unlock());

  // A file lock excludes every record lock and appends.
  ASSERT_TRUE(first->unlock());
  ASSERT_TRUE(second->lock_file());
  EXPECT_FALSE(first->lock_record(1));
  Result<void> append_under_file_lock = first->append();
  ASSERT_FALSE(append_under_file_lock);
  EXPECT_TRUE(has_code(append_under_file_lock.error(), TableErrorCode::Locked));
  ASSERT_TRUE(second->unlock());

  // The append lock is the header byte: while another holder has it, appends fail.
  {
    UniqueFd holder(::open((folder / "S.DBF").c_str(), O_RDWR));
    ASSERT_TRUE(lock_bytes(holder.get(), kHeaderLockOffset, 1, LockKind::Exclusive));
    Result<void> blocked = first->append();
    ASSERT_FALSE(blocked);
    EXPECT_TRUE(has_code(blocked.error(), TableErrorCode::Locked));
  }
  ASSERT_TRUE(first->append());
  EXPECT_EQ(first->rec_no(), 3u);
  {
    TableOpenOptions options;
    options.share = Share::Exclusive;
    Result<std::unique_ptr<DbfTable>> exclusive = DbfTable::open(folder / "S.DBF", options);
    ASSERT_FALSE(exclusive);
    EXPECT_TRUE(has_code(exclusive.error(), TableErrorCode::Busy));
  }
}

TEST(DbfTable, KeepsTheHeaderRightForOtherReadersWhileOpen) {
  testing::TestFolder folder;
  create_table(folder / "H.DBF", {{"N", 'N', 3, 0}}).reset();
  auto table = open_table(folder / "H.DBF");
  ASSERT_TRUE(table);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->put(1, i));
    ASSERT_TRUE(table->unlock());
  }
  const std::string bytes = file_bytes(folder / "H.DBF");
  EXPECT_EQ(bytes[4], 3);
  EXPECT_EQ(bytes.size(), 32u + 32u + 2u + 3u * 4u + 1u);  // Header, 3 records, EOF marker.
  EXPECT_EQ(bytes.back(), '\x1A');
}

TEST(DbfTable, RefusesDamagedFilesWithAClearError) {
  testing::TestFolder folder;
  {
    auto table = create_table(folder / "OK.DBF");
    ASSERT_TRUE(table);
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->put("NOTA", "texto"));
    ASSERT_TRUE(table->append());
    ASSERT_TRUE(table->close());
  }
  const std::string good = file_bytes(folder / "OK.DBF");
  struct Case {
    const char* name;
    std::string bytes;
    TableErrorCode code;
  };
  std::string zero_width = good;
  zero_width[32 + 16] = 0;
  std::string unknown_type = good;
  unknown_type[32 + 11] = 'X';
  std::string long_record = good;
  long_record[10] = 99;
  const Case kCases[] = {
      {"empty", "", TableErrorCode::BadFormat},
      {"truncated header", good.substr(0, 40), TableErrorCode::BadFormat},
      {"zero width", zero_width, TableErrorCode::BadFormat},
      {"unknown type", unknown_type, TableErrorCode::BadFormat},
      {"record length", long_record, TableErrorCode::BadFormat},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path path = folder / "BAD.DBF";
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << c.bytes;
    Result<std::unique_ptr<DbfTable>> table = DbfTable::open(path);
    ASSERT_FALSE(table);
    EXPECT_TRUE(has_code(table.error(), c.code)) << table.error().text;
    EXPECT_EQ(file_bytes(path), c.bytes);  // Nothing was written.
  }

  // A record count beyond the end of the file: what is there is read, and said.
  std::string short_file = good.substr(0, good.size() - 1 - 30);
  {
    std::ofstream(folder / "SHORT.DBF", std::ios::binary) << short_file;
    std::filesystem::copy_file(folder / "OK.FPT", folder / "SHORT.FPT");
    auto table = open_table(folder / "SHORT.DBF");
    ASSERT_TRUE(table);
    EXPECT_NE(table->open_warning(), "");
    EXPECT_EQ(table->last_rec(), 1u);
    EXPECT_EQ(table->get("NOTA").text(), "texto");
  }

  // A memo pointer past the end of the memo file, and a table without its memo file.
  std::filesystem::resize_file(folder / "SHORT.FPT", 512);
  {
    auto table = open_table(folder / "SHORT.DBF");
    ASSERT_TRUE(table);
    EXPECT_THROW((void)table->get("NOTA"), RuntimeError);
  }
  std::filesystem::remove(folder / "SHORT.FPT");
  Result<std::unique_ptr<DbfTable>> without_memo = DbfTable::open(folder / "SHORT.DBF");
  ASSERT_FALSE(without_memo);
  EXPECT_TRUE(has_code(without_memo.error(), TableErrorCode::NotFound));
}

}  // namespace
}  // namespace data
