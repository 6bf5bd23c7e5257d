#pragma once
// The design tables of the program's windows.

#include <vector>

#include "view/design_table.h"

namespace view {

const FormDesign& FrmMainDesign();
// The auxiliary windows (splash, About, alerts, download, tray menu, notification, browser).
const std::vector<FormDesign>& AuxiliaryDesigns();

std::vector<const FormDesign*> AllFormDesigns();

}  // namespace view
