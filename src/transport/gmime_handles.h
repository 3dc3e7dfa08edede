#pragma once

#include <gmime/gmime.h>

#include <memory>
#include <string>

namespace transport {

// Owns one reference to a GObject (GMime messages, parts, streams, parsers).
struct GObjectUnref {
  void operator()(void* object) const {
    if (object) g_object_unref(object);
  }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// Owns a string that GLib or GMime allocated.
struct GFree {
  void operator()(void* memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<char, GFree>;

// The bytes a memory stream holds.
inline std::string memory_stream_bytes(GMimeStream* stream) {
  GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
  return bytes ? std::string(reinterpret_cast<const char*>(bytes->data), bytes->len) : std::string();
}

}  // namespace transport
