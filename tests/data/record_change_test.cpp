#include "data/record_change.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "data/file_lock.h"
#include "data/number_format.h"
#include "data/record_lock.h"
#include "data/runtime_error.h"
#include "data/text.h"
#include "data/unique_fd.h"
#include "data/use_table.h"
#include "wtable_test_support.h"

namespace data {
namespace {

using testing::create_catalogued_table;
using testing::SessionFixture;
namespace fs = std::filesystem;

// A program folder with FONTS holding two rows, open in area 1, on row 1.
class RecordChange : public ::testing::Test {
 protected:
  void SetUp() override {
    create_catalogued_table("FONTS", file);
    Result<std::unique_ptr<DbfTable>> table = DbfTable::open(file);
    ASSERT_TRUE(table);
    for (const char* name : {"Arial", "Tahoma"}) {
      ASSERT_TRUE((*table)->append());
      ASSERT_TRUE((*table)->put("T_FONT", Value(name)));
    }
    ASSERT_TRUE((*table)->close());
    fonts = USE(f.session, {}, "FONTS");
    fonts->GoTop();
  }
  // The same table opened again, as another program of the suite would.
  std::unique_ptr<DbfTable> other_program() {
    Result<std::unique_ptr<DbfTable>> table = DbfTable::open(file);
    if (!table) std::abort();
    return std::move(*table);
  }
  std::string stored_font(std::uint32_t recno) {
    auto reader = other_program();
    if (!reader->go_to(recno)) return "?";
    return ALLTRIM(reader->get("T_FONT").text());
  }

