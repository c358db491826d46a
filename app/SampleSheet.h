#pragma once

#include "SheetState.h"

namespace zukaro {

// A sheet as a shop would fill it: the top four rows of labels with JAN codes (valid check
// digits, EAN-13 and EAN-8), makers, product names, specs, lots and prices, in the default
// pattern with blue outline bars. The start screen's picture shows it.
SheetState sampleSheet();

}  // namespace zukaro
