#include "util/CommandLineOptions.h"

CommandLineOptions* g_pCommandLineOptions = nullptr;
