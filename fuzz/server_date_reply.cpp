// The update server's date reply: cleaned as Live Update cleans it, then read as a date. A date
// read back from its own general-date text is the same date.

#include "engine/definitions/server_date_reply.h"

#include <optional>
#include <string>

#include "machine/date_time.h"
#include "support/fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply = hg_fuzz::AsText(data, size);
  const std::string cleaned = engine::CleanServerDateReply(reply);
  HG_FUZZ_CHECK(cleaned.size() <= reply.size(), cleaned);
  HG_FUZZ_CHECK(cleaned.find_first_of("\t\r\n") == std::string::npos, cleaned);
  for (const std::optional<machine::DateTime> date :
       {machine::ParseGeneralDate(cleaned), machine::ParseGeneralDate(reply)}) {
    if (!date)
      continue;
    const std::string text = machine::FormatGeneralDate(*date);
    HG_FUZZ_CHECK(machine::ParseGeneralDate(text) == date, text);
  }
  return 0;
}
