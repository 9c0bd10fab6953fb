// Message crackers. The layer defines GET_X_LPARAM and GET_Y_LPARAM with its basic types in
// windef.h; code that must also build against the Windows headers includes them by this
// name, where Windows declares them.
#pragma once

#include <windef.h>
