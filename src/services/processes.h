#pragma once
// Process services: ending a process with the debug privilege raised, listing the running
// processes by name and id, naming a process by its id, and two small number and text helpers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace services {

struct System;

// Ends a process. On the NT family the debug privilege is raised around the attempt (and a
// failure to raise it ends nothing); the 95/98/ME family touches no privilege. True when the
// process was ended.
bool TerminateProcessWithPrivilege(System& system, uint32_t process_id, uint32_t exit_code);

// Lists the running processes into two parallel vectors, refilled by each call. They are
// 0-based and hold exactly the returned count of entries: entry i is names[i] / ids[i].
//
// The enumeration form (use_enumeration true) lists every process id and keeps those that have
// a name (GetProcessNameById). The snapshot form keeps each snapshot entry's executable field,
// which on this machine, as on the 95/98/ME family, is the full path. A non-empty filter keeps
// only names that contain it, ignoring case.
//
// Returns the count, or -1 (with both vectors empty) when the processes cannot be listed.
int32_t GetProcessList(System& system, std::vector<std::string>& names, std::vector<uint32_t>& ids,
                       std::string_view filter, bool use_enumeration);

// The executable's base name; "System Idle Process" for id 0 and "System" for id 2 (neither is
// opened); "" when the process cannot be opened.
std::string GetProcessNameById(System& system, uint32_t process_id);

// The upper and lower 16 bits of a value, each read as a signed 16-bit number.
int16_t HiWordOf(uint32_t value);
int16_t LoWordOf(uint32_t value);

// The text without its last character; the empty text stays empty.
std::string DropLastChar(std::string_view text);

}  // namespace services
