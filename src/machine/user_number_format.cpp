#include "machine/user_number_format.h"

#include <locale>
#include <sstream>
#include <stdexcept>

namespace machine {

namespace {

class UsGrouping : public std::numpunct<char> {
 protected:
  char do_thousands_sep() const override { return ','; }
  std::string do_grouping() const override { return "\3"; }
};

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    // The environment names a locale the host lacks.
    return std::locale::classic();
  }
}

}  // namespace

std::string FormatGroupedForUser(int64_t value) {
  std::locale locale = UserLocale();
  if (std::use_facet<std::numpunct<char>>(locale).grouping().empty())
    locale = std::locale(locale, new UsGrouping);
  std::ostringstream text;
  text.imbue(locale);
  text << value;
  return text.str();
}

}  // namespace machine
