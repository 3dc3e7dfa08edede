#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace startup {

// ADS.DEF, the small text file in the program folder whose presence selects server mode. Line 1 is the
// server data path, lines 21 to 23 are client settings; the other lines belong to the suite's other
// programs.

// The lines of ADS.DEF: LF characters are dropped and the text is cut at each CR, so blank lines count
// and a final CR LF leaves one more, empty, line. A file written on Linux holds no CR; it is cut at its
// LF characters instead, and a file without any line break is one line. Only the first 64 KiB are
// read. Empty when the file cannot be read or is empty.
std::vector<std::string> GET_A_ADS(const std::filesystem::path& file);

// Applies lines 21 to 23 to the settings (ads_client and XADSCACHERECORDS). A blank line leaves its
// setting as it was; line 21 or 23 beginning with ".F." (after blanks, in either case) asks for off,
// any other text for on; line 22 is the record cache size, never below 0.
void SET_ADS_PARAMS(const std::vector<std::string>& lines);

}  // namespace startup
