#pragma once

#include <filesystem>
#include <string>

#include "data/clock.h"
#include "data/result.h"
#include "data/site_builder.h"
#include "data/wtable_session.h"

namespace data {

// Where the demo site's mail goes: a mail sandbox on this machine.
struct DemoMailSandbox {
  std::string host = "127.0.0.1";
  int smtp_port = 2525;
  int pop3_port = 1110;
  std::string user = "notifica";
  std::string password = "demo";
};

// Builds a demo site: an empty site (SiteBuilder) with one business, mail settings pointing at the
// sandbox, two ready outbox rows (a plain body, and an HTML body file in MAIL/SEND/ that embeds an
// image of HTML/), and a recipient or approver row for each notification kind, so that a server
// started on it has something to send. Rows are written through `session`, whose program folder
// is set to `program_folder`, and stamped with `clock`. Fails like create_empty_site when the folder
// already holds a site; a table that cannot be written throws RuntimeError.
[[nodiscard]] Result<void> create_demo_site(const SiteBuilder& builder, TableSession& session,
                                            const std::filesystem::path& program_folder,
                                            const DemoMailSandbox& sandbox, const Clock& clock);

// The business code of the demo site.
inline constexpr std::string_view kDemoBusiness = "HOTEL1";

}  // namespace data
