#include "transport/message_builder.h"

#include <array>
#include <fstream>
#include <iterator>
#include <string_view>

#include "transport/engine_codes.h"
#include "transport/gmime_handles.h"
#include "transport/text_encoding.h"

namespace transport {

namespace {

struct ExtensionType {
  std::string_view extension;
  std::string_view type;
};

constexpr std::array<ExtensionType, 22> kTypes{{
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"gif", "image/gif"},
    {"png", "image/png"},
    {"bmp", "image/bmp"},
    {"pdf", "application/pdf"},
    {"xls", "application/vnd.ms-excel"},
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {"doc", "application/msword"},
    {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {"txt", "text/plain"},
    {"csv", "text/csv"},
    {"htm", "text/html"},
    {"html", "text/html"},
    {"xml", "application/xml"},
    {"zip", "application/zip"},
    {"rtf", "application/rtf"},
    {"tif", "image/tiff"},
    {"tiff", "image/tiff"},
    {"ics", "text/calendar"},
    {"json", "application/json"},
    {"svg", "image/svg+xml"},
}};

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// The display name of "Name <address>", without surrounding quotes.
std::string display_name(std::string_view text) {
  const auto open = text.rfind('<');
  if (open == std::string_view::npos) return {};
  std::string_view name = trim(text.substr(0, open));
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
  return std::string(name);
}

data::Result<std::string> read_file(const std::filesystem::path& path, int missing_code, std::string_view what) {
  std::ifstream in(path, std::ios::binary);
  std::error_code ec;
  if (!in || std::filesystem::is_directory(path, ec)) {
    return data::unexpected(missing_code, std::string(what) + " cannot be read: " + path.string());
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return data::unexpected(missing_code, std::string(what) + " cannot be read: " + path.string());
  return bytes;
}

bool looks_like_html(std::string_view text) {
  for (size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i + 1)) {
    if (i + 1 < text.size()) {
      const char next = text[i + 1];
      if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '/' || next == '!') {
        if (text.find('>', i) != std::string_view::npos) return true;
      }
    }
  }
  return false;
}

GObjectPtr<GMimeDataWrapper> wrap_bytes(const std::string& bytes) {
  GObjectPtr<GMimeStream> stream{g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size())};
  return GObjectPtr<GMimeDataWrapper>{
      g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT)};
}

// A UTF-8 text part. The content is set from memory and labelled utf-8 because GMime's
// own text setter would re-encode to the narrowest charset.
GObjectPtr<GMimeObject> text_part(const char* subtype, const std::string& utf8) {
  GObjectPtr<GMimeObject> part{GMIME_OBJECT(g_mime_text_part_new_with_subtype(subtype))};
  auto content = wrap_bytes(utf8);
  g_mime_part_set_content(GMIME_PART(part.get()), content.get());
  g_mime_object_set_content_type_parameter(part.get(), "charset", "utf-8");
  g_mime_part_set_content_encoding(GMIME_PART(part.get()), GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
  return part;
}

GObjectPtr<GMimeObject> file_part(const std::filesystem::path& path, const std::string& bytes, bool inline_image) {
  GObjectPtr<GMimeContentType> type{g_mime_content_type_parse(nullptr, content_type_for(path).c_str())};
  GObjectPtr<GMimeObject> part{GMIME_OBJECT(g_mime_part_new_with_type(
      g_mime_content_type_get_media_type(type.get()), g_mime_content_type_get_media_subtype(type.get())))};
  auto content = wrap_bytes(bytes);
  g_mime_part_set_content(GMIME_PART(part.get()), content.get());
  g_mime_part_set_content_encoding(GMIME_PART(part.get()), GMIME_CONTENT_ENCODING_BASE64);
  const std::string name = as_utf8(path.filename().string());
  g_mime_part_set_filename(GMIME_PART(part.get()), name.c_str());
  g_mime_object_set_disposition(part.get(), inline_image ? GMIME_DISPOSITION_INLINE : GMIME_DISPOSITION_ATTACHMENT);
  // set_filename wrote the name before the disposition was replaced; write it again.
  g_mime_part_set_filename(GMIME_PART(part.get()), name.c_str());
  return part;
}

GObjectPtr<GMimeObject> multipart(const char* subtype, std::vector<GObjectPtr<GMimeObject>> parts) {
  GObjectPtr<GMimeObject> result{GMIME_OBJECT(g_mime_multipart_new_with_subtype(subtype))};
  for (auto& part : parts) g_mime_multipart_add(GMIME_MULTIPART(result.get()), part.get());
  return result;
}

void add_mailbox(GMimeMessage* message, GMimeAddressType type, std::string_view text) {
  const std::string address = bare_address(text);
  if (address.empty()) return;
  const std::string name = as_utf8(display_name(text));
  GObjectPtr<InternetAddress> mailbox{internet_address_mailbox_new(name.c_str(), address.c_str())};
  // Names with accents go out as UTF-8 words, the charset every reader knows.
  internet_address_set_charset(mailbox.get(), "utf-8");
  internet_address_list_add(g_mime_message_get_addresses(message, type), mailbox.get());
}

std::string domain_of(const std::string& address) {
  const auto at = address.rfind('@');
  return at == std::string::npos || at + 1 == address.size() ? std::string("localhost") : address.substr(at + 1);
}

}  // namespace

