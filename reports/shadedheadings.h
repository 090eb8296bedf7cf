#pragma once
// The column headings of a list layout on a shaded band, as the album and playlist reports
// print them.
#include "runtime/report/pagemodel.h"

namespace tbk {

// A filled box under the heading rows of a layout made by columnLayout, drawn before them.
void shadeHeadings(report::Layout &layout);

} // namespace tbk
