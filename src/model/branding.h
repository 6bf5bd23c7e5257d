#pragma once
// The names the program presents itself under, read at start-up from the executable's version
// information, and the two switches that go with them.

#include <string>

namespace model {

struct Branding {
  std::string strProductName;
  std::string strCompanyName;
  // The web-site text (the version information's comments).
  std::string strWebsite;
  bool bUseSkin = true;
  // When set, the main window takes the splash window's icon at load.
  bool bUseSplashIcon = false;
};

}  // namespace model
