// Under Wine every file lock is a round trip to its server, which would cost more than the
// record: the processes of one file share two words of memory instead, named after the
// file's identity (so every generation has its own). The first holds the ID of the process
// that holds the lock, 0 when nobody does; the second counts the holds, so that a waiter can
// tell one long hold from many short ones by the same process.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform {

// The gate of the open file; false (and nothing set) when it cannot be had.
bool OpenAppendGate(HANDLE file, std::intptr_t& mapping, void*& view);
void CloseAppendGate(std::intptr_t& mapping, void*& view);

// One try: 0 when this process now holds the gate, otherwise who holds it (the holder's
// process and its count of holds).
std::uint64_t TryAppendGate(void* view);
// Takes the gate from `holder` when that process has ended without letting go.
bool TakeOverAppendGate(void* view, std::uint64_t holder);
void LeaveAppendGate(void* view);

}  // namespace platform
