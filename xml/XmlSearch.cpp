#include "xml/XmlTree.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t MAX_PATH_STEP = 255;

// The name equals the step [pStep, pStep + nLength) exactly.
bool NameIsStep(const char* pszName, const char* pStep, std::size_t nLength)
{
    return pszName && std::strncmp(pszName, pStep, nLength) == 0 && pszName[nLength] == '\0';
}

bool Matches(XmlNode* pNode, const char* pszName, const char* pszAttribute, const char* pszValue)
{
    if (!pNode->pszName || pNode->nType == XML_ROOT)
        return false;
    if (pszName && std::strcmp(pNode->pszName, pszName) != 0)
        return false;
    if (!pszAttribute)
        return true;
    XmlAttribute* pAttribute = XmlFindAttribute(pNode, pszAttribute);
    if (!pAttribute)
        return false;
    return !pszValue || (pAttribute->pszValue && std::strcmp(pAttribute->pszValue, pszValue) == 0);
}

// The next child of pParent after pAfter (or its first when pAfter is null) named as the step.
XmlNode* NextChildNamed(XmlNode* pParent, XmlNode* pAfter, const char* pStep, std::size_t nLength)
{
    XmlNode* pNode = pAfter ? pAfter->pNext : pParent->pFirstChild;
    while (pNode && !NameIsStep(pNode->pszName, pStep, nLength))
        pNode = pNode->pNext;
    return pNode;
}

// The next node below pTop after pAfter (or after pTop itself) in document order named as the step.
XmlNode* NextDescendantNamed(XmlNode* pTop, XmlNode* pAfter, const char* pStep, std::size_t nLength)
{
    XmlNode* pNode = XmlNextNode(pAfter ? pAfter : pTop, pTop);
    while (pNode && !NameIsStep(pNode->pszName, pStep, nLength))
        pNode = XmlNextNode(pNode, pTop);
    return pNode;
}

} // namespace

XmlNode* XmlFindChild(XmlNode* pNode, const char* pszName)
{
    if (!pNode || !pszName)
        return nullptr;
    for (XmlNode* pChild = pNode->pFirstChild; pChild; pChild = pChild->pNext) {
        if (pChild->pszName && std::strcmp(pChild->pszName, pszName) == 0)
            return pChild;
    }
    return nullptr;
}

XmlNode* XmlNextNode(XmlNode* pNode, XmlNode* pTop)
{
    if (!pNode)
        return nullptr;
    if (pNode->pFirstChild)
        return pNode->pFirstChild;
    for (XmlNode* pCurrent = pNode; pCurrent && pCurrent != pTop; pCurrent = pCurrent->pParent) {
        if (pCurrent->pNext)
            return pCurrent->pNext;
    }
    return nullptr;
}

XmlNode* XmlPrevNode(XmlNode* pNode, XmlNode* pTop)
{
    // Only the nodes below pTop take part; pTop itself and the root are never returned.
    if (!pNode || pNode == pTop)
        return nullptr;
    if (pNode->pPrev) {
        XmlNode* pLast = pNode->pPrev;
        while (pLast->pLastChild)
            pLast = pLast->pLastChild;
        return pLast;
    }
    XmlNode* pParent = pNode->pParent;
    if (!pParent || pParent == pTop || pParent->nType == XML_ROOT)
        return nullptr;
    return pParent;
}

XmlNode* XmlFindNode(XmlNode* pNode, XmlNode* pTop, const char* pszName, const char* pszAttribute,
                     const char* pszValue, int bDescend)
{
    if (!pNode)
        return nullptr;
    XmlNode* pCurrent = pNode;
    for (;;) {
        if (bDescend)
            pCurrent = XmlNextNode(pCurrent, pTop);
        else
            pCurrent = pCurrent == pTop ? pCurrent->pFirstChild : pCurrent->pNext;
        if (!pCurrent)
            return nullptr;
        if (Matches(pCurrent, pszName, pszAttribute, pszValue))
            return pCurrent;
    }
}

XmlNode* XmlFindPath(XmlNode* pNode, const char* pszPath)
{
    if (!pNode || !pszPath)
        return nullptr;
    bool bAnyDepth = std::strncmp(pszPath, "*/", 2) == 0;
    if (bAnyDepth)
        pszPath += 2;

    // The steps, empty ones (from "//" or a trailing "/") left out.
    std::size_t nSteps = 0;
    for (const char* p = pszPath; *p;) {
        const char* pEnd = std::strchr(p, '/');
        std::size_t nLength = pEnd ? static_cast<std::size_t>(pEnd - p) : std::strlen(p);
        if (nLength > MAX_PATH_STEP)
            return nullptr;
        if (nLength > 0)
            ++nSteps;
        p += nLength + (pEnd ? 1 : 0);
    }
    if (nSteps == 0)
        return nullptr;
    const char** apStep = static_cast<const char**>(std::malloc(nSteps * sizeof(const char*)));
    std::size_t* anLength = static_cast<std::size_t*>(std::malloc(nSteps * sizeof(std::size_t)));
    XmlNode** apCandidate = static_cast<XmlNode**>(std::malloc(nSteps * sizeof(XmlNode*)));
    XmlNode* pFound = nullptr;
    if (apStep && anLength && apCandidate) {
        std::size_t i = 0;
        for (const char* p = pszPath; *p;) {
            const char* pEnd = std::strchr(p, '/');
            std::size_t nLength = pEnd ? static_cast<std::size_t>(pEnd - p) : std::strlen(p);
            if (nLength > 0) {
                apStep[i] = p;
                anLength[i] = nLength;
                ++i;
            }
            p += nLength + (pEnd ? 1 : 0);
        }
        // Depth-first over the candidates of each step, so that a first match without the rest
        // of the path gives way to a later one that has it.
        std::size_t nLevel = 0;
        apCandidate[0] = bAnyDepth ? NextDescendantNamed(pNode, nullptr, apStep[0], anLength[0])
                                   : NextChildNamed(pNode, nullptr, apStep[0], anLength[0]);
        for (;;) {
            XmlNode* pCandidate = apCandidate[nLevel];
            if (!pCandidate) {
                if (nLevel == 0)
                    break;
                --nLevel;
                XmlNode* pPrevious = apCandidate[nLevel];
                apCandidate[nLevel] =
                    nLevel == 0 && bAnyDepth
                        ? NextDescendantNamed(pNode, pPrevious, apStep[0], anLength[0])
                        : NextChildNamed(pPrevious->pParent, pPrevious, apStep[nLevel], anLength[nLevel]);
                continue;
            }
            if (nLevel + 1 == nSteps) {
                pFound = pCandidate;
                break;
            }
            ++nLevel;
            apCandidate[nLevel] = NextChildNamed(pCandidate, nullptr, apStep[nLevel], anLength[nLevel]);
        }
    }
    std::free(apStep);
    std::free(anLength);
    std::free(apCandidate);
    return pFound;
}
