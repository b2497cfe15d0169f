// The page template, its style and its scripts (the chart library first), built into the
// program from report/ and the chart library's package (see app/CMakeLists.txt).
#pragma once

#include <string_view>

namespace app {

// report/page.html: the slots {{TITLE}}, {{STYLE}}, {{DATA}} and {{SCRIPT}} are filled in.
extern const std::string_view kReportPage;
extern const std::string_view kReportStyle;
extern const std::string_view kReportScript;

}  // namespace app
