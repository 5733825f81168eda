#include "Commands.h"

#include "FileDialogText.h"
#include "MessageBoxForm.h"
#include "ScreenPlace.h"
#include "Shortcut.h"
#include "Windows.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <map>

void Print(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

namespace {

int Id(const std::string& text) { return std::stoi(text, nullptr, 0); }

void WaitUntil(const std::function<bool()>& done, double seconds, const std::string& what)
{
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    while (!done()) {
        if (::GetTickCount64() >= deadline)
            throw DriverError(what + " not within " + std::to_string(seconds) + " s");
        ::Sleep(50);
    }
}

DWORD ParseAddress(const std::string& dotted)
{
    unsigned a, b, c, d;
    if (std::sscanf(dotted.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4)
        throw DriverError("not an address: " + dotted);
    return MAKEIPADDRESS(a, b, c, d);
}

// IPM_GETADDRESS writes through a pointer, which must point into the
// program's own memory: borrow a word there for the answer.
DWORD AddressInFields(HWND control)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(control, &processId);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        throw DriverError("cannot open the program's process");
    void* word = ::VirtualAllocEx(process, nullptr, sizeof(DWORD), MEM_COMMIT, PAGE_READWRITE);
    DWORD address = 0;
    if (word) {
        ::SendMessageW(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(word));
        ::ReadProcessMemory(process, word, &address, sizeof address, nullptr);
        ::VirtualFreeEx(process, word, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    if (!word)
        throw DriverError("cannot borrow memory in the program's process");
    return address;
}

HWND WaitForDialog(const std::wstring& caption, double seconds)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(caption)) != nullptr; }, seconds, "dialog " + ToUtf8(caption));
    return found;
}