std::string bare_address(std::string_view text) {
  const auto open = text.rfind('<');
  if (open != std::string_view::npos) {
    const auto close = text.find('>', open);
    text = text.substr(open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1);
  }
  return std::string(trim(text));
}

std::string content_type_for(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  for (char& c : extension) c = static_cast<char>(g_ascii_tolower(c));
  for (const ExtensionType& known : kTypes) {
    if (known.extension == extension) return std::string(known.type);
  }
  return "application/octet-stream";
}

data::Result<std::string> build_message(const OutgoingMail& mail) {
  const std::string sender = bare_address(mail.from);
  if (sender.empty()) return data::unexpected(kBadArgument, "The message has no sender address");

  std::string body;
  bool is_html = true;
  if (!mail.body.empty() && mail.body.front() == '@') {
    auto bytes = read_file(std::filesystem::path(mail.body.substr(1)), kBodyFileMissing, "Body file");
    if (!bytes) return bytes.error();
    body = as_utf8(*bytes);
  } else {
    body = as_utf8(mail.body);
    is_html = looks_like_html(body);
  }

  GObjectPtr<GMimeObject> content = text_part(is_html ? "html" : "plain", body);
  if (!mail.images.empty()) {
    std::vector<GObjectPtr<GMimeObject>> parts;
    parts.push_back(std::move(content));
    int number = 1;
    for (const auto& image : mail.images) {
      auto bytes = read_file(image, kImageMissing, "Embedded image");
      if (!bytes) return bytes.error();
      auto part = file_part(image, *bytes, true);
      const std::string id = "message-root." + std::to_string(number++);
      g_mime_object_set_content_id(part.get(), id.c_str());
      parts.push_back(std::move(part));
    }
    content = multipart("related", std::move(parts));
    g_mime_object_set_content_type_parameter(content.get(), "type", is_html ? "text/html" : "text/plain");
  }
  if (!mail.alternate_text.empty()) {
    std::vector<GObjectPtr<GMimeObject>> parts;
    parts.push_back(text_part("plain", as_utf8(mail.alternate_text)));
    parts.push_back(std::move(content));
    content = multipart("alternative", std::move(parts));
  }
  if (!mail.attachments.empty()) {
    std::vector<GObjectPtr<GMimeObject>> parts;
    parts.push_back(std::move(content));
    for (const auto& attachment : mail.attachments) {
      auto bytes = read_file(attachment, kAttachmentMissing, "Attachment");
      if (!bytes) return bytes.error();
      parts.push_back(file_part(attachment, *bytes, false));
    }
    content = multipart("mixed", std::move(parts));
  }

  GObjectPtr<GMimeMessage> message{g_mime_message_new(TRUE)};
  GMimeObject* top = GMIME_OBJECT(message.get());
  add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM, mail.from);
  for (const auto& to : mail.to) add_mailbox(message.get(), GMIME_ADDRESS_TYPE_TO, to);
  for (const auto& cc : mail.cc) add_mailbox(message.get(), GMIME_ADDRESS_TYPE_CC, cc);
  g_mime_message_set_subject(message.get(), as_utf8(mail.subject).c_str(), "utf-8");
  GDateTime* now = g_date_time_new_now_local();
  g_mime_message_set_date(message.get(), now);
  g_date_time_unref(now);
  GCharPtr id{g_mime_utils_generate_message_id(domain_of(sender).c_str())};
  g_mime_message_set_message_id(message.get(), id.get());
  for (const auto& [name, value] : mail.extra_headers) {
    g_mime_object_append_header(top, name.c_str(), as_utf8(value).c_str(), "utf-8");
  }
  g_mime_message_set_mime_part(message.get(), content.get());

  GMimeFormatOptions* options = g_mime_format_options_clone(nullptr);
  g_mime_format_options_set_newline_format(options, GMIME_NEWLINE_FORMAT_DOS);
  GObjectPtr<GMimeStream> out{g_mime_stream_mem_new()};
  const gint64 written = g_mime_object_write_to_stream(top, options, out.get());
  g_mime_format_options_free(options);
  if (written < 0) return data::unexpected(kMessageBuildFailed, "The message could not be written");
  return memory_stream_bytes(out.get());
}

}  // namespace transport
