#pragma once
// Design tables of the scan report viewer and the delete-failed window.

#include "view/design_table.h"

namespace view {

const FormDesign& FrmReportDesign();
const FormDesign& FrmDeleteDesign();

}  // namespace view
