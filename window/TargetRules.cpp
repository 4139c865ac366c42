#include "window/TargetRules.h"

#include <sys/stat.h>
#include <unistd.h>

bool IsUncServerShare(const std::string& strTarget)
{
    if (strTarget.size() < 5 || strTarget[0] != '\\' || strTarget[1] != '\\')
        return false;
    const size_t nSep = strTarget.find('\\', 2);
    if (nSep == std::string::npos || nSep == 2 || nSep + 1 >= strTarget.size())
        return false;
    return strTarget.find('\\', nSep + 1) == std::string::npos;
}

bool TargetExists(const std::string& strTarget)
{
    struct stat st;
    return !strTarget.empty() && ::stat(strTarget.c_str(), &st) == 0;
}

bool CanWriteInto(const std::string& strDirectory)
{
    struct stat st;
    return ::stat(strDirectory.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
        && ::access(strDirectory.c_str(), W_OK | X_OK) == 0;
}

std::string MissingTargetText(const std::string& strTarget)
{
    if (strTarget.size() == 2 && strTarget[1] == ':')
        return "Drive (" + strTarget + ") not found.\n";
    if (strTarget.size() >= 2 && strTarget[0] == '\\' && strTarget[1] == '\\')
        return strTarget + " is not a network share.";
    return "Path " + strTarget + " not found.\n";
}
