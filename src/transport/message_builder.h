#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "data/result.h"

namespace transport {

// One outgoing message as seeSendHTML receives it.
struct OutgoingMail {
  std::string from;                  // "Display Name <address>" or "<address>"; the name may hold accents.
  std::vector<std::string> to;       // Addresses, with or without angle brackets.
  std::vector<std::string> cc;
  std::string subject;               // UTF-8.
  std::string body;                  // HTML or plain text, or "@" + path of a body file.
  std::vector<std::filesystem::path> images;  // The N-th gets Content-ID <message-root.N>.
  std::string alternate_text;        // Plain-text alternative of the HTML; may be empty.
  std::vector<std::filesystem::path> attachments;
  std::vector<std::pair<std::string, std::string>> extra_headers;  // {"X-Priority", "Normal"}
};

// The message as SMTP DATA: CRLF line ends, UTF-8 text parts in quoted-printable, files
// in base64, subject and names in RFC 2047 words, a Date and a unique Message-ID.
// The layout is multipart/mixed (when there are attachments) around
// multipart/alternative (when there is alternate text) around multipart/related (when
// there are images) around the HTML part, which is what the templates' "cid:" links
// need to show their images. A body file that is not valid UTF-8 is read as
// Windows-1252. A body given as text without any tag goes out as text/plain, so a plain
// report keeps its line breaks.
// Fails with kBodyFileMissing, kImageMissing or kAttachmentMissing naming the file, or
// kBadArgument for a sender without an address; no file is changed either way.
// Requires: GMime initialised.
data::Result<std::string> build_message(const OutgoingMail& mail);

// "address" from "Name <address>", "<address>" or "address", trimmed.
std::string bare_address(std::string_view text);

// The MIME type mail clients expect for a file name's extension, by default
// "application/octet-stream".
std::string content_type_for(const std::filesystem::path& file);

}  // namespace transport
