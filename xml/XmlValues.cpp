#include "xml/XmlTree.h"

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

// Typed values are stored as text: the adders format them, the getters convert them back.
// Numbers use the C locale whatever the process's locale is (a GUI toolkit may switch it to
// the user's, which would write "1,5" and fail to read "1.5"), so files stay exchangeable.

namespace {

locale_t CLocale()
{
    static locale_t s_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return s_locale;
}

// Formats as snprintf does in the C locale; false if the text did not fit.
bool FormatC(char* pszBuffer, std::size_t nSize, const char* pszFormat, double dValue)
{
    locale_t cLocale = CLocale();
    locale_t previous = cLocale ? uselocale(cLocale) : static_cast<locale_t>(nullptr);
    int nLength = std::snprintf(pszBuffer, nSize, pszFormat, dValue);
    if (cLocale)
        uselocale(previous);
    return nLength >= 0 && static_cast<std::size_t>(nLength) < nSize;
}

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text without leading and trailing space, tab, CR and LF: [*ppStart, *ppEnd).
// False when nothing remains.
bool Trim(const char* pszText, const char** ppStart, const char** ppEnd)
{
    const char* pStart = pszText;
    while (IsXmlSpace(*pStart))
        ++pStart;
    const char* pEnd = pStart + std::strlen(pStart);
    while (pEnd > pStart && IsXmlSpace(pEnd[-1]))
        --pEnd;
    *ppStart = pStart;
    *ppEnd = pEnd;
    return pEnd > pStart;
}

// Base 16 when "0x" or "0X" stands at the first or second character ("-0x10"), else 10.
int BaseOf(const char* pStart, const char* pEnd)
{
    std::size_t nLength = static_cast<std::size_t>(pEnd - pStart);
    for (std::size_t i = 0; i < 2 && i + 1 < nLength; ++i) {
        if (pStart[i] == '0' && (pStart[i + 1] == 'x' || pStart[i + 1] == 'X'))
            return 16;
    }
    return 10;
}

// The trimmed value text of a Value node, or false.
bool ValueText(XmlNode* pNode, const char** ppStart, const char** ppEnd)
{
    const char* pszText = XmlGetValue(pNode);
    return pszText && Trim(pszText, ppStart, ppEnd);
}

// As strtol/strtoll: the whole trimmed text, no reported overflow, then [nMin, nMax]. A long of
// 32 bits overflows outside the int32 range, so the narrower getters check that range too.
bool GetSigned(XmlNode* pNode, int64_t nMin, int64_t nMax, int64_t* pnValue)
{
    const char* pStart;
    const char* pEnd;
    if (!ValueText(pNode, &pStart, &pEnd))
        return false;
    char* pStop = nullptr;
    errno = 0;
    long long nValue = std::strtoll(pStart, &pStop, BaseOf(pStart, pEnd));
    if (errno == ERANGE || pStop != pEnd || nValue < nMin || nValue > nMax)
        return false;
    *pnValue = nValue;
    return true;
}

// As strtoull: the whole trimmed text and no reported overflow; a leading minus sign negates
// as the standard conversion does.
bool ConvertUnsigned(XmlNode* pNode, uint64_t* pnValue, bool* pbNegative)
{
    const char* pStart;
    const char* pEnd;
    if (!ValueText(pNode, &pStart, &pEnd))
        return false;
    char* pStop = nullptr;
    errno = 0;
    unsigned long long nValue = std::strtoull(pStart, &pStop, BaseOf(pStart, pEnd));
    if (errno == ERANGE || pStop != pEnd)
        return false;
    const char* pSign = pStart;
    while (*pSign == ' ' || (*pSign >= '\t' && *pSign <= '\r'))
        ++pSign;
    *pbNegative = *pSign == '-';
    *pnValue = nValue;
    return true;
}

// As a strtoul whose unsigned long has 32 bits: a magnitude above 0xFFFFFFFF overflows, a
// negated one wraps within 32 bits; then at most nMax.
bool GetUnsigned32(XmlNode* pNode, uint32_t nMax, uint32_t* pnValue)
{
    uint64_t nValue;
    bool bNegative;
    if (!ConvertUnsigned(pNode, &nValue, &bNegative))
        return false;
    uint64_t nMagnitude = bNegative ? (~nValue + 1) : nValue;
    if (nMagnitude > UINT32_MAX)
        return false;
    uint32_t nResult = bNegative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(nMagnitude))
                                 : static_cast<uint32_t>(nMagnitude);
    if (nResult > nMax)
        return false;
    *pnValue = nResult;
    return true;
}

