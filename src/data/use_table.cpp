#include "data/use_table.h"

#include <time.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "data/order_seek_date.h"
#include "data/program_folder.h"
#include "data/runtime_error.h"
#include "data/text.h"

namespace data {
namespace {

long hundredths_since_midnight() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto fraction =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return (local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec) * 100L +
         static_cast<long>(fraction / 10);
}

bool file_exists(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

std::string with_separator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder;
}

std::filesystem::path companion(const std::filesystem::path& file, const char* extension) {
  return find_case_insensitive(file.parent_path(), file.stem().string() + extension);
}

// Removes a private copy made half-way when USE cannot finish it.
class CopyCleanup {
 public:
  ~CopyCleanup() {
    if (m_table.empty()) return;
    std::error_code ec;
    std::filesystem::remove(m_table, ec);
    for (const char* extension : {".FPT", ".CDX"}) {
      std::filesystem::path other = m_table;
      std::filesystem::remove(other.replace_extension(extension), ec);
    }
  }
  void arm(std::filesystem::path table) { m_table = std::move(table); }
  void disarm() { m_table.clear(); }

 private:
  std::filesystem::path m_table;
};

// One open attempt of `handle`: true when open, false when another program holds the table; any other
// failure is the caller's run-time error.
bool try_open(WDBTable& handle, const std::any& owner, const std::filesystem::path& file, bool shared,
              bool readonly, const std::string& driver) {
  Result<void> opened = handle.Init(owner, file, shared, true, readonly, driver);
  if (opened) return true;
  if (has_code(opened.error(), TableErrorCode::Busy)) return false;
  throw RuntimeError("USE", driver.empty() ? "DBFCDX" : driver, opened.error().text);
}

// The template of a private copy, checked: it must exist and be empty, because the copy takes the
// template's index file as it is, and rows the copy lacks would leave that index pointing at nothing.
TableStructure read_template(TableSession& session, const std::filesystem::path& path,
                             const std::string& driver, CodePage& code_page) {
  if (!file_exists(path)) throw RuntimeError("USE", driver, "template not found: " + path.string());
  std::unique_ptr<DbfTable> table;
  retry_until_done(
      session.clock(), session.messages(),
      [&] {
        TableOpenOptions options;
        options.access = Access::ReadOnly;
        Result<std::unique_ptr<DbfTable>> opened = DbfTable::open(path, options);
        if (opened) {
          table = std::move(*opened);
          return true;
        }
        if (has_code(opened.error(), TableErrorCode::Busy)) return false;
        throw RuntimeError("USE", driver, opened.error().text);
      },
      [&] { return "No se puede abrir archivo: " + path.string(); });
  if (table->last_rec() != 0) {
    throw RuntimeError("USE", driver, "template is not empty: " + path.string());
  }
  code_page = table->code_page();
  TableStructure structure = table->structure();
  (void)table->close();
  return structure;
}

}  // namespace

std::string private_copy_name(long hundredths, std::string_view extension) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%07ld", hundredths % 10000000L);
  return "T" + std::string(digits) + "." + std::string(extension);
}

