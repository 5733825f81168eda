#include "ConsoleHostKeys.h"

#include "FormatText.h"
#include "MessageBox.h"

#include <utility>

ConsoleHostKeys::ConsoleHostKeys(std::string settingsFolder, HostKeyAnswers& answers, WindowThreadCalls& calls,
                                 const bool& closing)
    : m_settingsFolder(std::move(settingsFolder)), m_answers(answers), m_calls(calls), m_closing(closing)
{
}

std::string ConsoleHostKeys::KnownHostsFile() { return m_settingsFolder + "\\known_hosts"; }

bool ConsoleHostKeys::TrustChangedKey(const HostKeyChange& change)
{
    const std::string text = HostKeyQuestionText(change);
    return m_calls.Run([&] { return !m_closing && AfxQuestionBox(text.c_str()) ? 1 : 0; }) == 1;
}

std::string HostKeyQuestionText(const HostKeyChange& change)
{
    static const char kFormat[] =
        "目标机 %s 的SSH主机密钥与上次记录的不同。\r\n\r\n上次: %s\r\n本次: %s\r\n\r\n"
        "如果目标机刚刚重装过系统，或者这是另一台目标机，这是正常的。\r\n是否信任新的主机密钥并继续?";
    return FormatText(kFormat, change.address.c_str(), change.knownFingerprint.c_str(),
                      change.offeredFingerprint.c_str());
}
