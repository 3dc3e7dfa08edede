#pragma once

#include <string>
#include <string_view>

#include "data/result.h"

namespace transport {

// The text of a fetched message as the reply readers search it: the header lines
// "From:", "To:", "Cc:", "Date:" and "Subject:" (those present, RFC 2047 words decoded,
// the From address written as "\"Name\" <address>" or the bare address so that the
// sender is read the same way with or without a display name), an empty line, then every
// text part in the message's order, each decoded from quoted-printable or base64 and
// converted to UTF-8. A multipart/alternative gives its plain part before its HTML part;
// HTML keeps its tags, and its character references (&lt;BR&gt;, &aacute;, &#233;) are
// resolved, so a "<BR>" that the replying client escaped reads as the tag again.
// Attachments and images add nothing. Lines end in "\n" alone: the survey reader joins
// the HTML lines by dropping line feeds and splits only at carriage returns.
// A charset the converter does not know, or bytes that do not fit the one declared, are
// read as Windows-1252, so the result is always valid UTF-8.
// Fails with kProtocolError when the bytes are not a message at all.
// Requires: GMime initialised (the engine does it in seeAttach).
data::Result<std::string> read_message_text(std::string_view raw);

}  // namespace transport
