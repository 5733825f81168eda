#pragma once
// The dialog font chosen in "loginset.ini" in the process's current
// directory, read once when the object is constructed; the file is never
// written.

struct DialogFontSetting {
    DialogFontSetting();

    // Font size in tenths of a point (100 is 10 pt).
    int m_pointSize;
    // Face name: at most 29 bytes and a terminator.
    char m_faceName[30];
};
