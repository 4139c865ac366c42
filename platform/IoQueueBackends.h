#pragma once

#include "platform/IoQueue.h"

#include <memory>

// The two backends behind CreateIoQueue. Neither sets anything up before
// Setup, so creating one cannot fail.
std::unique_ptr<CIoQueue> CreateIoUringQueue();
std::unique_ptr<CIoQueue> CreateThreadIoQueue();

// True when this process can set up an io_uring (the kernel has it and
// neither a sysctl nor a seccomp filter refuses it).
bool IoUringAvailable();