  SessionFixture f;
  fs::path file = f.folder / "BASES/FONTS.DBF";
  std::unique_ptr<WDBTable> fonts;
};

TEST_F(RecordChange, ALockHeldElsewhereIsAwaitedQuietlyForFiveSecondsThenWithMessages) {
  struct Case {
    int held_ms;
    bool has_messages;
  };
  constexpr Case kCases[] = {{3000, false}, {8000, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.held_ms);
    f.messages.texts.clear();
    f.messages.moments.clear();
    const auto start = f.clock.elapsed();
    auto holder = other_program();
    ASSERT_TRUE(holder->lock_record(1));
    f.clock.on_wait = [&](std::chrono::milliseconds now) {
      if ((now - start).count() >= c.held_ms && holder) holder.reset();
    };
    LOCK_FOR_MODIFY(f.session);
    EXPECT_TRUE(fonts->table().is_locked(1));
    EXPECT_GE((f.clock.elapsed() - start).count(), c.held_ms);
    EXPECT_EQ(!f.messages.texts.empty(), c.has_messages);
    // One message per failed attempt after the first five seconds.
    if (c.has_messages) {
      EXPECT_NEAR(static_cast<double>(f.messages.texts.size()), 30.0, 1.0);
    }
    for (std::size_t i = 0; i < f.messages.texts.size(); ++i) {
      EXPECT_EQ(f.messages.texts[i], "El dato se encuentra bloqueado: FONTS00001");
      EXPECT_EQ(f.messages.captions[i], "Alerta");
      EXPECT_GT((f.messages.moments[i] - start).count(), 5000);
    }
    UNLOCK_FOR_MODIFY(f.session);
  }
}

TEST_F(RecordChange, EachAttemptSelectsItsAreaAgainAfterOtherHandlersMovedAway) {
  create_catalogued_table("NEGOCIOS", f.folder / "BASES/NEGOCIOS.DBF");
  auto negocios = USE(f.session, {}, "NEGOCIOS");
  f.session.areas().select(fonts->Area);
  auto holder = other_program();
  ASSERT_TRUE(holder->lock_record(1));
  f.clock.on_wait = [&](std::chrono::milliseconds now) {
    f.session.areas().select(negocios->Area);  // A timer handler ran meanwhile.
    if (now.count() >= 6000) holder.reset();
  };
  LOCK_FOR_MODIFY(f.session);
  EXPECT_EQ(f.session.areas().current(), fonts->Area);
  fonts->put("T_FONT", Value("Calibri"));
  UNLOCK_FOR_MODIFY(f.session);
  EXPECT_EQ(stored_font(1), "Calibri");
}

TEST_F(RecordChange, AppendWaitsForTheAppendLockAndLeavesTheNewRecordLocked) {
  UniqueFd fd(::open(file.c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_TRUE(lock_bytes(fd.get(), kHeaderLockOffset, 1, LockKind::Exclusive));
  f.clock.on_wait = [&](std::chrono::milliseconds now) {
    if (now.count() >= 5500 && fd) fd = UniqueFd();
  };
  ADD_NEW_REC(f.session);
  EXPECT_EQ(fonts->RecNo(), 3u);
  EXPECT_TRUE(fonts->table().is_locked(3));
  EXPECT_FALSE(f.messages.texts.empty());
  fonts->put("T_FONT", Value("Cambria"));
  UNLOCK_NEW_REC(f.session);
  EXPECT_EQ(stored_font(3), "Cambria");
  EXPECT_TRUE(other_program()->lock_record(3));  // Released.
}

TEST_F(RecordChange, ServerTablesNameTheRecordInTheBusyMessage) {
  EXPECT_EQ(busy_message(f.session, fonts->Area), "El dato se encuentra bloqueado: FONTS00001");
  f.session.set_driver(fonts->Area, "ADSCDX");
  EXPECT_EQ(busy_message(f.session, fonts->Area), "El dato se encuentra bloqueado: FONTS00001/" + STR(1, 10));
}

TEST_F(RecordChange, CallsThatWouldWaitForEverAreRunTimeErrors) {
  fonts->GoBottom();
  fonts->Skip(1);  // The phantom record past the end has nothing to lock.
  EXPECT_THROW(LOCK_FOR_MODIFY(f.session), RuntimeError);
  f.session.areas().select(200);  // A free area.
  EXPECT_THROW(LOCK_FOR_MODIFY(f.session), RuntimeError);
  UseOptions read_only;
  read_only.readonly = true;
  auto reader = USE(f.session, {}, "FONTS", "", read_only);
  reader->GoTop();
  EXPECT_THROW(LOCK_FOR_MODIFY(f.session), RuntimeError);
}

TEST_F(RecordChange, ARecordLockWritesItsEditsOnlyOnCommit) {
  {
    RecordLock lock(*fonts);
    fonts->put("T_FONT", Value("Verdana"));
    lock.commit();
  }
  EXPECT_EQ(stored_font(1), "Verdana");
  EXPECT_TRUE(other_program()->lock_record(1));  // Commit released the row.

  // An error half-way through a change: nothing of it is written, and the row is free again.
  try {
    RecordLock lock(*fonts);
    fonts->put("T_FONT", Value("Half"));
    throw RuntimeError("test", "test", "stopped half-way");
  } catch (const RuntimeError&) {
  }
  EXPECT_EQ(stored_font(1), "Verdana");
  EXPECT_EQ(ALLTRIM(fonts->get("T_FONT").text()), "Verdana");
  EXPECT_TRUE(other_program()->lock_record(1));

  // A dropped new record is left deleted, never half-filled.
  {
    RecordLock lock(*fonts, LockTarget::NewRecord);
    fonts->put("T_FONT", Value("Orphan"));
  }
  auto reader = other_program();
  ASSERT_TRUE(reader->go_to(3));
  EXPECT_TRUE(reader->deleted());
  EXPECT_EQ(ALLTRIM(reader->get("T_FONT").text()), "");
}

TEST_F(RecordChange, ARecordLockLeavesTheCurrentAreaAsItWas) {
  create_catalogued_table("NEGOCIOS", f.folder / "BASES/NEGOCIOS.DBF");
  auto negocios = USE(f.session, {}, "NEGOCIOS");
  RecordLock lock(*fonts);
  EXPECT_EQ(f.session.areas().current(), negocios->Area);
  lock.commit();
  EXPECT_EQ(f.session.areas().current(), negocios->Area);
}

}  // namespace
}  // namespace data
