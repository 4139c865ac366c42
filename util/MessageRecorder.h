#pragma once

#include "util/MessageOutput.h"

#include <string>
#include <vector>

// For tests: while it lives, every message box of the utility library and every
// quit request is recorded here instead of shown; the destructor restores the outputs.
class CMessageRecorder
{
public:
    enum class Box { Error, Info, OptionError, Usage };

    struct Message
    {
        Box box;
        std::string text;
    };

    // Installs the recorder and forgets an earlier quit request.
    CMessageRecorder();
    ~CMessageRecorder();
    CMessageRecorder(const CMessageRecorder&) = delete;
    CMessageRecorder& operator=(const CMessageRecorder&) = delete;

    // Every box in the order shown.
    const std::vector<Message>& Messages() const { return m_messages; }
    // The texts of one kind of box, in order.
    std::vector<std::string> Texts(Box box) const;
    // The codes of the quit requests, in order.
    const std::vector<int>& QuitCodes() const { return m_quitCodes; }
    // Forgets what was recorded so far, quit request included.
    void Clear();

private:
    MessageOutput m_previous;
    std::vector<Message> m_messages;
    std::vector<int> m_quitCodes;
};
