// qvtable init-site and demo-site: new program folders built from the table catalogue.
#include <iostream>

#include "command.h"
#include "data/cdx_page_cache.h"
#include "data/demo_site.h"
#include "data/message_box_sink.h"
#include "data/schema_catalogue.h"
#include "data/site_builder.h"
#include "data/wtable_session.h"

namespace qvtable {
namespace {

// The catalogue shipped with the program, or a printed reason why there is none.
std::optional<data::SchemaCatalogue> load_catalogue() {
  const std::filesystem::path folder = data::SchemaCatalogue::default_folder();
  if (folder.empty()) {
    fail(kDataProblem, "the table catalogue (resources/schema) was not found; set QV_SCHEMA_DIR");
    return std::nullopt;
  }
  data::Result<data::SchemaCatalogue> catalogue = data::SchemaCatalogue::load(folder);
  if (!catalogue) {
    fail(kDataProblem, catalogue.error().text);
    return std::nullopt;
  }
  return std::move(*catalogue);
}

// A port number from the command line; 0 when the text is not one.
int parse_port(std::string_view text) {
  const std::uint32_t port = parse_recno(text);
  return port <= 65535 ? static_cast<int>(port) : 0;
}

int run_init_site(std::span<const std::string> arguments) {
  if (arguments.size() != 1) return usage_error(site_commands()[0]);
  std::optional<data::SchemaCatalogue> catalogue = load_catalogue();
  if (!catalogue) return kDataProblem;
  const data::SiteBuilder builder(*catalogue, data::cdx_index_creator(tool_page_cache()));
  data::Result<std::vector<std::filesystem::path>> made = builder.create_empty_site(arguments[0]);
  if (!made) return fail(kDataProblem, made.error().text);
  std::cout << "created " << made->size() << " tables in " << arguments[0] << '\n';
  return kOk;
}

int run_demo_site(std::span<const std::string> arguments) {
  const Command self = site_commands()[1];  // A copy: the list is a temporary.
  if (arguments.size() != 1 && arguments.size() != 3) return usage_error(self);
  data::DemoMailSandbox sandbox;
  if (arguments.size() == 3) {
    sandbox.smtp_port = parse_port(arguments[1]);
    sandbox.pop3_port = parse_port(arguments[2]);
    if (sandbox.smtp_port == 0 || sandbox.pop3_port == 0) return usage_error(self);
  }
  std::optional<data::SchemaCatalogue> catalogue = load_catalogue();
  if (!catalogue) return kDataProblem;
  data::HeadlessMessageBoxSink messages(std::cerr);
  data::SteadyRetryClock clock;
  data::TableSession session(data::TableSettings{arguments[0], "", 0, "", "MLS", "DBFCDX"}, messages, clock);
  const data::SiteBuilder builder(*catalogue, data::cdx_index_creator(session.page_cache()));
  const data::WorkstationClock today;
  if (data::Result<void> made = data::create_demo_site(builder, session, arguments[0], sandbox, today); !made) {
    return fail(kDataProblem, made.error().text);
  }
  std::cout << "demo site in " << arguments[0] << ": business " << data::kDemoBusiness << ", mail to "
            << sandbox.host << " SMTP " << sandbox.smtp_port << " POP3 " << sandbox.pop3_port << '\n';
  return kOk;
}

}  // namespace

std::vector<Command> site_commands() {
  return {
      {"init-site", "DIR   (an empty site: BASES/ and PROFILE/ from the table catalogue)", run_init_site},
      {"demo-site", "DIR [SMTP_PORT POP3_PORT]   (a site with sample data and outbox rows for a local sandbox)",
       run_demo_site},
  };
}

}  // namespace qvtable
