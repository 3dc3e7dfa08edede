#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/cdx_builder.h"
#include "data/cdx_file.h"
#include "data/cdx_tag.h"
#include "data/result.h"

namespace data {

// A compound index file: its tag directory and its tags in creation order.
//
// Key types are not stored in the file; they follow from the key expression. Tags are
// read as character tags until the caller, who can evaluate the expressions, sets each
// tag's type (CdxTag::set_key_type) before using it.
class CdxIndex {
 public:
  // What a new tag is made of: its definition and its sorted entries.
  struct NewTag {
    std::string name;
    CdxTagHeader header;  // key_length, options, descending and expressions; root is set here.
    CdxKeyType type = CdxKeyType::Character;
    const CdxEntryList* entries = nullptr;
  };

  static Result<std::unique_ptr<CdxIndex>> open(const std::string& path, CdxPageCache& cache, CdxShare share,
                                                 bool read_only);
  // A new, empty index file at `path` (replacing any file there).
  static Result<std::unique_ptr<CdxIndex>> create(const std::string& path, CdxPageCache& cache, CdxShare share);

  CdxFile& file() { return *m_file; }
  std::size_t tag_count() const { return m_tags.size(); }
  CdxTag& tag(std::size_t i) { return *m_tags[i]; }
  // The tag with this name, ignoring case and surrounding blanks; null when absent.
  CdxTag* find_tag(std::string_view name);
  CdxTag& directory() { return *m_directory; }

  // Adds a tag built from its entries, replacing a tag of the same name (whose pages go
  // to the free list). The tree and header are written before the directory entry that
  // makes them visible. Takes the write lock.
  Result<CdxTag*> add_tag(const NewTag& tag);
  // Rewrites the whole file with these tags, in this order (a reindex). Takes the
  // write lock; the change counter carries on from the old file.
  [[nodiscard]] Result<void> rewrite(const std::vector<NewTag>& tags);

  // Tag names are at most 10 characters: a letter or underscore, then letters, digits
  // and underscores.
  static bool is_valid_tag_name(std::string_view name);

 private:
  struct Token {};

 public:
  // Use open() or create().
  CdxIndex(Token, std::unique_ptr<CdxFile> file) : m_file(std::move(file)) {}

 private:
  Result<void> load();
  // The file header and every tag header, as the file holds them now.
  Result<CdxCatalogue> read_catalogue();
  Result<void> write_header(std::uint32_t offset, const CdxTagHeader& header);

  std::unique_ptr<CdxFile> m_file;
  std::unique_ptr<CdxTag> m_directory;
  std::vector<std::unique_ptr<CdxTag>> m_tags;
};

// A tag name as the directory stores it: upper case, blank-padded to 10 bytes.
std::string cdx_directory_key(std::string_view name);

}  // namespace data
