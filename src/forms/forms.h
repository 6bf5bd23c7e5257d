#pragma once
// Everything a window model needs: the controls, control arrays, forms and their instances,
// and the runtime.

#include "forms/bars.h"
#include "forms/basic_controls.h"
#include "forms/browser.h"
#include "forms/choice_controls.h"
#include "forms/control.h"
#include "forms/control_array.h"
#include "forms/date_picker.h"
#include "forms/form.h"
#include "forms/form_instance.h"
#include "forms/list_view.h"
#include "forms/menu_item.h"
#include "forms/progress_bar.h"
#include "forms/runtime.h"
#include "forms/text_controls.h"
#include "forms/timer.h"
