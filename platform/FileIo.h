#pragma once

#include <cstdint>

// The test file's descriptor-level calls. Results follow liburing's
// convention: a value >= 0, or -errno naming why the call failed.

// Creates the file at pszPath anew (an existing one is truncated), read and
// write, mode 0600. A symbolic link at the path is refused (-ELOOP), never
// followed; anything but a regular file there is refused too. bDirect adds
// O_DIRECT, bSync O_DSYNC. The descriptor, or -errno.
int CreateTestFile(const char* pszPath, bool bDirect, bool bSync);

// Removes the name; the open descriptor keeps the data until it is closed.
int RemoveFile(const char* pszPath);

// Sets the file's length. 0 or -errno.
int SetFileSize(int fd, uint64_t nBytes);

// Moves the file position to nOffset. 0 or -errno.
int SeekFile(int fd, uint64_t nOffset);

// Writes nBytes at the file position, continuing after a partial write so
// that a full disk shows as its error rather than as a short file. Bytes
// written (nBytes), or -errno.
int64_t FileWrite(int fd, const void* pBuffer, uint32_t nBytes);

// Reads up to nBytes at the file position; fewer at the end of the file.
// Bytes read, or -errno.
int64_t FileRead(int fd, void* pBuffer, uint32_t nBytes);

// Closes a descriptor >= 0; others are ignored.
void CloseFile(int fd);
