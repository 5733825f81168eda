#include "FileDialogText.h"

#include "Windows.h"

std::string FileDialogItemText(int id, double seconds)
{
    HWND dialog = WaitFor(FindFileDialog, seconds, "file dialog");
    HWND item = ::GetDlgItem(dialog, id);
    if (!item)
        throw DriverError("the file dialog has no control " + std::to_string(id));
    return ToUtf8(WindowText(item));
}
