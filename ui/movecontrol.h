#pragma once
// Keeps the child controls of a resizable dialog in proportion to its client
// area and gives all of them one font, chosen in "loginset.ini". The object
// is a window object in name only: it never creates a window of its own.
// The owning dialog holds it as a member (constructing it reads the font
// file), calls Init and at once Relayout while it initialises, and Relayout again
// after its default handling of every WM_SIZE; all on the dialog's thread.
#include "Window.h"
#include "dialogfontsetting.h"

#include <windows.h>

// Window class codes, from the class name (compared without regard to case).
enum ClassType {
    ClassStatic = 0,
    ClassEdit = 1,
    ClassButton = 2,
    ClassComboBox = 3,
    ClassListView = 4,
    ClassIpAddress = 5,
    ClassOther = 1000,  // scroll bars, progress bars and everything else
};

class MoveControl : public CWnd {
public:
    // Controls whose edges carry their rounding remainders from one relayout
    // to the next; visible controls beyond these are scaled without carry.
    static constexpr int kTrackedControls = 500;

    // Reads the font settings from the current directory.
    MoveControl();
    ~MoveControl() override;

    // Binds the dialog and takes its current client size as the reference;
    // the next Relayout creates the font afresh.
    void Init(CWnd* dialog);
    // Scales every visible child by the change of the client size since the
    // last completed relayout and sets the font on it. Returns 1 when done
    // (or when a client dimension of 15 pixels or less made it leave
    // everything alone), 0 when not initialised or when it met an error. After
    // an error the reference size is unchanged; a visible child with a
    // negative size is found before any control moves.
    int Relayout();

    // Sets `type` from the window's class name; FALSE (type ClassOther) for a
    // null handle.
    static BOOL ClassifyControl(HWND hwnd, ClassType& type);
    // Widens the drop-down list of a combo box to its widest item and returns
    // the height of its first ten items, which the combo box window must cover.
    static int FitComboList(HWND combo);

private:
    void ScaleChild(HWND dialog, HWND child, int slot, float sx, float sy);
    static int LineHeight(HWND control);

    float m_remLeft[kTrackedControls] = {};
    float m_remRight[kTrackedControls] = {};
    float m_remTop[kTrackedControls] = {};
    float m_remBottom[kTrackedControls] = {};
    HFONT m_font = nullptr;
    int m_fontCreated = 0;
    CWnd* m_pDialog = nullptr;
    RECT m_rcReference = {0, 0, 0, 0};
    int m_initialised = 0;
    DialogFontSetting m_fontSetting;
};
