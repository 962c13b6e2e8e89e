#include "run/automation_context.h"

// Zero-filled at load; no constructor runs before WinMain.
AutomationContext context;
