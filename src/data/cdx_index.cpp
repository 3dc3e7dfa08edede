#include "data/cdx_index.h"

#include <algorithm>
#include <cctype>

namespace data {
namespace {

constexpr int kDirectoryKeyLength = 10;
constexpr std::uint32_t kDirectoryRoot = 0x400;

std::string trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\0')) --e;
  return std::string(text.substr(b, e - b));
}

std::string upper(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string cdx_directory_key(std::string_view name) { return cdx_fit_key(upper(trim(name)), kDirectoryKeyLength, ' '); }

bool CdxIndex::is_valid_tag_name(std::string_view name) {
  if (name.empty() || name.size() > 10) return false;
  if (!std::isalpha(static_cast<unsigned char>(name[0])) && name[0] != '_') return false;
  return std::all_of(name.begin(), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

Result<std::unique_ptr<CdxIndex>> CdxIndex::open(const std::string& path, CdxPageCache& cache, CdxShare share,
                                                 bool read_only) {
  auto file = CdxFile::open(path, cache, share, read_only);
  if (!file) return file.error();
  auto index = std::make_unique<CdxIndex>(Token{}, std::move(*file));
  if (auto r = index->load(); !r) return r.error();
  return index;
}

Result<std::unique_ptr<CdxIndex>> CdxIndex::create(const std::string& path, CdxPageCache& cache, CdxShare share) {
  auto file = CdxFile::create(path, cache, share);
  if (!file) return file.error();
  auto index = std::make_unique<CdxIndex>(Token{}, std::move(*file));
  if (auto r = index->load(); !r) return r.error();
  return index;
}

Result<void> CdxIndex::load() {
  CdxLock lock(*m_file, CdxLockMode::Read);
  if (!lock.ok()) return lock.error();
  // Tables open and close around every task: the header pages are read again only
  // when the file changed.
  std::shared_ptr<const CdxCatalogue> catalogue = m_file->cached_catalogue();
  if (!catalogue) {
    auto read = read_catalogue();
    if (!read) return read.error();
    catalogue = std::make_shared<const CdxCatalogue>(std::move(*read));
    m_file->cache_catalogue(catalogue);
  }
  m_directory = std::make_unique<CdxTag>(*m_file, "(directory)", 0, catalogue->file_header, CdxKeyType::Character);
  m_tags.clear();
  for (const CdxCatalogue::Tag& tag : catalogue->tags)
    m_tags.push_back(std::make_unique<CdxTag>(*m_file, tag.name, tag.offset, tag.header, CdxKeyType::Character));
  return {};
}

Result<CdxCatalogue> CdxIndex::read_catalogue() {
  CdxCatalogue catalogue;
  std::uint8_t bytes[kCdxHeaderSize];
  if (auto r = m_file->read_bytes(0, bytes); !r) return r.error();
  auto header = decode_cdx_tag_header(bytes);
  if (!header) return Error{-1, m_file->name() + ": file header: " + header.error().text};
  if (header->key_length != kDirectoryKeyLength)
    return Error{-1, m_file->name() + ": tag directory key length " + std::to_string(header->key_length)};
  catalogue.file_header = *header;

  CdxTag directory(*m_file, "(directory)", 0, *header, CdxKeyType::Character);
  auto position = directory.first();
  for (std::size_t n = 0; position && position->valid(); ++n) {
    if (n > 65535) return Error{-1, m_file->name() + ": tag directory does not end"};
    catalogue.tags.push_back({trim(position->key()), position->recno(), {}});
    position = directory.next(*position);
  }
  if (!position) return position.error();
  // Tag headers are allocated in creation order, which is the order programs number
  // the tags in.
  std::sort(catalogue.tags.begin(), catalogue.tags.end(),
            [](const CdxCatalogue::Tag& a, const CdxCatalogue::Tag& b) { return a.offset < b.offset; });
  const std::uint64_t size = m_file->size();
  for (CdxCatalogue::Tag& tag : catalogue.tags) {
    if (tag.offset % kCdxPageSize != 0 || tag.offset + kCdxHeaderSize > size)
      return Error{-1, m_file->name() + ": tag " + tag.name + " header offset " + std::to_string(tag.offset) +
                           " is outside the file"};
    if (auto r = m_file->read_bytes(tag.offset, bytes); !r) return r.error();
    auto tag_header = decode_cdx_tag_header(bytes);
    if (!tag_header) return Error{-1, m_file->name() + ", tag " + tag.name + ": " + tag_header.error().text};
    tag.header = std::move(*tag_header);
  }
  return catalogue;
}

CdxTag* CdxIndex::find_tag(std::string_view name) {
  const std::string wanted = upper(trim(name));
  for (auto& tag : m_tags)
    if (upper(tag->name()) == wanted) return tag.get();
  return nullptr;
}

Result<void> CdxIndex::write_header(std::uint32_t offset, const CdxTagHeader& header) {
  std::vector<std::uint8_t> bytes(kCdxHeaderSize, 0);
  encode_cdx_tag_header(header, bytes);
  return m_file->write_bytes(offset, bytes);
}

Result<CdxTag*> CdxIndex::add_tag(const NewTag& tag) {
  if (!is_valid_tag_name(tag.name)) return Error{-1, m_file->name() + ": invalid tag name \"" + tag.name + "\""};
  if (tag.header.key_expression.size() + tag.header.for_expression.size() + 2 > 512)
    return Error{-1, m_file->name() + ", tag " + tag.name + ": expressions longer than 510 bytes"};
  CdxLock lock(*m_file, CdxLockMode::Write);
  if (!lock.ok()) return lock.error();
  m_file->forget_catalogue();  // The directory and the header pages change.

  if (CdxTag* old = find_tag(tag.name)) {
    auto levels = old->levels();
    if (!levels) return levels.error();
    auto removed = m_directory->remove(cdx_directory_key(tag.name), old->header_offset());
    if (!removed) return removed.error();
    for (const auto& level : *levels)
      for (std::uint32_t page : level)
        if (auto r = m_file->free_page(page); !r) return r.error();
    const std::uint32_t header_offset = old->header_offset();
    if (auto r = m_file->free_page(header_offset); !r) return r.error();
    if (auto r = m_file->free_page(header_offset + kCdxPageSize); !r) return r.error();
    std::erase_if(m_tags, [&](const auto& t) { return t.get() == old; });
  }

  auto header_offset = m_file->allocate_header_pages();
  if (!header_offset) return header_offset.error();
  const char pad = cdx_pad_byte(tag.type);
  CdxEntryList none(tag.header.key_length);
  auto root = build_cdx_tree(
      tag.entries ? *tag.entries : none, pad, [&] { return m_file->allocate_page(); },
      [&](std::uint32_t page, const CdxNode& node) { return m_file->write_node(page, node, pad); });
  if (!root) return root.error();
  CdxTagHeader header = tag.header;
  header.root = *root;
  if (auto r = write_header(*header_offset, header); !r) return r.error();
  auto added = m_directory->insert(cdx_directory_key(tag.name), *header_offset);
  if (!added) return added.error();
  m_tags.push_back(std::make_unique<CdxTag>(*m_file, upper(tag.name), *header_offset, header, tag.type));
  CdxTag* result = m_tags.back().get();
  if (auto r = lock.release(); !r) return r.error();
  return result;
}

Result<void> CdxIndex::rewrite(const std::vector<NewTag>& tags) {
  for (const NewTag& tag : tags)
    if (!is_valid_tag_name(tag.name)) return Error{-1, m_file->name() + ": invalid tag name \"" + tag.name + "\""};
  CdxLock lock(*m_file, CdxLockMode::Write);
  if (!lock.ok()) return lock.error();

  // The new file is laid out in memory: header, directory, then per tag its header and
  // tree, and written over the old one in a single pass.
  std::vector<std::uint8_t> image(kDirectoryRoot + kCdxPageSize, 0);
  auto allocate = [&]() -> Result<std::uint32_t> {
    const auto page = static_cast<std::uint32_t>(image.size());
    image.resize(image.size() + kCdxPageSize, 0);
    return page;
  };
  std::vector<std::pair<std::string, std::uint32_t>> directory;
  std::vector<CdxTagHeader> headers;
  for (const NewTag& tag : tags) {
    const auto header_offset = static_cast<std::uint32_t>(image.size());
    image.resize(image.size() + kCdxHeaderSize, 0);
    const char pad = cdx_pad_byte(tag.type);
    CdxEntryList none(tag.header.key_length);
    auto root = build_cdx_tree(tag.entries ? *tag.entries : none, pad, allocate,
                               [&](std::uint32_t page, const CdxNode& node) -> Result<void> {
                                 encode_cdx_node(node, pad, std::span(image).subspan(page, kCdxPageSize));
                                 return {};
                               });
    if (!root) return root.error();
    CdxTagHeader header = tag.header;
    header.root = *root;
    encode_cdx_tag_header(header, std::span(image).subspan(header_offset, kCdxHeaderSize));
    directory.emplace_back(cdx_directory_key(tag.name), header_offset);
  }
  std::sort(directory.begin(), directory.end());
  CdxEntryList names(kDirectoryKeyLength);
  for (const auto& [name, offset] : directory) names.add(name, offset);
  names.sort(false);
  // The directory root stays at its usual place; further directory pages follow the tags.
  bool first_placed = false;
  auto directory_root = build_cdx_tree(
      names, ' ',
      [&]() -> Result<std::uint32_t> {
        if (first_placed) return allocate();
        first_placed = true;
        return kDirectoryRoot;
      },
      [&](std::uint32_t page, const CdxNode& node) -> Result<void> {
        encode_cdx_node(node, ' ', std::span(image).subspan(page, kCdxPageSize));
        return {};
      });
  if (!directory_root) return directory_root.error();
  CdxTagHeader file_header;
  file_header.root = *directory_root;
  file_header.key_length = kDirectoryKeyLength;
  file_header.options = CdxTagHeader::kCompact | CdxTagHeader::kCompound | CdxTagHeader::kDirectory;
  encode_cdx_tag_header(file_header, std::span(image).first(kCdxHeaderSize));
  const std::uint32_t counter = m_file->change_counter();
  for (int i = 0; i < 4; ++i) image[8 + i] = static_cast<std::uint8_t>(counter >> (24 - 8 * i));
  if (auto r = m_file->replace_contents(image); !r) return r;
  if (auto r = lock.release(); !r) return r;
  return load();
}

}  // namespace data
