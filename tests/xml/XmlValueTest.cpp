#include "XmlTreeSupport.h"

#include "../support/CompiledLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace xmltree;

namespace {

enum class Width { Int8, Int16, Int32, Int64, UInt8, UInt16, UInt32, UInt64 };

const char* WidthName(Width width)
{
    static const char* const s_apszNames[] = {"int8", "int16", "int32", "int64",
                                             "uint8", "uint16", "uint32", "uint64"};
    return s_apszNames[static_cast<int>(width)];
}

// Runs the getter of the width; the value is widened, and a failure must leave the sentinel.
bool GetInteger(XmlNode* pNode, Width width, long double* pValue)
{
    switch (width) {
    case Width::Int8: {
        int8_t n = 99;
        int ok = XmlGetInt8(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = n;
        return ok;
    }
    case Width::Int16: {
        int16_t n = 99;
        int ok = XmlGetInt16(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = n;
        return ok;
    }
    case Width::Int32: {
        int32_t n = 99;
        int ok = XmlGetInt(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = n;
        return ok;
    }
    case Width::Int64: {
        int64_t n = 99;
        int ok = XmlGetInt64(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = static_cast<long double>(n);
        return ok;
    }
    case Width::UInt8: {
        uint8_t n = 99;
        int ok = XmlGetUInt8(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = n;
        return ok;
    }
    case Width::UInt16: {
        uint16_t n = 99;
        int ok = XmlGetUInt16(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = n;
        return ok;
    }
    case Width::UInt32: {
        uint32_t n = 99;
        int ok = XmlGetUInt(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = n;
        return ok;
    }
    case Width::UInt64: {
        uint64_t n = 99;
        int ok = XmlGetUInt64(pNode, &n);
        EXPECT_TRUE(ok || n == 99);
        *pValue = static_cast<long double>(n);
        return ok;
    }
    }
    return false;
}

} // namespace

TEST(XmlValues, IntegerGettersTrimPickTheBaseAndCheckTheRange)
{
    struct Case {
        const char* pszText;
        Width width;
        bool bOk;
        long double expected;
    };
    const Case aCases[] = {
        {" 32 ", Width::UInt16, true, 32},
        {"0x20", Width::UInt16, true, 32},
        {"0X1f", Width::UInt16, true, 31},
        {"\t\r\n 7 \n", Width::UInt16, true, 7},
        {"65535", Width::UInt16, true, 65535},
        {"65536", Width::UInt16, false, 0},
        {"32x", Width::UInt16, false, 0},
        {"", Width::UInt16, false, 0},
        {"   ", Width::UInt16, false, 0},
        {"3 2", Width::UInt16, false, 0},
        {"0x", Width::UInt16, false, 0},
        {"-0x10", Width::UInt16, false, 0},   // wraps above 65535
        {"-0x10", Width::Int32, true, -16},   // hexadecimal with the sign before it
        {"+0x10", Width::Int32, true, 16},
        {"x10", Width::Int32, false, 0},
        {"-", Width::Int32, false, 0},
        {"+5", Width::Int32, true, 5},
        {"010", Width::Int32, true, 10},      // base 10: a leading zero is no octal
        {"2147483647", Width::Int32, true, 2147483647.0L},
        {"2147483648", Width::Int32, false, 0},
        {"-2147483648", Width::Int32, true, -2147483648.0L},
        {"-2147483649", Width::Int32, false, 0},
        {"127", Width::Int8, true, 127},
        {"128", Width::Int8, false, 0},
        {"-128", Width::Int8, true, -128},
        {"-129", Width::Int8, false, 0},
        {"0x7f", Width::Int8, true, 127},
        {"32767", Width::Int16, true, 32767},
        {"32768", Width::Int16, false, 0},
        {"-32768", Width::Int16, true, -32768},
        {"-32769", Width::Int16, false, 0},
        {"255", Width::UInt8, true, 255},
        {"256", Width::UInt8, false, 0},
        {"0xff", Width::UInt8, true, 255},
        {"4294967295", Width::UInt32, true, 4294967295.0L},
        {"4294967296", Width::UInt32, false, 0},
        {"0xFFFFFFFF", Width::UInt32, true, 4294967295.0L},
        {"-1", Width::UInt32, true, 4294967295.0L},   // the standard conversion negates within 32 bits
        {"-4294967296", Width::UInt32, false, 0},
        {"9223372036854775807", Width::Int64, true, 9223372036854775807.0L},
        {"9223372036854775808", Width::Int64, false, 0},
        {"-9223372036854775808", Width::Int64, true, -9223372036854775808.0L},
        {"-9223372036854775809", Width::Int64, false, 0},
        {"0x7FFFFFFFFFFFFFFF", Width::Int64, true, 9223372036854775807.0L},
        {"18446744073709551615", Width::UInt64, true, 18446744073709551615.0L},
        {"18446744073709551616", Width::UInt64, false, 0},
        {"0xFFFFFFFFFFFFFFFF", Width::UInt64, true, 18446744073709551615.0L},
        {"99999999999999999999999", Width::UInt64, false, 0},
        {"12.5", Width::Int64, false, 0},
    };
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    for (const Case& c : aCases) {
        SCOPED_TRACE(std::string(WidthName(c.width)) + " \"" + c.pszText + "\"");
        XmlNode* pNode = XmlAddValue(pMain, "v", const_cast<char*>(c.pszText), 1);
        ASSERT_NE(pNode, nullptr);
        long double value = 0;
        bool bOk = GetInteger(pNode, c.width, &value);
        EXPECT_EQ(bOk, c.bOk);
        if (c.bOk && bOk) {
            EXPECT_EQ(value, c.expected);
        }
    }
}

TEST(XmlValues, GettersFailOnAMissingOrNonValueNode)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    XmlNode* pElement = XmlAddElement(pMain, "e");
    XmlNode* pText = XmlAddText(pMain, "5");
    for (XmlNode* pNode : {static_cast<XmlNode*>(nullptr), pElement, pText}) {
        for (int w = 0; w <= static_cast<int>(Width::UInt64); ++w) {
            SCOPED_TRACE(WidthName(static_cast<Width>(w)));
            long double value;
            EXPECT_FALSE(GetInteger(pNode, static_cast<Width>(w), &value));
        }
        int32_t bValue = 7;
        double dValue = 7;
        unsigned char abBytes[2] = {7, 7};
        EXPECT_FALSE(XmlGetBool(pNode, &bValue));
        EXPECT_FALSE(XmlGetReal(pNode, &dValue));
        EXPECT_FALSE(XmlGetHex(pNode, abBytes, sizeof(abBytes), nullptr));
        EXPECT_EQ(bValue, 7);
        EXPECT_EQ(dValue, 7);
        EXPECT_EQ(XmlGetValue(pNode), nullptr);
    }
}

TEST(XmlValues, BoolIsTrueOrFalseInAnyCase)
{
    struct Case {
        const char* pszText;
        bool bOk;
        int32_t nValue;
    };
    const Case aCases[] = {
        {"true", true, 1}, {"TRUE", true, 1}, {"tRuE", true, 1}, {"false", true, 0}, {"False", true, 0},
        {"1", false, 0},   {"0", false, 0},   {"", false, 0},    {"yes", false, 0},  {"truex", false, 0},
        {"tru", false, 0},
    };
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszText);
        int32_t nValue = 42;
        int bOk = XmlGetBool(XmlAddValue(pMain, "b", const_cast<char*>(c.pszText), 1), &nValue);
        EXPECT_EQ(bOk != 0, c.bOk);
        EXPECT_EQ(nValue, c.bOk ? c.nValue : 42);
    }
}

TEST(XmlValues, RealTakesTheWholeTrimmedText)
{
    struct Case {
        const char* pszText;
        bool bOk;
        double dValue;
    };
    const Case aCases[] = {
        {" 1.5 ", true, 1.5}, {"-2e3", true, -2000}, {"0.000000", true, 0}, {"1.5x", false, 0},
        {"", false, 0},       {"1,5", false, 0},     {". ", false, 0},
    };
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszText);
        double dValue = 42;
        int bOk = XmlGetReal(XmlAddValue(pMain, "d", const_cast<char*>(c.pszText), 1), &dValue);
        EXPECT_EQ(bOk != 0, c.bOk);
        EXPECT_EQ(dValue, c.bOk ? c.dValue : 42);
    }
}

TEST(XmlValues, AddersWriteThePrintfForms)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    const unsigned char abBytes[] = {0x00, 0xAB, 0x7F, 0x0C};
    struct Case {
        XmlNode* pNode;
        const char* pszText;
    };
    const Case aCases[] = {
        {XmlAddBool(pMain, "b", 5), "true"},
        {XmlAddBool(pMain, "b", 0), "false"},
        {XmlAddInt(pMain, "i", -5), "-5"},
        {XmlAddInt(pMain, "i", INT32_MIN), "-2147483648"},
        {XmlAddUInt(pMain, "u", UINT32_MAX), "4294967295"},
        {XmlAddInt64(pMain, "l", INT64_MIN), "-9223372036854775808"},
        {XmlAddUInt64(pMain, "q", UINT64_MAX), "18446744073709551615"},
        {XmlAddReal(pMain, "d", 1.5), "1.500000"},
        {XmlAddReal(pMain, "d", -0.25), "-0.250000"},
        {XmlAddReal(pMain, "d", 1234567.0000004), "1234567.000000"},
        {XmlAddHex(pMain, "h", abBytes, sizeof(abBytes)), "00AB7F0C"},
        {XmlAddHex(pMain, "h", abBytes, 0), ""},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszText);
        ASSERT_NE(c.pNode, nullptr);
        EXPECT_EQ(XmlGetType(c.pNode), XML_VALUE);
        EXPECT_STREQ(XmlGetValue(c.pNode), c.pszText);
    }
    char* pszLarge = nullptr;
    XmlNode* pLarge = XmlAddReal(pMain, "d", 1.7976931348623157e308);
    ASSERT_NE(pLarge, nullptr);
    pszLarge = const_cast<char*>(XmlGetValue(pLarge));
    EXPECT_EQ(std::strlen(pszLarge), 316u);
}

