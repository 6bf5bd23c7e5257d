#pragma once
// The branding values: the names the program presents itself under, taken from the running
// executable's version information rather than compiled into the logic.

namespace model {
struct App;
}

namespace ui {

// Fills strProductName, strCompanyName and strWebsite from the version information's product
// name, company name and comments; sets bUseSkin and clears bUseSplashIcon. Message boxes
// without a title are titled with the product name from then on.
void InitBranding(model::App& app);

}  // namespace ui