std::unique_ptr<WDBTable> USE(TableSession& session, std::any owner, std::string_view name_given,
                              std::string_view order_given, const UseOptions& options) {
  std::string name = ALLTRIM(name_given);
  const std::string order = ALLTRIM(order_given);
  const std::size_t dot = name.find('.');
  const bool is_private_copy = dot != std::string::npos;
  name = is_private_copy ? LEFT(name.substr(0, dot), 8) + ".DBF" : LEFT(name, 8);
  const std::string driver = options.driver.empty() ? session.settings.DEF_RDD : options.driver;

  const std::filesystem::path base =
      options.fixed ? std::filesystem::path(options.basepath.empty() ? "." : options.basepath)
                    : session.settings.program_folder;
  std::string folder = with_separator(options.folder);
  const std::string sub_base = ALLTRIM(session.settings.sub_base);
  if (!options.fixed && !sub_base.empty() && !is_private_copy &&
      file_exists(find_case_insensitive(base, folder + sub_base + "\\" + name + ".DBF"))) {
    // A table present in the user's data sub-base overrides the common one.
    folder += sub_base + "\\";
  }

  auto handle = std::make_unique<WDBTable>(session);
  if (is_private_copy) {
    const std::filesystem::path copy_folder =
        session.settings.is_local_temp == 1
            ? find_case_insensitive(session.settings.local_temp_folder, "TEMP")
            : find_case_insensitive(base, "TEMP");
    const std::filesystem::path template_path = find_case_insensitive(base, "PROFILE\\" + name);
    CodePage code_page = CodePage::Windows1252;
    const TableStructure structure = read_template(session, template_path, driver, code_page);

    std::error_code ec;
    std::filesystem::create_directories(copy_folder, ec);  // A failure shows in the retries below.
    CopyCleanup cleanup;
    std::filesystem::path copy;
    retry_until_done(
        session.clock(), session.messages(),
        [&] {
          do {
            copy = copy_folder / private_copy_name(hundredths_since_midnight(), session.settings.EXT_MODULO);
            if (file_exists(copy) || file_exists(std::filesystem::path(copy).replace_extension(".CDX"))) {
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
              continue;
            }
            break;
          } while (true);
          TableCreateOptions create;
          create.code_page = code_page;
          Result<std::unique_ptr<DbfTable>> made = DbfTable::create(copy, structure, create);
          if (!made) return false;
          cleanup.arm(copy);
          return static_cast<bool>((*made)->close());
        },
        [&] { return "No se puede copiar estructura a: " + copy.string(); });

    const std::filesystem::path template_index = companion(template_path, ".CDX");
    std::filesystem::path copy_index;
    if (file_exists(template_index)) {
      copy_index = std::filesystem::path(copy).replace_extension(".CDX");
      retry_until_done(
          session.clock(), session.messages(),
          [&] {
            std::error_code copy_error;
            return std::filesystem::copy_file(template_index, copy_index,
                                              std::filesystem::copy_options::overwrite_existing,
                                              copy_error) &&
                   !copy_error;
          },
          [&] { return "No se puede copiar CDX: " + template_index.string() + " a " + copy_index.string(); });
    }

    retry_until_done(
        session.clock(), session.messages(),
        [&] { return try_open(*handle, owner, copy, false, options.readonly, driver); },
        [&] { return "No se puede abrir archivo: " + copy.string(); });
    handle->Cargo = copy_index.empty() ? std::string("BORRAR") : "BORRAR->" + copy_index.string();
    if (!copy_index.empty() && !handle->table().production_index() && session.index_opener) {
      // A new copy's header does not announce an index yet: attach the copied one explicitly.
      Result<std::unique_ptr<TableIndex>> index = session.index_opener(handle->table());
      if (!index) throw RuntimeError("USE", driver, index.error().text);
      if (Result<void> ok = handle->table().attach_production_index(std::move(*index)); !ok) {
        throw RuntimeError("USE", driver, ok.error().text);
      }
    }
    cleanup.disarm();  // From here the handle deletes the copy when it closes.
  } else {
    const std::filesystem::path file = find_case_insensitive(base, folder + name);
    const std::filesystem::path dbf = find_case_insensitive(base, folder + name + ".DBF");
    if (!file_exists(dbf)) throw RuntimeError("USE", driver, "table not found: " + dbf.string());
    retry_until_done(
        session.clock(), session.messages(),
        [&] { return try_open(*handle, owner, file, options.shared, options.readonly, driver); },
        [&] { return "No se puede abrir archivo: " + dbf.string(); });
    handle->Cargo = Value();
  }

  if (!order.empty()) handle->set_order(order);
  session.areas().select(handle->Area);
  return handle;
}

void SEEK_DATE(TableSession& session, std::string_view prefix, const Date& date) {
  DbfTable& table = session.areas().current_table();
  if (Result<void> sought = SEEK_DATE(table, prefix, date); !sought) {
    throw RuntimeError("SEEK_DATE", session.driver(session.areas().current()),
                       table.path().string() + ": " + sought.error().text);
  }
}

void XDELAY(long milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace data