TEST(XmlValues, TypedValuesReadBackWhatWasAdded)
{
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    int32_t nBool = 0;
    ASSERT_TRUE(XmlGetBool(XmlAddBool(pMain, "b", 1), &nBool));
    EXPECT_EQ(nBool, 1);
    int32_t nInt = 0;
    ASSERT_TRUE(XmlGetInt(XmlAddInt(pMain, "i", INT32_MIN), &nInt));
    EXPECT_EQ(nInt, INT32_MIN);
    uint32_t nUInt = 0;
    ASSERT_TRUE(XmlGetUInt(XmlAddUInt(pMain, "u", UINT32_MAX), &nUInt));
    EXPECT_EQ(nUInt, UINT32_MAX);
    int64_t nInt64 = 0;
    ASSERT_TRUE(XmlGetInt64(XmlAddInt64(pMain, "l", INT64_MIN), &nInt64));
    EXPECT_EQ(nInt64, INT64_MIN);
    uint64_t nUInt64 = 0;
    ASSERT_TRUE(XmlGetUInt64(XmlAddUInt64(pMain, "q", UINT64_MAX), &nUInt64));
    EXPECT_EQ(nUInt64, UINT64_MAX);
    double dReal = 0;
    ASSERT_TRUE(XmlGetReal(XmlAddReal(pMain, "d", 2.25), &dReal));
    EXPECT_EQ(dReal, 2.25);
    const unsigned char abBytes[] = {0xDE, 0xAD, 0x00, 0x01};
    unsigned char abRead[4] = {};
    std::size_t nRead = 0;
    ASSERT_TRUE(XmlGetHex(XmlAddHex(pMain, "h", abBytes, sizeof(abBytes)), abRead, sizeof(abRead), &nRead));
    EXPECT_EQ(nRead, 4u);
    EXPECT_EQ(std::memcmp(abRead, abBytes, 4), 0);
}

