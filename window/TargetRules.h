#pragma once

#include <string>

// The rules for a test target that are plain text and file system checks.

// Exactly two backslashes, a server name, a backslash and a share name: a
// text test only, so targets saved on Windows keep their meaning.
bool IsUncServerShare(const std::string& strTarget);
// The file or directory exists.
bool TargetExists(const std::string& strTarget);
// The user may create files in the directory.
bool CanWriteInto(const std::string& strDirectory);

// The notice for a target that does not exist, before its ending
// (" Information will be loaded." or " Test aborted.").
std::string MissingTargetText(const std::string& strTarget);
