#pragma once
// A console dialog stand-in for the command flows: it records, in order,
// every button change, message and remote request, and answers the
// dispatcher's calls from a rule the test sets.
#include "CommandHost.h"
#include "RecordedLines.h"

#include <functional>
#include <string>
#include <vector>

struct SentRequest {
    int route;
    std::string targetAddress, userName, password, remoteDir, fileName, localDir;
    int authPreference;
    int operation;
};

class FakeCommandHost : public CommandHost {
public:
    int model = 1;
    std::string targetAddress = "10.1.2.3";
    std::string newAddress = "10.9.8.7";
    std::string pathBox;
    std::string settingsDir;
    // Result of each dispatch; the default answers like a reachable target.
    std::function<int(const SentRequest&)> answer = [](const SentRequest& r) {
        return r.route == 0 || r.route == 1 ? 1 : 0;
    };
    // Whether a -1 answer is the dispatcher's refusal of an unreachable
    // target (the engineer has been told) or a route that failed silently.
    bool minusOneIsRefusal = true;
    // What Browse's file dialog returns; runs `duringDialog` first.
    bool dialogConfirms = false;
    FileChoice dialogChoice;
    std::function<void()> duringDialog;

    // "disable 1000", "enable 1000", "message <text>", "send <dir> <file>"
    // and "mkdir <dir>", in the order they happened.
    std::vector<std::string> events;
    // The session record's lines.
    std::vector<std::string> recorded;
    std::vector<SentRequest> sent;
    std::string statusText = "<untouched>";
    SaveDialogOptions dialogOptions{};

    int CpuModelIndex() override { return model; }
    std::string TargetAddressText() override { return targetAddress; }
    std::string NewAddressText() override { return newAddress; }
    std::string PathBoxText() override { return pathBox; }
    void SetPathBoxText(const char* text) override { pathBox = text; }
    void SetStatusText(const char* text) override { statusText = text; }
    void EnableButton(int controlId, bool enable) override
    {
        events.push_back((enable ? "enable " : "disable ") + std::to_string(controlId));
    }
    void ShowMessage(const char* text) override { events.push_back(std::string("message ") + text); }
    RemoteOutcome DispatchRemoteOperation(const RemoteRequest& r) override
    {
        SentRequest copy{r.route,    r.targetAddress, r.userName,       r.password, r.remoteDir,
                         r.fileName, r.localDir,      r.authPreference, r.operation};
        sent.push_back(copy);
        events.push_back(r.operation == 2 ? "mkdir " + copy.remoteDir : "send " + copy.remoteDir + " " + copy.fileName);
        RemoteOutcome outcome;
        outcome.result = answer(copy);
        outcome.refusedUnreachable = outcome.result == -1 && minusOneIsRefusal;
        return outcome;
    }
    bool RunSaveFileDialog(const SaveDialogOptions& options, FileChoice& choice) override
    {
        dialogOptions = options;
        if (duringDialog)
            duringDialog();
        if (dialogConfirms)
            choice = dialogChoice;
        return dialogConfirms;
    }
    std::string SettingsDirectory() override { return settingsDir; }
    EventLog& Record() override { return record; }
    void WatchRestart(const std::string& address) override { events.push_back("watch restart " + address); }

    RecordedLines record;
};
