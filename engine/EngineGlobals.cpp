#include "engine/EngineGlobals.h"

std::atomic<bool> g_bStopTest{false};
uint32_t g_dwTransferSize = 0;
std::string g_szTestFile;
const char* g_pszLastMessage = nullptr;
DataErrorRecord g_DataErrors[MAX_DATA_ERRORS];
int32_t g_nDataErrors = 0;