// Colour at the centre of a control as it shows on the screen, as 6 hex
// digits RRGGBB. (A device context of another process's window reads blank
// under Wine; the screen's does not.)
std::string CentreColour(HWND hwnd)
{
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    POINT centre{rc.right / 2, rc.bottom / 2};
    ::ClientToScreen(hwnd, &centre);
    HDC dc = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(dc, centre.x, centre.y);
    ::ReleaseDC(nullptr, dc);
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

const std::map<std::string, Command>& Commands()
{
    static const std::map<std::string, Command> table = {
        // wait-console SECONDS: the console is open within SECONDS.
        {"wait-console", {1, [](const Args& a) { WaitFor(FindConsole, std::stod(a[0]), "console"); }}},
        // no-console SECONDS: the console does not appear for SECONDS.
        {"no-console", {1, [](const Args& a) {
             bool appeared = false;
             try { WaitFor(FindConsole, std::stod(a[0]), "console"); appeared = true; } catch (const DriverError&) {}
             if (appeared) throw DriverError("the console appeared");
         }}},
        // console-gone SECONDS: the console has closed within SECONDS.
        {"console-gone", {1, [](const Args& a) {
             WaitUntil([] { return FindConsole() == nullptr; }, std::stod(a[0]), "console closed");
         }}},
        // msgbox SECONDS: prints the text of the message box that shows within SECONDS.
        {"msgbox", {1, [](const Args& a) {
             HWND box = WaitFor(FindMessageBox, std::stod(a[0]), "message box");
             Print(ToUtf8(WindowText(::GetDlgItem(box, 0xFFFF))));
         }}},
        // msgbox-caption: prints the caption of the open message box.
        {"msgbox-caption", {0, [](const Args&) {
             HWND box = WaitFor(FindMessageBox, 0, "message box");
             Print(ToUtf8(WindowCaption(box)));
         }}},
        // no-msgbox SECONDS: no message box shows for SECONDS.
        {"no-msgbox", {1, [](const Args& a) {
             bool appeared = false;
             try { WaitFor(FindMessageBox, std::stod(a[0]), "message box"); appeared = true; } catch (const DriverError&) {}
             if (appeared) throw DriverError("a message box appeared: " + ToUtf8(WindowText(::GetDlgItem(FindMessageBox(), 0xFFFF))));
         }}},
        // dismiss: presses OK on the open message box and waits for it to close.
        {"dismiss", {0, [](const Args&) {
             HWND box = WaitFor(FindMessageBox, 0, "message box");
             ::PostMessageW(box, WM_COMMAND, IDOK, 0);
             WaitUntil([box] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5, "message box closed");
         }}},
        // answer yes|no: presses Yes or No on the open question box and waits for it to close.
        {"answer", {1, [](const Args& a) {
             if (a[0] != "yes" && a[0] != "no")
                 throw DriverError("answer yes or no, not " + a[0]);
             HWND box = WaitFor(FindMessageBox, 0, "message box");
             ::PostMessageW(box, WM_COMMAND, a[0] == "yes" ? IDYES : IDNO, 0);
             WaitUntil([box] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 5, "message box closed");
         }}},
        // msgbox-form: prints the open message box's buttons by id, the
        // default one and its icon: "buttons 6 7 default 7 icon warning".
        {"msgbox-form", {0, [](const Args&) { Print(MessageBoxForm(WaitFor(FindMessageBox, 0, "message box"))); }}},
        // click ID: clicks the console's button ID (posted: the handler may open a box).
        {"click", {1, [](const Args& a) { ::PostMessageW(ConsoleItem(Id(a[0])), BM_CLICK, 0, 0); }}},
        // text ID: prints the window text of control ID.
        {"text", {1, [](const Args& a) { Print(ToUtf8(WindowText(ConsoleItem(Id(a[0]))))); }}},
        // set-text ID TEXT: replaces the text of an edit or static control.
        {"set-text", {2, [](const Args& a) {
             ::SendMessageW(ConsoleItem(Id(a[0])), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FromUtf8(a[1]).c_str()));
         }}},
        // set-ip ID A.B.C.D: fills the fields of an IP address control.
        {"set-ip", {2, [](const Args& a) {
             ::SendMessageW(ConsoleItem(Id(a[0])), IPM_SETADDRESS, 0, ParseAddress(a[1]));
         }}},
        // get-ip ID: prints the address in the fields of an IP address control.
        {"get-ip", {1, [](const Args& a) {
             const DWORD address = AddressInFields(ConsoleItem(Id(a[0])));
             Print(std::to_string(FIRST_IPADDRESS(address)) + "." + std::to_string(SECOND_IPADDRESS(address)) + "." +
                   std::to_string(THIRD_IPADDRESS(address)) + "." + std::to_string(FOURTH_IPADDRESS(address)));
         }}},
        // enabled ID: prints 1 when control ID is enabled, else 0.
        {"enabled", {1, [](const Args& a) { Print(::IsWindowEnabled(ConsoleItem(Id(a[0]))) ? "1" : "0"); }}},
        // wait-enabled ID 0|1 SECONDS: control ID is disabled (0) or enabled (1) within SECONDS.
        {"wait-enabled", {3, [](const Args& a) {
             HWND item = ConsoleItem(Id(a[0]));
             const bool wanted = a[1] == "1";
             WaitUntil([&] { return (::IsWindowEnabled(item) != FALSE) == wanted; }, std::stod(a[2]),
                       "control " + a[0] + (wanted ? " enabled" : " disabled"));
         }}},
        // combo ID: prints the selected index and text of a combo box.
        {"combo", {1, [](const Args& a) {
             HWND combo = ConsoleItem(Id(a[0]));
             const int index = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
             Print(std::to_string(index) + " " + ToUtf8(WindowText(combo)));
         }}},
        // select ID INDEX: selects item INDEX of a combo box (-1: none).
        {"select", {2, [](const Args& a) { ::SendMessageW(ConsoleItem(Id(a[0])), CB_SETCURSEL, Id(a[1]), 0); }}},
        // focus: prints the id of the console's control that has the focus.
        {"focus", {0, [](const Args&) {
             HWND console = WaitFor(FindConsole, 0, "console");
             GUITHREADINFO info{};
             info.cbSize = sizeof info;
             ::GetGUIThreadInfo(::GetWindowThreadProcessId(console, nullptr), &info);
             Print(std::to_string(::GetDlgCtrlID(info.hwndFocus)));
         }}},
        // colour ID: prints the colour at the centre of control ID as RRGGBB.
        {"colour", {1, [](const Args& a) { Print(CentreColour(ConsoleItem(Id(a[0])))); }}},
        // wait-colour ID RRGGBB SECONDS: control ID shows that colour within SECONDS.
        {"wait-colour", {3, [](const Args& a) {
             HWND item = ConsoleItem(Id(a[0]));
             WaitUntil([&] { return CentreColour(item) == a[1]; }, std::stod(a[2]), "colour " + a[1]);
         }}},
        // key VK: sends a key press (down and up) to the focused control of the console.
        {"key", {1, [](const Args& a) {
             HWND console = WaitFor(FindConsole, 0, "console");
             GUITHREADINFO info{};
             info.cbSize = sizeof info;
             ::GetGUIThreadInfo(::GetWindowThreadProcessId(console, nullptr), &info);
             HWND target = info.hwndFocus ? info.hwndFocus : console;
             ::PostMessageW(target, WM_KEYDOWN, Id(a[0]), 1);
             ::PostMessageW(target, WM_KEYUP, Id(a[0]), 0xC0000001);
         }}},
        // syscommand ID: sends a system-menu command (SC_CLOSE, or an entry of the program's own).
        {"syscommand", {1, [](const Args& a) {
             ::PostMessageW(WaitFor(FindConsole, 0, "console"), WM_SYSCOMMAND, Id(a[0]), 0);
         }}},
        // close: closes the console as its close box does.
        {"close", {0, [](const Args&) { ::PostMessageW(WaitFor(FindConsole, 0, "console"), WM_CLOSE, 0, 0); }}},
        // dialog CAPTION SECONDS: a dialog with that caption opens within SECONDS.
        // ok-dialog CAPTION: presses OK on it and waits for it to close.
        {"dialog", {2, [](const Args& a) { WaitForDialog(FromUtf8(a[0]), std::stod(a[1])); }}},
        {"ok-dialog", {1, [](const Args& a) {
             HWND dialog = WaitForDialog(FromUtf8(a[0]), 0);
             ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
             WaitUntil([dialog] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 5, "dialog closed");
         }}},
        // wait-window TEXT SECONDS: a window whose caption holds TEXT opens within SECONDS.
        {"wait-window", {2, [](const Args& a) {
             const std::wstring text = FromUtf8(a[0]);
             WaitUntil([&] { return FindWindowCaptioned(text) != nullptr; }, std::stod(a[1]), "window " + a[0]);
         }}},
        // close-window TEXT: closes the window whose caption holds TEXT.
        {"close-window", {1, [](const Args& a) {
             HWND window = FindWindowCaptioned(FromUtf8(a[0]));
             if (!window)
                 throw DriverError("no window " + a[0]);
             ::PostMessageW(window, WM_CLOSE, 0, 0);
         }}},
        // wait-text ID TEXT SECONDS: control ID shows TEXT within SECONDS.
        {"wait-text", {3, [](const Args& a) {
             HWND item = ConsoleItem(Id(a[0]));
             WaitUntil([&] { return ToUtf8(WindowText(item)) == a[1]; }, std::stod(a[2]), "text " + a[1]);
         }}},
        // choose-file SECONDS PATH: in the file dialog that opens within
        // SECONDS, enters PATH as the file name and confirms.
        {"choose-file", {2, [](const Args& a) {
             HWND dialog = WaitFor(FindFileDialog, std::stod(a[0]), "file dialog");
             HWND name = ::GetDlgItem(dialog, 0x480) ? ::GetDlgItem(dialog, 0x480) : ::GetDlgItem(dialog, 0x47C);
             ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FromUtf8(a[1]).c_str()));
             ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
             WaitUntil([dialog] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 10, "file dialog closed");
         }}},
        // cancel-file SECONDS: cancels the file dialog that opens within SECONDS.
        {"cancel-file", {1, [](const Args& a) {
             HWND dialog = WaitFor(FindFileDialog, std::stod(a[0]), "file dialog");
             ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
             WaitUntil([dialog] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 10, "file dialog closed");
         }}},
        // resize WIDTH HEIGHT: gives the console that outer size in pixels.
        {"resize", {2, [](const Args& a) {
             HWND console = WaitFor(FindConsole, 0, "console");
             ::SetWindowPos(console, nullptr, 0, 0, Id(a[0]), Id(a[1]), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         }}},
        // client: prints the console's client width and height.
        {"client", {0, [](const Args&) {
             RECT rc;
             ::GetClientRect(WaitFor(FindConsole, 0, "console"), &rc);
             Print(std::to_string(rc.right) + " " + std::to_string(rc.bottom));
         }}},
        // rects: prints "id class left top width height" for every visible
        // control of the console, in the console's client coordinates.
        {"rects", {0, [](const Args&) {
             HWND console = WaitFor(FindConsole, 0, "console");
             for (HWND child = ::GetWindow(console, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                 if (!::IsWindowVisible(child))
                     continue;
                 RECT rc;
                 ::GetWindowRect(child, &rc);
                 ::MapWindowPoints(nullptr, console, reinterpret_cast<POINT*>(&rc), 2);
                 wchar_t name[64] = L"";
                 ::GetClassNameW(child, name, 64);
                 Print(std::to_string(static_cast<int>(::GetWindowLongPtrW(child, GWLP_ID))) + " " + ToUtf8(name) +
                       " " + std::to_string(rc.left) + " " + std::to_string(rc.top) + " " +
                       std::to_string(rc.right - rc.left) + " " + std::to_string(rc.bottom - rc.top));
             }
         }}},
        // origin: prints the screen position of the console's client area.
        {"origin", {0, [](const Args&) { Print(ConsoleClientOrigin()); }}},
        // file-dialog-text ID SECONDS: prints the text of control ID of the file
        // dialog that opens within SECONDS (0x470: the file type box).
        {"file-dialog-text", {2, [](const Args& a) { Print(FileDialogItemText(Id(a[0]), std::stod(a[1]))); }}},
        // shortcut PATH: prints the target and the working folder of a shell link.
        {"shortcut", {1, [](const Args& a) { Print(ShortcutTargetAndFolder(FromUtf8(a[0]))); }}},
        // sleep SECONDS
        {"sleep", {1, [](const Args& a) { ::Sleep(static_cast<DWORD>(std::stod(a[0]) * 1000)); }}},
    };
    return table;
}
}  // namespace

size_t RunCommand(const Args& args, size_t at)
{
    auto found = Commands().find(args[at]);
    if (found == Commands().end()) {
        found = BusyCommands().find(args[at]);
        if (found == BusyCommands().end())
            throw DriverError("unknown command " + args[at]);
    }
    const Command& command = found->second;
    if (at + 1 + command.argumentCount > args.size())
        throw DriverError(args[at] + " needs " + std::to_string(command.argumentCount) + " argument(s)");
    const Args arguments(args.begin() + at + 1, args.begin() + at + 1 + command.argumentCount);
    command.run(arguments);
    return at + 1 + command.argumentCount;
}
