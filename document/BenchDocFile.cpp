#include "document/BenchDoc.h"
#include "document/BenchFileForms.h"

#include <cctype>

bool PathEndsWith(std::string_view strPath, std::string_view strSuffix)
{
    if (strPath.size() < strSuffix.size())
        return false;
    const std::string_view tail = strPath.substr(strPath.size() - strSuffix.size());
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != strSuffix[i])
            return false;
    return true;
}
