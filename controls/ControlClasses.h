// The class table of the window description (ui/FormReader.h): the
// framework's form, pictures, shape, edit and popup menus and the skinned
// controls, each with its published properties and their declared defaults.
// The program hands it to its form when the form reads its description.
#pragma once

#include "ui/FormReader.h"

namespace promo {

// Built on first use and kept for the run.
const TClassTable& ControlClasses();

}  // namespace promo
