#pragma once

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Records every AfxMessageBox while it lives and answers from a queue (the
// default answer once the queue is empty), so no box ever waits for a user.
class CBoxRecorder
{
public:
    struct Box
    {
        std::string text;
        unsigned type;
    };

    CBoxRecorder()
        : m_previous(SetMessageBoxHandler([this](const char* pszText, unsigned nType) {
              m_boxes.push_back({pszText ? pszText : "", nType});
              if (m_answers.empty())
                  return DefaultMessageBoxAnswer(nType);
              const int nAnswer = m_answers.front();
              m_answers.pop_front();
              return nAnswer;
          }))
    {
    }
    ~CBoxRecorder() { SetMessageBoxHandler(m_previous); }
    CBoxRecorder(const CBoxRecorder&) = delete;
    CBoxRecorder& operator=(const CBoxRecorder&) = delete;

    void Answer(int nAnswer) { m_answers.push_back(nAnswer); }
    const std::vector<Box>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    MessageBoxHandler m_previous;
    std::vector<Box> m_boxes;
    std::deque<int> m_answers;
};

// Runs the event loop until the condition holds or five seconds have passed.
inline bool ProcessEventsUntil(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
