// Feeds arbitrary bytes to the XML loader; whatever loads is written out and loaded again,
// so the writer and the loader also meet on hostile trees.

#include "util/MessageOutput.h"
#include "xml/Xml.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Messages go nowhere: only crashes, leaks and undefined behaviour are findings.
void SilenceMessages()
{
    static bool bDone = false;
    if (bDone)
        return;
    MessageOutput output;
    output.pfnErrorBox = [](const char*) {};
    output.pfnInfoBox = [](const char*) {};
    output.pfnOptionErrorBox = [](const char*) {};
    output.pfnUsageBox = [](const char*) {};
    output.pfnQuitRequest = [](int) {};
    SetMessageOutput(output);
    bDone = true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SilenceMessages();
    XmlDocument* pDoc = XmlNewDocument();
    if (!pDoc)
        return 0;
    if (XmlLoadBuffer(pDoc, nullptr, reinterpret_cast<const char*>(pData), nSize)) {
        char* pszText = XmlSaveString(pDoc);
        if (pszText) {
            XmlDocument* pAgain = XmlNewDocument();
            if (pAgain) {
                XmlLoadString(pAgain, nullptr, pszText);
                XmlDeleteDocument(pAgain);
            }
            std::free(pszText);
        }
    }
    XmlDeleteDocument(pDoc);
    return 0;
}
