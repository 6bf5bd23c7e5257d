#pragma once
// The scan report viewer and the delete-failed window, each in its own file now.

#include "model/frm_delete.h"
#include "model/frm_report.h"
