#pragma once

#include <string>

namespace rt {

enum class Icon { Information = 0, StopSign = 1, Exclamation = 2, Question = 3, None = 4 };

// A message box with one OK button; returns 1 when the user has closed it.
int messagebox(const std::string& caption, const std::string& text, Icon icon = Icon::Information);

}  // namespace rt
