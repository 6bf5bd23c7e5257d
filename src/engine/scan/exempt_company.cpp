#include "engine/scan/exempt_company.h"

#include "machine/text.h"

namespace engine {

bool IsExemptCompany(std::string_view company_name) {
  return machine::EqualsIgnoreCase(machine::TrimBlanks(company_name), "Microsoft Corporation");
}

}  // namespace engine
