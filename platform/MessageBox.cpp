#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

namespace {
MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}
}

int DefaultMessageBoxAnswer(unsigned nType)
{
    switch (nType & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

int AfxMessageBox(const char* pszText, unsigned nType)
{
    if (const auto& handler = Handler())
        return handler(pszText ? pszText : "", nType);
    std::fprintf(stderr, "%s\n", pszText ? pszText : "");
    std::fflush(stderr);
    return DefaultMessageBoxAnswer(nType);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
