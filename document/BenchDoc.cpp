#include "document/BenchDoc.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

CBenchDoc::CBenchDoc()
{
    for (int i = 0; i < NUM_TRANSFER_SIZES; ++i) {
        rates[i].label = g_TransferSizes[i].label;
        rates[i].iosize = g_TransferSizes[i].bytes;
    }
    SetDefaults();
}

std::string CBenchDoc::DefaultDrive()
{
    // The home directory is the one place a user can always write to.
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return "/tmp";
}

void CBenchDoc::SetDefaults()
{
    drive = DefaultDrive();
    pattern = 0;
    iosize1 = runiosize1 = 0;
    iosize2 = runiosize2 = NUM_TRANSFER_SIZES - 1;
    filesize = 268435456;
    description = "<< Description >>";
    maxbps = maxiops = 0;
    directio = 1;
    bypasswritecache = 0;
    verifydata = 0;
    continuousio = 0;
    ioruntime = "30";
    queuedepth = chosenqueuedepth = 4;
}

bool CBenchDoc::OnNewDocument()
{
    if (!CDocumentBase::OnNewDocument())
        return false;
    SetDefaults();
    ResetRates();
    return true;
}

void CBenchDoc::ResetRates()
{
    for (RateEntry& row : rates) {
        row.readbps = row.writebps = row.readiops = row.writeiops = 0;
        row.flags = 0;
    }
}

int CBenchDoc::FindRateIndex(uint64_t nSize) const
{
    for (int i = 0; i < NUM_TRANSFER_SIZES; ++i)
        if (rates[i].iosize == nSize)
            return i;
    return -1;
}

RateEntry* CBenchDoc::FindRate(uint64_t nSize)
{
    const int i = FindRateIndex(nSize);
    return i < 0 ? nullptr : &rates[i];
}

const RateEntry* CBenchDoc::FindRate(uint64_t nSize) const
{
    const int i = FindRateIndex(nSize);
    return i < 0 ? nullptr : &rates[i];
}

void CBenchDoc::SetVerifyData(bool bVerify)
{
    verifydata = bVerify ? 1 : 0;
    queuedepth = bVerify ? 1 : chosenqueuedepth;
}

void CBenchDoc::ChooseQueueDepth(uint16_t nDepth)
{
    chosenqueuedepth = nDepth;
    queuedepth = verifydata ? 1 : nDepth;
}
