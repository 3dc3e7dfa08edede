#include "transport/mail_operations.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include <glib.h>

#include "transport/engine_codes.h"

namespace transport {

namespace {

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool is_blank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The code right-aligned in ten characters, as the status lines and messages show it.
std::string code_in_ten(int code) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d", code);
  return text;
}

void show(const MailContext& mail, bool quiet, const std::string& text) {
  if (!quiet && mail.message_box) mail.message_box(text);
}

std::vector<std::string> split_commas(std::string_view list) {
  std::vector<std::string> pieces;
  while (true) {
    const auto comma = list.find(',');
    pieces.emplace_back(list.substr(0, comma));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return pieces;
}

// Files from the suite's Windows programs may name folders with backslashes.
std::filesystem::path folder_path(std::string_view folder) {
  std::string text(folder);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return std::filesystem::path(text);
}

// The pieces of a comma list, each found in `folder`, joined with ";" for the engine.
std::string joined_paths(const std::filesystem::path& folder, const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += ';';
    joined += find_in_folder(folder, name).string();
  }
  return joined;
}

void apply_site_settings(SeeEngine& engine, const MailAccount& account) {
  engine.seeIntegerParam(0, kVerifyTls, account.accept_self_signed ? 0 : 1);
  engine.seeStringParam(0, kCaFile, account.ca_file);
  engine.seeIntegerParam(0, kConnectSeconds, account.connect_seconds);
  engine.seeIntegerParam(0, kStallSeconds, account.stall_seconds);
}

// The parameters every connection starts with: the two extra header lines of every
// message the suite sends.
void set_header_parameters(SeeEngine& engine) {
  engine.seeIntegerParam(0, kHeaderMode, 1);
  engine.seeStringParam(0, kExtraHeaderLine, "X-Priority: Normal");
  engine.seeStringParam(0, kExtraHeaderLine, "X-Sender: QUARVELT Hotel Software");
  engine.seeIntegerParam(0, kQuotedNames, 1);
  engine.seeIntegerParam(0, kHeaderMode, 2);
}

}  // namespace

std::filesystem::path find_in_folder(const std::filesystem::path& folder, std::string_view name) {
  std::filesystem::path exact = folder / std::string(name);
  std::error_code ec;
  if (std::filesystem::exists(exact, ec) || name.find('/') != std::string_view::npos) return exact;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string candidate = entry.path().filename().string();
    if (candidate.size() == name.size() && g_ascii_strncasecmp(candidate.c_str(), name.data(), name.size()) == 0)
      return entry.path();
  }
  return exact;
}

bool LOADSEE(MailContext& mail, bool quiet) {
  if (mail.engine.XSEE32LIB) return true;
  std::unique_ptr<SeeEngine> engine = mail.load_engine ? mail.load_engine() : std::make_unique<SeeEngine>();
  int code = engine ? engine->seeAttach(1, kSeeAttachValue) : kEngineNotLoaded;
  if (code < 0) {
    std::string text;
    if (engine) {
      code = engine->seeAttach(1, kSeeAttachValue);
      engine->seeErrorText(0, code, text, 200);
    } else {
      text = engine_error_text(kEngineNotLoaded);
    }
    show(mail, quiet, "seeAttach failed.;Error : " + text + " (" + std::to_string(code) + ")");
    mail.engine.XSEE32LIB.reset();
    return false;
  }
  apply_site_settings(*engine, mail.account);
  mail.engine.XSEE32LIB = std::move(engine);
  return true;
}

void FREESEE(MailContext& mail) {
  mail.engine.XSEE32LIB.reset();
}

int CONNECTSEE(MailContext& mail, bool load, bool quiet) {
  if (load && !LOADSEE(mail, quiet)) {
    show(mail, quiet, "Error loading SEE");
    return kEngineNotLoaded;
  }
  if (!mail.engine.XSEE32LIB) return kEngineNotLoaded;
  SeeEngine& engine = *mail.engine.XSEE32LIB;
  const MailAccount& account = mail.account;
  set_header_parameters(engine);
  if (account.XEMAIL_SMTP_PORT.value_or(0) != 0) engine.seeIntegerParam(0, kSmtpPort, *account.XEMAIL_SMTP_PORT);
  if (account.XEMAILAUTH == 1) {
    engine.seeIntegerParam(0, kAuthenticate, 1);
    engine.seeStringParam(0, kAuthUser, trim(account.XEMAIL_AU));
    engine.seeStringParam(0, kAuthPassword, trim(account.XEMAIL_AP));
  }
  const int code = engine.seeSmtpConnect(0, trim(account.XEMAILHOST), "<" + std::string(trim(account.XEMAILADDR)) + ">", "");
  if (code < 0) {
    show(mail, quiet, "Error SMTP Connect, maybe bad authentication: " + code_in_ten(code));
    if (load) FREESEE(mail);
    mail.engine.XSEECONNECTED = data::Value();
    return code;
  }
  mail.engine.XSEECONNECTED = data::Value(code);
  return code;
}

