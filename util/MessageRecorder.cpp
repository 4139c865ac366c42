#include "util/MessageRecorder.h"

#include <utility>

CMessageRecorder::CMessageRecorder()
{
    ClearQuitRequest();
    auto record = [this](Box box) {
        return [this, box](const char* pszText) { m_messages.push_back({box, pszText}); };
    };
    MessageOutput output;
    output.pfnErrorBox = record(Box::Error);
    output.pfnInfoBox = record(Box::Info);
    output.pfnOptionErrorBox = record(Box::OptionError);
    output.pfnUsageBox = record(Box::Usage);
    output.pfnQuitRequest = [this](int nExitCode) { m_quitCodes.push_back(nExitCode); };
    m_previous = SetMessageOutput(std::move(output));
}

CMessageRecorder::~CMessageRecorder()
{
    SetMessageOutput(std::move(m_previous));
    ClearQuitRequest();
}

std::vector<std::string> CMessageRecorder::Texts(Box box) const
{
    std::vector<std::string> texts;
    for (const Message& message : m_messages)
        if (message.box == box)
            texts.push_back(message.text);
    return texts;
}

void CMessageRecorder::Clear()
{
    m_messages.clear();
    m_quitCodes.clear();
    ClearQuitRequest();
}
