// Throughput of the XML library's writer and parser on a document of about 10 MB shaped like
// a result file: one main element holding many rate elements of Value children.

#include "xml/Xml.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr std::size_t TARGET_BYTES = 10u * 1000u * 1000u;

XmlDocument* BuildDocument()
{
    XmlDocument* pDoc = XmlNewDocument();
    XmlNode* pMain = XmlNewXml(pDoc, nullptr, "benchmark");
    XmlAddValue(pMain, "drive", const_cast<char*>("/mnt/data & more"), 1);
    XmlAddBool(pMain, "verifydata", 1);
    XmlAddUInt(pMain, "queuedepth", 32);
    // Rows are added until the written text reaches the target size (checked every 1000 rows).
    for (uint32_t i = 0;; ++i) {
        XmlNode* pRate = XmlAddElement(pMain, "rate");
        XmlSetAttribute(pRate, "index", std::to_string(i).c_str());
        XmlAddValue(pRate, "label", const_cast<char*>("64 KiB <direct>"), 1);
        XmlAddUInt(pRate, "iosize", 65536u << (i % 8));
        XmlAddUInt64(pRate, "writebps", 1234567890ull + i * 7919ull);
        XmlAddUInt64(pRate, "writeiops", 18838ull + i);
        XmlAddUInt64(pRate, "readbps", 2345678901ull + i * 104729ull);
        XmlAddUInt64(pRate, "readiops", 35792ull + i);
        XmlAddReal(pRate, "ratio", 1.9 + i * 0.001);
        XmlAddUInt(pRate, "flags", i % 16);
        if (i % 1000 == 999 && XmlSaveBuffer(pDoc, nullptr, 0) >= TARGET_BYTES)
            break;
    }
    return pDoc;
}

XmlDocument* Document()
{
    static XmlDocument* s_pDoc = BuildDocument();
    return s_pDoc;
}

const std::string& Text()
{
    static std::string s_text = [] {
        char* pszText = XmlSaveString(Document());
        std::string text = pszText ? pszText : "";
        std::free(pszText);
        return text;
    }();
    return s_text;
}

void SetThroughput(benchmark::State& state, std::size_t nBytes)
{
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * nBytes));
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(nBytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["doc_MB"] = static_cast<double>(nBytes) / 1e6;
}

void BM_XmlWriteBuffer(benchmark::State& state)
{
    XmlDocument* pDoc = Document();
    std::size_t nSize = XmlSaveBuffer(pDoc, nullptr, 0);
    std::string buffer(nSize, '\0');
    for (auto _ : state) {
        std::size_t nWritten = XmlSaveBuffer(pDoc, buffer.data(), buffer.size());
        if (nWritten != nSize)
            state.SkipWithError("the writer failed");
        benchmark::DoNotOptimize(buffer.data());
    }
    SetThroughput(state, nSize - 1);
}
BENCHMARK(BM_XmlWriteBuffer)->Unit(benchmark::kMillisecond);

void BM_XmlWriteString(benchmark::State& state)
{
    XmlDocument* pDoc = Document();
    for (auto _ : state) {
        char* pszText = XmlSaveString(pDoc);
        if (!pszText)
            state.SkipWithError("the writer failed");
        benchmark::DoNotOptimize(pszText);
        std::free(pszText);
    }
    SetThroughput(state, Text().size());
}
BENCHMARK(BM_XmlWriteString)->Unit(benchmark::kMillisecond);

void BM_XmlWriteFile(benchmark::State& state)
{
    XmlDocument* pDoc = Document();
    std::string path = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/bench_xml.xml";
    for (auto _ : state) {
        if (!XmlSaveFile(pDoc, path.c_str()))
            state.SkipWithError("the writer failed");
    }
    std::remove(path.c_str());
    SetThroughput(state, Text().size());
}
BENCHMARK(BM_XmlWriteFile)->Unit(benchmark::kMillisecond);

void BM_XmlLoadString(benchmark::State& state)
{
    const std::string& text = Text();
    for (auto _ : state) {
        XmlDocument* pDoc = XmlNewDocument();
        if (!XmlLoadString(pDoc, nullptr, text.c_str()))
            state.SkipWithError("the parser failed");
        state.PauseTiming();
        XmlDeleteDocument(pDoc);
        state.ResumeTiming();
    }
    SetThroughput(state, text.size());
}
BENCHMARK(BM_XmlLoadString)->Unit(benchmark::kMillisecond);

void BM_XmlDeleteDocument(benchmark::State& state)
{
    const std::string& text = Text();
    for (auto _ : state) {
        state.PauseTiming();
        XmlDocument* pDoc = XmlNewDocument();
        XmlLoadString(pDoc, nullptr, text.c_str());
        state.ResumeTiming();
        XmlDeleteDocument(pDoc);
    }
    SetThroughput(state, text.size());
}
BENCHMARK(BM_XmlDeleteDocument)->Unit(benchmark::kMillisecond);

} // namespace