int CONNECTPOP3(MailContext& mail, bool load, bool quiet, std::string_view user, std::string_view password,
                std::optional<std::string_view> host) {
  if (load && !LOADSEE(mail, quiet)) return kEngineNotLoaded;
  if (!mail.engine.XSEE32LIB) return kEngineNotLoaded;
  SeeEngine& engine = *mail.engine.XSEE32LIB;
  set_header_parameters(engine);
  if (mail.account.XEMAIL_POP3_PORT.value_or(0) != 0) engine.seeIntegerParam(0, kPop3Port, *mail.account.XEMAIL_POP3_PORT);
  const int code = engine.seePop3Connect(0, trim(host.value_or(mail.account.XEMAILHOST)), trim(user), trim(password));
  if (code < 0) {
    mail.engine.XSEECONNECTED = data::Value();
    if (!quiet) {
      std::string text;
      engine.seeErrorText(0, code, text, 200);
      show(mail, quiet, "Error POP3 Connect, maybe bad authentication: " + code_in_ten(code) + " " + text);
    }
    if (load) FREESEE(mail);
    return code;
  }
  mail.engine.XSEECONNECTED = data::Value(true);
  return code;
}

int SENDMAILSEE(MailContext& mail, std::string_view to, std::string_view cc1, std::string_view cc2,
                std::string_view subject, std::string_view body, std::string_view images,
                std::string_view alternate_text, std::string_view attachments,
                std::optional<std::string_view> sender_address, std::optional<std::string_view> sender_name) {
  if (!mail.engine.XSEE32LIB) return kNotAttached;
  const std::string copy1 = is_blank(cc1) ? "" : "<" + std::string(trim(cc1)) + ">";
  const std::string copy2 = is_blank(cc2) ? "" : "<" + std::string(trim(cc2)) + ">";
  const std::string name(trim(sender_name.value_or(mail.account.XEMAILNAME)));
  const std::string address(trim(sender_address.value_or(mail.account.XEMAILADDR)));
  const std::string display(trim(name + " <" + address + ">"));
  SeeEngine& engine = *mail.engine.XSEE32LIB;
  engine.seeStringParam(0, kSenderDisplay, display);
  return engine.seeSendHTML(0, "<" + std::string(trim(to)) + ">", copy1, copy2, subject, body, images,
                            alternate_text, attachments);
}

int SENDMAILQUARVELT(MailContext& mail, std::string_view to, std::string_view cc1, std::string_view cc2,
                     std::string_view subject, std::string_view body, std::string_view images,
                     std::string_view alternate_text, std::string_view attachments,
                     std::optional<std::string_view> attachment_folder, int delete_attachments,
                     std::string_view sender_address, std::string_view sender_name) {
  const std::string address(is_blank(sender_address) ? std::string_view(mail.account.XEMAILADDR) : sender_address);
  const std::string name(is_blank(sender_name) ? std::string_view(mail.account.XEMAILNAME) : sender_name);
  if (attachment_folder && is_blank(*attachment_folder)) attachment_folder.reset();
  const std::filesystem::path html_folder = mail.program_folder / "HTML";

  const std::string image_paths = is_blank(images) ? std::string(images) : joined_paths(html_folder, split_commas(images));

  std::vector<std::string> attachment_names;
  std::string attachment_paths(attachments);
  if (!is_blank(attachments)) {
    attachment_names = split_commas(attachments);
    std::filesystem::path folder = html_folder;
    if (attachment_folder) {
      folder = folder_path(*attachment_folder);
    } else {
      // Files of the HTML folder are shared by every message; they are never deleted.
      delete_attachments = 0;
    }
    attachment_paths = joined_paths(folder, attachment_names);
  }

  std::optional<std::filesystem::path> body_file;
  std::string resolved_body(body);
  if (!body.empty() && body.front() == '@') {
    body_file = find_in_folder(mail.program_folder / "MAIL" / "SEND", body.substr(1));
    resolved_body = "@" + body_file->string();
  }

  const int result = SENDMAILSEE(mail, to, cc1, cc2, subject, resolved_body, image_paths, alternate_text,
                                 attachment_paths, address, name);
  if (result >= 0 && body_file) {
    std::error_code ec;
    std::filesystem::remove(*body_file, ec);
    if (!is_blank(attachments) && delete_attachments == 1) {
      std::string_view list = attachment_paths;
      while (!list.empty()) {
        const auto end = list.find(';');
        std::filesystem::remove(std::filesystem::path(std::string(list.substr(0, end))), ec);
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
      }
    }
  }
  return result;
}

void DISCONNECTSEE(MailContext& mail, bool release) {
  if (!mail.engine.XSEECONNECTED.is_empty()) {
    if (mail.engine.XSEE32LIB) mail.engine.XSEE32LIB->seeClose(0);
    mail.engine.XSEECONNECTED = data::Value();
  }
  if (release) FREESEE(mail);
}

}  // namespace transport