bool EqualsIgnoringCase(const char* pszText, const char* pszLower)
{
    for (; *pszLower; ++pszText, ++pszLower) {
        char c = *pszText;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != *pszLower)
            return false;
    }
    return *pszText == '\0';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

XmlNode* XmlAddBool(XmlNode* pParent, const char* pszName, int bValue)
{
    return XmlAddValue(pParent, pszName, const_cast<char*>(bValue ? "true" : "false"), 1);
}

XmlNode* XmlAddInt(XmlNode* pParent, const char* pszName, int32_t nValue)
{
    char szText[16];
    std::snprintf(szText, sizeof(szText), "%d", static_cast<int>(nValue));
    return XmlAddValue(pParent, pszName, szText, 1);
}

XmlNode* XmlAddUInt(XmlNode* pParent, const char* pszName, uint32_t nValue)
{
    char szText[16];
    std::snprintf(szText, sizeof(szText), "%u", static_cast<unsigned>(nValue));
    return XmlAddValue(pParent, pszName, szText, 1);
}

XmlNode* XmlAddInt64(XmlNode* pParent, const char* pszName, int64_t nValue)
{
    char szText[24];
    std::snprintf(szText, sizeof(szText), "%lld", static_cast<long long>(nValue));
    return XmlAddValue(pParent, pszName, szText, 1);
}

XmlNode* XmlAddUInt64(XmlNode* pParent, const char* pszName, uint64_t nValue)
{
    char szText[24];
    std::snprintf(szText, sizeof(szText), "%llu", static_cast<unsigned long long>(nValue));
    return XmlAddValue(pParent, pszName, szText, 1);
}

XmlNode* XmlAddReal(XmlNode* pParent, const char* pszName, double dValue)
{
    // "%f" of the largest double has 316 characters.
    char szText[400];
    if (!FormatC(szText, sizeof(szText), "%f", dValue))
        return nullptr;
    return XmlAddValue(pParent, pszName, szText, 1);
}

XmlNode* XmlAddHex(XmlNode* pParent, const char* pszName, const void* pBytes, std::size_t nBytes)
{
    if (!pParent || !pszName || (!pBytes && nBytes != 0) || nBytes > (SIZE_MAX - 1) / 2)
        return nullptr;
    char* pszText = static_cast<char*>(std::malloc(nBytes * 2 + 1));
    if (!pszText)
        return nullptr;
    static const char s_szDigits[] = "0123456789ABCDEF";
    const unsigned char* pByte = static_cast<const unsigned char*>(pBytes);
    for (std::size_t i = 0; i < nBytes; ++i) {
        pszText[2 * i] = s_szDigits[pByte[i] >> 4];
        pszText[2 * i + 1] = s_szDigits[pByte[i] & 0x0F];
    }
    pszText[nBytes * 2] = '\0';
    XmlNode* pNode = XmlAddValue(pParent, pszName, pszText, 0);
    if (!pNode)
        std::free(pszText);
    return pNode;
}

int XmlGetBool(XmlNode* pNode, int32_t* pValue)
{
    const char* pszText = XmlGetValue(pNode);
    if (!pszText || !pValue)
        return 0;
    if (EqualsIgnoringCase(pszText, "true")) {
        *pValue = 1;
        return 1;
    }
    if (EqualsIgnoringCase(pszText, "false")) {
        *pValue = 0;
        return 1;
    }
    return 0;
}

