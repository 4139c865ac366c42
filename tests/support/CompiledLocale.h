#pragma once
// A German locale for tests that must show the process's locale does not
// leak into what the program writes: the installed one, else one compiled
// with localedef into a temporary folder and found through LOCPATH.

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

// Sets the category to de_DE.UTF-8; false when no such locale can be had.
// A compiled locale lives in the folder, which the caller removes afterwards.
inline bool UseGermanLocale(int nCategory, const std::filesystem::path& folder)
{
    if (std::setlocale(nCategory, "de_DE.UTF-8"))
        return true;
    if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE"))
        return false;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / "de_DE.UTF-8"))
        return false;
    setenv("LOCPATH", folder.c_str(), 1);
    const bool bSet = std::setlocale(nCategory, "de_DE.UTF-8") != nullptr;
    unsetenv("LOCPATH");
    return bSet;
}
