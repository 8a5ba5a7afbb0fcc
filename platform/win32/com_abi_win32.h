// The COM binary interface that the launcher and its run objects use: the system's own.
// Built as "platform/com_abi.h" on Windows (see platform/CMakeLists.txt).
#pragma once

#include <objbase.h>
#include <windows.h>
