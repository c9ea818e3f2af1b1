// A forms unit that includes downwards only: the check must not name it.
#pragma once

#include "platform/window/Upward.h"
