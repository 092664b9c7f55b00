// Files that hold the stego key (the key file, the owner's record) are made
// readable and writable by their owner only. Both writers share the loop that
// writes every byte to a descriptor; the record also replaces its file
// atomically, so a reader never meets half a record.
#pragma once

#include <string>

namespace velnor {

// Writes all of text to the open descriptor, again after an interrupted call;
// false when the system stops taking bytes.
bool write_all(int descriptor, const std::string &text);

// Writes text into a new owner-only (0600) file beside path and renames it onto
// path, replacing what was there. Refused (FileNotWritten) naming path when any
// step fails; the temporary file is then removed and path left as it was.
void replace_private_file(const std::string &path, const std::string &text);

}  // namespace velnor
