#pragma once
// The application's standard message box: a single OK button, the
// application's name as caption, owned by the main window while it exists.
#include <windows.h>

// `text` is one of the program's own texts (code page 936).
int AfxMessageBox(const char* text);
// Shows a text of the system's (in its code page), such as one of its error texts.
int AfxMessageBoxSystemText(const char* text);
// Shows string-table entry `stringId`.
int AfxMessageBox(UINT stringId);
// A question with the buttons Yes and No, No the default, and the warning
// icon; `text` is one of the program's own texts. True for Yes. The
// question and the answer go into the session record.
bool AfxQuestionBox(const char* text);
