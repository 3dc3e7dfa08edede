#pragma once

#include <string_view>

namespace notify {

// Whether a recipient address is worth queueing: the trimmed address holds "@" and ".", is longer
// than 4 characters and has no blank inside. Tabs, line breaks and other control characters count
// as blanks too: in a mail header they would end the address or start a header line of their own.
// The notification kinds skip a recipient that fails.
bool VALID_EMAIL(std::string_view address);

}  // namespace notify
