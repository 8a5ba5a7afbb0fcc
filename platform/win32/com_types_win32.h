#pragma once

#include <objbase.h>
#include <windows.h>
