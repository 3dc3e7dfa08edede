#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "data/value.h"
#include "transport/see_engine.h"

namespace transport {

// The mail settings every sender uses, loaded from DEFMAIL by the settings layer. The
// upper-case members are the process-wide globals of the same names; the lower-case
// ones are this program's TLS and time-out switches for the site.
struct MailAccount {
  std::string XEMAILHOST;
  std::string XEMAILADDR;
  std::string XEMAILNAME;
  std::string XEMAIL_ID = "Desconocido";
  std::string XEMAILDEST;
  int XEMAILSEND = 0;
  int XEMAILAUTH = 0;
  std::string XEMAIL_AU;  // Untrimmed as loaded; trimmed at use.
  std::string XEMAIL_AP;
  std::optional<int> XEMAIL_SMTP_PORT;  // None or 0: the engine's default.
  std::optional<int> XEMAIL_POP3_PORT;

  bool accept_self_signed = false;  // Accept any server certificate (a site's own server).
  std::string ca_file;              // Extra trusted certificate (PEM); empty: the system store.
  int connect_seconds = 20;
  int stall_seconds = 60;
};

// The engine globals: XSEE32LIB is the loaded engine or none; XSEECONNECTED is empty
// while no connection is open, else the connect result (SMTP, IMAP) or true (POP3).
// The reply reader sets XSEECONNECTED itself after an IMAP connect.
struct MailEngineState {
  std::unique_ptr<SeeEngine> XSEE32LIB;
  data::Value XSEECONNECTED;
};

// Shows one message to the operator (MESSAGE_BOX of the main frame).
using MessageBox = std::function<void(const std::string& text)>;
// Makes a new engine; null stands for an engine library that is missing.
using EngineLoader = std::function<std::unique_ptr<SeeEngine>()>;

// What the mail operations need from the program: its engine globals, the settings, the
// program folder (HTML/ and MAIL/SEND/ are below it) and the operator's message box.
struct MailContext {
  MailEngineState& engine;
  const MailAccount& account;
  std::filesystem::path program_folder;
  MessageBox message_box;   // Empty: nothing is shown.
  EngineLoader load_engine; // Empty: the real engine.
};

// The attach value handed to seeAttach.
inline constexpr int32_t kSeeAttachValue = 0x51564D4C;

// Loads and attaches the engine unless it is loaded. False on failure, after showing
// "seeAttach failed.;Error : <text> (<code>)" unless quiet.
bool LOADSEE(MailContext& mail, bool quiet);
// Releases the engine if loaded (an open connection is closed first).
void FREESEE(MailContext& mail);
// Opens the SMTP connection with the account's settings. ≥ 0 on success; the engine's
// negative code, or kEngineNotLoaded, on failure (the engine is then released when this
// call loaded it).
int CONNECTSEE(MailContext& mail, bool load = true, bool quiet = false);
// Opens a POP3 mailbox; host defaults to XEMAILHOST.
int CONNECTPOP3(MailContext& mail, bool load, bool quiet, std::string_view user, std::string_view password,
                std::optional<std::string_view> host = std::nullopt);
// Sends one message over the open connection; image and attachment lists are full paths
// joined by ";". Sender address and name default to XEMAILADDR and XEMAILNAME.
int SENDMAILSEE(MailContext& mail, std::string_view to, std::string_view cc1, std::string_view cc2,
                std::string_view subject, std::string_view body, std::string_view images = "",
                std::string_view alternate_text = "", std::string_view attachments = "",
                std::optional<std::string_view> sender_address = std::nullopt,
                std::optional<std::string_view> sender_name = std::nullopt);
// Sends one outbox message: body text or "@" + a file of MAIL/SEND/, images as
// comma-separated names in HTML/, attachments as comma-separated names in the given
// folder (HTML/ when none, and then never deleted). After a successful send of a body
// file, the body file is deleted, and the attachments too when the flag is 1; after a
// failure every file stays for the next attempt.
int SENDMAILQUARVELT(MailContext& mail, std::string_view to, std::string_view cc1, std::string_view cc2,
                     std::string_view subject, std::string_view body, std::string_view images,
                     std::string_view alternate_text = "", std::string_view attachments = "",
                     std::optional<std::string_view> attachment_folder = std::nullopt, int delete_attachments = 1,
                     std::string_view sender_address = "", std::string_view sender_name = "");
// Closes the open connection and, when `release`, releases the engine.
void DISCONNECTSEE(MailContext& mail, bool release = true);

// `folder`/`name`, or the entry of `folder` whose name differs only in case: sites
// copied from Windows keep names like "NOTIFICA.JPG" for "notifica.jpg".
std::filesystem::path find_in_folder(const std::filesystem::path& folder, std::string_view name);

}  // namespace transport
