#pragma once

#include "platform/win32_api.h"

BOOL LaunchApplet();
