// The company-name byte scan over a whole file's bytes, as the file and running-program checks
// read an executable.

#include "engine/scan/company_name.h"

#include <string>

#include "support/fuzz_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = engine::CompanyNameFromBytes(hg_fuzz::AsText(data, size));
  HG_FUZZ_CHECK(name.size() <= size, name);
  HG_FUZZ_CHECK(name.find('\0') == std::string::npos, name);
  return 0;
}
