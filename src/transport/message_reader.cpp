#include "transport/message_reader.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "transport/engine_codes.h"
#include "transport/gmime_handles.h"
#include "transport/text_encoding.h"

namespace transport {

namespace {

// Deeper nesting than this is no real mail; stopping there keeps hostile input from
// exhausting the stack.
constexpr int kMaxDepth = 32;

struct NamedCharacter {
  const char* name;
  char32_t code_point;
};

// The references Spanish-language mail clients write most; the rest stay as written.
constexpr std::array<NamedCharacter, 30> kNamedCharacters{{
    {"lt", U'<'},       {"gt", U'>'},       {"amp", U'&'},       {"quot", U'"'},
    {"apos", U'\''},    {"nbsp", U' '},     {"aacute", U'á'},    {"eacute", U'é'},
    {"iacute", U'í'},   {"oacute", U'ó'},   {"uacute", U'ú'},    {"Aacute", U'Á'},
    {"Eacute", U'É'},   {"Iacute", U'Í'},   {"Oacute", U'Ó'},    {"Uacute", U'Ú'},
    {"ntilde", U'ñ'},   {"Ntilde", U'Ñ'},   {"uuml", U'ü'},      {"Uuml", U'Ü'},
    {"iexcl", U'¡'},    {"iquest", U'¿'},   {"ordf", U'ª'},      {"ordm", U'º'},
    {"euro", U'€'},     {"copy", U'©'},     {"reg", U'®'},       {"deg", U'°'},
    {"laquo", U'«'},    {"raquo", U'»'},
}};

void append_utf8(std::string& out, char32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The code point of the reference at the start of `text` ("&lt;", "&#233;", "&#xE9;")
// and its length, or {0, 0} when it is not one we resolve.
std::pair<char32_t, size_t> character_reference(std::string_view text) {
  const size_t end = text.find(';', 1);
  if (end == std::string_view::npos || end > 10) return {0, 0};
  const std::string_view name = text.substr(1, end - 1);
  if (name.size() >= 2 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return {0, 0};
    char32_t value = 0;
    for (const char c : digits) {
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return {0, 0};
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (value > 0x10FFFF) return {0, 0};
    }
    return {value, end + 1};
  }
  for (const NamedCharacter& named : kNamedCharacters) {
    if (name == named.name) return {named.code_point, end + 1};
  }
  return {0, 0};
}

std::string resolve_character_references(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  for (size_t i = 0; i < html.size();) {
    if (html[i] == '&') {
      const auto [cp, length] = character_reference(html.substr(i));
      if (length > 0) {
        append_utf8(out, cp);
        i += length;
        continue;
      }
    }
    out.push_back(html[i++]);
  }
  return out;
}

// CRLF and lone CR become LF; NUL bytes are dropped, since the callers treat the text
// as a C string.
std::string normalise_lines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c != '\0') {
      out.push_back(c);
    }
  }
  return out;
}

bool is_latin1_label(std::string_view charset) {
  constexpr std::array<std::string_view, 8> kLabels{"iso-8859-1", "iso8859-1", "latin1", "latin-1",
                                                    "us-ascii", "ascii", "windows-1252", "cp1252"};
  for (const std::string_view label : kLabels) {
    if (charset.size() == label.size() && g_ascii_strncasecmp(charset.data(), label.data(), label.size()) == 0)
      return true;
  }
  return false;
}

// Decoded part bytes in the declared charset as UTF-8. Latin-1 labels are read as
// Windows-1252, as mail clients do, because the suite's Windows programs write it.
std::string to_utf8(const std::string& bytes, const char* charset) {
  if (!charset || !*charset || g_ascii_strcasecmp(charset, "utf-8") == 0 || g_ascii_strcasecmp(charset, "utf8") == 0)
    return as_utf8(bytes);
  if (is_latin1_label(charset)) return as_utf8(bytes);
  gsize written = 0;
  GError* error = nullptr;
  GCharPtr converted{g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", charset, nullptr,
                               &written, &error)};
  if (error) g_error_free(error);
  if (!converted) return as_utf8(bytes);
  return as_utf8(std::string_view(converted.get(), written));
}

