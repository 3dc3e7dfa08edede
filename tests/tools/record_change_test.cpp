// The lock and append calls against a second process (qvtable lock) that holds the row or the
// append lock for a while: quiet for the first five seconds, one message per failed attempt after.
#include "data/record_change.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "data/dbf_table.h"
#include "data/dbf_test_folder.h"  // tests/data/
#include "data/unique_fd.h"
#include "data/use_table.h"
#include "data/wtable_test_support.h"  // tests/data/

namespace data {
namespace {

using Steady = std::chrono::steady_clock;

// `qvtable lock FILE RECNO SECONDS`, returned once it reports the lock held.
class LockHolder {
 public:
  LockHolder(const std::filesystem::path& file, int recno, int seconds) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) std::abort();
    const std::string recno_text = std::to_string(recno), seconds_text = std::to_string(seconds);
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(fds[1], 1);
      ::execl(QVTABLE_PATH, QVTABLE_PATH, "lock", file.c_str(), recno_text.c_str(), seconds_text.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    UniqueFd out(fds[0]);
    char c;
    while (::read(out.get(), &c, 1) == 1 && c != '\n') m_first_line.push_back(c);
  }
  ~LockHolder() {
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  const std::string& first_line() const { return m_first_line; }

 private:
  pid_t m_pid = -1;
  std::string m_first_line;
};

// Keeps the moment of each message.
class TimedSink final : public MessageBoxSink {
 public:
  int MESSAGE_BOX(std::string_view text, std::string_view, int flags) override {
    texts.emplace_back(text);
    moments.push_back(Steady::now());
    return default_button(flags);
  }
  std::vector<std::string> texts;
  std::vector<Steady::time_point> moments;
};

TEST(RecordChangeAcrossProcesses, WaitsQuietlyForFiveSecondsThenTellsTheOperator) {
  struct Case {
    int recno;
    int held_seconds;
    bool has_messages;
  };
  constexpr Case kCases[] = {
      {1, 3, false},  // A row held 3 s: no message.
      {1, 7, true},   // Held 7 s: messages after the first 5 s.
      {0, 3, false},  // The append lock held 3 s.
      {0, 6, true},   // Held 6 s.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(::testing::Message() << "record " << c.recno << " held " << c.held_seconds << " s");
    testing::TestFolder folder;
    const std::filesystem::path file = folder / "BASES/FONTS.DBF";
    testing::create_catalogued_table("FONTS", file);
    {
      auto table = DbfTable::open(file);
      ASSERT_TRUE(table);
      ASSERT_TRUE((*table)->append());
      ASSERT_TRUE((*table)->close());
    }
    SteadyRetryClock clock;
    TimedSink messages;
    TableSession session(TableSettings{folder.path(), "", 0, "", "MLS", "DBFCDX"}, messages, clock);
    auto fonts = USE(session, {}, "FONTS");
    fonts->GoTop();

    LockHolder holder(file, c.recno, c.held_seconds);
    ASSERT_EQ(holder.first_line(), "locked");
    const Steady::time_point start = Steady::now();
    if (c.recno == 0)
      ADD_NEW_REC(session);
    else
      LOCK_FOR_MODIFY(session);
    EXPECT_TRUE(fonts->table().is_locked(fonts->RecNo()));
    EXPECT_EQ(fonts->RecNo(), c.recno == 0 ? 2u : 1u);
    EXPECT_EQ(!messages.texts.empty(), c.has_messages);
    for (std::size_t i = 0; i < messages.texts.size(); ++i) {
      EXPECT_EQ(messages.texts[i], "El dato se encuentra bloqueado: FONTS00001");
      EXPECT_GE(messages.moments[i] - start, std::chrono::milliseconds(5000));
    }
    fonts->put("T_FONT", Value("Georgia"));
    UNLOCK_FOR_MODIFY(session);
  }
}

}  // namespace
}  // namespace data
