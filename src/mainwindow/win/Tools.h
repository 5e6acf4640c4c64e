// The program's one error report.
#pragma once

#include <string>

// A modal message box captioned "Error" with the error symbol and an OK button, owned by
// the main window once there is one.
void ShowError(const std::string& text);
void SetErrorOwner(void* window);