std::string part_text(GMimePart* part) {
  GMimeDataWrapper* content = g_mime_part_get_content(part);
  if (!content) return {};
  GObjectPtr<GMimeStream> decoded{g_mime_stream_mem_new()};
  if (g_mime_data_wrapper_write_to_stream(content, decoded.get()) < 0) return {};
  const std::string bytes = memory_stream_bytes(decoded.get());
  return to_utf8(bytes, g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset"));
}

bool is_attachment(GMimeObject* object) {
  GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(object);
  return disposition && g_mime_content_disposition_is_attachment(disposition);
}

void collect_text(GMimeObject* object, int depth, std::string& out) {
  if (!object || depth > kMaxDepth) return;
  if (GMIME_IS_MESSAGE_PART(object)) {
    GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
    if (inner) collect_text(g_mime_message_get_mime_part(inner), depth + 1, out);
    return;
  }
  if (GMIME_IS_MULTIPART(object)) {
    GMimeMultipart* multipart = GMIME_MULTIPART(object);
    const int count = g_mime_multipart_get_count(multipart);
    GMimeContentType* type = g_mime_object_get_content_type(object);
    const bool alternative = type && g_mime_content_type_is_type(type, "multipart", "alternative");
    // Plain text first within an alternative, whatever order the sender chose.
    for (int pass = alternative ? 0 : 1; pass < 2; ++pass) {
      for (int i = 0; i < count; ++i) {
        GMimeObject* child = g_mime_multipart_get_part(multipart, i);
        GMimeContentType* child_type = g_mime_object_get_content_type(child);
        const bool plain = child_type && g_mime_content_type_is_type(child_type, "text", "plain");
        if (alternative && (pass == 0) != plain) continue;
        collect_text(child, depth + 1, out);
      }
    }
    return;
  }
  if (!GMIME_IS_PART(object) || is_attachment(object)) return;
  GMimeContentType* type = g_mime_object_get_content_type(object);
  const bool plain = !type || g_mime_content_type_is_type(type, "text", "plain");
  const bool html = type && g_mime_content_type_is_type(type, "text", "html");
  if (!plain && !html) return;
  std::string text = part_text(GMIME_PART(object));
  if (html) text = resolve_character_references(text);
  out += normalise_lines(text);
  if (!out.empty() && out.back() != '\n') out.push_back('\n');
}

std::string sender_line(GMimeMessage* message) {
  InternetAddressList* from = g_mime_message_get_from(message);
  if (!from || internet_address_list_length(from) == 0) {
    const char* raw = g_mime_object_get_header(GMIME_OBJECT(message), "From");
    return raw ? std::string(raw) : std::string();
  }
  std::string line;
  for (int i = 0; i < internet_address_list_length(from); ++i) {
    InternetAddress* address = internet_address_list_get_address(from, i);
    if (!INTERNET_ADDRESS_IS_MAILBOX(address)) continue;
    if (!line.empty()) line += ", ";
    const char* name = internet_address_get_name(address);
    const char* mailbox = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
    std::string clean_name;
    for (const char* c = name; c && *c; ++c) {
      if (*c != '"') clean_name.push_back(*c);
    }
    if (!clean_name.empty()) line += "\"" + clean_name + "\" <" + (mailbox ? mailbox : "") + ">";
    else line += mailbox ? mailbox : "";
  }
  return line;
}

std::string address_line(GMimeMessage* message, GMimeAddressType type) {
  InternetAddressList* list = g_mime_message_get_addresses(message, type);
  if (!list || internet_address_list_length(list) == 0) return {};
  GCharPtr text{internet_address_list_to_string(list, nullptr, FALSE)};
  return text ? std::string(text.get()) : std::string();
}

void add_header(std::string& out, std::string_view name, const std::string& value) {
  if (value.empty()) return;
  out += name;
  out += ": ";
  // A folded or hostile header stays one line, so a keyword search sees one header.
  for (const char c : as_utf8(value)) out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
  out.push_back('\n');
}

}  // namespace

data::Result<std::string> read_message_text(std::string_view raw) {
  GObjectPtr<GMimeStream> stream{g_mime_stream_mem_new_with_buffer(raw.data(), raw.size())};
  GObjectPtr<GMimeParser> parser{g_mime_parser_new_with_stream(stream.get())};
  g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
  GObjectPtr<GMimeMessage> message{g_mime_parser_construct_message(parser.get(), nullptr)};
  if (!message) return data::unexpected(kProtocolError, "The fetched message is not a readable e-mail");

  std::string out;
  add_header(out, "From", sender_line(message.get()));
  add_header(out, "To", address_line(message.get(), GMIME_ADDRESS_TYPE_TO));
  add_header(out, "Cc", address_line(message.get(), GMIME_ADDRESS_TYPE_CC));
  const char* date = g_mime_object_get_header(GMIME_OBJECT(message.get()), "Date");
  add_header(out, "Date", date ? date : "");
  const char* subject = g_mime_message_get_subject(message.get());
  add_header(out, "Subject", subject ? subject : "");
  out.push_back('\n');
  collect_text(g_mime_message_get_mime_part(message.get()), 0, out);
  return out;
}

}  // namespace transport