TEST(XmlValues, HexTakesPairsUpToTheDestinationSize)
{
    struct Case {
        const char* pszText;
        std::size_t nSize;
        bool bOk;
        std::size_t nBytes;
        const char* pszBytes;
    };
    const Case aCases[] = {
        {"00AB7F", 8, true, 3, "\x00\xAB\x7F"},
        {"00ab7f", 8, true, 3, "\x00\xAB\x7F"},
        {" 0A0B ", 8, true, 2, "\x0A\x0B"},
        {"0A0B0C", 2, true, 2, "\x0A\x0B"},   // stops where the destination ends
        {"", 8, true, 0, ""},
        {"0AB", 8, false, 0, ""},             // half a pair
        {"0G", 8, false, 0, ""},
        {"0A 0B", 8, false, 0, ""},
    };
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.pszText);
        unsigned char abBytes[8];
        std::memset(abBytes, 0x55, sizeof(abBytes));
        std::size_t nBytes = 99;
        int bOk = XmlGetHex(XmlAddValue(pMain, "h", const_cast<char*>(c.pszText), 1), abBytes, c.nSize, &nBytes);
        EXPECT_EQ(bOk != 0, c.bOk);
        if (!c.bOk) {
            EXPECT_EQ(nBytes, 99u);
            EXPECT_EQ(abBytes[0], 0x55);
            continue;
        }
        EXPECT_EQ(nBytes, c.nBytes);
        EXPECT_EQ(std::memcmp(abBytes, c.pszBytes, c.nBytes), 0);
        EXPECT_EQ(abBytes[c.nBytes], 0x55);
    }
}

TEST(XmlValues, RealsKeepTheirPointUnderACommaLocale)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "xmllocale-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    std::filesystem::path folder = pattern;
    std::string old = std::setlocale(LC_NUMERIC, nullptr);
    bool bComma = UseGermanLocale(LC_NUMERIC, folder);
    char szProbe[16];
    std::snprintf(szProbe, sizeof(szProbe), "%.1f", 1.5);
    Document doc = NewDocument();
    XmlNode* pMain = XmlNewXml(doc.get(), nullptr, "r");
    XmlNode* pNode = XmlAddReal(pMain, "d", 1.5);
    XmlNode* pText = XmlAddValue(pMain, "t", const_cast<char*>("2.25"), 1);
    double dValue = 0;
    double dText = 0;
    int bRead = XmlGetReal(pNode, &dValue);
    int bReadText = XmlGetReal(pText, &dText);
    std::setlocale(LC_NUMERIC, old.c_str());
    std::filesystem::remove_all(folder);
    if (!bComma)
        GTEST_SKIP() << "no German locale to be had on this machine";
    ASSERT_STREQ(szProbe, "1,5");   // the process really formats with a comma
    EXPECT_STREQ(XmlGetValue(pNode), "1.500000");
    EXPECT_TRUE(bRead);
    EXPECT_EQ(dValue, 1.5);
    EXPECT_TRUE(bReadText);
    EXPECT_EQ(dText, 2.25);
}
