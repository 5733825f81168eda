#pragma once
// Reading the controls of the program's open file dialog.
#include <string>

// The text of control `id` of the file dialog that opens within `seconds`
// (for a combo box, its selected item), as UTF-8.
std::string FileDialogItemText(int id, double seconds);