int XmlGetInt(XmlNode* pNode, int32_t* pValue)
{
    int64_t nValue;
    if (!pValue || !GetSigned(pNode, INT32_MIN, INT32_MAX, &nValue))
        return 0;
    *pValue = static_cast<int32_t>(nValue);
    return 1;
}

int XmlGetInt16(XmlNode* pNode, int16_t* pValue)
{
    int64_t nValue;
    if (!pValue || !GetSigned(pNode, INT16_MIN, INT16_MAX, &nValue))
        return 0;
    *pValue = static_cast<int16_t>(nValue);
    return 1;
}

int XmlGetInt8(XmlNode* pNode, int8_t* pValue)
{
    int64_t nValue;
    if (!pValue || !GetSigned(pNode, INT8_MIN, INT8_MAX, &nValue))
        return 0;
    *pValue = static_cast<int8_t>(nValue);
    return 1;
}

int XmlGetInt64(XmlNode* pNode, int64_t* pValue)
{
    int64_t nValue;
    if (!pValue || !GetSigned(pNode, INT64_MIN, INT64_MAX, &nValue))
        return 0;
    *pValue = nValue;
    return 1;
}

int XmlGetUInt(XmlNode* pNode, uint32_t* pValue)
{
    uint32_t nValue;
    if (!pValue || !GetUnsigned32(pNode, UINT32_MAX, &nValue))
        return 0;
    *pValue = nValue;
    return 1;
}

int XmlGetUInt16(XmlNode* pNode, uint16_t* pValue)
{
    uint32_t nValue;
    if (!pValue || !GetUnsigned32(pNode, UINT16_MAX, &nValue))
        return 0;
    *pValue = static_cast<uint16_t>(nValue);
    return 1;
}

int XmlGetUInt8(XmlNode* pNode, uint8_t* pValue)
{
    uint32_t nValue;
    if (!pValue || !GetUnsigned32(pNode, UINT8_MAX, &nValue))
        return 0;
    *pValue = static_cast<uint8_t>(nValue);
    return 1;
}

int XmlGetUInt64(XmlNode* pNode, uint64_t* pValue)
{
    uint64_t nValue;
    bool bNegative;
    if (!pValue || !ConvertUnsigned(pNode, &nValue, &bNegative))
        return 0;
    *pValue = nValue;
    return 1;
}

int XmlGetReal(XmlNode* pNode, double* pValue)
{
    const char* pStart;
    const char* pEnd;
    if (!pValue || !ValueText(pNode, &pStart, &pEnd))
        return 0;
    char* pStop = nullptr;
    locale_t cLocale = CLocale();
    double dValue = cLocale ? strtod_l(pStart, &pStop, cLocale) : std::strtod(pStart, &pStop);
    if (pStop != pEnd)
        return 0;
    *pValue = dValue;
    return 1;
}

int XmlGetHex(XmlNode* pNode, void* pBytes, std::size_t nSize, std::size_t* pnBytes)
{
    const char* pStart;
    const char* pEnd;
    const char* pszText = XmlGetValue(pNode);
    if (!pszText || (!pBytes && nSize != 0))
        return 0;
    if (!Trim(pszText, &pStart, &pEnd))
        pStart = pEnd = pszText;
    std::size_t nDigits = static_cast<std::size_t>(pEnd - pStart);
    if (nDigits % 2 != 0)
        return 0;
    // The whole text is checked first, so bad text leaves the destination untouched.
    for (const char* p = pStart; p < pEnd; ++p) {
        if (HexDigit(*p) < 0)
            return 0;
    }
    std::size_t nCount = nDigits / 2;
    if (nCount > nSize)
        nCount = nSize;
    unsigned char* pByte = static_cast<unsigned char*>(pBytes);
    for (std::size_t i = 0; i < nCount; ++i)
        pByte[i] = static_cast<unsigned char>(HexDigit(pStart[2 * i]) << 4 | HexDigit(pStart[2 * i + 1]));
    if (pnBytes)
        *pnBytes = nCount;
    return 1;
}
